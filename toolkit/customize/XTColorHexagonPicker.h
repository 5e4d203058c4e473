// The honeycomb of the colour dialog's standard page: 144 hexagonal cells of fixed colours over a static control,
// picked by clicking, dragging and the arrow keys; a double click, Enter or the space bar confirms the dialog.
#pragma once

#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "toolkit/customize/XTColorStatic.h"

#include <vector>

class CXTColorHexagonPicker : public CXTColorStatic
{
    DECLARE_DYNAMIC(CXTColorHexagonPicker)

public:
    enum
    {
        cellCount = 144,
        centreWhiteCell = 63,
        largeWhiteCell = 142,
        largeBlackCell = 143,
    };
    enum Direction
    {
        moveLeft,
        moveUp,
        moveRight,
        moveDown,
    };

    struct CCell
    {
        // The neighbours the arrow keys go to, by Direction; -1 for none.
        int nNeighbour[4] = {-1, -1, -1, -1};
        BOOL bSmall = TRUE;
        // Column by column from the left, each from the top; the first is the cell's first pixel.
        std::vector<POINT> pixels;
        COLORREF clr = 0;
    };

    CXTColorHexagonPicker();
    ~CXTColorHexagonPicker() override;

    // The honeycomb for a client area cxClient pixels wide (centred in it), in index order.
    static std::vector<CCell> BuildCells(int cxClient);
    // The cell that owns the point, or -1.
    static int CellFromPoint(const std::vector<CCell>& cells, POINT pt);
    // The selection outline of a cell: a black ring outside a white band.
    static void GetOutline(const CCell& cell, std::vector<POINT>& black, std::vector<POINT>& white);

    // Shows a colour; no notification. The marker follows on the next paint.
    void SetColor(COLORREF clr);
    COLORREF GetColor() const { return m_clrCurrent; }

    // The cells laid out for the control's client width.
    const std::vector<CCell>& GetCells();
    // The cells outlined for the current colour: both white cells for white, none for a colour not in the table.
    std::vector<int> GetMarkedCells();
    // The cell the arrow keys move from: the picked cell of the current colour, else the large black one.
    int GetKeyboardCell();
    // Picks the cell under a client point; FALSE when the point lies in none. A new colour goes to the parent
    // (WM_XT_COLOR_CHANGED).
    BOOL PickAt(CPoint pt);
    // Picks the neighbour of the keyboard cell; FALSE when there is none.
    BOOL MoveSelection(Direction direction);
    // Cells, outlines and, with the focus, the focus rectangle.
    void Draw(CDC* pDC) override;

protected:
    BOOL PickByMouse(CPoint point) override { return PickAt(point); }
    BOOL OnArrowKey(UINT nChar) override;

    // The cells drawn once over the parent's background.
    void PreparePicture(const CRect& rcClient);

    // Which of the two white cells was picked last, for the arrow keys.
    BOOL m_bSmallCell;
    COLORREF m_clrCurrent;
    std::vector<CCell> m_cells;
    int m_cxCells;
};
