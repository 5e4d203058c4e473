// The four bands along the sides of a frame's client area in which toolbars dock. A dock bar keeps its toolbars
// in rows, lays every row out along its side (by remembered positions, pushing overlapping bars apart, shrinking
// bars that can hide controls and wrapping bars that no longer fit) and takes its band in the frame's layout.
#pragma once

#include "framework/win/Wnd.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

#include <vector>

class CXTPCommandBars;
class CXTPToolBar;

class CXTPDockBar : public CWnd
{
    DECLARE_DYNAMIC(CXTPDockBar)

public:
    explicit CXTPDockBar(CXTPCommandBars* pCommandBars);
    ~CXTPDockBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Docks the toolbar in the row at the centre of lpRect (screen), or in a new last row without one.
    void DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect = nullptr);
    // Removes the toolbar's entry other than nPosExclude and drops a row left empty.
    int RemoveCommandBar(CXTPToolBar* pBar, int nPosExclude = -1);
    int FindBar(CXTPToolBar* pBar, int nPosExclude = -1) const;
    // The visible normal toolbars of the row holding nIndex, by their place along the dock bar.
    void GetRowBars(int nIndex, std::vector<CXTPToolBar*>& arrBars) const;
    // The rows of visible toolbars, in order.
    std::vector<std::vector<CXTPToolBar*>> GetRows() const;

    XTPBarPosition GetPosition() const;
    BOOL IsHorizontal() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
    DWORD GetBarStyle() const { return m_dwStyle; }
    CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
    // The bar list: null entries end rows, the first is a leading sentinel.
    const std::vector<CXTPToolBar*>& GetBars() const { return m_arrBars; }

    // Puts the toolbars with the saved ids (0 a row break) into this dock bar in that order; toolbars it already
    // held that the list does not name follow in their rows.
    void RestoreBarRows(const std::vector<UINT>& arrBarIDs);
    // Lays out every row; hDWP (may be null) receives the toolbars' positions.
    CSize CalcDockBarLayout(int nLength, DWORD dwMode, HDWP& hDWP);

protected:
    struct RowEntry
    {
        CXTPToolBar* pBar;
        int nIndex;
        CRect rc;
        CRect rcPreferred;
        BOOL bMoved;
        int nMinLength;
    };
    DWORD RowMode(CXTPToolBar* pBar) const;
    // One row at nOffset across; 0 with *ppFailed set when a toolbar does not fit.
    int CalcRowLayout(std::vector<CXTPToolBar*>& arrRow, int nOffset, int nLength, HDWP& hDWP, CXTPToolBar** ppFailed);
    // A row and the lines its overflow wraps onto; the total thickness.
    int CalcRow(std::vector<CXTPToolBar*> arrRow, int nOffset, int nLength, HDWP& hDWP);
    void AdjustStretchBars();
    void DelayFrameLayout();

    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    DWORD m_dwStyle;
    std::vector<CXTPToolBar*> m_arrBars;
    CXTPCommandBars* m_pCommandBars;
    BOOL m_bMeasureOnly;
};
