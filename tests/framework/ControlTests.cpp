// Controls: owner-drawn list boxes served through the parent's reflection, the check-list box, and the members
// whose message parameters are easy to get wrong.
#include "framework/Afx.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kListId = 300;
constexpr UINT kCheckListId = 301;

class CParentWnd : public CWnd
{
public:
    BOOL Make()
    {
        return CreateEx(0, AfxRegisterWndClass(0), L"Controls", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 300, 200, 400,
                        300, nullptr, nullptr);
    }
    std::vector<int> m_checkChanges;
    void OnCheckChange() { m_checkChanges.push_back(static_cast<int>(GetCurrentMessage()->wParam & 0xFFFF)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
ON_CLBN_CHKCHANGE(kCheckListId, OnCheckChange)
END_MESSAGE_MAP()

// Items are numbers kept in the item data, sorted from the largest down and drawn as filled bands.
class CNumberListBox : public CListBox
{
public:
    std::vector<DWORD_PTR> m_drawn;
    std::vector<DWORD_PTR> m_deleted;
    int m_measured = 0;
    int m_compared = 0;

    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override
    {
        ++m_measured;
        lpMeasureItemStruct->itemHeight = 21;
    }
    int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct) override
    {
        ++m_compared;
        const DWORD_PTR a = lpCompareItemStruct->itemData1;
        const DWORD_PTR b = lpCompareItemStruct->itemData2;
        return a > b ? -1 : a < b ? 1 : 0;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        if (lpDrawItemStruct->itemID == static_cast<UINT>(-1))
            return;
        m_drawn.push_back(lpDrawItemStruct->itemData);
        HBRUSH hBrush = ::CreateSolidBrush(RGB(0, 0, 255));
        ::FillRect(lpDrawItemStruct->hDC, &lpDrawItemStruct->rcItem, hBrush);
        ::DeleteObject(hBrush);
    }
    void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) override
    {
        m_deleted.push_back(lpDeleteItemStruct->itemData);
    }
};

bool Contains(const std::vector<DWORD_PTR>& values, DWORD_PTR value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

TEST(ControlsOwnerDraw, AListBoxMeasuresSortsDrawsAndDeletesItsItemsThroughReflection)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.Make());
    CNumberListBox list;
    ASSERT_TRUE(
        list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_SORT, CRect(10, 10, 200, 200), &parent, kListId));
    // Measured while the control was being made: the object was attached before its first message.
    EXPECT_GE(list.m_measured, 1);
    EXPECT_EQ(21, list.GetItemHeight(0));

    for (DWORD_PTR value : {5, 40, 17, 3})
        list.SendMessage(LB_ADDSTRING, 0, static_cast<LPARAM>(value));
    EXPECT_GT(list.m_compared, 0);
    ASSERT_EQ(4, list.GetCount());
    const DWORD_PTR order[] = {40, 17, 5, 3};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(order[i], list.GetItemData(i)) << i;

    parent.ShowWindow(SW_SHOW);
    list.Invalidate();
    list.UpdateWindow();
    for (DWORD_PTR value : order)
        EXPECT_TRUE(Contains(list.m_drawn, value)) << value;
    // What the item painted is on the screen of the control.
    CRect rect;
    list.GetItemRect(0, &rect);
    HDC hDC = ::GetDC(list.m_hWnd);
    EXPECT_EQ(RGB(0, 0, 255), ::GetPixel(hDC, rect.left + 5, rect.top + 5));
    ::ReleaseDC(list.m_hWnd, hDC);

    list.DeleteString(1);
    ASSERT_EQ(1u, list.m_deleted.size());
    EXPECT_EQ(17u, list.m_deleted[0]);
    list.ResetContent();
    EXPECT_EQ(4u, list.m_deleted.size());
    for (DWORD_PTR value : order)
        EXPECT_TRUE(Contains(list.m_deleted, value)) << value;
    parent.DestroyWindow();
}

TEST(ControlsCheckList, ClicksOnTheBoxToggleItAndTellTheParentWhileItemDataStaysTheProgramsOwn)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.Make());
    CCheckListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY,
                            CRect(10, 10, 200, 200), &parent, kCheckListId));
    parent.ShowWindow(SW_SHOW);
    list.AddString(L"First");
    list.AddString(L"Second");
    list.AddString(L"Third");
    list.SetItemData(1, 0x12345678);
    list.SetCheck(2, 1);

    EXPECT_EQ(0x12345678u, list.GetItemData(1));
    EXPECT_EQ(0u, list.GetItemData(0));
    EXPECT_EQ(0, list.GetCheck(1));
    EXPECT_EQ(1, list.GetCheck(2));

    struct Click
    {
        int nItem;
        int xOffset;
        int nCheckAfter;
        size_t nChanges;
    };
    // On the box the check flips and the parent hears of it; on the text only the selection moves.
    const Click clicks[] = {{1, 4, 1, 1}, {1, 60, 1, 1}, {1, 4, 0, 2}, {2, 4, 0, 3}};
    for (const Click& click : clicks) {
        CRect rect;
        list.GetItemRect(click.nItem, &rect);
        const LPARAM point = MAKELPARAM(rect.left + click.xOffset, rect.top + rect.Height() / 2);
        list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, point);
        list.SendMessage(WM_LBUTTONUP, 0, point);
        EXPECT_EQ(click.nCheckAfter, list.GetCheck(click.nItem)) << click.nItem << "," << click.xOffset;
        EXPECT_EQ(click.nChanges, parent.m_checkChanges.size()) << click.nItem << "," << click.xOffset;
    }
    ASSERT_FALSE(parent.m_checkChanges.empty());
    EXPECT_EQ(static_cast<int>(kCheckListId), parent.m_checkChanges[0]);

    // The space bar toggles the item with the caret.
    list.SetCurSel(0);
    list.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(1, list.GetCheck(0));

    // A disabled item does not toggle; the program's data survives the check changes.
    list.Enable(0, FALSE);
    list.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(1, list.GetCheck(0));
    EXPECT_EQ(0x12345678u, list.GetItemData(1));
    list.DeleteString(1);
    EXPECT_EQ(2, list.GetCount());
    EXPECT_EQ(0u, list.GetItemData(1));
    parent.DestroyWindow();
}

TEST(ControlsCommon, ListViewTextsDataAndSelectedPositions)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.Make());
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &parent, 302));
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    EXPECT_EQ(0, list.InsertColumn(0, L"Feed Title", LVCFMT_LEFT, 200));
    EXPECT_EQ(1, list.InsertColumn(1, L"Category", LVCFMT_LEFT, 70));
    ASSERT_NE(nullptr, list.GetHeaderCtrl());
    EXPECT_EQ(2, list.GetHeaderCtrl()->GetItemCount());

    const std::wstring longTitle(700, L'x'); // longer than any first buffer
    const wchar_t* titles[] = {L"One", longTitle.c_str(), L"Three", L"Four"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(i, list.InsertItem(i, titles[i]));
        list.SetItemText(i, 1, L"News");
        list.SetItemData(i, static_cast<DWORD_PTR>(1000 + i));
    }
    EXPECT_EQ(4, list.GetItemCount());
    EXPECT_EQ(longTitle, std::wstring(list.GetItemText(1, 0).GetString()));
    EXPECT_EQ(L"News", std::wstring(list.GetItemText(3, 1).GetString()));
    EXPECT_EQ(1002u, list.GetItemData(2));

    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(2u, list.GetSelectedCount());
    std::vector<int> selected;
    for (POSITION pos = list.GetFirstSelectedItemPosition(); pos != nullptr;)
        selected.push_back(list.GetNextSelectedItem(pos));
    EXPECT_EQ((std::vector<int>{1, 3}), selected);

    list.SetCheck(2, TRUE);
    EXPECT_TRUE(list.GetCheck(2));
    EXPECT_FALSE(list.GetCheck(0));
    list.DeleteItem(0);
    EXPECT_EQ(1001u, list.GetItemData(0));
    list.DeleteAllItems();
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_EQ(nullptr, list.GetFirstSelectedItemPosition());
    parent.DestroyWindow();
}

TEST(ControlsCommon, RangesAndPositionsOfSliderSpinProgressAndScrollBar)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.Make());
    CSliderCtrl slider;
    CSpinButtonCtrl spin;
    CProgressCtrl progress;
    CScrollBar scroll;
    CEdit buddy;
    CComboBox combo;
    ASSERT_TRUE(slider.Create(WS_CHILD | TBS_HORZ, CRect(0, 0, 150, 30), &parent, 310));
    ASSERT_TRUE(buddy.Create(WS_CHILD | WS_BORDER, CRect(0, 40, 60, 60), &parent, 311));
    ASSERT_TRUE(spin.Create(WS_CHILD | UDS_SETBUDDYINT, CRect(60, 40, 75, 60), &parent, 312));
    ASSERT_TRUE(progress.Create(WS_CHILD, CRect(0, 70, 150, 90), &parent, 313));
    ASSERT_TRUE(scroll.Create(WS_CHILD | SBS_HORZ, CRect(0, 100, 150, 115), &parent, 314));
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 120, 150, 220), &parent, 315));

    slider.SetRange(5, 50);
    slider.SetPos(70);
    EXPECT_EQ(5, slider.GetRangeMin());
    EXPECT_EQ(50, slider.GetRangeMax());
    EXPECT_EQ(50, slider.GetPos()); // held within the range

    spin.SetBuddy(&buddy);
    spin.SetRange(-3, 9);
    spin.SetPos(4);
    int nLower = 0, nUpper = 0;
    spin.GetRange32(nLower, nUpper);
    EXPECT_EQ(-3, nLower);
    EXPECT_EQ(9, nUpper);
    EXPECT_EQ(4, spin.GetPos());
    EXPECT_EQ(buddy.m_hWnd, spin.GetBuddy()->m_hWnd);
    CString buddyText;
    buddy.GetWindowText(buddyText);
    EXPECT_EQ(L"4", std::wstring(buddyText.GetString()));

    progress.SetRange32(0, 1000);
    progress.SetPos(250);
    progress.OffsetPos(50);
    progress.GetRange(nLower, nUpper);
    EXPECT_EQ(0, nLower);
    EXPECT_EQ(1000, nUpper);
    EXPECT_EQ(300, progress.GetPos());

    SCROLLINFO info{};
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = 99;
    info.nPage = 10;
    info.nPos = 20;
    scroll.SetScrollInfo(&info);
    EXPECT_EQ(90, scroll.GetScrollLimit());
    EXPECT_EQ(20, scroll.GetScrollPos());

    combo.AddString(L"Hourly");
    combo.AddString(L"Daily");
    combo.SetItemData(1, 24);
    EXPECT_EQ(1, combo.SelectString(-1, L"Dai"));
    CString text;
    combo.GetLBText(combo.GetCurSel(), text);
    EXPECT_EQ(L"Daily", std::wstring(text.GetString()));
    EXPECT_EQ(24u, combo.GetItemData(1));
    EXPECT_EQ(CB_ERR, combo.FindStringExact(-1, L"Weekly"));
    parent.DestroyWindow();
}

TEST(ControlsCommon, ComboBoxExItemsAndItsInnerControls)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.Make());
    CComboBoxEx combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(0, 0, 200, 150), &parent, 320));
    const wchar_t* texts[] = {L"http://one.example/feed", L"http://two.example/rss"};
    for (int i = 0; i < 2; ++i) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_LPARAM;
        item.iItem = i;
        item.pszText = const_cast<LPWSTR>(texts[i]);
        item.lParam = 70 + i;
        EXPECT_EQ(i, combo.InsertItem(&item));
    }
    EXPECT_EQ(2, combo.GetCount());
    wchar_t buffer[64] = {};
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_LPARAM;
    item.iItem = 1;
    item.pszText = buffer;
    item.cchTextMax = 64;
    ASSERT_TRUE(combo.GetItem(&item));
    EXPECT_EQ(std::wstring(texts[1]), buffer);
    EXPECT_EQ(71, item.lParam);

    ASSERT_NE(nullptr, combo.GetComboBoxCtrl());
    ASSERT_NE(nullptr, combo.GetEditCtrl());
    EXPECT_TRUE(::IsChild(combo.m_hWnd, combo.GetEditCtrl()->m_hWnd));
    combo.GetComboBoxCtrl()->SetDroppedWidth(300);
    EXPECT_EQ(300, combo.GetComboBoxCtrl()->GetDroppedWidth());
    EXPECT_EQ(1, combo.DeleteItem(0));
    EXPECT_EQ(1, combo.GetCount());
    parent.DestroyWindow();
}

TEST(ControlsCommon, ToolTipToolsAreAddedRetextedAndRemoved)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.Make());
    CButton button;
    ASSERT_TRUE(button.Create(L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 80, 30), &parent, 330));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&parent));
    const CRect area(100, 100, 150, 150);
    EXPECT_TRUE(tip.AddTool(&parent, L"An area", &area, 7));
    EXPECT_TRUE(tip.AddTool(&button, L"The button"));
    EXPECT_EQ(2, tip.GetToolCount());

    tip.UpdateTipText(L"Renamed", &parent, 7);
    wchar_t text[64] = {};
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = parent.m_hWnd;
    ti.uId = 7;
    ti.lpszText = text;
    tip.SendMessage(TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(std::wstring(L"Renamed"), text);

    // A whole-window tool is known by its window, under its parent.
    tip.DelTool(&button);
    EXPECT_EQ(1, tip.GetToolCount());
    tip.DelTool(&parent, 7);
    EXPECT_EQ(0, tip.GetToolCount());
    tip.DestroyWindow();
    parent.DestroyWindow();
}
