// Windows with objects: creation through the object's map, reflection, pre-translation, handle maps, update of
// child controls, and messages that arrive while an object goes away.
#include "framework/Afx.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

const UINT g_registeredMessage = ::RegisterWindowMessageW(L"LqWndTestsRegistered");

class CRecordingWnd : public CWnd
{
public:
    std::vector<std::string> m_log;

    int OnCreate(LPCREATESTRUCT lpcs)
    {
        m_log.push_back("create");
        m_createParam = lpcs->lpCreateParams;
        return m_failCreate ? -1 : CWnd::OnCreate(lpcs);
    }
    BOOL OnNcCreate(LPCREATESTRUCT lpcs)
    {
        m_log.push_back("nccreate");
        return CWnd::OnNcCreate(lpcs);
    }
    void OnSize(UINT, int cx, int cy)
    {
        m_log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
        Default();
    }
    LRESULT OnPrivate(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
    LRESULT OnRegistered(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam * 2); }
    void PreSubclassWindow() override { m_log.push_back("presubclass"); }
    void PostNcDestroy() override { m_log.push_back("postncdestroy"); }

    BOOL m_failCreate = FALSE;
    LPVOID m_createParam = nullptr;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingWnd, CWnd)
ON_WM_CREATE()
ON_WM_NCCREATE()
ON_WM_SIZE()
ON_MESSAGE(WM_APP + 1, OnPrivate)
ON_REGISTERED_MESSAGE(g_registeredMessage, OnRegistered)
END_MESSAGE_MAP()

// A derived map adds to its base and replaces the base's private-message handler.
class CDerivedRecordingWnd : public CRecordingWnd
{
public:
    LRESULT OnPrivate(WPARAM, LPARAM) { return -5; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedRecordingWnd, CRecordingWnd)
ON_MESSAGE(WM_APP + 1, OnPrivate)
END_MESSAGE_MAP()

TEST(WndCreation, OwnClassWindowSeesItsMessagesThroughTheMapAndItsBaseMaps)
{
    CDerivedRecordingWnd wnd;
    int param = 0;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, &param));
    EXPECT_EQ(&param, wnd.m_createParam);
    ASSERT_GE(wnd.m_log.size(), 3u);
    EXPECT_EQ("presubclass", wnd.m_log[0]);
    EXPECT_EQ("nccreate", wnd.m_log[1]);
    EXPECT_EQ("create", wnd.m_log[2]);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));

    EXPECT_EQ(-5, wnd.SendMessage(WM_APP + 1, 2, 3)) << "the derived entry wins";
    EXPECT_EQ(42, wnd.SendMessage(g_registeredMessage, 21)) << "the base's registered-message entry is inherited";
    wnd.m_log.clear();
    wnd.MoveWindow(0, 0, 300, 150);
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_NE(std::find(wnd.m_log.begin(), wnd.m_log.end(),
                        "size " + std::to_string(client.Width()) + "x" + std::to_string(client.Height())),
              wnd.m_log.end());

    HWND hWnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(nullptr, wnd.m_hWnd) << "WM_NCDESTROY detaches the object";
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ("postncdestroy", wnd.m_log.back());
}

TEST(WndCreation, SystemClassWindowIsSubclassedBeforeItsFirstMessage)
{
    CRecordingWnd edit;
    ASSERT_TRUE(edit.CreateEx(0, L"EDIT", L"hello", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr));
    ASSERT_GE(edit.m_log.size(), 3u);
    EXPECT_EQ((std::vector<std::string>{"presubclass", "nccreate", "create"}),
              std::vector<std::string>(edit.m_log.begin(), edit.m_log.begin() + 3));
    // The class's own procedure still does the work behind Default().
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(CString(L"hello"), text);
    edit.SetWindowText(L"changed");
    EXPECT_EQ(7, edit.GetWindowTextLength());
    EXPECT_NE(nullptr, edit.m_pfnSuper);
    edit.DestroyWindow();
}

TEST(WndCreation, CreateRefusedInOnCreateFailsAndEndsTheObjectsWindow)
{
    CRecordingWnd wnd;
    wnd.m_failCreate = TRUE;
    EXPECT_FALSE(wnd.CreateEx(0, L"BUTTON", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ("postncdestroy", wnd.m_log.back());

    // A class that does not exist fails before any window is made; PostNcDestroy still ends the object.
    CRecordingWnd missing;
    EXPECT_FALSE(missing.CreateEx(0, L"LqNoSuchClass", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(std::vector<std::string>{"postncdestroy"}, missing.m_log);
}

TEST(WndCreation, APopUpMadeThroughCreateGetsNoIdInItsMenuSlot)
{
    // Create makes children; asked for a pop-up it must not turn the id into a menu handle.
    CWnd popup;
    ASSERT_TRUE(popup.Create(nullptr, L"popup", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 1001));
    EXPECT_FALSE(popup.GetStyle() & WS_CHILD);
    EXPECT_EQ(nullptr, ::GetMenu(popup.m_hWnd));
    popup.DestroyWindow();

    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, L"", 0, CRect(0, 0, 5, 5), &parent, 1001));
    EXPECT_TRUE(child.GetStyle() & WS_CHILD) << "Create makes a child when not asked for a pop-up";
    EXPECT_EQ(1001, child.GetDlgCtrlID());
    EXPECT_EQ(&child, parent.GetDlgItem(1001));
    parent.DestroyWindow();
}

TEST(WndCmdUI, ItemStatesReachMenusAndButtons)
{
    HMENU hMenu = ::CreatePopupMenu();
    ::AppendMenuW(hMenu, MF_STRING, 501, L"First");
    ::AppendMenuW(hMenu, MF_STRING, 502, L"Second");
    CCmdUI menuItem;
    menuItem.m_pMenu = CMenu::FromHandle(hMenu);
    menuItem.m_nIndex = 1;
    menuItem.m_nID = 502;
    menuItem.Enable(FALSE);
    menuItem.SetCheck(1);
    menuItem.SetText(L"Renamed");
    const UINT state = ::GetMenuState(hMenu, 1, MF_BYPOSITION);
    EXPECT_TRUE(state & MF_GRAYED);
    EXPECT_TRUE(state & MF_CHECKED);
    wchar_t text[32] = {};
    ::GetMenuStringW(hMenu, 1, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(L"Renamed", text);
    EXPECT_EQ(502u, ::GetMenuItemID(hMenu, 1)) << "renaming keeps the command";
    EXPECT_EQ(0u, ::GetMenuState(hMenu, 0, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED)) << "other items untouched";
    ::DestroyMenu(hMenu);

    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    CWnd check;
    ASSERT_TRUE(check.Create(L"BUTTON", L"old", BS_CHECKBOX, CRect(0, 0, 50, 20), &host, 503));
    CCmdUI button;
    button.m_nID = 503;
    button.m_pOther = &check;
    button.SetCheck(1);
    button.SetText(L"new");
    button.Enable(FALSE);
    EXPECT_EQ(BST_CHECKED, check.SendMessage(BM_GETCHECK));
    CString caption;
    check.GetWindowText(caption);
    EXPECT_EQ(CString(L"new"), caption);
    EXPECT_FALSE(check.IsWindowEnabled());
    EXPECT_TRUE(button.m_bEnableChanged);
    host.DestroyWindow();
}

// ---- Commands, notifications and reflection

const UINT kButtonId = 1001;
const UINT kListId = 1002;
const UINT kMenuCommand = 2001;
const UINT kDisabledCommand = 2002;

std::vector<std::string> g_routed;

class CReflectingButton : public CWnd
{
public:
    BOOL OnClicked()
    {
        g_routed.push_back("child-clicked");
        return m_bConsume;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) { g_routed.push_back("child-draw " + std::to_string(lpDIS->CtlID)); }

    BOOL m_bConsume = FALSE;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingButton, CWnd)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

class CReflectingList : public CWnd
{
public:
    void OnItemChanged(NMHDR*, LRESULT* pResult)
    {
        g_routed.push_back("list-reflect");
        *pResult = 9;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingList, CWnd)
ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
END_MESSAGE_MAP()

class CColoredStatic : public CWnd
{
public:
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        m_hdcSeen = pDC->GetSafeHdc();
        m_typeSeen = nCtlColor;
        return m_brush;
    }

    HBRUSH m_brush = nullptr;
    HDC m_hdcSeen = nullptr;
    UINT m_typeSeen = 99;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColoredStatic, CWnd)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CParentWnd : public CWnd
{
public:
    void OnButton() { g_routed.push_back("parent-clicked"); }
    void OnMenuCommand() { g_routed.push_back("menu"); }
    void OnDisabledCommand() { g_routed.push_back("disabled-ran"); }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnListChanged(NMHDR*, LRESULT*) { g_routed.push_back("parent-list"); }
    void OnListClick(NMHDR* pNMHDR, LRESULT* pResult)
    {
        g_routed.push_back("parent-click " + std::to_string(pNMHDR->idFrom));
        *pResult = 5;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
ON_BN_CLICKED(kButtonId, OnButton)
ON_COMMAND(kMenuCommand, OnMenuCommand)
ON_COMMAND(kDisabledCommand, OnDisabledCommand)
ON_UPDATE_COMMAND_UI(kDisabledCommand, OnUpdateDisabled)
ON_NOTIFY(LVN_ITEMCHANGED, kListId, OnListChanged)
ON_NOTIFY(NM_CLICK, kListId, OnListClick)
END_MESSAGE_MAP()

class WndRouting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&icc);
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
        ASSERT_TRUE(
            m_button.Create(L"BUTTON", L"b", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 50, 20), &m_parent, kButtonId));
        ASSERT_TRUE(
            m_list.Create(WC_LISTVIEWW, L"", WS_VISIBLE | LVS_REPORT, CRect(0, 30, 100, 100), &m_parent, kListId));
        g_routed.clear();
    }
    void TearDown() override { m_parent.DestroyWindow(); }

    void ClickButton()
    {
        m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(m_button.m_hWnd));
    }

    LRESULT SendNotify(UINT code)
    {
        NMHDR hdr{m_list.m_hWnd, kListId, code};
        return m_parent.SendMessage(WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&hdr));
    }

    CParentWnd m_parent;
    CReflectingButton m_button;
    CReflectingList m_list;
};

TEST_F(WndRouting, ControlNotificationsAreOfferedToTheChildFirst)
{
    ClickButton();
    EXPECT_EQ((std::vector<std::string>{"child-clicked", "parent-clicked"}), g_routed)
        << "an _EX reflect handler answering FALSE leaves the notification to the parent";

    g_routed.clear();
    m_button.m_bConsume = TRUE;
    ClickButton();
    EXPECT_EQ(std::vector<std::string>{"child-clicked"}, g_routed);

    g_routed.clear();
    EXPECT_EQ(9, SendNotify(LVN_ITEMCHANGED)) << "the reflected handler's result is the message's";
    EXPECT_EQ(std::vector<std::string>{"list-reflect"}, g_routed);

    g_routed.clear();
    EXPECT_EQ(5, SendNotify(static_cast<UINT>(NM_CLICK))) << "without a reflect entry the parent's map answers";
    EXPECT_EQ(std::vector<std::string>{"parent-click 1002"}, g_routed);

    g_routed.clear();
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = kButtonId;
    dis.hwndItem = m_button.m_hWnd;
    m_parent.SendMessage(WM_DRAWITEM, kButtonId, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(std::vector<std::string>{"child-draw 1001"}, g_routed);
}

TEST_F(WndRouting, ColourMessagesAreAnsweredByTheChildUnlessItDeclines)
{
    CColoredStatic label;
    ASSERT_TRUE(label.Create(L"STATIC", L"label", WS_VISIBLE, CRect(0, 110, 80, 130), &m_parent, 1003));
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    label.m_brush = brush;
    HDC hdc = ::GetDC(label.m_hWnd);
    EXPECT_EQ(reinterpret_cast<LRESULT>(brush), m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                                                     reinterpret_cast<LPARAM>(label.m_hWnd)));
    EXPECT_EQ(hdc, label.m_hdcSeen);
    EXPECT_EQ(static_cast<UINT>(CTLCOLOR_STATIC), label.m_typeSeen);

    label.m_brush = nullptr;
    const LRESULT fallback =
        m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(label.m_hWnd));
    EXPECT_NE(reinterpret_cast<LRESULT>(brush), fallback);
    EXPECT_NE(0, fallback) << "the parent's default answers when the child declines";
    ::ReleaseDC(label.m_hWnd, hdc);
    label.DestroyWindow();
    ::DeleteObject(brush);
}

TEST_F(WndRouting, MenuCommandsAreDroppedWhileTheirUpdateHandlerDisablesThem)
{
    EXPECT_NE(0, m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(kMenuCommand, 0), 0));
    EXPECT_NE(0, m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(kDisabledCommand, 0), 0))
        << "a disabled command counts as handled";
    EXPECT_EQ(0, m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(4444, 0), 0));
    EXPECT_EQ(std::vector<std::string>{"menu"}, g_routed);
}

// ---- Update of child controls

class CCommandOwner : public CCmdTarget
{
public:
    void OnEnabledCommand() {}
    void OnUpdateOff(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandOwner, CCmdTarget)
ON_COMMAND(11, OnEnabledCommand)
ON_UPDATE_COMMAND_UI(10, OnUpdateOff)
ON_UPDATE_COMMAND_UI(14, OnUpdateChecked)
END_MESSAGE_MAP()

// A control that sets its own state through its reflected update entry.
class CSelfUpdatingButton : public CWnd
{
public:
    void OnUpdateSelf(CCmdUI* pCmdUI)
    {
        ++m_updates;
        pCmdUI->SetCheck(1);
    }
    int m_updates = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfUpdatingButton, CWnd)
ON_UPDATE_COMMAND_UI_REFLECT(OnUpdateSelf)
END_MESSAGE_MAP()

TEST(WndUpdate, UpdateDialogControlsAppliesHandlersAndDisablesOnlyUnhandledPushButtons)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    struct Child
    {
        UINT id;
        DWORD style;
        BOOL expectEnabled;
    };
    const Child children[] = {
        {10, BS_PUSHBUTTON, FALSE},  // its update handler disables it
        {11, BS_PUSHBUTTON, TRUE},   // a command handler, no update handler
        {12, BS_PUSHBUTTON, FALSE},  // no handler at all
        {13, BS_AUTOCHECKBOX, TRUE}, // automatic buttons keep working without a handler
        {14, BS_CHECKBOX, FALSE},    // its update handler only checks it, and no command exists to enable it
    };
    for (const Child& c : children) {
        ASSERT_NE(nullptr,
                  ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | c.style, 0, 0, 10, 10, host.m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)), nullptr, nullptr));
    }
    CCommandOwner owner;
    host.UpdateDialogControls(&owner, TRUE);
    for (const Child& c : children)
        EXPECT_EQ(c.expectEnabled, ::IsWindowEnabled(::GetDlgItem(host.m_hWnd, static_cast<int>(c.id)))) << c.id;
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(::GetDlgItem(host.m_hWnd, 14), BM_GETCHECK, 0, 0));

    // A control with its own reflected update entry is not offered to anyone else.
    CSelfUpdatingButton self;
    ASSERT_TRUE(self.Create(L"BUTTON", L"", WS_VISIBLE | BS_CHECKBOX, CRect(0, 0, 10, 10), &host, 15));
    host.UpdateDialogControls(&owner, TRUE);
    EXPECT_EQ(1, self.m_updates);
    EXPECT_TRUE(self.IsWindowEnabled()) << "its own handler answered, so the missing command does not disable it";
    EXPECT_EQ(BST_CHECKED, self.SendMessage(BM_GETCHECK));
    CCmdUI probe;
    probe.m_pOther = &self;
    EXPECT_TRUE(self.OnCmdMsg(0, static_cast<int>(0xBD11FFFF), &probe, nullptr)) << "the reflected update code";

    // Without "disable if no handler" a control that has none keeps its state.
    ::EnableWindow(::GetDlgItem(host.m_hWnd, 12), TRUE);
    host.UpdateDialogControls(&owner, FALSE);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(host.m_hWnd, 12)));
    host.DestroyWindow();
}

// ---- Pre-translation

std::vector<std::string> g_preTranslated;

class CPreTranslateWnd : public CWnd
{
public:
    explicit CPreTranslateWnd(const char* name, BOOL bEat = FALSE) : m_name(name), m_bEat(bEat) {}
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            g_preTranslated.push_back(m_name);
        return m_bEat;
    }
    std::string m_name;
    BOOL m_bEat;
};

TEST(WndPreTranslate, TheWalkGoesFromTheTargetUpToItsTopLevelWindowOnly)
{
    CPreTranslateWnd owner("owner");
    CPreTranslateWnd top("top");
    CPreTranslateWnd middle("middle");
    CPreTranslateWnd leaf("leaf");
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    ASSERT_TRUE(top.CreateEx(0, nullptr, L"top", WS_POPUP, 0, 0, 100, 100, owner.m_hWnd, nullptr));
    ASSERT_TRUE(middle.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 50, 50), &top, 1));
    // A child without an object in between is passed over.
    HWND plain = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 40, 40, middle.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(leaf.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 20, 20), CWnd::FromHandle(plain), 2));

    MSG msg{leaf.m_hWnd, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    g_preTranslated.clear();
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ((std::vector<std::string>{"leaf", "middle", "top"}), g_preTranslated)
        << "the owner of the top-level window is not part of the walk";

    g_preTranslated.clear();
    middle.m_bEat = TRUE;
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ((std::vector<std::string>{"leaf", "middle"}), g_preTranslated);

    g_preTranslated.clear();
    middle.m_bEat = FALSE;
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(middle.m_hWnd, &msg));
    EXPECT_EQ((std::vector<std::string>{"leaf", "middle"}), g_preTranslated) << "the stop window ends the walk";
    owner.DestroyWindow();
    EXPECT_EQ(nullptr, leaf.m_hWnd) << "children destroyed with their owner's tree are detached";
}

// ---- Handle maps

TEST(WndHandleMaps, PermanentObjectsBelongToTheirThreadAndOthersGetTemporaries)
{
    CWnd mine;
    ASSERT_TRUE(mine.CreateEx(0, nullptr, L"mine", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr));

    CWnd* seenPermanent = reinterpret_cast<CWnd*>(1);
    CWnd* temp1 = nullptr;
    CWnd* temp2 = nullptr;
    HWND tempHandle = nullptr;
    bool otherFoundOwn = false;
    bool attachedHere = false;
    bool ownerStillFound = false;
    HWND otherWindow = nullptr;
    std::thread other([&] {
        seenPermanent = CWnd::FromHandlePermanent(mine.m_hWnd);
        temp1 = CWnd::FromHandle(mine.m_hWnd);
        temp2 = CWnd::FromHandle(mine.m_hWnd);
        tempHandle = temp1->m_hWnd;
        // This thread's own object for the same handle lives beside the first thread's.
        CWnd wrapper;
        attachedHere = wrapper.Attach(mine.m_hWnd) && CWnd::FromHandlePermanent(mine.m_hWnd) == &wrapper;
        ownerStillFound = CWnd::FromHandlePermanent(mine.m_hWnd) != &mine;
        wrapper.Detach();
        CWnd own;
        if (own.CreateEx(0, nullptr, L"own", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) {
            otherWindow = own.m_hWnd;
            otherFoundOwn = CWnd::FromHandlePermanent(own.m_hWnd) == &own;
            own.DestroyWindow();
        }
        AfxDeleteTempMaps();
    });
    other.join();

    EXPECT_EQ(nullptr, seenPermanent) << "another thread's object is not this thread's";
    EXPECT_NE(&mine, temp1);
    EXPECT_EQ(temp1, temp2) << "one temporary per handle until idle";
    EXPECT_EQ(mine.m_hWnd, tempHandle);
    EXPECT_TRUE(otherFoundOwn);
    EXPECT_TRUE(attachedHere);
    EXPECT_TRUE(ownerStillFound);
    EXPECT_NE(nullptr, otherWindow);

    EXPECT_EQ(&mine, CWnd::FromHandlePermanent(mine.m_hWnd));
    EXPECT_EQ(&mine, CWnd::FromHandle(mine.m_hWnd));
    CWnd* desktopTemp = CWnd::FromHandle(::GetDesktopWindow());
    ASSERT_NE(nullptr, desktopTemp);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(::GetDesktopWindow()));
    EXPECT_FALSE(mine.Attach(::GetDesktopWindow())) << "an attached object takes no second handle";
    mine.DestroyWindow();
}

TEST(WndHandleMaps, SubclassAndUnsubclassRestoreTheOriginalProcedure)
{
    HWND hEdit = ::CreateWindowExW(0, L"EDIT", L"abc", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hEdit);
    const auto original = ::GetWindowLongPtrW(hEdit, GWLP_WNDPROC);
    {
        CRecordingWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(hEdit));
        EXPECT_EQ(std::vector<std::string>{"presubclass"}, wnd.m_log);
        CRecordingWnd second;
        EXPECT_FALSE(second.SubclassWindow(hEdit)) << "one object per window";
        EXPECT_EQ(10, wnd.SendMessage(WM_APP + 1, 4, 6));
        EXPECT_EQ(hEdit, wnd.UnsubclassWindow());
        EXPECT_EQ(original, ::GetWindowLongPtrW(hEdit, GWLP_WNDPROC));
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hEdit));
    }
    EXPECT_TRUE(::IsWindow(hEdit)) << "an unsubclassed object leaves the window alone";
    ::DestroyWindow(hEdit);
}

// ---- Objects that go away

class CDestroyCounter : public CWnd
{
public:
    explicit CDestroyCounter(int* pDestroyed, int* pDeleted = nullptr) : m_pDestroyed(pDestroyed), m_pDeleted(pDeleted)
    {
    }
    ~CDestroyCounter() override
    {
        if (m_pDeleted != nullptr)
            ++*m_pDeleted;
    }
    void OnDestroy()
    {
        ++*m_pDestroyed;
        CWnd::OnDestroy();
    }
    LRESULT OnPing(WPARAM, LPARAM)
    {
        ++m_pings;
        return 0;
    }
    void PostNcDestroy() override
    {
        if (m_bAutoDelete)
            delete this;
    }

    int* m_pDestroyed;
    int* m_pDeleted;
    int m_pings = 0;
    BOOL m_bAutoDelete = FALSE;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDestroyCounter, CWnd)
ON_WM_DESTROY()
ON_MESSAGE(WM_APP + 7, OnPing)
END_MESSAGE_MAP()

TEST(WndLifetime, DeletingAnObjectWithALiveWindowDestroysItWithoutReachingTheGoneDerivedPart)
{
    int destroyed = 0;
    auto* wnd = new CDestroyCounter(&destroyed);
    ASSERT_TRUE(wnd->CreateEx(0, L"EDIT", L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    HWND hWnd = wnd->m_hWnd;
    delete wnd;
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(0, destroyed) << "the derived handler must not run on a half-destroyed object";
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(WndLifetime, PostedMessagesForASelfDeletingWindowAreHarmless)
{
    int destroyed = 0;
    int deleted = 0;
    auto* wnd = new CDestroyCounter(&destroyed, &deleted);
    wnd->m_bAutoDelete = TRUE;
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    HWND hWnd = wnd->m_hWnd;
    ::PostMessageW(hWnd, WM_APP + 7, 0, 0);
    ::PostMessageW(hWnd, WM_APP + 7, 0, 0);
    wnd->DestroyWindow();
    lqtest::PumpPending();
    EXPECT_EQ(1, destroyed);
    EXPECT_EQ(1, deleted);
}

TEST(WndLifetime, ADetachedWindowKeepsWorkingAfterItsObjectIsGone)
{
    int destroyed = 0;
    HWND hWnd = nullptr;
    {
        CDestroyCounter wnd(&destroyed);
        ASSERT_TRUE(wnd.CreateEx(0, L"EDIT", L"kept", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr));
        hWnd = wnd.Detach();
    }
    // Our procedure is still installed on the window; it must hand messages to the class's own.
    wchar_t text[16] = {};
    ::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"still"));
    ::GetWindowTextW(hWnd, text, 16);
    EXPECT_STREQ(L"still", text);
    ::PostMessageW(hWnd, WM_APP + 7, 0, 0);
    lqtest::PumpPending();
    EXPECT_TRUE(::DestroyWindow(hWnd));
    EXPECT_EQ(0, destroyed);
}

#if !LQ_DEBUG_CHECKS
// The build types the program ships in have no debug checks: a wrapper used on a window that is gone passes the
// platform's failure on, and nothing stops.
TEST(WndLifetime, WithoutDebugChecksAWrapperOnAGoneWindowAnswersThePlatformsFailure)
{
    CWnd gone;
    ASSERT_TRUE(gone.CreateEx(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr));
    const HWND hWnd = gone.Detach();
    ::DestroyWindow(hWnd);
    gone.m_hWnd = hWnd;
    EXPECT_EQ(0u, gone.GetStyle());
    EXPECT_EQ(0, gone.SendMessage(WM_GETTEXTLENGTH));
    EXPECT_FALSE(gone.IsWindowVisible());
    gone.m_hWnd = nullptr;
}
#endif

TEST(WndDefault, DefaultUsesTheMessageBeingHandledAndRestoresTheOuterOne)
{
    class CNestingWnd : public CWnd
    {
    public:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_APP + 3) {
                // A nested message in between must not change what Default() sees afterwards.
                SendMessage(WM_APP + 4);
                m_seen = GetCurrentMessage()->message;
                return Default();
            }
            return CWnd::WindowProc(message, wParam, lParam);
        }
        UINT m_seen = 0;
    } wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"EDIT", L"abc", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr));
    wnd.SendMessage(WM_APP + 3);
    EXPECT_EQ(static_cast<UINT>(WM_APP + 3), wnd.m_seen);
    wnd.DestroyWindow();
}

} // namespace

// ---- Modal loops

class CModalWnd : public CWnd
{
public:
    LRESULT OnKickIdle(WPARAM, LPARAM lCount)
    {
        ++m_kicks;
        if (m_endOnIdle && lCount == 0 && m_kicks >= 1)
            EndModalLoop(m_result);
        return FALSE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            ++m_keys;
        return CWnd::PreTranslateMessage(pMsg);
    }

    int m_kicks = 0;
    int m_keys = 0;
    int m_result = 0;
    bool m_endOnIdle = false;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CModalWnd, CWnd)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

TEST(WndModalLoop, TheLoopWalksPreTranslationSendsKickIdleAndEndsWithItsResult)
{
    CModalWnd dlg;
    ASSERT_TRUE(dlg.CreateEx(0, nullptr, L"modal", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    dlg.m_endOnIdle = true;
    dlg.m_result = 1234;
    dlg.PostMessage(WM_KEYDOWN, VK_F2, 0);
    EXPECT_EQ(1234, dlg.RunModalLoop());
    EXPECT_EQ(1, dlg.m_keys) << "messages of the loop pass through PreTranslateMessage";
    EXPECT_GE(dlg.m_kicks, 1);
    EXPECT_FALSE(dlg.m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL));
    dlg.DestroyWindow();
}

TEST(WndModalLoop, AQuitMessageEndsTheLoopAndIsPostedAgainWithItsCode)
{
    CModalWnd dlg;
    ASSERT_TRUE(dlg.CreateEx(0, nullptr, L"modal", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    ::PostQuitMessage(31);
    EXPECT_EQ(-1, dlg.RunModalLoop(MLF_NOKICKIDLE));
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(31u, msg.wParam);
    dlg.DestroyWindow();
}

// ---- Bar layout

class CBarLike : public CWnd
{
public:
    CBarLike(int height, bool atTop) : m_height(height), m_atTop(atTop) {}
    LRESULT OnSizeParent(WPARAM, LPARAM lParam)
    {
        auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        CRect rect = layout->rect;
        if (m_atTop) {
            rect.bottom = rect.top + m_height;
            layout->rect.top += m_height;
        } else {
            rect.top = rect.bottom - m_height;
            layout->rect.bottom -= m_height;
        }
        layout->sizeTotal.cy += m_height;
        layout->sizeTotal.cx = rect.Width();
        AfxRepositionWindow(layout, m_hWnd, &rect);
        return 0;
    }
    int m_height;
    bool m_atTop;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBarLike, CWnd)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

TEST(WndLayout, RepositionBarsGivesTheBarsTheirRoomAndTheRestToTheLeftOverPane)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, L"frame", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    CBarLike top(20, true);
    CBarLike bottom(10, false);
    CWnd pane;
    ASSERT_TRUE(top.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 1, 1), &frame, 0xE800));
    ASSERT_TRUE(bottom.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 1, 1), &frame, 0xE801));
    ASSERT_TRUE(pane.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 1, 1), &frame, 0xE900));
    CRect client;
    frame.GetClientRect(&client);

    CRect room;
    frame.RepositionBars(0xE800, 0xE8FF, 0xE900, CWnd::reposQuery, &room);
    EXPECT_EQ(CRect(0, 20, client.right, client.bottom - 10), room);
    CRect paneRect;
    pane.GetWindowRect(&paneRect);
    EXPECT_EQ(1, paneRect.Width()) << "a query moves nothing";

    frame.RepositionBars(0xE800, 0xE8FF, 0xE900);
    auto placeOf = [&](CWnd& wnd) {
        CRect rect;
        wnd.GetWindowRect(&rect);
        frame.ScreenToClient(&rect);
        return rect;
    };
    EXPECT_EQ(CRect(0, 0, client.right, 20), placeOf(top));
    EXPECT_EQ(CRect(0, client.bottom - 10, client.right, client.bottom), placeOf(bottom));
    EXPECT_EQ(CRect(0, 20, client.right, client.bottom - 10), placeOf(pane));
    frame.DestroyWindow();
}

// ---- Tool tips

class CTipWnd : public CWnd
{
public:
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override
    {
        if (point.x >= 50)
            return -1;
        pTI->hwnd = m_hWnd;
        pTI->uId = 7;
        pTI->rect = CRect(0, 0, 50, 50);
        // The framework frees the text it is handed.
        pTI->lpszText = _wcsdup(L"tip seven");
        return 7;
    }
};

TEST(WndToolTips, TheFilterAddsTheHitToolWithItsTextAndDropsItWhenTheMouseLeaves)
{
    CTipWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"tips", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, nullptr, nullptr));
    wnd.EnableToolTips();
    CPoint inside(10, 10);
    wnd.ClientToScreen(&inside);
    MSG msg{wnd.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), 0, inside};
    EXPECT_FALSE(wnd.PreTranslateMessage(&msg));

    HWND hTip = AfxGetThreadState()->m_hToolTip;
    ASSERT_NE(nullptr, hTip);
    EXPECT_EQ(1, ::SendMessageW(hTip, TTM_GETTOOLCOUNT, 0, 0));
    wchar_t text[64] = {};
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = wnd.m_hWnd;
    ti.uId = 7;
    ti.lpszText = text;
    ::SendMessageW(hTip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(L"tip seven", text);

    CPoint outside(70, 10);
    wnd.ClientToScreen(&outside);
    msg.pt = outside;
    wnd.PreTranslateMessage(&msg);
    EXPECT_EQ(0, ::SendMessageW(hTip, TTM_GETTOOLCOUNT, 0, 0));

    // The default hit test names the child control under the point.
    CWnd child;
    ASSERT_TRUE(child.Create(L"BUTTON", L"b", WS_VISIBLE, CRect(60, 0, 90, 20), &wnd, 55));
    TOOLINFOW hit{};
    hit.cbSize = sizeof(hit);
    EXPECT_EQ(55, wnd.CWnd::OnToolHitTest(CPoint(70, 10), &hit));
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(child.m_hWnd), hit.uId);
    EXPECT_TRUE(hit.uFlags & TTF_IDISHWND);
    EXPECT_EQ(-1, wnd.CWnd::OnToolHitTest(CPoint(10, 40), &hit));
    wnd.DestroyWindow();
}

// ---- Message cracking of the ON_WM_ entries

class CCrackWnd : public CWnd
{
public:
    std::string m_last;

    void OnSize(UINT nType, int cx, int cy) { Log("size", nType, cx, cy); }
    void OnMove(int x, int y) { Log("move", x, y); }
    void OnLButtonDown(UINT nFlags, CPoint point) { Log("ldown", nFlags, point.x, point.y); }
    void OnNcRButtonUp(UINT nHitTest, CPoint point) { Log("ncrup", nHitTest, point.x, point.y); }
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint point)
    {
        Log("wheel", nFlags, zDelta, point.x, point.y);
        return TRUE;
    }
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Log("key", nChar, nRepCnt, nFlags); }
    void OnTimer(UINT_PTR nIDEvent) { Log("timer", static_cast<long long>(nIDEvent)); }
    LRESULT OnNcHitTest(CPoint point)
    {
        Log("hit", point.x, point.y);
        return HTCAPTION;
    }
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
    {
        Log("cursor", pWnd == this, nHitTest, message);
        return TRUE;
    }
    void OnContextMenu(CWnd* pWnd, CPoint point) { Log("context", pWnd == this, point.x, point.y); }
    void OnSysCommand(UINT nID, LPARAM lParam) { Log("syscommand", nID, static_cast<long long>(lParam)); }
    UINT OnGetDlgCode()
    {
        Log("dlgcode");
        return DLGC_WANTALLKEYS;
    }
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
    {
        Log("activate", nState, pWndOther == nullptr, bMinimized);
    }
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
    {
        Log("mouseactivate", pDesktopWnd != nullptr, nHitTest, message);
        return MA_NOACTIVATE;
    }

    DECLARE_MESSAGE_MAP()

private:
    template <class... T> void Log(const char* name, T... values)
    {
        m_last = name;
        ((m_last += " " + std::to_string(static_cast<long long>(values))), ...);
    }
};

BEGIN_MESSAGE_MAP(CCrackWnd, CWnd)
ON_WM_SIZE()
ON_WM_MOVE()
ON_WM_LBUTTONDOWN()
ON_WM_NCRBUTTONUP()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
ON_WM_TIMER()
ON_WM_NCHITTEST()
ON_WM_SETCURSOR()
ON_WM_CONTEXTMENU()
ON_WM_SYSCOMMAND()
ON_WM_GETDLGCODE()
ON_WM_ACTIVATE()
ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

TEST(WndMessageCracking, HandlersGetTheFrameworksArgumentsAndTheirResultsAreReturned)
{
    CCrackWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"crack", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    const WPARAM selfW = reinterpret_cast<WPARAM>(wnd.m_hWnd);
    struct Case
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* log;
        LRESULT result;
    };
    const Case cases[] = {
        {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480), "size 2 640 480", 0},
        {WM_MOVE, 0, MAKELPARAM(-5, -7), "move -5 -7", 0},
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-3, 0x9C40), "ldown 5 -3 -25536", 0},
        {WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(10, 20), "ncrup 2 10 20", 0},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)), MAKELPARAM(1, 2), "wheel 8 -120 1 2", 1},
        {WM_KEYDOWN, VK_F5, MAKELPARAM(3, 0x3F), "key 116 3 63", 0},
        {WM_TIMER, 0x1234567, 0, "timer 19088743", 0},
        {WM_NCHITTEST, 0, MAKELPARAM(-1, 300), "hit -1 300", HTCAPTION},
        {WM_SETCURSOR, selfW, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), "cursor 1 1 512", TRUE},
        {WM_CONTEXTMENU, selfW, MAKELPARAM(-1, -1), "context 1 -1 -1", 0},
        {WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(4, 5), "syscommand 61536 327684", 0},
        {WM_GETDLGCODE, 0, 0, "dlgcode", DLGC_WANTALLKEYS},
        {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0, "activate 2 1 1", 0},
        {WM_MOUSEACTIVATE, selfW, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN), "mouseactivate 1 1 513", MA_NOACTIVATE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, wnd.SendMessage(c.message, c.wParam, c.lParam)) << c.log;
        EXPECT_EQ(c.log, wnd.m_last);
    }
    wnd.DestroyWindow();
}
