// The honeycomb: its fixed layout and colours, the arrow keys' neighbours, hit-testing by the cells' own pixels,
// and the selection outlines drawn over a cached picture of the cells.
#include "toolkit/customize/XTColorHexagonPicker.h"

#include "toolkit/base/ToolkitMessages.h"
#include "toolkit/customize/XTThemePropertyPage.h"

#include <algorithm>

namespace {

// In index order, as COLORREF values.
const COLORREF kColors[CXTColorHexagonPicker::cellCount] = {
    0x663300, 0x996633, 0xCC6633, 0x993300, 0x990000, 0xCC0000, 0x660000,                                         //
    0x666600, 0x996600, 0xCC9900, 0xCC6600, 0xCC3300, 0xFF0000, 0xFF3333, 0x993333,                               //
    0x808000, 0x999900, 0xCCCC33, 0xFFCC00, 0xFF9900, 0xFF6600, 0xFF6633, 0xCC3333, 0x996666,                     //
    0x669933, 0x99CC00, 0xCCFF00, 0xFFFF00, 0xFFCC33, 0xFF9933, 0xFF9966, 0xFF6666, 0xFF0066, 0xCC0066,           //
    0x339933, 0x66CC00, 0x99FF00, 0xCCFF66, 0xFFFF66, 0xFFCC66, 0xFFCC99, 0xFF9999, 0xFF6699, 0xFF3399, 0xFF0099, //
    0x006600, 0x00CC00, 0x00FF00, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFECCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF00CC,
    0xCC0099, //
    0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF00FF,
    0xCC00CC, 0x660066, //
    0x006633, 0x009900, 0x33FF66, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC33FF, 0x9900CC,
    0x800080,                                                                                                     //
    0x003333, 0x009966, 0x33FF99, 0x66FFCC, 0x99FFFF, 0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9933CC, 0x990099, //
    0x336666, 0x00CC99, 0x33FFCC, 0x66FFFF, 0x66CCFF, 0x6699FF, 0x807CFF, 0x6600FF, 0x9300D6, 0x663399,           //
    0x008080, 0x00CCCC, 0x00FFFF, 0x00CCFF, 0x3399FF, 0x0066FF, 0x5050FF, 0x6600CC, 0x330066,                     //
    0x336699, 0x0099CC, 0x0099FF, 0x0066CC, 0x0033FF, 0x0000FF, 0x0000CC, 0x330099,                               //
    0x003366, 0x006699, 0x0033CC, 0x003399, 0x000099, 0x000080, 0x2100A5,                                         //
    0xF8F8F8, 0xDDDDDD, 0xB2B2B2, 0x808080, 0x5F5F5F, 0x333333, 0x1C1C1C, 0x080808,                               //
    0xEAEAEA, 0xC0C0C0, 0x969696, 0x777777, 0x4D4D4D, 0x292929, 0x111111,                                         //
    0xFFFFFF, 0x000000,
};

// The rows of small cells: first index, count, the first pixel's row and its column from the honeycomb's left.
struct HexRow
{
    int nFirst;
    int nCount;
    int y;
    int x;
};
const HexRow kRows[] = {
    {0, 7, 3, 42},     {7, 8, 15, 35},    {15, 9, 27, 28},   {24, 10, 39, 21},  {34, 11, 51, 14},
    {45, 12, 63, 7},   {57, 13, 75, 0},   {70, 12, 87, 7},   {82, 11, 99, 14},  {93, 10, 111, 21},
    {103, 9, 123, 28}, {112, 8, 135, 35}, {120, 7, 147, 42}, {127, 8, 172, 35}, {135, 7, 184, 42},
};
constexpr int kColourRows = 13; // rows 0 to 12; the two grey rows follow
constexpr int kLastColourCell = 126;
constexpr int kCellPitch = 14;
constexpr int kHalfPitch = 7;
constexpr int kHoneycombWidth = 182;
constexpr int kLargeY = 172;
constexpr int kLargeBlackX = 153;

// Column heights; every column is centred on the middle row of the first column.
const int kSmallHeights[] = {9, 9, 11, 11, 13, 13, 15, 15, 15, 13, 13, 11, 11, 9};
const int kLargeHeights[] = {17, 17, 19, 19, 21, 21, 23, 25, 25, 27, 27, 29, 29, 31, 31,
                             31, 29, 29, 27, 27, 25, 25, 23, 21, 21, 19, 19, 17, 17};

// The neighbours of the grey rows and the large cells, which the row rules do not give.
struct FixedNeighbours
{
    int nCell;
    int n[4]; // left, up, right, down
};
const FixedNeighbours kFixed[] = {
    {127, {142, 142, 135, 135}},
    {134, {141, 141, 143, 143}},
    {142, {126, 126, 127, 127}},
    {143, {134, 134, -1, -1}},
};

template <size_t N> void AddColumns(std::vector<POINT>& pixels, int x, int yMiddle, const int (&heights)[N])
{
    for (size_t i = 0; i < N; ++i) {
        const int yTop = yMiddle - (heights[i] - 1) / 2;
        for (int y = yTop; y < yTop + heights[i]; ++y)
            pixels.push_back(POINT{x + static_cast<int>(i), y});
    }
}

// A boolean picture around a cell, for growing and shrinking its shape by a pixel.
class CMask
{
public:
    CMask(int x, int y, int cx, int cy) : m_x(x), m_y(y), m_cx(cx), m_cy(cy), m_bits(static_cast<size_t>(cx * cy)) {}
    bool Get(int x, int y) const
    {
        x -= m_x;
        y -= m_y;
        return x >= 0 && y >= 0 && x < m_cx && y < m_cy && m_bits[static_cast<size_t>(y * m_cx + x)];
    }
    void Set(int x, int y) { m_bits[static_cast<size_t>((y - m_y) * m_cx + (x - m_x))] = true; }
    // Every pixel with a neighbour in the mask (diagonal ones too when bDiagonal).
    CMask Grown(bool bDiagonal) const { return Neighbourhood(bDiagonal, true); }
    // Every pixel whose eight neighbours are all in the mask.
    CMask Shrunk() const { return Neighbourhood(true, false); }
    template <class F> void ForEach(F f) const
    {
        for (int y = 0; y < m_cy; ++y)
            for (int x = 0; x < m_cx; ++x)
                f(m_x + x, m_y + y);
    }

private:
    CMask Neighbourhood(bool bDiagonal, bool bAny) const
    {
        CMask result(m_x, m_y, m_cx, m_cy);
        ForEach([&](int x, int y) {
            bool bHit = Get(x, y);
            bool bAll = bHit;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if ((dx == 0 && dy == 0) || (!bDiagonal && dx != 0 && dy != 0))
                        continue;
                    bHit = bHit || Get(x + dx, y + dy);
                    bAll = bAll && Get(x + dx, y + dy);
                }
            }
            if (bAny ? bHit : bAll)
                result.Set(x, y);
        });
        return result;
    }

    int m_x, m_y, m_cx, m_cy;
    std::vector<bool> m_bits;
};

// A cell's pixels, its hexagon and the hexagon grown by a pixel all round.
struct CellShape
{
    explicit CellShape(const CXTColorHexagonPicker::CCell& c) : cell(Frame(c)), hexagon(cell), outer(cell)
    {
        for (const POINT& pixel : c.pixels) {
            cell.Set(pixel.x, pixel.y);
            hexagon.Set(pixel.x, pixel.y);
        }
        // A small cell lacks the last column of a symmetric hexagon (its neighbour's first); outlines go round
        // the whole hexagon, so that they sit evenly on both sides.
        if (c.bSmall) {
            const POINT first = c.pixels.front();
            for (int y = first.y; y < first.y + kSmallHeights[0]; ++y)
                hexagon.Set(first.x + static_cast<int>(sizeof(kSmallHeights) / sizeof(kSmallHeights[0])), y);
        }
        outer = hexagon.Grown(true);
    }
    // Empty, three pixels larger than the cell's hexagon on every side.
    static CMask Frame(const CXTColorHexagonPicker::CCell& c)
    {
        int xMin = c.pixels.front().x, xMax = xMin, yMin = c.pixels.front().y, yMax = yMin;
        for (const POINT& pixel : c.pixels) {
            xMin = std::min(xMin, static_cast<int>(pixel.x));
            xMax = std::max(xMax, static_cast<int>(pixel.x));
            yMin = std::min(yMin, static_cast<int>(pixel.y));
            yMax = std::max(yMax, static_cast<int>(pixel.y));
        }
        return CMask(xMin - 3, yMin - 3, xMax - xMin + 8, yMax - yMin + 7);
    }

    CMask cell;
    CMask hexagon;
    CMask outer;
};

} // namespace

IMPLEMENT_DYNAMIC(CXTColorHexagonPicker, CXTColorStatic)

std::vector<CXTColorHexagonPicker::CCell> CXTColorHexagonPicker::BuildCells(int cxClient)
{
    const int x0 = (cxClient - kHoneycombWidth) / 2;
    std::vector<CCell> cells(cellCount);
    std::vector<int> rowOf(cellCount, -1);
    for (int r = 0; r < static_cast<int>(sizeof(kRows) / sizeof(kRows[0])); ++r) {
        for (int k = 0; k < kRows[r].nCount; ++k) {
            const int i = kRows[r].nFirst + k;
            rowOf[static_cast<size_t>(i)] = r;
            AddColumns(cells[static_cast<size_t>(i)].pixels, x0 + kRows[r].x + k * kCellPitch, kRows[r].y + 4,
                       kSmallHeights);
        }
    }
    AddColumns(cells[largeWhiteCell].pixels, x0, kLargeY + 8, kLargeHeights);
    AddColumns(cells[largeBlackCell].pixels, x0 + kLargeBlackX, kLargeY + 8, kLargeHeights);
    for (int i = 0; i < cellCount; ++i) {
        cells[static_cast<size_t>(i)].clr = kColors[i];
        cells[static_cast<size_t>(i)].bSmall = i < largeWhiteCell;
    }

    // The colour rows: left and right along the index; up half a cell to the left in the row above and down half
    // a cell to the right in the row below, else the previous index's up and the next index's down.
    auto cellAt = [&](int r, int x) {
        for (int k = 0; k < kRows[r].nCount; ++k) {
            if (kRows[r].x + k * kCellPitch == x)
                return kRows[r].nFirst + k;
        }
        return -1;
    };
    auto xOf = [&](int i) {
        return kRows[rowOf[static_cast<size_t>(i)]].x + (i - kRows[rowOf[static_cast<size_t>(i)]].nFirst) * kCellPitch;
    };
    for (int i = 0; i <= kLastColourCell; ++i) {
        int* n = cells[static_cast<size_t>(i)].nNeighbour;
        n[moveLeft] = i - 1;
        n[moveRight] = i < kLastColourCell ? i + 1 : largeWhiteCell;
        const int r = rowOf[static_cast<size_t>(i)];
        if (r > 0) {
            n[moveUp] = cellAt(r - 1, xOf(i) - kHalfPitch);
            if (n[moveUp] < 0 && i > 0)
                n[moveUp] = cells[static_cast<size_t>(i - 1)].nNeighbour[moveUp];
        }
    }
    for (int i = kLastColourCell; i >= 0; --i) {
        int* n = cells[static_cast<size_t>(i)].nNeighbour;
        const int r = rowOf[static_cast<size_t>(i)];
        if (r == kColourRows - 1)
            n[moveDown] = n[moveRight];
        else if (i == kRows[kColourRows - 2].nFirst + kRows[kColourRows - 2].nCount - 1)
            n[moveDown] = largeWhiteCell; // the end of the row above the last goes down to the white cell
        else if ((n[moveDown] = cellAt(r + 1, xOf(i) + kHalfPitch)) < 0)
            n[moveDown] = cells[static_cast<size_t>(i + 1)].nNeighbour[moveDown];
    }
    // The grey rows zigzag between each other; their ends lead to the large cells.
    for (int k = 128; k <= 133; ++k) {
        int* n = cells[static_cast<size_t>(k)].nNeighbour;
        n[moveLeft] = n[moveUp] = k + 7;
        n[moveRight] = n[moveDown] = k + 8;
    }
    for (int k = 135; k <= 141; ++k) {
        int* n = cells[static_cast<size_t>(k)].nNeighbour;
        n[moveLeft] = n[moveUp] = k - 8;
        n[moveRight] = n[moveDown] = k - 7;
    }
    for (const FixedNeighbours& fixed : kFixed)
        std::copy(std::begin(fixed.n), std::end(fixed.n), cells[static_cast<size_t>(fixed.nCell)].nNeighbour);
    return cells;
}

int CXTColorHexagonPicker::CellFromPoint(const std::vector<CCell>& cells, POINT pt)
{
    for (size_t i = 0; i < cells.size(); ++i) {
        for (const POINT& pixel : cells[i].pixels) {
            if (pixel.x == pt.x && pixel.y == pt.y)
                return static_cast<int>(i);
        }
    }
    return -1;
}

void CXTColorHexagonPicker::GetOutline(const CCell& cell, std::vector<POINT>& black, std::vector<POINT>& white)
{
    black.clear();
    white.clear();
    if (cell.pixels.empty())
        return;
    const CellShape shape(cell);
    // Small: a one-pixel white band just outside the cell. Large: the band also takes the cell's two outer
    // pixels. Around either, a black ring.
    const CMask inner = cell.bSmall ? shape.cell : shape.hexagon.Shrunk().Shrunk();
    const CMask ring = shape.outer.Grown(false);
    ring.ForEach([&](int x, int y) {
        if (shape.outer.Get(x, y) && !inner.Get(x, y))
            white.push_back(POINT{x, y});
        else if (ring.Get(x, y) && !shape.outer.Get(x, y))
            black.push_back(POINT{x, y});
    });
}

CXTColorHexagonPicker::CXTColorHexagonPicker()
    : m_bSmallCell(TRUE), m_clrCurrent(static_cast<COLORREF>(-1)), m_cxCells(-1)
{
}

CXTColorHexagonPicker::~CXTColorHexagonPicker() = default;

const std::vector<CXTColorHexagonPicker::CCell>& CXTColorHexagonPicker::GetCells()
{
    CRect rcClient(0, 0, 0, 0);
    if (m_hWnd != nullptr)
        GetClientRect(&rcClient);
    if (m_cxCells != rcClient.Width()) {
        m_cxCells = rcClient.Width();
        m_cells = BuildCells(m_cxCells);
    }
    return m_cells;
}

void CXTColorHexagonPicker::SetColor(COLORREF clr)
{
    if (clr == m_clrCurrent)
        return;
    m_clrCurrent = clr;
    m_bSmallCell = TRUE;
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

std::vector<int> CXTColorHexagonPicker::GetMarkedCells()
{
    std::vector<int> marked;
    const std::vector<CCell>& cells = GetCells();
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].clr == m_clrCurrent)
            marked.push_back(static_cast<int>(i));
    }
    return marked;
}

int CXTColorHexagonPicker::GetKeyboardCell()
{
    const std::vector<CCell>& cells = GetCells();
    const std::vector<int> marked = GetMarkedCells();
    for (int i : marked) {
        if (cells[static_cast<size_t>(i)].bSmall == m_bSmallCell)
            return i;
    }
    return marked.empty() ? static_cast<int>(largeBlackCell) : marked.front();
}

BOOL CXTColorHexagonPicker::PickAt(CPoint pt)
{
    const std::vector<CCell>& cells = GetCells();
    const int i = CellFromPoint(cells, pt);
    if (i < 0)
        return FALSE;
    const CCell& cell = cells[static_cast<size_t>(i)];
    m_bSmallCell = cell.bSmall;
    if (cell.clr == m_clrCurrent)
        return TRUE;
    m_clrCurrent = cell.clr;
    Invalidate(FALSE);
    UpdateWindow();
    ::SendMessageW(::GetParent(m_hWnd), WM_XT_COLOR_CHANGED, static_cast<WPARAM>(m_clrCurrent), 0);
    return TRUE;
}

BOOL CXTColorHexagonPicker::MoveSelection(Direction direction)
{
    const std::vector<CCell>& cells = GetCells();
    const int nNext = cells[static_cast<size_t>(GetKeyboardCell())].nNeighbour[direction];
    return nNext >= 0 && PickAt(cells[static_cast<size_t>(nNext)].pixels.front());
}

void CXTColorHexagonPicker::PreparePicture(const CRect& rcClient)
{
    if (HasPicture(rcClient))
        return;
    CClientDC dcScreen(this);
    m_bmpPicture.CreateCompatibleBitmap(&dcScreen, rcClient.Width(), rcClient.Height());
    SelectPicture();
    CXTThemePropertyPage::FillChildBackground(this, &m_dcPicture);
    for (const CCell& cell : GetCells()) {
        // A thin edge keeps the large white cell from vanishing into a white page.
        if (!cell.bSmall) {
            const CellShape shape(cell);
            shape.outer.ForEach([&](int x, int y) {
                if (shape.outer.Get(x, y) && !shape.cell.Get(x, y))
                    m_dcPicture.SetPixelV(x, y, ::GetSysColor(COLOR_3DSHADOW));
            });
        }
        // The pixels come in runs down each column.
        size_t nStart = 0;
        for (size_t i = 1; i <= cell.pixels.size(); ++i) {
            if (i < cell.pixels.size() && cell.pixels[i].x == cell.pixels[i - 1].x)
                continue;
            const POINT& top = cell.pixels[nStart];
            m_dcPicture.FillSolidRect(top.x, top.y, 1, static_cast<int>(i - nStart), cell.clr);
            nStart = i;
        }
    }
}

void CXTColorHexagonPicker::Draw(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    PreparePicture(rcClient);
    pDC->BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &m_dcPicture, 0, 0, SRCCOPY);
    const std::vector<CCell>& cells = GetCells();
    std::vector<POINT> black, white;
    for (int i : GetMarkedCells()) {
        GetOutline(cells[static_cast<size_t>(i)], black, white);
        for (const POINT& pt : black)
            pDC->SetPixelV(pt, RGB(0, 0, 0));
        for (const POINT& pt : white)
            pDC->SetPixelV(pt, RGB(255, 255, 255));
    }
    if (::GetFocus() == m_hWnd)
        pDC->DrawFocusRect(&rcClient);
}

BOOL CXTColorHexagonPicker::OnArrowKey(UINT nChar)
{
    switch (nChar) {
    case VK_LEFT:
        MoveSelection(moveLeft);
        break;
    case VK_UP:
        MoveSelection(moveUp);
        break;
    case VK_RIGHT:
        MoveSelection(moveRight);
        break;
    default:
        MoveSelection(moveDown);
        break;
    }
    // Also where there is no neighbour: the arrows never leave the honeycomb.
    return TRUE;
}
