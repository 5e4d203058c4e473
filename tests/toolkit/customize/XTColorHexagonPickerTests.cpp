// The honeycomb: cell shapes and places, hit-testing by the cells' own pixels, the colour table, the arrow keys'
// neighbours and the selection outlines, first as geometry and then on a control drawn into memory.
#include "toolkit/customize/XTColorHexagonPicker.h"

#include "framework/win/WinApp.h"
#include "tests/framework/MemoryCanvas.h"
#include "toolkit/base/ToolkitMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <queue>
#include <set>
#include <vector>

namespace {

using Cells = std::vector<CXTColorHexagonPicker::CCell>;

// The control's width in the dialog; the honeycomb (182 pixels) is centred in it.
constexpr int kWidth = 220;
constexpr int kHeight = 236;
constexpr int kX0 = (kWidth - 182) / 2;

bool Contains(const std::vector<POINT>& points, int x, int y)
{
    return std::any_of(points.begin(), points.end(), [&](const POINT& pt) { return pt.x == x && pt.y == y; });
}

POINT First(const Cells& cells, int i)
{
    return cells[static_cast<size_t>(i)].pixels.front();
}

} // namespace

TEST(HexagonGeometry, CellsHaveTheirShapesAtTheirPlaces)
{
    const Cells cells = CXTColorHexagonPicker::BuildCells(kWidth);
    ASSERT_EQ(144u, cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(i < 142 ? 168u : 691u, cells[i].pixels.size()) << i;
        EXPECT_EQ(i < 142, cells[i].bSmall != FALSE) << i;
    }
    struct Place
    {
        int nCell;
        int x;
        int y;
    };
    const Place places[] = {
        {0, kX0 + 42, 3},      {6, kX0 + 126, 3},    {7, kX0 + 35, 15},     {57, kX0, 75},
        {63, kX0 + 84, 75},    {69, kX0 + 168, 75},  {126, kX0 + 126, 147}, {127, kX0 + 35, 172},
        {134, kX0 + 133, 172}, {135, kX0 + 42, 184}, {141, kX0 + 126, 184}, {142, kX0, 172},
        {143, kX0 + 153, 172},
    };
    for (const Place& place : places) {
        EXPECT_EQ(place.x, First(cells, place.nCell).x) << place.nCell;
        EXPECT_EQ(place.y, First(cells, place.nCell).y) << place.nCell;
    }
    // A small cell is widest (15 rows) in its middle columns, a large one 31 rows in its middle.
    const std::vector<POINT>& small = cells[63].pixels;
    EXPECT_TRUE(Contains(small, kX0 + 84 + 7, 75 - 3) && Contains(small, kX0 + 84 + 7, 75 + 11));
    EXPECT_FALSE(Contains(small, kX0 + 84 + 7, 75 - 4) || Contains(small, kX0 + 84, 75 - 1));
    const std::vector<POINT>& large = cells[142].pixels;
    EXPECT_TRUE(Contains(large, kX0 + 14, 172 - 7) && Contains(large, kX0 + 14, 172 + 23));
    EXPECT_FALSE(Contains(large, kX0 + 14, 172 - 8) || Contains(large, kX0 + 29, 180));
}

TEST(HexagonGeometry, EveryPixelHitsItsOwnCellAndTheGapsHitNone)
{
    const Cells cells = CXTColorHexagonPicker::BuildCells(kWidth);
    std::set<std::pair<int, int>> seen;
    for (size_t i = 0; i < cells.size(); ++i) {
        for (const POINT& pt : cells[i].pixels) {
            EXPECT_TRUE(seen.insert({pt.x, pt.y}).second) << "two cells share " << pt.x << "," << pt.y;
            EXPECT_EQ(static_cast<int>(i), CXTColorHexagonPicker::CellFromPoint(cells, pt)) << i;
        }
        // The centre of the cell's middle column.
        const POINT first = cells[i].pixels.front();
        const POINT centre = i < 142 ? POINT{first.x + 7, first.y + 4} : POINT{first.x + 14, first.y + 8};
        EXPECT_EQ(static_cast<int>(i), CXTColorHexagonPicker::CellFromPoint(cells, centre)) << i;
    }
    const POINT gaps[] = {{0, 0}, {kX0 + 31, 180}, {kX0 + 150, 180}, {kX0 + 10, 5}, {kWidth - 1, 75}};
    for (const POINT& pt : gaps)
        EXPECT_EQ(-1, CXTColorHexagonPicker::CellFromPoint(cells, pt)) << pt.x << "," << pt.y;
}

TEST(HexagonGeometry, ColoursFollowTheTableAndOnlyWhiteRepeats)
{
    const Cells cells = CXTColorHexagonPicker::BuildCells(kWidth);
    std::set<COLORREF> colours;
    for (const auto& cell : cells)
        colours.insert(cell.clr);
    EXPECT_EQ(143u, colours.size());
    EXPECT_EQ(RGB(255, 255, 255), cells[63].clr);
    EXPECT_EQ(RGB(255, 255, 255), cells[142].clr);
    EXPECT_EQ(RGB(0, 0, 0), cells[143].clr);
    // Stored as 0x00BBGGRR: the first cell is a dark blue, the last colour cell a red.
    EXPECT_EQ(RGB(0x00, 0x33, 0x66), cells[0].clr);
    EXPECT_EQ(RGB(0xA5, 0x00, 0x21), cells[126].clr);
    EXPECT_EQ(RGB(0xF8, 0xF8, 0xF8), cells[127].clr);
    EXPECT_EQ(RGB(0x11, 0x11, 0x11), cells[141].clr);
}

TEST(HexagonGeometry, ArrowKeysGoToTheNeighboursOfTheTable)
{
    struct Case
    {
        int nCell;
        int left, up, right, down;
    };
    const Case cases[] = {
        {0, -1, -1, 1, 8},         {6, 5, -1, 7, 14},         {7, 6, -1, 8, 16},         {8, 7, 0, 9, 17},
        {15, 14, 6, 16, 25},       {56, 55, 44, 57, 69},      {57, 56, 44, 58, 70},      {69, 68, 56, 70, 82},
        {70, 69, 57, 71, 82},      {119, 118, 110, 120, 142}, {120, 119, 112, 121, 121}, {126, 125, 118, 142, 142},
        {127, 142, 142, 135, 135}, {130, 137, 137, 138, 138}, {134, 141, 141, 143, 143}, {135, 127, 127, 128, 128},
        {141, 133, 133, 134, 134}, {142, 126, 126, 127, 127}, {143, 134, 134, -1, -1},
    };
    const Cells cells = CXTColorHexagonPicker::BuildCells(kWidth);
    for (const Case& c : cases) {
        const int* n = cells[static_cast<size_t>(c.nCell)].nNeighbour;
        EXPECT_EQ(c.left, n[CXTColorHexagonPicker::moveLeft]) << c.nCell;
        EXPECT_EQ(c.up, n[CXTColorHexagonPicker::moveUp]) << c.nCell;
        EXPECT_EQ(c.right, n[CXTColorHexagonPicker::moveRight]) << c.nCell;
        EXPECT_EQ(c.down, n[CXTColorHexagonPicker::moveDown]) << c.nCell;
    }
}

TEST(HexagonGeometry, EveryCellCanBeReachedFromEveryOtherByTheArrowKeys)
{
    const Cells cells = CXTColorHexagonPicker::BuildCells(kWidth);
    for (int nStart = 0; nStart < 144; ++nStart) {
        std::vector<bool> reached(cells.size());
        std::queue<int> next;
        next.push(nStart);
        reached[static_cast<size_t>(nStart)] = true;
        while (!next.empty()) {
            const int i = next.front();
            next.pop();
            for (int n : cells[static_cast<size_t>(i)].nNeighbour) {
                if (n >= 0 && !reached[static_cast<size_t>(n)]) {
                    reached[static_cast<size_t>(n)] = true;
                    next.push(n);
                }
            }
        }
        EXPECT_EQ(cells.size(), static_cast<size_t>(std::count(reached.begin(), reached.end(), true))) << nStart;
    }
}

TEST(HexagonGeometry, OutlinesRingTheCellsWithoutCoveringThem)
{
    const Cells cells = CXTColorHexagonPicker::BuildCells(kWidth);
    std::vector<POINT> black, white;

    // A small cell: white just outside it, black outside that, evenly on both sides of the hexagon.
    const auto& small = cells[63];
    const POINT s = small.pixels.front();
    CXTColorHexagonPicker::GetOutline(small, black, white);
    for (int y = s.y - 1; y <= s.y + 9; ++y) {
        EXPECT_TRUE(Contains(black, s.x - 2, y) && Contains(black, s.x + 16, y)) << y;
        EXPECT_TRUE(Contains(white, s.x - 1, y) && Contains(white, s.x + 15, y)) << y;
    }
    auto yRange = [](const std::vector<POINT>& points) {
        auto [lo, hi] =
            std::minmax_element(points.begin(), points.end(), [](const POINT& a, const POINT& b) { return a.y < b.y; });
        return std::make_pair(static_cast<int>(lo->y), static_cast<int>(hi->y));
    };
    EXPECT_EQ(std::make_pair(static_cast<int>(s.y) - 5, static_cast<int>(s.y) + 13), yRange(black));
    for (const POINT& pt : small.pixels)
        ASSERT_FALSE(Contains(white, pt.x, pt.y) || Contains(black, pt.x, pt.y)) << pt.x << "," << pt.y;

    // A large cell: the white band takes one pixel outside and two inside.
    const auto& large = cells[142];
    const POINT l = large.pixels.front();
    CXTColorHexagonPicker::GetOutline(large, black, white);
    for (int y = l.y; y <= l.y + 16; ++y) {
        for (int dx : {-1, 0, 1, 27, 28, 29})
            EXPECT_TRUE(Contains(white, l.x + dx, y)) << dx << "," << y;
        EXPECT_TRUE(Contains(black, l.x - 2, y) && Contains(black, l.x + 30, y)) << y;
    }
    // Away from the slanted edges the band ends two pixels in.
    for (int y = l.y + 3; y <= l.y + 13; ++y)
        EXPECT_FALSE(Contains(white, l.x + 2, y) || Contains(white, l.x + 26, y)) << y;
}

class HexagonPickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hParent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                      AfxGetInstanceHandle(), nullptr);
        HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, m_hParent,
                                      nullptr, AfxGetInstanceHandle(), nullptr);
        ASSERT_TRUE(m_picker.SubclassWindow(hWnd));
        m_cells = m_picker.GetCells();
    }
    void TearDown() override
    {
        m_picker.DestroyWindow();
        ::DestroyWindow(m_hParent);
    }

    // The colour a probe of the drawn control shows at a point.
    COLORREF DrawnAt(int x, int y)
    {
        lqtest::MemoryCanvas canvas(kWidth, kHeight);
        m_picker.Draw(&canvas.Dc());
        return canvas.Dc().GetPixel(x, y);
    }

    HWND m_hParent = nullptr;
    CXTColorHexagonPicker m_picker;
    Cells m_cells;
};

TEST_F(HexagonPickerTest, WhiteOutlinesBothWhiteCellsAndAColourOutsideTheTableNone)
{
    const POINT centre = First(m_cells, CXTColorHexagonPicker::centreWhiteCell);
    const POINT large = First(m_cells, CXTColorHexagonPicker::largeWhiteCell);

    m_picker.SetColor(RGB(255, 255, 255));
    EXPECT_EQ((std::vector<int>{63, 142}), m_picker.GetMarkedCells());
    lqtest::MemoryCanvas canvas(kWidth, kHeight);
    m_picker.Draw(&canvas.Dc());
    EXPECT_EQ(RGB(0, 0, 0), canvas.Dc().GetPixel(centre.x - 2, centre.y + 4));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Dc().GetPixel(centre.x - 1, centre.y + 4));
    EXPECT_EQ(RGB(0, 0, 0), canvas.Dc().GetPixel(large.x - 2, large.y + 8));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Dc().GetPixel(large.x + 1, large.y + 8));
    // A cell's own colour shows where no outline is.
    EXPECT_EQ(m_cells[62].clr, canvas.Dc().GetPixel(centre.x - 7, centre.y + 4));

    m_picker.SetColor(RGB(1, 2, 3));
    EXPECT_TRUE(m_picker.GetMarkedCells().empty());
    EXPECT_EQ(m_cells[62].clr, DrawnAt(centre.x - 2, centre.y + 4));
    EXPECT_EQ(m_cells[142].clr, DrawnAt(large.x + 1, large.y + 8));

    m_picker.SetColor(RGB(0, 0, 0));
    EXPECT_EQ(std::vector<int>{143}, m_picker.GetMarkedCells());
}

TEST_F(HexagonPickerTest, ArrowKeysStartFromThePickedCellOrElseTheBlackOne)
{
    struct Step
    {
        CXTColorHexagonPicker::Direction direction;
        bool moved;
        int nCell; // whose colour is current afterwards
    };
    struct Case
    {
        const char* name;
        COLORREF clrStart;
        int nPickFirst; // a cell picked by its first pixel before the keys, or -1
        std::vector<Step> steps;
    };
    using P = CXTColorHexagonPicker;
    const Case cases[] = {
        {"a foreign colour starts at black", RGB(1, 2, 3), -1, {{P::moveLeft, true, 134}}},
        {"nothing right of black", RGB(1, 2, 3), -1, {{P::moveRight, false, -1}}},
        {"the last colour cell leads to the large white",
         m_cells[126].clr,
         -1,
         {{P::moveRight, true, 142}, {P::moveRight, true, 127}, {P::moveLeft, true, 142}, {P::moveUp, true, 126}}},
        {"white set from outside is the centre cell", RGB(255, 255, 255), -1, {{P::moveRight, true, 64}}},
        {"the large white picked by the mouse", RGB(1, 2, 3), 142, {{P::moveDown, true, 127}}},
        {"the centre white picked by the mouse", RGB(1, 2, 3), 63, {{P::moveLeft, true, 62}}},
    };
    for (const Case& c : cases) {
        m_picker.SetColor(c.clrStart);
        if (c.nPickFirst >= 0) {
            ASSERT_TRUE(m_picker.PickAt(First(m_cells, c.nPickFirst))) << c.name;
        }
        for (const Step& step : c.steps) {
            const COLORREF before = m_picker.GetColor();
            EXPECT_EQ(step.moved, m_picker.MoveSelection(step.direction) != FALSE) << c.name;
            EXPECT_EQ(step.moved ? m_cells[static_cast<size_t>(step.nCell)].clr : before, m_picker.GetColor())
                << c.name;
        }
    }
}

TEST_F(HexagonPickerTest, APickOfANewColourTellsTheParentAndTheInitialisationLetsTheMouseIn)
{
    static std::vector<COLORREF> s_told;
    s_told.clear();
    auto parentProc = [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_XT_COLOR_CHANGED)
            s_told.push_back(static_cast<COLORREF>(wParam));
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    };
    ::SetWindowLongPtrW(m_hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+parentProc));

    m_picker.SetColor(m_cells[10].clr);
    EXPECT_TRUE(m_picker.PickAt(First(m_cells, 10))); // the same colour: nothing to tell
    EXPECT_TRUE(m_picker.PickAt(First(m_cells, 11)));
    EXPECT_FALSE(m_picker.PickAt(CPoint(0, 0)));
    EXPECT_EQ(std::vector<COLORREF>{m_cells[11].clr}, s_told);

    // A template's static lets the mouse through to its parent until the set-up message arrives, once.
    EXPECT_EQ(0u, m_picker.GetStyle() & SS_NOTIFY);
    ::SendMessageW(m_picker.m_hWnd, WM_CONTROL_SETUP, 0, 0);
    EXPECT_EQ(static_cast<DWORD>(SS_NOTIFY), m_picker.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(HTCLIENT, ::SendMessageW(m_picker.m_hWnd, WM_NCHITTEST, 0, 0));
    m_picker.ModifyStyle(SS_NOTIFY, 0);
    ::SendMessageW(m_picker.m_hWnd, WM_CONTROL_SETUP, 0, 0);
    EXPECT_EQ(0u, m_picker.GetStyle() & SS_NOTIFY);
}
