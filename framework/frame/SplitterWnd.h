// Splitter windows: a grid of panes separated by bars that the user drags to share the room between them.
#pragma once

#include <windows.h>

#include "framework/core/Geometry.h"
#include "framework/frame/FrameWnd.h"

class CDC;

#define SPLS_DYNAMIC_SPLIT 0x0001
#define SPLS_INVERT_TRACKER 0x0002

class CSplitterWnd : public CWnd
{
    DECLARE_DYNAMIC(CSplitterWnd)

public:
    CSplitterWnd();
    ~CSplitterWnd() override;

    // A splitter whose panes the program makes itself (CreateView), nRows x nCols of at most 16 x 16.
    virtual BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                              UINT nID = AFX_IDW_PANE_FIRST);
    // Makes the pane at row, col as an object of pViewClass; sizeInit gives the ideal width and height.
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);
    virtual void DeleteView(int row, int col);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetMaxRowCount() const { return m_nMaxRows; }
    int GetMaxColumnCount() const { return m_nMaxCols; }
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);

    CWnd* GetPane(int row, int col) const;
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
    int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }

    virtual CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    // The view becomes the frame's active view; another window gets the focus.
    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);

    // Places the panes over the inside rectangle with the current row and column information.
    virtual void RecalcLayout();

    enum ESplitType
    {
        splitBox,
        splitBar,
        splitIntersection,
        splitBorder
    };
    // Draws one element; a null pDC asks for the rectangle to be painted again.
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);
    virtual void OnInvertTracker(const CRect& rect);
    virtual void GetInsideRect(CRect& rect) const;

    enum HitTestValue
    {
        noHit = 0,
        vSplitterBox = 1,
        hSplitterBox = 2,
        bothSplitterBox = 3,
        vSplitterBar1 = 101,
        vSplitterBar15 = 115,
        hSplitterBar1 = 201,
        hSplitterBar15 = 215,
        splitterIntersection1 = 301,
        splitterIntersection225 = 525
    };
    virtual int HitTest(CPoint pt) const;
    virtual void SetSplitCursor(int ht);
    virtual void StartTracking(int ht);
    virtual void StopTracking(BOOL bAccept);
    // The rectangle of a bar's tracker for hit ht; also narrows the limit rectangle to where it may go.
    virtual void GetHitRect(int ht, CRect& rect);
    virtual void TrackRowSize(int y, int row);
    virtual void TrackColumnSize(int x, int col);

    // Static splitters never split or join.
    virtual BOOL SplitRow(int) { return FALSE; }
    virtual BOOL SplitColumn(int) { return FALSE; }
    virtual void DeleteRow(int) {}
    virtual void DeleteColumn(int) {}

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    struct CRowColInfo
    {
        int nMinSize;
        int nIdealSize;
        int nCurSize;
    };

    // Shares nSize among nMax rows or columns: each keeps its ideal size (none when below its minimum) and the
    // last takes what is left; nSizeSplitter is the gap between two.
    static void PASCAL LayoutRowCol(CRowColInfo* pInfoArray, int nMax, int nSize, int nSizeSplitter);

protected:
    // What a hit lies on: a row bar or the vertical split box, a column bar or the horizontal split box, or where
    // a row bar crosses a column bar.
    static bool IsRowHit(int ht);
    static bool IsColumnHit(int ht);
    static bool IsIntersectionHit(int ht);
    // A drag from hit ht: the limit rectangle, and the tracker of its bar or both trackers of a crossing. FALSE
    // for any other hit, which leaves the trackers as they were.
    BOOL PlaceTrackers(int ht);
    // The mouse at point moves the trackers along their bars, kept inside the limit rectangle; with bInvert each
    // tracker that moves is drawn off and on again.
    void MoveTrackers(CPoint point, BOOL bInvert);
    // The left (top) edge of column (row) i inside the inside rectangle.
    int ColumnLeft(int col) const;
    int RowTop(int row) const;
    // Moves every pane to its place over rectInside, in one deferred batch.
    void LayoutPanes(const CRect& rectInside);

    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCancelMode();
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    CRuntimeClass* m_pDynamicViewClass;
    int m_nMaxRows;
    int m_nMaxCols;
    int m_cxSplitter;
    int m_cySplitter;
    int m_cxBorderShare;
    int m_cyBorderShare;
    int m_cxSplitterGap;
    int m_cySplitterGap;
    int m_cxBorder;
    int m_cyBorder;
    int m_nRows;
    int m_nCols;
    CRowColInfo* m_pColInfo;
    CRowColInfo* m_pRowInfo;
    BOOL m_bHasHScroll;
    BOOL m_bHasVScroll;
    BOOL m_bTracking;
    BOOL m_bTracking2;
    CPoint m_ptTrackOffset;
    CRect m_rectLimit;
    CRect m_rectTracker;
    CRect m_rectTracker2;
    int m_htTrack;

    DECLARE_MESSAGE_MAP()
};
