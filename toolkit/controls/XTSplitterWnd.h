// The framework's splitter with one hidden row and one hidden column, view switching and replacement, live
// resizing when the system drags full windows, a flat look, bar colours that follow the Windows XP colour scheme,
// and a flat-bordered kind with a band above its panes.
#pragma once

#include "framework/frame/SplitterWnd.h"

// Splitter style flags.
#define XT_SPLIT_DOTTRACKER 0x0001 // the tracker is a focus rectangle round the pane being resized
#define XT_SPLIT_NOFULLDRAG 0x0002 // no live resizing, whatever the system says
#define XT_SPLIT_NOBORDER 0x0004   // with the flat look the border is drawn in the face colour only
#define XT_SPLIT_NOSIZE 0x0008     // the bars do not react to the mouse

// The bar colours of a splitter.
class CXTSplitterColors
{
public:
    CXTSplitterColors();
    virtual ~CXTSplitterColors() = default;
    // Button face and shadow, or the Windows XP scheme's when asked for and allowed.
    virtual void RefreshColors();

    COLORREF m_clrFace;
    COLORREF m_clrShadow;
    BOOL m_bUseScheme;
};

class CXTSplitterWnd : public CSplitterWnd
{
    DECLARE_DYNAMIC(CXTSplitterWnd)

public:
    CXTSplitterWnd();
    ~CXTSplitterWnd() override;

    // Shows the hidden column again.
    virtual void ShowColumn();
    // Hiding another column first shows the one hidden before.
    virtual void HideColumn(int nColHide);
    virtual void ShowRow();
    virtual void HideRow(int nRowHide);
    // The two windows exchange their places. FALSE when pWnd is the pane there already.
    virtual BOOL SwitchView(int nRow, int nCol, CWnd* pWnd);
    // pWnd takes the pane's place; the old pane is hidden and returned (the caller keeps or destroys it). Null
    // when pWnd is the pane already.
    virtual CWnd* ReplaceView(int nRow, int nCol, CWnd* pWnd);
    // A new view of the class takes the pane's place; the old view is returned hidden. Null when the pane is of
    // that class already or the view cannot be made.
    virtual CWnd* ReplaceView(int nRow, int nCol, CRuntimeClass* pViewClass);
    virtual void SetSplitterStyle(DWORD dwxStyle);
    virtual DWORD GetSplitterStyle() const { return m_dwxStyle; }
    virtual void EnableFlatLook(BOOL bFlatLook);
    virtual void DrawTracker(const CRect& rect, CBrush* pBrush);

    int GetHiddenColIndex() const { return m_nHiddenCol; }
    int GetHiddenRowIndex() const { return m_nHiddenRow; }
    BOOL IsFullDrag() const { return m_bFullDrag; }
    // Live resizing on or off; the system's setting is no longer followed.
    void SetFullDrag(BOOL bFullDrag);
    CXTSplitterColors* GetColors() const { return m_pColors; }

    void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override;
    void OnInvertTracker(const CRect& rect) override;
    void SetSplitCursor(int ht) override;
    void StartTracking(int ht) override;
    void StopTracking(BOOL bAccept) override;

protected:
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);

    void ReadFullDrag();
    void DrawSplitBox(CDC* pDC, CRect rect, BOOL bFlat);

    int m_nHiddenCol;
    int m_nHiddenRow;
    BOOL m_bFullDrag;
    BOOL m_bFullDragFixed;
    BOOL m_bFlatSplit;
    DWORD m_dwxStyle;
    CPoint m_point;
    bool m_bClipStyles;
    CXTSplitterColors* m_pColors;

    DECLARE_MESSAGE_MAP()
};

class CXTSplitterWndEx : public CXTSplitterWnd
{
    DECLARE_DYNAMIC(CXTSplitterWndEx)

public:
    CXTSplitterWndEx();

    virtual void SetBorderStyle(BOOL bTopLines, int nTopOffset);
    int GetTopOffset() const { return m_cyTopOffset; }

    void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override;
    void GetInsideRect(CRect& rect) const override;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();

    int m_cyTopOffset;
    BOOL m_bShowTopBorder;

    DECLARE_MESSAGE_MAP()
};
