// A report list that draws every cell itself from a record per cell: colours, bold text, an image, a progress bar
// with its percentage, a check box, a tool tip, and the caller's pointer per row. The podcast manager's job list.
#pragma once

#include <windows.h>

#include "companions/XHeaderCtrl.h"
#include "framework/core/AfxString.h"
#include "framework/win/Controls.h"

#include <vector>

// Sent to the list's parent (else its owner): wParam the row, lParam the column.
extern const UINT WM_XLISTCTRL_COMBO_SELECTION;
extern const UINT WM_XLISTCTRL_CHECKBOX_CLICKED;

// One cell's record; the records of a row are held as the row's item data.
struct CProgressCell
{
    BOOL bEnabled = TRUE; // meaningful in column 0: a disabled row is grey and ignores clicks
    BOOL bBold = FALSE;
    int nImage = -1; // in the list's small image list
    CString strToolTip;
    COLORREF crText = ::GetSysColor(COLOR_WINDOWTEXT);
    COLORREF crBackground = ::GetSysColor(COLOR_WINDOW);
    BOOL bShowProgress = FALSE;
    int nProgressPercent = 0;
    CString strProgressText; // format of the percentage; "%d%%" when empty
    BOOL bShowProgressText = TRUE;
    int nCheckedState = -1; // -1 no check box, 0 unchecked, 1 checked
    DWORD_PTR dwRowData = 0; // meaningful in column 0
};

class CProgressListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CProgressListCtrl)

public:
    CProgressListCtrl();
    ~CProgressListCtrl() override;

    static LPCWSTR EmptyText() { return L"There are no items to show in this view."; }

    // A row with the text in column 0 and column 0's colours; the new row's index, negative on failure.
    int InsertItem(int nItem, LPCWSTR lpszText, COLORREF crText = static_cast<COLORREF>(-1),
                   COLORREF crBackground = static_cast<COLORREF>(-1));
    // Colours of -1 take the window-text and window colours. FALSE for a cell that does not exist.
    BOOL SetCellText(int nItem, int nSubItem, LPCWSTR lpszText, COLORREF crText = static_cast<COLORREF>(-1),
                     COLORREF crBackground = static_cast<COLORREF>(-1));
    BOOL SetProgressCell(int nItem, int nSubItem, BOOL bShowProgressText = TRUE, LPCWSTR lpszProgressText = nullptr);
    BOOL SetCellProgress(int nItem, int nSubItem, int nPercent);
    BOOL ClearCellProgress(int nItem, int nSubItem);
    BOOL SetCheckbox(int nItem, int nSubItem, int nCheckedState);
    int GetCheckbox(int nItem, int nSubItem) const;
    BOOL SetEnabled(int nItem, BOOL bEnabled);
    BOOL SetBold(int nItem, int nSubItem, BOOL bBold);
    BOOL SetCellImage(int nItem, int nSubItem, int nImage);
    BOOL SetCellToolTip(int nItem, int nSubItem, LPCWSTR lpszText);
    // The cell's record; null for a cell that does not exist.
    const CProgressCell* GetCell(int nItem, int nSubItem) const;

    DWORD_PTR GetRowData(int nItem) const;
    BOOL SetRowData(int nItem, DWORD_PTR dwData);
    // The row whose data is dwData, or -1.
    int FindRowData(DWORD_PTR dwData) const;
    int GetSelectedItem() const;

    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();

    // A column's check state as its header item's image: 0 none, 1 unchecked, 2 checked.
    int GetHeaderCheckedState(int nSubItem) const;
    BOOL SetHeaderCheckedState(int nSubItem, int nCheckedState);
    int CountCheckedItems(int nSubItem) const;

    // The cell's rectangle; column 0 ends where column 1 begins.
    BOOL GetCellRect(int nItem, int nSubItem, CRect& rect) const;

    CXHeaderCtrl m_HeaderCtrl;

    // Over a cell: the tool id row x 1000 + column + 1, the whole client area, the text asked for on demand.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

protected:
    void PreSubclassWindow() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg void OnSysColorChange();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnSetRedraw(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    using CRow = std::vector<CProgressCell>;
    CRow* RowOf(int nItem) const;
    CProgressCell* CellOf(int nItem, int nSubItem) const;
    void FreeRow(int nItem);
    void FreeAllRows();
    void SubclassHeader();
    void ReadColours();
    void RedrawCell(int nItem, int nSubItem);
    bool DrawCellNow(int nItem, int nSubItem);
    void CellColours(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBackground) const;
    void DrawCell(HDC hDC, int nItem, int nSubItem, COLORREF crText, COLORREF crBackground);
    void DrawProgress(HDC hDC, const CProgressCell& cell, CRect rc, COLORREF crText, COLORREF crBackground);
    void DrawCheckbox(HDC hDC, int nItem, int nSubItem, const CProgressCell& cell, CRect rc, COLORREF crText,
                      COLORREF crBackground);
    void DrawText(HDC hDC, int nItem, int nSubItem, const CProgressCell& cell, CRect rc, COLORREF crText,
                  COLORREF crBackground);
    void DrawEmptyText(HDC hDC);
    HFONT BoldFont();

    CImageList m_ImageList;
    CFont m_fontBold;
    HFONT m_hBoldBase = nullptr; // the list font the bold font was made from
    bool m_bRedraw = true;       // WM_SETREDRAW's last word

    COLORREF m_cr3DFace;
    COLORREF m_cr3DHighLight;
    COLORREF m_cr3DShadow;
    COLORREF m_crBtnFace;
    COLORREF m_crBtnShadow;
    COLORREF m_crBtnText;
    COLORREF m_crGrayText;
    COLORREF m_crHighLight;
    COLORREF m_crHighLightText;
    COLORREF m_crWindow;
    COLORREF m_crWindowText;
};
