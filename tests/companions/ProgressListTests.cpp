// The progress list and its header: cells drawn from their records (read back as pixels), check boxes and column
// clicks by real input, tool tips by the mouse, and the records' life with the rows.
#include "companions/ProgressListCtrl.h"
#include "framework/Afx.h"
#include "framework/core/ScopedHandles.h"
#include "tests/companions/CompanionsTestHost.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

const COLORREF kYellow = RGB(0xB4, 0xFF, 0xFF); // a podcast row's "being downloaded" colour
const COLORREF kGreen = RGB(0xB4, 0xFF, 0xB4);

// The list's parent: reflects the list's notices back to it and records the check box notices.
class CListParent : public CWnd
{
public:
    std::vector<std::pair<WPARAM, LPARAM>> m_checkClicks;

protected:
    LRESULT OnCheckboxClicked(WPARAM wParam, LPARAM lParam)
    {
        m_checkClicks.emplace_back(wParam, lParam);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListParent, CWnd)
ON_REGISTERED_MESSAGE(WM_XLISTCTRL_CHECKBOX_CLICKED, OnCheckboxClicked)
END_MESSAGE_MAP()

class ProgressListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), L"List parent", WS_POPUP | WS_VISIBLE,
                                      CRect(40, 40, 540, 340), nullptr, 0));
        ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, CRect(0, 0, 500, 300), &m_parent,
                                  113));
        m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        m_list.InsertColumn(0, L"Link", LVCFMT_LEFT, 200);
        m_list.InsertColumn(1, L"Feed Title", LVCFMT_LEFT, 120);
        m_list.InsertColumn(2, L"State", LVCFMT_LEFT, 130);
        ASSERT_NE(nullptr, m_list.m_HeaderCtrl.GetSafeHwnd());
        m_parent.SetForegroundWindow();
        lqtest::PumpPending();
    }
    void TearDown() override
    {
        if (m_list.GetSafeHwnd())
            m_list.DestroyWindow();
        m_parent.DestroyWindow();
        lqtest::PumpPending();
    }

    // The list painted into a canvas of its client size.
    void PaintList(lqtest::MemoryCanvas& canvas)
    {
        canvas.Fill(RGB(1, 2, 3));
        m_list.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Hdc()));
    }
    CRect Cell(int nItem, int nSubItem)
    {
        CRect rc;
        EXPECT_TRUE(m_list.GetCellRect(nItem, nSubItem, rc));
        return rc;
    }
    POINT ScreenPointIn(const CRect& rc)
    {
        return lqtest::ClientToScreenPoint(m_list.m_hWnd, rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
    }

    CListParent m_parent;
    CProgressListCtrl m_list;
};

TEST_F(ProgressListTest, HeaderDrawsFlatColumnsWithEtchedSeparatorsAndBlueText)
{
    CXHeaderCtrl& header = m_list.m_HeaderCtrl;
    CRect client;
    header.GetClientRect(&client);
    lqtest::MemoryCanvas canvas(client.Width(), client.Height());
    header.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Hdc()));

    const int mid = client.Height() / 2;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    // Separators after the first two columns only: shadow then highlight.
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), canvas.At(199, mid));
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), canvas.At(200, mid));
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), canvas.At(319, mid));
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), canvas.At(320, mid));
    EXPECT_EQ(face, canvas.At(450, mid)) << "no separator after the last column";
    // Text in blue, centred: none near the column's edges.
    EXPECT_GT(canvas.Count(CXHeaderCtrl::kTextColour, CRect(60, 0, 140, client.Height())), 10);
    EXPECT_EQ(0, canvas.Count(CXHeaderCtrl::kTextColour, CRect(2, 0, 40, client.Height())));
    // Beyond the columns: the face colour.
    EXPECT_EQ(face, canvas.At(480, mid));
    // The columns' area framed: highlight at the top left, shadow along the bottom.
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), canvas.At(0, mid));
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), canvas.At(100, client.Height() - 1));
}

TEST_F(ProgressListTest, HeaderTakesTheImageSizeOfItsListAndDrawsTheImageLeft)
{
    CImageList images;
    ASSERT_TRUE(images.Create(12, 10, ILC_COLOR24, 1, 0));
    CBitmap bitmap;
    {
        lqtest::MemoryCanvas red(12, 10, RGB(255, 0, 0));
        CScopedWindowDC screen(nullptr);
        bitmap.Attach(::CreateCompatibleBitmap(screen, 12, 10));
        CScopedCreatedDC dc(::CreateCompatibleDC(screen));
        CScopedSelect select(dc, bitmap.m_hObject);
        ::BitBlt(dc, 0, 0, 12, 10, red.Hdc(), 0, 0, SRCCOPY);
    }
    images.Add(&bitmap, static_cast<CBitmap*>(nullptr));
    m_list.m_HeaderCtrl.SetImageList(&images);
    EXPECT_EQ(CSize(12, 10), m_list.m_HeaderCtrl.m_sizeImage);

    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_STRING | HDF_IMAGE | HDF_LEFT;
    item.iImage = 0;
    m_list.m_HeaderCtrl.SetItem(1, &item);
    CRect client;
    m_list.m_HeaderCtrl.GetClientRect(&client);
    lqtest::MemoryCanvas canvas(client.Width(), client.Height());
    m_list.m_HeaderCtrl.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Hdc()));
    // Column 1 starts at 200; the image sits at the spacing's inset.
    EXPECT_EQ(12 * 10, canvas.Count(RGB(255, 0, 0), CRect(200, 0, 240, client.Height())));
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(206, client.Height() / 2));
}

// Progress cells at several values: the frame, the inside, the bar's length and the two-coloured text.
TEST_F(ProgressListTest, AProgressStepDrawsItsCellAtOnceUnlessTheListMustPaintIt)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(i, m_list.InsertItem(i, L"http://127.0.0.1/show.mp3"));
    ASSERT_TRUE(m_list.SetProgressCell(1, 2));
    lqtest::PumpPending();
    const CRect cell = Cell(1, 2);
    const POINT inBar = {cell.left + 6, cell.top + cell.Height() / 2};
    const auto screenAt = [&](POINT point) {
        CScopedWindowDC dc(m_list.m_hWnd);
        return ::GetPixel(dc, point.x, point.y);
    };
    const auto pending = [&] {
        CRect update;
        return ::GetUpdateRect(m_list.m_hWnd, &update, FALSE) && CRect().IntersectRect(&update, &cell);
    };

    // A step of a row that is not focused: on the screen at once, nothing left for the list's paint.
    ASSERT_FALSE(pending());
    ASSERT_TRUE(m_list.SetCellProgress(1, 2, 60));
    EXPECT_FALSE(pending());
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), screenAt(inBar));

    // The focused row of a focused list carries the list's focus rectangle: its step waits for the paint.
    m_list.SetItemState(1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    m_list.SetFocus();
    lqtest::PumpPending();
    ASSERT_TRUE(m_list.SetCellProgress(1, 2, 0));
    EXPECT_TRUE(pending());
    lqtest::PumpPending();
    EXPECT_FALSE(pending());

    // With redrawing off nothing is drawn; the cell is painted once redrawing is back.
    m_list.SetFocus();
    m_list.SetItemState(1, 0, LVIS_FOCUSED | LVIS_SELECTED);
    m_parent.SetFocus();
    lqtest::PumpPending();
    m_list.SetRedraw(FALSE);
    ASSERT_TRUE(m_list.SetCellProgress(1, 2, 70));
    EXPECT_NE(::GetSysColor(COLOR_HIGHLIGHT), screenAt(inBar)) << "no bar yet at 0%";
    m_list.SetRedraw(TRUE);
    m_list.Invalidate(FALSE);
    lqtest::PumpPending();
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), screenAt(inBar));
}

TEST_F(ProgressListTest, ProgressCellDrawsFrameBarAndTextByValue)
{
    ASSERT_EQ(0, m_list.InsertItem(0, L"http://127.0.0.1/show.mp3"));
    ASSERT_TRUE(m_list.SetCellText(0, 2, L"", RGB(0, 0, 0), kYellow));
    ASSERT_TRUE(m_list.SetProgressCell(0, 2));
    CRect client;
    m_list.GetClientRect(&client);
    lqtest::MemoryCanvas canvas(client.Width(), client.Height());
    const COLORREF bar = ::GetSysColor(COLOR_HIGHLIGHT);

    struct Case
    {
        int value;
        double barShare; // of the inside
        bool text;
    };
    const Case cases[] = {{0, 0.0, false}, {50, 0.5, true}, {100, 1.0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_TRUE(m_list.SetCellProgress(0, 2, c.value));
        PaintList(canvas);
        CRect rc = Cell(0, 2);
        rc.bottom -= 1;
        rc.left += 1;
        rc.right -= 2;
        CRect inside = rc;
        inside.DeflateRect(1, 1);
        EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), canvas.At(rc.left, rc.top + 3));
        EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), canvas.At(rc.right - 1, rc.top + 3));
        EXPECT_EQ(RGB(0, 0, 0), canvas.At(inside.left, inside.top + 3)) << "the inner line on the left";
        const CRect inner(inside.left + 1, inside.top + 1, inside.right, inside.bottom);
        const int barPixels = canvas.Count(bar, inner);
        const double share = static_cast<double>(barPixels) / (inner.Width() * inner.Height());
        // The text drawn over the bar takes a few of its pixels.
        EXPECT_NEAR(c.barShare, share, 0.12);
        if (c.value == 0) {
            EXPECT_EQ(inner.Width() * inner.Height(), canvas.Count(RGB(0xE0, 0xE0, 0xE0), inner));
        }
        // The percentage over the bar in the cell's background colour; at 50% its right half in black.
        EXPECT_EQ(c.text, canvas.Count(kYellow, inner) > 5);
        if (c.value == 50) {
            EXPECT_GT(canvas.Count(RGB(0, 0, 0), CRect(inner.CenterPoint().x + 2, inner.top, inner.right,
                                                       inner.bottom)),
                      3);
        }
    }
    // Back to a text cell: no bar.
    ASSERT_TRUE(m_list.ClearCellProgress(0, 2));
    PaintList(canvas);
    EXPECT_EQ(0, canvas.Count(bar, Cell(0, 2)));
}

TEST_F(ProgressListTest, CellColoursOfMinusOneAreTheWindowColours)
{
    ASSERT_EQ(0, m_list.InsertItem(0, L"row", RGB(200, 0, 0), kGreen));
    ASSERT_TRUE(m_list.SetCellText(0, 1, L"title", RGB(0, 0, 200), kYellow));
    CRect client;
    m_list.GetClientRect(&client);
    lqtest::MemoryCanvas canvas(client.Width(), client.Height());
    PaintList(canvas);
    EXPECT_EQ(kGreen, canvas.At(Cell(0, 0).right - 3, Cell(0, 0).top + 1));
    EXPECT_EQ(kYellow, canvas.At(Cell(0, 1).right - 3, Cell(0, 1).top + 1));
    EXPECT_GT(canvas.Count(RGB(0, 0, 200), Cell(0, 1)), 3);

    ASSERT_TRUE(m_list.SetCellText(0, 0, nullptr));
    ASSERT_TRUE(m_list.SetCellText(0, 1, nullptr, static_cast<COLORREF>(-1), static_cast<COLORREF>(-1)));
    PaintList(canvas);
    for (int nSubItem : {0, 1}) {
        const CRect rc = Cell(0, nSubItem);
        EXPECT_EQ(::GetSysColor(COLOR_WINDOW), canvas.At(rc.right - 3, rc.top + 1));
        EXPECT_EQ(0, canvas.Count(kYellow, rc));
        EXPECT_EQ(0, canvas.Count(RGB(0, 0, 200), rc));
    }
    EXPECT_EQ(CString(L"row"), m_list.GetItemText(0, 0)) << "no text keeps the text";
}

TEST_F(ProgressListTest, EmptyListShowsItsTextUntilARowArrivesAndAfterAllAreDeleted)
{
    CRect client;
    m_list.GetClientRect(&client);
    lqtest::MemoryCanvas canvas(client.Width(), client.Height());
    CRect header;
    m_list.m_HeaderCtrl.GetWindowRect(&header);
    const CRect below(0, header.Height() + 10, client.Width(), client.Height());
    const COLORREF ink = ::GetSysColor(COLOR_WINDOWTEXT);

    PaintList(canvas);
    EXPECT_GT(canvas.Count(ink, below), 20);
    EXPECT_EQ(0, canvas.Count(ink, CRect(0, header.Height() + 40, client.Width(), client.Height())))
        << "one line near the top";

    m_list.InsertItem(0, L"a");
    m_list.InsertItem(1, L"b");
    PaintList(canvas);
    EXPECT_EQ(0, canvas.Count(ink, CRect(0, Cell(1, 0).bottom + 2, client.Width(), client.Height())));

    m_list.DeleteAllItems();
    PaintList(canvas);
    EXPECT_GT(canvas.Count(ink, below), 20);
}

TEST_F(ProgressListTest, RecordsFollowTheirRowsAndAnswerNothingOutsideThem)
{
    int a = 0;
    int b = 0;
    EXPECT_EQ(0, m_list.InsertItem(0, L"a"));
    EXPECT_EQ(1, m_list.InsertItem(1, L"b"));
    EXPECT_TRUE(m_list.SetRowData(0, reinterpret_cast<DWORD_PTR>(&a)));
    EXPECT_TRUE(m_list.SetRowData(1, reinterpret_cast<DWORD_PTR>(&b)));
    EXPECT_EQ(1, m_list.FindRowData(reinterpret_cast<DWORD_PTR>(&b)));

    // Out of range: nothing set, nothing answered.
    const std::pair<int, int> outside[] = {{-1, 0}, {2, 0}, {0, 3}, {0, -1}};
    for (const auto& cell : outside) {
        SCOPED_TRACE(testing::Message() << cell.first << "," << cell.second);
        EXPECT_FALSE(m_list.SetCellText(cell.first, cell.second, L"x"));
        EXPECT_FALSE(m_list.SetCellProgress(cell.first, cell.second, 5));
        EXPECT_EQ(nullptr, m_list.GetCell(cell.first, cell.second));
    }
    EXPECT_EQ(0u, m_list.GetRowData(5));

    // Deleting the first row moves the second's record with it.
    EXPECT_TRUE(m_list.DeleteItem(0));
    EXPECT_EQ(reinterpret_cast<DWORD_PTR>(&b), m_list.GetRowData(0));
    EXPECT_EQ(-1, m_list.FindRowData(reinterpret_cast<DWORD_PTR>(&a)));
    EXPECT_EQ(CString(L"b"), m_list.GetItemText(0, 0));
}

TEST_F(ProgressListTest, ClickingACheckBoxFlipsItTellsTheParentAndSetsTheColumnState)
{
    for (int i = 0; i < 2; ++i) {
        m_list.InsertItem(i, L"row");
        m_list.SetCheckbox(i, 1, 0);
    }
    m_list.SetHeaderCheckedState(1, 1);

    lqtest::ClickAt(ScreenPointIn(Cell(0, 1)));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_parent.m_checkClicks.size() == 1; }, 3000));
    EXPECT_EQ(1, m_list.GetCheckbox(0, 1));
    EXPECT_EQ(std::make_pair(WPARAM(0), LPARAM(1)), m_parent.m_checkClicks[0]);
    EXPECT_EQ(1, m_list.GetHeaderCheckedState(1)) << "one of two checked";

    lqtest::ClickAt(ScreenPointIn(Cell(1, 1)));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_parent.m_checkClicks.size() == 2; }, 3000));
    EXPECT_EQ(2, m_list.GetHeaderCheckedState(1)) << "every row checked";
    EXPECT_EQ(2, m_list.CountCheckedItems(1));

    // The tick is drawn in black inside the box.
    CRect client;
    m_list.GetClientRect(&client);
    lqtest::MemoryCanvas canvas(client.Width(), client.Height());
    m_list.SetItemState(1, 0, LVIS_SELECTED);
    PaintList(canvas);
    // Without text the box stands in the middle of the cell.
    const CRect cell = Cell(0, 1);
    const int middle = cell.CenterPoint().x;
    EXPECT_GE(canvas.Count(RGB(0, 0, 0), CRect(middle - cell.Height() / 2, cell.top, middle + cell.Height() / 2,
                                               cell.bottom)),
              7 * 3);
    EXPECT_EQ(0, canvas.Count(RGB(0, 0, 0), CRect(cell.left, cell.top, middle - cell.Height(), cell.bottom)));
}

TEST_F(ProgressListTest, ClickOutsideACheckBoxOnlySelectsAndADisabledRowSwallowsTheClick)
{
    m_list.InsertItem(0, L"plain");
    m_list.InsertItem(1, L"disabled");
    m_list.SetCheckbox(1, 1, 0);
    m_list.SetEnabled(1, FALSE);

    lqtest::ClickAt(ScreenPointIn(Cell(0, 2)));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_list.GetSelectedItem() == 0; }, 3000));
    EXPECT_TRUE(m_parent.m_checkClicks.empty());

    lqtest::ClickAt(ScreenPointIn(Cell(1, 1)));
    lqtest::PumpPending();
    EXPECT_EQ(0, m_list.GetCheckbox(1, 1));
    EXPECT_EQ(0, m_list.GetSelectedItem()) << "the disabled row is not selected";
    EXPECT_TRUE(m_parent.m_checkClicks.empty());
}

TEST_F(ProgressListTest, HeaderClickOnACheckedColumnSetsEveryCheckBoxOfIt)
{
    for (int i = 0; i < 3; ++i)
        m_list.InsertItem(i, L"row");
    m_list.SetCheckbox(0, 1, 0);
    m_list.SetCheckbox(2, 1, 1);
    m_list.SetHeaderCheckedState(1, 1);
    CRect headerItem;
    m_list.m_HeaderCtrl.GetItemRect(1, &headerItem);
    const POINT at = lqtest::ClientToScreenPoint(m_list.m_HeaderCtrl.m_hWnd, headerItem.CenterPoint().x,
                                                 headerItem.CenterPoint().y);

    lqtest::ClickAt(at);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_list.GetHeaderCheckedState(1) == 2; }, 3000));
    EXPECT_EQ(1, m_list.GetCheckbox(0, 1));
    EXPECT_EQ(-1, m_list.GetCheckbox(1, 1)) << "a cell without a box stays without";
    EXPECT_EQ(1, m_list.GetCheckbox(2, 1));

    // Far enough from the first click that the two are not one double click.
    lqtest::ClickAt(POINT{at.x + 30, at.y});
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_list.GetHeaderCheckedState(1) == 1; }, 3000));
    EXPECT_EQ(0, m_list.GetCheckbox(0, 1));
    EXPECT_EQ(0, m_list.GetCheckbox(2, 1));
}

TEST_F(ProgressListTest, ToolTipShowsTheCellsTextWhenTheMouseRestsOnIt)
{
    m_list.InsertItem(0, L"row 0");
    m_list.InsertItem(1, L"row 1");
    m_list.SetCellToolTip(1, 2, L"Connection refused");

    TOOLINFO info{};
    info.cbSize = sizeof(info);
    const CRect cell = Cell(1, 2);
    EXPECT_EQ(1 * 1000 + 2 + 1, m_list.OnToolHitTest(cell.CenterPoint(), &info));
    EXPECT_EQ(LPSTR_TEXTCALLBACKW, info.lpszText);
    EXPECT_EQ(-1, m_list.OnToolHitTest(CPoint(5, Cell(1, 0).bottom + 40), nullptr)) << "below the rows";

    const auto preTranslate = [&](MSG& msg) { return CWnd::WalkPreTranslateTree(m_parent.m_hWnd, &msg) != FALSE; };
    // The moves go through the thread's pre-translation, which hands them to the tool tip.
    HWND hTip = nullptr;
    const auto shown = [&] {
        hTip = AfxGetThreadState()->m_hToolTip;
        return hTip && ::IsWindowVisible(hTip);
    };
    lqtest::SendMouse(ScreenPointIn(cell), MOUSEEVENTF_MOVE);
    bool bShown = lqtest::PumpUntil(shown, 3000, preTranslate);
    // A hand resting on the cell moves a little now and then.
    for (int nudge = 1; !bShown && nudge <= 3; ++nudge) {
        lqtest::SendMouse(lqtest::ClientToScreenPoint(m_list.m_hWnd, cell.CenterPoint().x + nudge, cell.CenterPoint().y),
                          MOUSEEVENTF_MOVE);
        bShown = lqtest::PumpUntil(shown, 3000, preTranslate);
    }
    ASSERT_TRUE(bShown);
    WCHAR text[100] = L"";
    ::SendMessageW(hTip, WM_GETTEXT, 100, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"Connection refused", text);
    lqtest::MoveMouse(lqtest::ClientToScreenPoint(m_parent.m_hWnd, 490, 290));
}

} // namespace
