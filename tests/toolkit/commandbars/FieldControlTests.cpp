// Field controls on a command bar in a frame: an edit and a combo box typed into with SendInput, their
// notifications reaching the frame, the combo's list chosen from by keyboard and mouse, the list box control's
// rows and selection rule, the static label's size, and a custom control moving its hosted window.
#include "toolkit/commandbars/XTPControlComboBox.h"

#include "framework/StandardIds.h"
#include "framework/frame/FrameWnd.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControlCustom.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlListBox.h"
#include "toolkit/commandbars/XTPControlStatic.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPFrameWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const int ID_FIELD_EDIT = 21601;
const int ID_FIELD_COMBO = 21602;
const int ID_FIELD_STATIC = 21603;
const int ID_FIELD_LIST = 21604;
const int ID_FIELD_CUSTOM = 21605;
const int ID_FIELD_EDITABLE = 21606;

class CFieldFrame : public CFrameWnd
{
public:
    struct Notice
    {
        WPARAM nId;
        UINT nCode;
    };
    std::vector<Notice> m_notices;
    std::vector<UINT> m_commands;
    int m_nListFills = 0;

    int Count(WPARAM nId, UINT nCode) const
    {
        int n = 0;
        for (const Notice& notice : m_notices)
            n += notice.nId == nId && notice.nCode == nCode;
        return n;
    }

protected:
    LRESULT OnControlExecute(WPARAM wParam, LPARAM lParam)
    {
        m_notices.push_back({wParam, reinterpret_cast<NMXTPCONTROL*>(lParam)->hdr.code});
        return 0;
    }
    LRESULT OnInitList(WPARAM, LPARAM lParam)
    {
        m_nListFills += DYNAMIC_DOWNCAST(CXTPControlComboBoxList, reinterpret_cast<CObject*>(lParam)) != nullptr;
        return 0;
    }
    void OnRun(UINT nID) { m_commands.push_back(nID); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFieldFrame, CFrameWnd)
ON_MESSAGE(WM_XTP_CONTROL_EXECUTE, OnControlExecute)
ON_MESSAGE(WM_XTP_INITCOMMANDSPOPUP, OnInitList)
ON_COMMAND_RANGE(ID_FIELD_EDIT, ID_FIELD_EDITABLE, OnRun)
END_MESSAGE_MAP()

void Tap(WORD vk)
{
    lqtest::TapKey(vk);
}

void Type(const char* pszText)
{
    for (const char* p = pszText; *p != 0; ++p)
        Tap(static_cast<WORD>(*p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p));
}

class FieldControlTest : public cbtest::BarFrameTest<CFieldFrame>
{
protected:
    FieldControlTest() : BarFrameTest(L"FieldControlTests") {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CreateFrameAndBar(L"Field control tests", CRect(100, 100, 760, 420), 640));

        m_pStatic = static_cast<CXTPControlStatic*>(m_bar.GetControls()->Add(new CXTPControlStatic, ID_FIELD_STATIC));
        m_pStatic->SetCaption(L"Filter:");
        m_pEdit = static_cast<CXTPControlEdit*>(m_bar.GetControls()->AddByType(xtpControlEdit, ID_FIELD_EDIT));
        m_pEdit->ShowLabel(FALSE);
        m_pEdit->SetWidth(150);
        m_pCombo =
            static_cast<CXTPControlComboBox*>(m_bar.GetControls()->AddByType(xtpControlComboBox, ID_FIELD_COMBO));
        m_pCombo->SetWidth(120);
        for (const wchar_t* psz : {L"All", L"News", L"Sports", L"Weather"})
            ::SendMessageW(m_pCombo->GetListWindow(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz));
        ::SendMessageW(m_pCombo->GetListWindow(), LB_SETCURSEL, 0, 0);
        m_pCombo->OnSelChanged();
        m_bar.OnRecalcLayout();

        const POINT ptPark = frametest::ClientToScreenPoint(m_pFrame->m_hWnd, 300, 250);
        cbtest::MoveMouseTo(ptPark);
        ASSERT_TRUE(cbtest::WaitForCursor(ptPark));
        ASSERT_TRUE(frametest::Activate(m_pFrame->m_hWnd));
        m_pFrame->SetFocus();
        lqtest::PumpPending();
    }

    void TearDown() override
    {
        XTPMouseManager()->EndAllTracking();
        DestroyFrameAndBar();
    }

    POINT ScreenPoint(CPoint ptClient) { return frametest::ClientToScreenPoint(m_bar.m_hWnd, ptClient.x, ptClient.y); }
    void ClickAt(POINT pt)
    {
        cbtest::MoveMouseTo(pt);
        ASSERT_TRUE(cbtest::WaitForCursor(pt));
        lqtest::PumpPending();
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
    }
    // The combo's drop-down button, at the right end of its box.
    POINT ComboButton()
    {
        const CRect rc = m_pCombo->GetRect();
        return ScreenPoint(CPoint(rc.right - 6, rc.CenterPoint().y));
    }
    bool Pump(const std::function<bool()>& cond) { return frametest::PumpTranslatedUntil(cond); }

    CXTPControlStatic* m_pStatic = nullptr;
    CXTPControlEdit* m_pEdit = nullptr;
    CXTPControlComboBox* m_pCombo = nullptr;
};

TEST_F(FieldControlTest, TypingIntoTheEditAndEnterRunTheCommandThenEscapeGivesTheFocusBack)
{
    const HWND hEdit = m_pEdit->GetEditWindow();
    ASSERT_NE(hEdit, nullptr);
    EXPECT_EQ(::GetParent(hEdit), m_bar.m_hWnd);
    EXPECT_TRUE(::IsWindowVisible(hEdit));
    // The field lies inside the control, after its label, with the margins of the bar's fields.
    CRect rcEdit;
    ::GetWindowRect(hEdit, &rcEdit);
    m_bar.ScreenToClient(&rcEdit);
    const CRect rcControl = m_pEdit->GetRect();
    EXPECT_EQ(rcEdit.left, rcControl.left + m_pEdit->GetLabelWidth() + 4);
    EXPECT_EQ(rcEdit.right, rcControl.right - 3);
    EXPECT_EQ(rcEdit.top, rcControl.top + 3);

    ClickAt(cbtest::CenterOf(hEdit));
    ASSERT_TRUE(Pump([&] { return ::GetFocus() == hEdit; }));
    EXPECT_TRUE(m_bar.IsTrackingMode());
    EXPECT_EQ(m_bar.GetKeyControl(), m_pEdit);
    EXPECT_EQ(XTPMouseManager()->m_nLock, 1);
    EXPECT_EQ(m_bar.GetSavedFocus(), m_pFrame->m_hWnd);

    Type("rain");
    ASSERT_TRUE(Pump([&] { return m_pEdit->GetEditText() == L"rain"; }));
    Tap(VK_RETURN);
    ASSERT_TRUE(Pump([&] { return m_pFrame->Count(ID_FIELD_EDIT, XTP_NOTIFY_EXECUTE) == 1; }));
    EXPECT_EQ(m_pFrame->m_commands, std::vector<UINT>{static_cast<UINT>(ID_FIELD_EDIT)});

    // Escape in a field that no longer has the focus goes to the bar; first the field hands the focus back.
    m_pEdit->GetEditCtrl()->SetFocus();
    ASSERT_TRUE(Pump([&] { return ::GetFocus() == hEdit; }));
    Tap(VK_ESCAPE);
    ASSERT_TRUE(Pump([&] { return ::GetFocus() == m_pFrame->m_hWnd; }));
    EXPECT_EQ(XTPMouseManager()->m_nLock, 0);
    EXPECT_EQ(m_bar.GetKeyControl(), nullptr);
    EXPECT_EQ(m_pEdit->GetEditText(), CString(L"rain"));
}

TEST_F(FieldControlTest, EditTextSurvivesTheWindowAndIsShownWhenTheWindowIsMade)
{
    CXTPControlEdit* pEdit =
        static_cast<CXTPControlEdit*>(m_bar.GetControls()->AddByType(xtpControlEdit, ID_FIELD_EDITABLE));
    pEdit->SetEditText(L"before");
    EXPECT_EQ(pEdit->GetEditWindow(), nullptr);
    m_bar.OnRecalcLayout();
    ASSERT_NE(pEdit->GetEditWindow(), nullptr);
    wchar_t szText[32] = {};
    ::GetWindowTextW(pEdit->GetEditWindow(), szText, 32);
    EXPECT_STREQ(szText, L"before");

    ::SetWindowTextW(pEdit->GetEditWindow(), L"typed");
    // Leaving the bar destroys the window; its last text stays with the control.
    pEdit->InternalAddRef();
    m_bar.GetControls()->Remove(pEdit);
    EXPECT_EQ(pEdit->GetEditWindow(), nullptr);
    EXPECT_EQ(pEdit->GetEditText(), CString(L"typed"));
    pEdit->InternalRelease();
}

TEST_F(FieldControlTest, DestroyingTheEditWindowKeepsItsText)
{
    CXTPControlComboBox* pCombo = m_pCombo;
    pCombo->SetEditable(TRUE);
    m_bar.OnRecalcLayout();
    ASSERT_NE(pCombo->GetEditWindow(), nullptr);
    ::SetWindowTextW(pCombo->GetEditWindow(), L"Local");
    pCombo->SetParent(nullptr);
    EXPECT_EQ(pCombo->GetEditWindow(), nullptr);
    EXPECT_EQ(pCombo->GetEditText(), CString(L"Local"));
    pCombo->SetParent(&m_bar);

    ::SetWindowTextW(m_pEdit->GetEditWindow(), L"kept");
    ::DestroyWindow(m_pEdit->GetEditWindow());
    EXPECT_EQ(m_pEdit->GetEditText(), CString(L"kept"));
}

TEST_F(FieldControlTest, ComboListByKeyboardEscapeRestoresEnterKeepsAndRuns)
{
    ClickAt(ComboButton());
    ASSERT_TRUE(Pump([&] { return m_pCombo->IsDroppedDown(); }));
    const HWND hList = m_pCombo->GetListWindow();
    EXPECT_TRUE(::IsWindowVisible(hList));
    EXPECT_EQ(m_pFrame->m_nListFills, 1);
    CRect rcList;
    ::GetWindowRect(hList, &rcList);
    EXPECT_EQ(rcList.Width(), m_pCombo->GetRect().Width());
    const int nItem = static_cast<int>(::SendMessageW(hList, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(rcList.Height(), 4 * nItem + 4);

    Tap(VK_DOWN);
    Tap(VK_DOWN);
    ASSERT_TRUE(Pump([&] { return m_pCombo->GetCurSel() == 2; }));
    EXPECT_EQ(m_pCombo->GetEditText(), CString(L"Sports"));
    Tap(VK_ESCAPE);
    ASSERT_TRUE(Pump([&] { return !m_pCombo->IsDroppedDown(); }));
    EXPECT_FALSE(::IsWindowVisible(hList));
    EXPECT_EQ(m_pCombo->GetCurSel(), 0);
    EXPECT_EQ(m_pCombo->GetEditText(), CString(L"All"));
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    m_bar.EndTracking();

    ClickAt(ComboButton());
    ASSERT_TRUE(Pump([&] { return m_pCombo->IsDroppedDown(); }));
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    ASSERT_TRUE(Pump([&] { return !m_pCombo->IsDroppedDown(); }));
    EXPECT_EQ(m_pCombo->GetCurSel(), 1);
    EXPECT_EQ(m_pCombo->GetEditText(), CString(L"News"));
    EXPECT_EQ(m_pFrame->Count(ID_FIELD_COMBO, XTP_NOTIFY_EXECUTE), 1);
    EXPECT_EQ(m_pFrame->m_commands, std::vector<UINT>{static_cast<UINT>(ID_FIELD_COMBO)});
    EXPECT_EQ(XTPMouseManager()->m_nLock, 0);
}

TEST_F(FieldControlTest, ComboListByMouseTakesTheItemUnderTheButton)
{
    ClickAt(ComboButton());
    ASSERT_TRUE(Pump([&] { return m_pCombo->IsDroppedDown(); }));
    const HWND hList = m_pCombo->GetListWindow();
    RECT rcItem;
    ::SendMessageW(hList, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&rcItem));
    const POINT ptItem =
        frametest::ClientToScreenPoint(hList, (rcItem.left + rcItem.right) / 2, (rcItem.top + rcItem.bottom) / 2);
    cbtest::MoveMouseTo(ptItem);
    ASSERT_TRUE(Pump([&] { return m_pCombo->GetCurSel() == 3; }));
    // Hovering moves the list's mark, not the control's text.
    EXPECT_EQ(m_pCombo->GetEditText(), CString(L"All"));
    frametest::SendMouse(ptItem, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(ptItem, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(Pump([&] { return !m_pCombo->IsDroppedDown(); }));
    EXPECT_EQ(m_pCombo->GetEditText(), CString(L"Weather"));
    EXPECT_EQ(m_pCombo->GetCurSel(), 3);
    EXPECT_EQ(m_pFrame->Count(ID_FIELD_COMBO, XTP_NOTIFY_EXECUTE), 1);
}

TEST_F(FieldControlTest, EditableComboTakesTypingAndF4OpensTheList)
{
    m_pCombo->SetEditable(TRUE);
    m_bar.OnRecalcLayout();
    const HWND hEdit = m_pCombo->GetEditWindow();
    ASSERT_NE(hEdit, nullptr);
    CRect rcEdit;
    ::GetWindowRect(hEdit, &rcEdit);
    m_bar.ScreenToClient(&rcEdit);
    EXPECT_EQ(rcEdit.right, m_pCombo->GetRect().right - m_pCombo->GetThumbWidth() - 3);
    wchar_t szText[32] = {};
    ::GetWindowTextW(hEdit, szText, 32);
    EXPECT_STREQ(szText, L"All");

    ClickAt(cbtest::CenterOf(hEdit));
    ASSERT_TRUE(Pump([&] { return ::GetFocus() == hEdit; }));
    // The whole text is selected on focus, so typing replaces it.
    Type("town");
    ASSERT_TRUE(Pump([&] { return m_pCombo->GetEditText() == L"town"; }));
    Tap(VK_F4);
    ASSERT_TRUE(Pump([&] { return m_pCombo->IsDroppedDown(); }));
    Tap(VK_ESCAPE);
    ASSERT_TRUE(Pump([&] { return !m_pCombo->IsDroppedDown(); }));
    // An editable combo keeps what was typed: there is no selection to restore.
    EXPECT_EQ(m_pCombo->GetEditText(), CString(L"town"));
}

TEST_F(FieldControlTest, FieldsHideOnAVerticalDockAndComeBack)
{
    m_pCombo->SetEditable(TRUE);
    m_bar.OnRecalcLayout();
    CClientDC dc(&m_bar);
    struct
    {
        DWORD dwMode;
        bool bHidden;
    } cases[] = {{LM_VERTDOCK | LM_COMMIT, true}, {LM_HORZDOCK | LM_HORZ | LM_COMMIT, false}};
    for (const auto& c : cases) {
        m_bar.GetControls()->CalcDynamicSize(&dc, 600, c.dwMode, CRect(0, 0, 0, 0));
        for (CXTPControl* pControl : {static_cast<CXTPControl*>(m_pEdit), static_cast<CXTPControl*>(m_pCombo)}) {
            EXPECT_EQ((pControl->GetHideFlags() & xtpHideDockingPosition) != 0, c.bHidden) << pControl->GetID();
            EXPECT_EQ(::IsWindowVisible(pControl->GetEditWindow()) == FALSE, c.bHidden) << pControl->GetID();
        }
    }
}

TEST(ComboBoxList, HeightFollowsTheStringsFromOneToTwelveRows)
{
    CXTPControlComboBox combo;
    CXTPControlComboBoxList* pList = combo.GetList();
    ASSERT_NE(pList, nullptr);
    const HWND hList = combo.GetListWindow();
    ASSERT_NE(hList, nullptr);
    const int nItem = static_cast<int>(::SendMessageW(hList, LB_GETITEMHEIGHT, 0, 0));
    struct
    {
        int nStrings;
        int nRows;
    } cases[] = {{0, 1}, {3, 3}, {12, 12}, {13, 12}, {40, 12}};
    for (const auto& c : cases) {
        ::SendMessageW(hList, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < c.nStrings; ++i)
            ::SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
        EXPECT_EQ(pList->CalcListHeight(), c.nRows * nItem + 4) << c.nStrings;
    }
    // Without a selection or without a list window, no text and no selection.
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.GetListText(), CString());
    combo.SetCommandBar(nullptr);
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.GetListText(), CString());
}

TEST_F(FieldControlTest, StaticLabelMeasuresAtLeastItsMinimumLength)
{
    CClientDC dc(&m_bar);
    m_pStatic->SetCaption(L"");
    m_pStatic->SetMinLength(60);
    EXPECT_EQ(m_pStatic->GetSize(&dc), CSize(60, 22));
    m_pStatic->SetCaption(L"A much longer label than sixty pixels");
    const CSize szLong = m_pStatic->GetSize(&dc);
    EXPECT_GT(szLong.cx, 60);
    EXPECT_EQ(szLong.cy, 22);
    // Turned on a vertical bar: 22 across, the length along the bar.
    m_bar.SetBarPosition(xtpBarLeft);
    const CSize szVert = m_pStatic->GetSize(&dc);
    m_bar.SetBarPosition(xtpBarTop);
    EXPECT_EQ(szVert.cx, 22);
    EXPECT_EQ(szVert.cy, szLong.cx);

    // A label takes no clicks and every key.
    m_pStatic->OnClick(FALSE, m_pStatic->GetRect().CenterPoint());
    EXPECT_TRUE(m_pFrame->m_commands.empty());
    EXPECT_EQ(m_pStatic->OnHookKeyDown(VK_RETURN, 0), 1);
}

TEST_F(FieldControlTest, ListBoxRowsSelectionRuleAndResetNotices)
{
    // The list leads a bar tall enough for it.
    m_bar.MoveWindow(CRect(0, 0, 640, 160));
    CXTPControlListBox* pListBox =
        static_cast<CXTPControlListBox*>(m_bar.GetControls()->Add(new CXTPControlListBox, ID_FIELD_LIST, nullptr, 0));
    CListBox* pList = pListBox->GetListCtrl();
    ASSERT_NE(pList->GetSafeHwnd(), nullptr);
    CClientDC dc(&m_bar);
    const CSize szEmpty = pListBox->GetSize(&dc);
    // Measuring gives the list the bar's font first.
    const int nItem = static_cast<int>(pList->SendMessage(LB_GETITEMHEIGHT, 0));
    EXPECT_EQ(szEmpty, CSize(100, nItem));
    for (int i = 0; i < 30; ++i)
        pList->AddString(L"step");
    EXPECT_EQ(pListBox->GetSize(&dc), CSize(100, 12 * nItem));

    pListBox->SetMultiplSel(TRUE);
    pList = pListBox->GetListCtrl();
    EXPECT_EQ(pList->GetCount(), 0);
    EXPECT_NE(pList->GetStyle() & LBS_MULTIPLESEL, 0u);
    for (int i = 0; i < 8; ++i)
        pList->AddString(L"undo");
    const int nResets = m_pFrame->Count(ID_FIELD_LIST, XTP_LBN_RESETSEL);
    m_bar.OnRecalcLayout();
    EXPECT_EQ(::GetParent(pList->GetSafeHwnd()), m_bar.m_hWnd);
    EXPECT_EQ(pList->GetStyle() & WS_POPUP, 0u);
    EXPECT_EQ(m_pFrame->Count(ID_FIELD_LIST, XTP_LBN_RESETSEL), nResets + 1);

    RECT rcItem;
    pList->SendMessage(LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&rcItem));
    const POINT pt = frametest::ClientToScreenPoint(pList->GetSafeHwnd(), (rcItem.left + rcItem.right) / 2,
                                                    (rcItem.top + rcItem.bottom) / 2);
    cbtest::MoveMouseTo(pt);
    ASSERT_TRUE(Pump([&] { return m_pFrame->Count(ID_FIELD_LIST, XTP_LBN_SELCHANGE) > 0; }));
    EXPECT_EQ(pList->GetSelCount(), 4);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pList->GetSel(i) > 0, i < 4) << i;

    // Every layout resets the selection and says so.
    m_bar.OnRecalcLayout();
    EXPECT_EQ(pList->GetSelCount(), 0);
    EXPECT_EQ(m_pFrame->Count(ID_FIELD_LIST, XTP_LBN_RESETSEL), nResets + 2);

    // Selecting the control takes one count of the tracker's lock; deselecting gives it back.
    pListBox->SetSelected(xtpSelectedByKeyboard);
    EXPECT_EQ(XTPMouseManager()->m_nLock, 1);
    EXPECT_EQ(m_bar.GetKeyControl(), pListBox);
    pListBox->SetSelected(xtpSelectedByMouse);
    EXPECT_EQ(XTPMouseManager()->m_nLock, 1);
    pListBox->SetSelected(xtpNotSelected);
    EXPECT_EQ(XTPMouseManager()->m_nLock, 0);
}

TEST_F(FieldControlTest, CustomControlMovesItsWindowAndFollowsTheDock)
{
    CWnd* pHosted = new CWnd;
    ASSERT_TRUE(pHosted->CreateEx(0, L"STATIC", L"hosted", WS_CHILD | WS_VISIBLE | SS_SUNKEN, CRect(0, 0, 100, 20),
                                  m_pFrame, ID_FIELD_CUSTOM + 100));
    CXTPControlCustom* pCustom =
        static_cast<CXTPControlCustom*>(m_bar.GetControls()->AddByType(xtpControlCustom, ID_FIELD_CUSTOM));
    ASSERT_NE(pCustom, nullptr);
    EXPECT_EQ(pCustom->GetFlags(), static_cast<DWORD>(xtpFlagNoMovable));
    pCustom->SetControl(pHosted);
    pCustom->SetBorders(2, 2, 2, 2);
    CClientDC dc(&m_bar);
    EXPECT_EQ(pCustom->GetSize(&dc), CSize(104, 24));

    m_bar.OnRecalcLayout();
    EXPECT_EQ(::GetParent(pHosted->m_hWnd), m_bar.m_hWnd);
    const CRect rcControl = pCustom->GetRect();
    CRect rcHosted;
    pHosted->GetWindowRect(&rcHosted);
    m_bar.ScreenToClient(&rcHosted);
    EXPECT_EQ(rcHosted, CRect(rcControl.left + 2, rcControl.top + 2, rcControl.right - 2, rcControl.bottom - 2));
    EXPECT_TRUE(pHosted->IsWindowVisible());

    // Option 2: on a vertical dock the window hides and the control measures as a button.
    pCustom->SetVerticalPositionOption(xtpVerticalButton);
    pCustom->SetCaption(L"Slider");
    pCustom->OnCalcDynamicSize(LM_VERTDOCK);
    EXPECT_FALSE(pHosted->IsWindowVisible());
    EXPECT_EQ(pCustom->GetHideFlags(), static_cast<DWORD>(xtpNoHide));
    EXPECT_NE(pCustom->GetSize(&dc), CSize(104, 24));
    pCustom->OnCalcDynamicSize(LM_HORZDOCK);
    EXPECT_TRUE(pHosted->IsWindowVisible());
    EXPECT_EQ(pCustom->GetSize(&dc), CSize(104, 24));

    // Option 0 hides the whole control.
    pCustom->SetVerticalPositionOption(xtpVerticalHide);
    pCustom->OnCalcDynamicSize(LM_VERTDOCK);
    EXPECT_EQ(pCustom->GetHideFlags(), static_cast<DWORD>(xtpHideDockingPosition));
    EXPECT_FALSE(pHosted->IsWindowVisible());

    // The window goes before its control: the control must not touch it afterwards.
    pCustom->SetControl(nullptr);
    pHosted->DestroyWindow();
    delete pHosted;
}

TEST_F(FieldControlTest, MouseOverTheHostedWindowReachesTheBar)
{
    CWnd* pHosted = new CWnd;
    ASSERT_TRUE(pHosted->CreateEx(0, L"STATIC", L"hosted", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(0, 0, 80, 18),
                                  m_pFrame, ID_FIELD_CUSTOM + 101));
    CXTPControlCustom* pCustom =
        static_cast<CXTPControlCustom*>(m_bar.GetControls()->AddByType(xtpControlCustom, ID_FIELD_CUSTOM));
    pCustom->SetControl(pHosted);
    m_bar.OnRecalcLayout();
    const POINT pt = cbtest::CenterOf(pHosted->m_hWnd);
    cbtest::MoveMouseTo(pt);
    // The bar hot-tracks the control under the hosted window.
    ASSERT_TRUE(Pump([&] { return m_bar.GetSelectedControl() == pCustom; }));
    pCustom->SetControl(nullptr);
    pHosted->DestroyWindow();
    delete pHosted;
}

} // namespace

// ---- The frame's Edit commands on a focused field

namespace {

class CEditCommandFrame : public CXTPFrameWnd
{
};

class FieldEditCommandTest : public cbtest::BarFrameTest<CEditCommandFrame>
{
protected:
    FieldEditCommandTest() : BarFrameTest(L"FieldEditCommandTests") {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CreateFrameAndBar(L"Field edit command tests", CRect(100, 100, 760, 420), 640));
        m_pEdit = static_cast<CXTPControlEdit*>(m_bar.GetControls()->AddByType(xtpControlEdit, ID_FIELD_EDIT));
        m_pEdit->ShowLabel(FALSE);
        m_pEdit->SetWidth(150);
        m_pCombo =
            static_cast<CXTPControlComboBox*>(m_bar.GetControls()->AddByType(xtpControlComboBox, ID_FIELD_COMBO));
        m_pCombo->SetWidth(120);
        m_pCombo->SetEditable(TRUE);
        m_bar.OnRecalcLayout();
        ASSERT_TRUE(frametest::Activate(m_pFrame->m_hWnd));
        m_pFrame->SetFocus();
        lqtest::PumpPending();
    }
    void TearDown() override
    {
        XTPMouseManager()->EndAllTracking();
        DestroyFrameAndBar();
    }
    bool Pump(const std::function<bool()>& cond) { return frametest::PumpTranslatedUntil(cond); }
    // The command as the frame's menu sends it.
    void Command(UINT nID)
    {
        m_pFrame->SendMessage(WM_COMMAND, nID, 0);
        lqtest::PumpPending();
    }
    static std::wstring TextOf(HWND hEdit)
    {
        wchar_t szText[64] = {};
        ::GetWindowTextW(hEdit, szText, 64);
        return szText;
    }
    static std::pair<int, int> SelectionOf(HWND hEdit)
    {
        DWORD nStart = 0, nEnd = 0;
        ::SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
        return {static_cast<int>(nStart), static_cast<int>(nEnd)};
    }

    CXTPControlEdit* m_pEdit = nullptr;
    CXTPControlComboBox* m_pCombo = nullptr;
};

} // namespace

TEST_F(FieldEditCommandTest, MenuEditCommandsAndKeysActOnTheFocusedFieldOfABar)
{
    for (HWND hEdit : {m_pEdit->GetEditWindow(), m_pCombo->GetEditWindow()}) {
        SCOPED_TRACE(hEdit == m_pEdit->GetEditWindow() ? "edit" : "combo's edit");
        ASSERT_NE(hEdit, nullptr);
        ::SetWindowTextW(hEdit, L"");
        const POINT pt = cbtest::CenterOf(hEdit);
        cbtest::MoveMouseTo(pt);
        ASSERT_TRUE(cbtest::WaitForCursor(pt));
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(Pump([&] { return ::GetFocus() == hEdit; }));
        Type("rain");
        ASSERT_TRUE(Pump([&] { return TextOf(hEdit) == L"rain"; }));

        // Select All and Cut from the frame's menu take the field's text to the clipboard.
        Command(ID_EDIT_SELECT_ALL);
        EXPECT_EQ(SelectionOf(hEdit), std::make_pair(0, 4));
        Command(ID_EDIT_CUT);
        EXPECT_EQ(TextOf(hEdit), L"");
        // Paste twice, then Undo takes the second paste back.
        Command(ID_EDIT_PASTE);
        Command(ID_EDIT_PASTE);
        EXPECT_EQ(TextOf(hEdit), L"rainrain");
        Command(ID_EDIT_UNDO);
        EXPECT_EQ(TextOf(hEdit), L"rain");

        // The keys: Ctrl+A selects the whole field, Ctrl+C copies, Delete clears, Ctrl+V brings it back.
        lqtest::SendCtrlKey('A');
        ASSERT_TRUE(Pump([&] { return SelectionOf(hEdit) == std::make_pair(0, 4); }));
        lqtest::SendCtrlKey('C');
        Tap(VK_DELETE);
        ASSERT_TRUE(Pump([&] { return TextOf(hEdit).empty(); }));
        lqtest::SendCtrlKey('V');
        ASSERT_TRUE(Pump([&] { return TextOf(hEdit) == L"rain"; }));
        EXPECT_EQ(::GetFocus(), hEdit);
    }
}
