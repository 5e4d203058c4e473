// The frame window on real windows: the bar layout protocol, idle layout and command updates, accelerators,
// the message line, command routing, floating windows that follow the frame's activation, and closing.
#include "framework/frame/FrameWnd.h"
#include "framework/frame/StatusBar.h"
#include "framework/frame/View.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kFrameResource = 63000;
constexpr UINT kCmdAction = 63010;
constexpr UINT kCmdBlocked = 63011;
constexpr UINT kPaneItems = 63012;
constexpr UINT kPanePlain = 63013;
constexpr UINT kCmdViewAndFrame = 63020;
constexpr UINT kCmdFrameOnly = 63021;
constexpr UINT kCmdAppOnly = 63022;
constexpr UINT kCmdViewOnly = 63023;
constexpr UINT kTestBarId = 0xE810;
constexpr UINT kCmdOrphan = 32790;
constexpr UINT kCmdHandled = 32791;

std::wstring g_route;

class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp(L"FrameTests") {}

protected:
    void OnAppCommand() { g_route += L"app "; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
ON_COMMAND(kCmdAppOnly, OnAppCommand)
END_MESSAGE_MAP()

// A bar that takes a fixed height from the top and counts how the frame asked it.
class CTestBar : public CWnd
{
public:
    int m_height = 30;
    int m_measures = 0;
    int m_moves = 0;

protected:
    LRESULT OnSizeParent(WPARAM, LPARAM lParam)
    {
        auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        CRect rect(layout->rect.left, layout->rect.top, layout->rect.right, layout->rect.top + m_height);
        layout->rect.top += m_height;
        layout->sizeTotal.cy += m_height;
        if (layout->hDWP == nullptr) {
            ++m_measures;
        } else {
            ++m_moves;
            AfxRepositionWindow(layout, m_hWnd, &rect);
        }
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestBar, CWnd)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

class CTestView : public CView
{
    DECLARE_DYNCREATE(CTestView)

public:
    void OnDraw(CDC*) override {}

protected:
    void OnBoth() { g_route += L"view "; }
    void OnViewOnly() { g_route += L"view "; }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTestView, CView)

BEGIN_MESSAGE_MAP(CTestView, CView)
ON_COMMAND(kCmdViewAndFrame, OnBoth)
ON_COMMAND(kCmdViewOnly, OnViewOnly)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd
{
public:
    CTestBar m_bar;
    CStatusBar m_status;
    int m_actions = 0;
    int m_blocked = 0;
    int m_blockedKeyUps = 0;
    BOOL m_itemsEnabled = FALSE;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYUP && pMsg->wParam == 'J')
            ++m_blockedKeyUps;
        return CFrameWnd::PreTranslateMessage(pMsg);
    }

protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        if (!m_bar.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, kTestBarId))
            return -1;
        static const UINT indicators[] = {ID_SEPARATOR, kPaneItems, kPanePlain};
        if (!m_status.Create(this) || !m_status.SetIndicators(indicators, 3))
            return -1;
        return 0;
    }
    void OnAction() { ++m_actions; }
    void OnBlocked() { ++m_blocked; }
    void OnUpdateBlocked(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateItems(CCmdUI* pCmdUI)
    {
        pCmdUI->SetText(L"7 items");
        pCmdUI->Enable(m_itemsEnabled);
    }
    void OnBoth() { g_route += L"frame "; }
    void OnFrameOnly() { g_route += L"frame "; }
    void OnHandled() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
ON_WM_CREATE()
ON_COMMAND(kCmdAction, OnAction)
ON_COMMAND(kCmdBlocked, OnBlocked)
ON_UPDATE_COMMAND_UI(kCmdBlocked, OnUpdateBlocked)
ON_UPDATE_COMMAND_UI(kPaneItems, OnUpdateItems)
ON_COMMAND(kCmdViewAndFrame, OnBoth)
ON_COMMAND(kCmdFrameOnly, OnFrameOnly)
ON_COMMAND(kCmdHandled, OnHandled)
END_MESSAGE_MAP()

// A floating window that hides while its frame is inactive, as a floating toolbar does.
class CTestFloat : public CWnd
{
public:
    int m_deactivations = 0;

protected:
    LRESULT OnFloatStatus(WPARAM wParam, LPARAM)
    {
        if (wParam & FS_SYNCACTIVE)
            return (GetStyle() & MFS_SYNCACTIVE) != 0;
        if (wParam & FS_DEACTIVATE) {
            ++m_deactivations;
            ShowWindow(SW_HIDE);
        }
        if (wParam & FS_ACTIVATE)
            ShowWindow(SW_SHOWNA);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestFloat, CWnd)
ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
END_MESSAGE_MAP()

class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_route.clear();
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CTestView);
        m_frame = new CTestFrame;
        ASSERT_TRUE(m_frame->LoadFrame(kFrameResource, WS_OVERLAPPEDWINDOW, nullptr, &context));
        m_hWnd = m_frame->m_hWnd;
        m_app.m_pMainWnd = m_frame;
        m_frame->InitialUpdateFrame(nullptr, TRUE);
        m_frame->SetWindowPos(nullptr, 40, 40, 500, 400, SWP_NOZORDER);
        lqtest::PumpPending();
    }

    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        lqtest::PumpPending();
        lqtest::DropQuitMessages();
    }

    CRect ClientRect() const
    {
        CRect rect;
        ::GetClientRect(m_hWnd, &rect);
        return rect;
    }

    HWND ViewHwnd() const { return ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST); }
    int StatusHeight() const { return m_frame->m_status.CalcFixedLayout(TRUE, TRUE).cy; }

    CTestApp m_app;
    CTestFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
};

TEST_F(FrameTest, BarsAndViewShareTheClientAreaAfterEveryResize)
{
    const SIZE sizes[] = {{500, 400}, {640, 480}, {320, 260}, {700, 300}};
    for (const SIZE& size : sizes) {
        m_frame->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        const CRect client = ClientRect();
        const int statusHeight = StatusHeight();
        ASSERT_GT(statusHeight, 10);
        SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy);
        EXPECT_EQ(CRect(0, 0, client.right, 30), CRect(frametest::RectInParent(m_frame->m_bar.m_hWnd)));
        EXPECT_EQ(CRect(0, client.bottom - statusHeight, client.right, client.bottom),
                  CRect(frametest::RectInParent(m_frame->m_status.m_hWnd)));
        EXPECT_EQ(CRect(0, 30, client.right, client.bottom - statusHeight), CRect(frametest::RectInParent(ViewHwnd())));
    }
    EXPECT_GT(m_frame->m_bar.m_moves, 0);
}

TEST_F(FrameTest, MeasuringAsksTheBarsButMovesNothing)
{
    ::SetWindowPos(m_frame->m_bar.m_hWnd, nullptr, 5, 5, 20, 20, SWP_NOZORDER | SWP_NOACTIVATE);
    const CRect viewBefore = frametest::RectInParent(ViewHwnd());
    const int measuresBefore = m_frame->m_bar.m_measures;
    const int movesBefore = m_frame->m_bar.m_moves;

    CRect left;
    m_frame->RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST, CWnd::reposQuery,
                            &left);
    const CRect client = ClientRect();
    EXPECT_EQ(CRect(0, 30, client.right, client.bottom - StatusHeight()), left);
    EXPECT_EQ(measuresBefore + 1, m_frame->m_bar.m_measures);
    EXPECT_EQ(movesBefore, m_frame->m_bar.m_moves);
    EXPECT_EQ(CRect(5, 5, 25, 25), CRect(frametest::RectInParent(m_frame->m_bar.m_hWnd)));
    EXPECT_EQ(viewBefore, CRect(frametest::RectInParent(ViewHwnd())));

    m_frame->RecalcLayout();
    EXPECT_EQ(movesBefore + 1, m_frame->m_bar.m_moves);
    EXPECT_EQ(CRect(0, 0, client.right, 30), CRect(frametest::RectInParent(m_frame->m_bar.m_hWnd)));
}

TEST_F(FrameTest, DelayedLayoutWaitsForIdleTime)
{
    m_frame->m_bar.m_height = 50;
    m_frame->DelayRecalcLayout(FALSE);
    EXPECT_EQ(CFrameWnd::idleLayout, m_frame->m_nIdleFlags & (CFrameWnd::idleLayout | CFrameWnd::idleNotify));
    EXPECT_EQ(30, frametest::RectInParent(ViewHwnd()).top) << "nothing moves before idle time";

    m_app.OnIdle(0);
    EXPECT_EQ(50, frametest::RectInParent(ViewHwnd()).top);
    EXPECT_EQ(0, m_frame->m_nIdleFlags & (CFrameWnd::idleLayout | CFrameWnd::idleNotify));

    // A layout done for another reason takes the pending one with it.
    m_frame->m_bar.m_height = 40;
    m_frame->DelayRecalcLayout();
    m_frame->RecalcLayout();
    EXPECT_EQ(0, m_frame->m_nIdleFlags & (CFrameWnd::idleLayout | CFrameWnd::idleNotify));
    EXPECT_EQ(40, frametest::RectInParent(ViewHwnd()).top);
}

TEST_F(FrameTest, AcceleratorsReachEnabledCommandsOnly)
{
    ASSERT_NE(nullptr, m_frame->m_hAccelTable);
    ASSERT_TRUE(frametest::Activate(m_hWnd));
    ::SetFocus(ViewHwnd());

    frametest::SendCtrlKey('K');
    EXPECT_TRUE(frametest::PumpTranslatedUntil([&] { return m_frame->m_actions == 1; }));

    frametest::SendCtrlKey('J');
    ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return m_frame->m_blockedKeyUps == 1; }));
    EXPECT_EQ(0, m_frame->m_blocked) << "an update handler disabled the command";
    EXPECT_EQ(1, m_frame->m_actions);
}

TEST_F(FrameTest, StatusPanesTakeTheirStateAtIdleTime)
{
    CStatusBar& status = m_frame->m_status;
    ASSERT_EQ(3, status.GetCount());

    struct Case
    {
        BOOL enabled;
        bool disabledStyle;
    };
    const Case cases[] = {{FALSE, true}, {TRUE, false}, {FALSE, true}};
    for (const Case& c : cases) {
        m_frame->m_itemsEnabled = c.enabled;
        m_app.OnIdle(0);
        EXPECT_EQ(CString(L"7 items"), status.GetPaneText(1));
        EXPECT_EQ(c.disabledStyle, (status.GetPaneStyle(1) & SBPS_DISABLED) != 0) << c.enabled;
        // A pane nobody handles keeps its state: the status bar never disables for a missing handler.
        EXPECT_EQ(0u, status.GetPaneStyle(2) & SBPS_DISABLED);
        EXPECT_EQ(CString(L"PLAIN"), status.GetPaneText(2));
    }
    // The control shows no text in a disabled pane; the pane keeps it.
    wchar_t shown[64] = L"x";
    ::SendMessageW(status.m_hWnd, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(L"", shown);
}

TEST_F(FrameTest, MessageStringsShowOnTheFirstPaneAndComeBack)
{
    CStatusBar& status = m_frame->m_status;
    EXPECT_EQ(CString(L"Ready"), status.GetPaneText(0)) << "the idle prompt after creation";

    const LRESULT previous = m_frame->SendMessage(WM_SETMESSAGESTRING, kCmdAction);
    EXPECT_EQ(static_cast<LRESULT>(AFX_IDS_IDLEMESSAGE), previous);
    EXPECT_EQ(CString(L"Does the action"), status.GetPaneText(0)) << "the prompt is the string's first line";
    CString windowText;
    status.GetWindowText(windowText);
    EXPECT_EQ(CString(L"Does the action"), windowText);

    m_frame->SendMessage(WM_POPMESSAGESTRING, static_cast<WPARAM>(previous));
    EXPECT_EQ(CString(L"Ready"), status.GetPaneText(0));

    m_frame->SetMessageText(L"Fetching 3 feeds");
    EXPECT_EQ(CString(L"Fetching 3 feeds"), status.GetPaneText(0));
    m_app.OnIdle(0);
    EXPECT_EQ(CString(L"Fetching 3 feeds"), status.GetPaneText(0)) << "idle time leaves a set text alone";
}

TEST_F(FrameTest, MenuItemsShowTheirPromptsAndTheirCommandState)
{
    CStatusBar& status = m_frame->m_status;
    HMENU hPopup = ::GetSubMenu(::GetMenu(m_hWnd), 0);
    ASSERT_NE(nullptr, hPopup);

    // Choosing an item shows its prompt at the next idle time; closing the menu brings the idle prompt back.
    m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(kCmdBlocked, MF_STRING), reinterpret_cast<LPARAM>(hPopup));
    m_app.OnIdle(0);
    EXPECT_EQ(CString(L"Blocked for now"), status.GetPaneText(0));
    m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(CString(L"Ready"), status.GetPaneText(0));

    // Opening the menu runs the update handlers. Below the system range a command without any handler is
    // disabled and one with a command handler enabled; ids from 0xF000 up are left to their update handlers.
    ::EnableMenuItem(hPopup, kCmdHandled, MF_BYCOMMAND | MF_GRAYED);
    ::EnableMenuItem(hPopup, kCmdAction, MF_BYCOMMAND | MF_GRAYED);
    m_frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
    struct Case
    {
        UINT nID;
        bool grayed;
    };
    for (const Case c :
         {Case{kCmdOrphan, true}, Case{kCmdHandled, false}, Case{kCmdBlocked, true}, Case{kCmdAction, true}}) {
        EXPECT_EQ(c.grayed, (::GetMenuState(hPopup, c.nID, MF_BYCOMMAND) & MF_GRAYED) != 0) << c.nID;
    }
}

TEST_F(FrameTest, MiniFramesFollowTheFloatStatusTheirFrameSends)
{
    auto* mini = new CMiniFrameWnd;
    ASSERT_TRUE(
        mini->Create(nullptr, L"Mini", WS_CAPTION | WS_VISIBLE | MFS_SYNCACTIVE, CRect(600, 60, 700, 140), m_frame));
    HWND hMini = mini->m_hWnd;
    EXPECT_EQ(m_hWnd, ::GetWindow(hMini, GW_OWNER));
    EXPECT_TRUE(mini->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_NE(0, ::SendMessageW(hMini, WM_FLOATSTATUS, FS_SYNCACTIVE, 0));

    struct Case
    {
        DWORD flags;
        bool visible;
        bool enabled;
    };
    const Case cases[] = {
        {FS_HIDE, false, true}, {FS_SHOW, true, true}, {FS_DISABLE, true, false}, {FS_ENABLE, true, true}};
    for (const Case& c : cases) {
        ::SendMessageW(hMini, WM_FLOATSTATUS, c.flags, 0);
        EXPECT_EQ(c.visible, ::IsWindowVisible(hMini) != FALSE) << c.flags;
        EXPECT_EQ(c.enabled, ::IsWindowEnabled(hMini) != FALSE) << c.flags;
    }
    // Disabling the frame (a modal dialog above it) disables its floating windows with it.
    m_frame->EnableWindow(FALSE);
    EXPECT_FALSE(::IsWindowEnabled(hMini));
    m_frame->EnableWindow(TRUE);
    EXPECT_TRUE(::IsWindowEnabled(hMini));
    ::DestroyWindow(hMini);
}

TEST_F(FrameTest, CommandsGoToTheActiveViewThenTheFrameThenTheApplication)
{
    CView* pView = m_frame->GetActiveView();
    ASSERT_NE(nullptr, pView);
    EXPECT_EQ(ViewHwnd(), pView->m_hWnd);

    struct Case
    {
        UINT nID;
        bool withView;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {kCmdViewAndFrame, true, L"view "}, {kCmdViewOnly, true, L"view "},       {kCmdFrameOnly, true, L"frame "},
        {kCmdAppOnly, true, L"app "},       {kCmdViewAndFrame, false, L"frame "}, {kCmdViewOnly, false, L""},
    };
    for (const Case& c : cases) {
        m_frame->SetActiveView(c.withView ? pView : nullptr, FALSE);
        g_route.clear();
        m_frame->SendMessage(WM_COMMAND, c.nID, 0);
        EXPECT_EQ(std::wstring(c.expected), g_route) << c.nID << (c.withView ? " with view" : " without view");
    }
}

TEST_F(FrameTest, AViewThatGoesAwayStopsBeingTheActiveView)
{
    ASSERT_NE(nullptr, m_frame->GetActiveView());
    ::DestroyWindow(ViewHwnd());
    EXPECT_EQ(nullptr, m_frame->GetActiveView());
    g_route.clear();
    m_frame->SendMessage(WM_COMMAND, kCmdViewAndFrame, 0);
    EXPECT_EQ(std::wstring(L"frame "), g_route);
    m_frame->RecalcLayout();
    EXPECT_EQ(nullptr, ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST));
}

TEST_F(FrameTest, FloatingWindowsHideWhileTheFrameIsInactive)
{
    CTestFloat floating;
    ASSERT_TRUE(floating.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"Float",
                                  WS_POPUP | WS_CAPTION | MFS_SYNCACTIVE, 600, 60, 120, 80, m_hWnd, nullptr));
    floating.ShowWindow(SW_SHOWNA);
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), L"Other", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 600, 300,
                               150, 100, nullptr, nullptr));

    ASSERT_TRUE(frametest::Activate(m_hWnd));
    EXPECT_TRUE(floating.IsWindowVisible());

    ASSERT_TRUE(frametest::Activate(other.m_hWnd));
    EXPECT_TRUE(frametest::PumpTranslatedUntil([&] { return !floating.IsWindowVisible(); }));
    EXPECT_GE(floating.m_deactivations, 1);

    ASSERT_TRUE(frametest::Activate(m_hWnd));
    EXPECT_TRUE(frametest::PumpTranslatedUntil([&] { return floating.IsWindowVisible() != FALSE; }));

    // Its own floating window taking the activation keeps the frame active and the window shown.
    const int deactivations = floating.m_deactivations;
    ASSERT_TRUE(frametest::Activate(floating.m_hWnd));
    EXPECT_TRUE(floating.IsWindowVisible());
    EXPECT_EQ(deactivations, floating.m_deactivations);
    EXPECT_NE(0u, m_frame->m_nFlags & WF_STAYACTIVE);

    floating.DestroyWindow();
    other.DestroyWindow();
}

TEST_F(FrameTest, KindTestsAnswerForTheFrameClassesThatExist)
{
    EXPECT_TRUE(m_frame->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_TRUE(m_frame->IsFrameWnd());
    EXPECT_FALSE(m_frame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)));
    EXPECT_FALSE(m_frame->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)));
    EXPECT_FALSE(m_frame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)));
    CView* pView = m_frame->GetActiveView();
    ASSERT_NE(nullptr, pView);
    EXPECT_EQ(nullptr, pView->GetDocument());
    EXPECT_EQ(static_cast<CFrameWnd*>(m_frame), pView->GetParentFrame());
    EXPECT_EQ(CString(L"Frame Test"), m_frame->m_strTitle) << "the title is the resource string's first line";
    EXPECT_NE(nullptr, ::GetMenu(m_hWnd));
    EXPECT_FALSE(m_frame->m_bHelpMode);
    EXPECT_FALSE(m_frame->IsInPreviewMode());
}

TEST(FrameClose, ClosingTheMainWindowEndsTheApplication)
{
    struct Case
    {
        bool main;
        bool quitPosted;
    };
    for (const Case c : {Case{true, true}, Case{false, false}}) {
        CTestApp app;
        lqtest::DropQuitMessages();
        auto* frame = new CTestFrame;
        ASSERT_TRUE(frame->LoadFrame(kFrameResource, WS_OVERLAPPEDWINDOW));
        HWND hWnd = frame->m_hWnd;
        if (c.main)
            app.m_pMainWnd = frame;
        ::SendMessageW(hWnd, WM_CLOSE, 0, 0);
        EXPECT_FALSE(::IsWindow(hWnd)) << "the frame window is gone (and the object with it)";
        MSG msg;
        EXPECT_EQ(c.quitPosted, ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE) << c.main;
        EXPECT_EQ(nullptr, app.m_pMainWnd);
        lqtest::PumpPending();
        lqtest::DropQuitMessages();
    }
}

} // namespace
