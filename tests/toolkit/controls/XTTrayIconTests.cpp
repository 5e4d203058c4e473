// The tray icon window: adding the icon, its menu by a right click on the icon, the owner taking events over, the
// default command, putting the icon back after a new taskbar, the animation, and hiding a frame in the tray.
#include "toolkit/controls/XTTrayIcon.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/controls/ControlsTestIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Exposes the notify record and the animation frames.
class CProbeTray : public CXTTrayIcon
{
public:
    const NOTIFYICONDATAW& Data() const { return *m_pNotifyData; }
    std::wstring Tip() const { return m_pNotifyData->szTip; }
    HICON ShownIcon() const { return m_pNotifyData->hIcon; }
    INT_PTR FrameCount() const { return m_listAnimation.GetCount(); }
};

// The window the icon reports to: records callbacks and commands, and picks the menu's first item once the menu
// waits for input.
class CNotifyFrame : public CFrameWnd
{
public:
    // The frame has no handlers of its own for the menu's commands.
    CNotifyFrame() { m_bAutoMenuEnable = FALSE; }

    std::vector<LPARAM> m_callbacks;
    std::vector<UINT> m_commands;
    LRESULT m_lAnswer = 0;
    int m_nMenus = 0;
    int m_nMenusClosed = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_TRAYICON_NOTIFY:
            m_callbacks.push_back(lParam);
            return m_lAnswer;
        case WM_COMMAND:
            if (lParam == 0)
                m_commands.push_back(LOWORD(wParam));
            break;
        case WM_EXITMENULOOP:
            ++m_nMenusClosed;
            break;
        case WM_INITMENUPOPUP:
            ++m_nMenus;
            m_bChoosePending = true;
            break;
        case WM_ENTERIDLE:
            // The menu loop reads this thread's queue: a posted mnemonic picks its item wherever the mouse and
            // the keyboard focus are.
            if (wParam == MSGF_MENU && m_bChoosePending) {
                m_bChoosePending = false;
                ::PostMessageW(m_hWnd, WM_CHAR, L'o', 0);
            }
            break;
        default:
            break;
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }

private:
    bool m_bChoosePending = false;
};

bool IconKnownToShell(HWND hWnd, UINT uID)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = hWnd;
    data.uID = uID;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void ForgetIcon(HWND hWnd, UINT uID)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = hWnd;
    data.uID = uID;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
}

const std::wstring kLongTip(70, L'x');

class XTTrayIconTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_frame = new CNotifyFrame;
        ASSERT_TRUE(m_frame->Create(nullptr, L"Tray owner", WS_OVERLAPPEDWINDOW, CRect(200, 150, 600, 400)));
        m_hFrame = m_frame->m_hWnd;
        m_frame->ShowWindow(SW_SHOW);
        ASSERT_TRUE(frametest::Activate(m_hFrame));
    }

    void TearDown() override
    {
        m_tray.reset();
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        lqtest::PumpPending();
    }

    void MakeTray(UINT uDefault = 0, bool bByPos = true)
    {
        m_tray = std::make_unique<CProbeTray>();
        ASSERT_TRUE(m_tray->Create(kLongTip.c_str(), m_frame, IDI_TEST_TRAY_BLUE, IDR_TEST_TRAY, uDefault, bByPos));
    }

    LRESULT Callback(UINT uID, UINT uMouse) { return m_tray->SendMessage(WM_TRAYICON_NOTIFY, uID, uMouse); }

    // Wine shows icons in a window of its own when there is no system tray: finds the one that is ours.
    HWND FindOurIconWindow()
    {
        HWND hTray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
        for (HWND hIcon = ::FindWindowExW(hTray, nullptr, L"__winex11_tray_icon", nullptr); hIcon != nullptr;
             hIcon = ::FindWindowExW(hTray, hIcon, L"__winex11_tray_icon", nullptr)) {
            CRect rect;
            ::GetWindowRect(hIcon, &rect);
            m_frame->m_callbacks.clear();
            frametest::SendMouse(rect.CenterPoint(), 0);
            if (frametest::PumpTranslatedUntil(
                    [this] {
                        for (LPARAM l : m_frame->m_callbacks)
                            if (l == WM_MOUSEMOVE)
                                return true;
                        return false;
                    },
                    1000))
                return hIcon;
        }
        return nullptr;
    }

    CWinApp m_app{L"XTTrayIconTests"};
    CNotifyFrame* m_frame = nullptr;
    HWND m_hFrame = nullptr;
    std::unique_ptr<CProbeTray> m_tray;
};

TEST_F(XTTrayIconTest, CreateAddsTheIconWithTheFirstTipCutShort)
{
    MakeTray();
    EXPECT_FALSE(m_tray->IsIconHidden());
    EXPECT_FALSE(m_tray->IsIconRemoved());
    EXPECT_TRUE(IconKnownToShell(m_tray->m_hWnd, IDR_TEST_TRAY));
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE), m_tray->Data().cbSize);
    EXPECT_EQ(static_cast<UINT>(WM_TRAYICON_NOTIFY), m_tray->Data().uCallbackMessage);
    EXPECT_EQ(std::wstring(63, L'x'), m_tray->Tip());
    EXPECT_NE(nullptr, m_tray->ShownIcon());

    // Later tips may use the whole 128-character buffer.
    EXPECT_TRUE(m_tray->SetTooltipText(std::wstring(200, L'y').c_str()));
    EXPECT_EQ(std::wstring(127, L'y'), m_tray->Tip());

    const HWND hTray = m_tray->m_hWnd;
    m_tray.reset();
    EXPECT_FALSE(IconKnownToShell(hTray, IDR_TEST_TRAY)) << "the icon goes with the object";
}

TEST_F(XTTrayIconTest, ARightClickOnTheIconOpensItsMenuAndTheCommandReachesTheOwner)
{
    MakeTray();
    const HWND hIcon = FindOurIconWindow();
    ASSERT_NE(nullptr, hIcon);
    CRect rect;
    ::GetWindowRect(hIcon, &rect);
    frametest::SendMouse(rect.CenterPoint(), MOUSEEVENTF_RIGHTDOWN);
    frametest::SendMouse(rect.CenterPoint(), MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_frame->m_nMenusClosed == 1; }));
    EXPECT_EQ(1, m_frame->m_nMenus);
    EXPECT_NE(m_frame->m_callbacks.end(),
              std::find(m_frame->m_callbacks.begin(), m_frame->m_callbacks.end(), LPARAM(WM_RBUTTONUP)));
    // Under Wine the tray's own window takes the activation back after the click, which may cancel the menu
    // before a key reaches it; a chosen item is the first one.
    if (!m_frame->m_commands.empty()) {
        EXPECT_EQ(ID_TEST_TRAY_OPEN, m_frame->m_commands[0]);
    }

    // Clicking our own window gives it the keyboard back for the tests that follow.
    const POINT ptOwn = frametest::ClientToScreenPoint(m_hFrame, 20, 20);
    frametest::SendMouse(ptOwn, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(ptOwn, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(frametest::PumpTranslatedUntil([this] { return ::GetForegroundWindow() == m_hFrame; }));
}

TEST_F(XTTrayIconTest, TheOwnerMayTakeEventsOverAndADoubleClickSendsTheDefaultCommand)
{
    MakeTray(1, true);
    m_frame->m_lAnswer = 1;
    EXPECT_EQ(1, Callback(IDR_TEST_TRAY, WM_RBUTTONUP));
    EXPECT_EQ(1, Callback(IDR_TEST_TRAY, WM_LBUTTONDBLCLK));
    EXPECT_EQ(0, m_frame->m_nMenus);
    EXPECT_TRUE(m_frame->m_commands.empty());
    EXPECT_EQ(2u, m_frame->m_callbacks.size());

    m_frame->m_lAnswer = 0;
    EXPECT_EQ(0, Callback(IDR_TEST_TRAY + 1, WM_RBUTTONUP)) << "another icon's event";
    EXPECT_EQ(2u, m_frame->m_callbacks.size());
    EXPECT_EQ(1, Callback(IDR_TEST_TRAY, WM_MOUSEMOVE));
    EXPECT_EQ(0, m_frame->m_nMenus);

    // The menu opens with the owner, which receives the chosen command (posted by the menu).
    EXPECT_EQ(1, Callback(IDR_TEST_TRAY, WM_RBUTTONUP));
    EXPECT_EQ(1, m_frame->m_nMenus);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return !m_frame->m_commands.empty(); }));
    EXPECT_EQ(ID_TEST_TRAY_OPEN, m_frame->m_commands[0]);

    // A double click sends the default item: by position (1 is "About"), by id, or nothing for a separator.
    EXPECT_EQ(1, Callback(IDR_TEST_TRAY, WM_LBUTTONDBLCLK));
    MakeTray(ID_TEST_TRAY_EXIT, false);
    EXPECT_EQ(1, Callback(IDR_TEST_TRAY, WM_LBUTTONDBLCLK));
    MakeTray(2, true);
    EXPECT_EQ(1, Callback(IDR_TEST_TRAY, WM_LBUTTONDBLCLK));
    EXPECT_EQ((std::vector<UINT>{ID_TEST_TRAY_OPEN, ID_TEST_TRAY_ABOUT, ID_TEST_TRAY_EXIT, 0u}), m_frame->m_commands);
}

TEST_F(XTTrayIconTest, ANewTaskbarGetsTheIconBackUnlessItWasTakenOff)
{
    MakeTray();
    const UINT nTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    const HWND hTray = m_tray->m_hWnd;

    // A change that keeps the icon keeps it as it is.
    m_tray->SendMessage(nTaskbarCreated);
    EXPECT_TRUE(IconKnownToShell(hTray, IDR_TEST_TRAY));
    EXPECT_FALSE(m_tray->IsShowPending());

    // A new taskbar has forgotten every icon.
    ForgetIcon(hTray, IDR_TEST_TRAY);
    ASSERT_FALSE(IconKnownToShell(hTray, IDR_TEST_TRAY));
    m_tray->SendMessage(nTaskbarCreated);
    EXPECT_TRUE(IconKnownToShell(hTray, IDR_TEST_TRAY));
    EXPECT_FALSE(m_tray->IsIconRemoved());
    EXPECT_EQ(std::wstring(63, L'x'), m_tray->Tip());

    // The same after a change of the work area.
    ForgetIcon(hTray, IDR_TEST_TRAY);
    m_tray->SendMessage(WM_SETTINGCHANGE, SPI_SETWORKAREA);
    EXPECT_TRUE(IconKnownToShell(hTray, IDR_TEST_TRAY));

    // Taken off on purpose, it stays off.
    ASSERT_TRUE(m_tray->RemoveIcon());
    m_tray->SendMessage(nTaskbarCreated);
    EXPECT_FALSE(IconKnownToShell(hTray, IDR_TEST_TRAY));
    EXPECT_TRUE(m_tray->ShowIcon());
    EXPECT_TRUE(IconKnownToShell(hTray, IDR_TEST_TRAY));
}

TEST_F(XTTrayIconTest, WhileHiddenOnlyTheRecordChangesAndTheSameIconIsNotSentTwice)
{
    CProbeTray tray;
    EXPECT_TRUE(tray.IsIconHidden());
    EXPECT_TRUE(tray.SetTooltipText(L"before"));
    EXPECT_EQ(std::wstring(L"before"), tray.Tip());
    EXPECT_TRUE(tray.SetIconById(IDI_TEST_TRAY_GREEN));
    const HICON hGreen = tray.ShownIcon();
    EXPECT_NE(nullptr, hGreen);
    EXPECT_FALSE(tray.SetIconById(22999)) << "no such icon";
    EXPECT_EQ(hGreen, tray.ShownIcon());

    MakeTray();
    const HICON hShown = m_tray->ShownIcon();
    ForgetIcon(m_tray->m_hWnd, IDR_TEST_TRAY);
    // Only a change talks to the shell, which no longer knows the icon.
    EXPECT_TRUE(m_tray->SetIconHandle(hShown));
    EXPECT_FALSE(m_tray->SetIconById(IDI_TEST_TRAY_ORANGE));
}

TEST_F(XTTrayIconTest, TheAnimationStepsThroughItsFramesOnItsOwnTimer)
{
    MakeTray();
    const UINT ids[] = {IDI_TEST_TRAY_ORANGE, IDI_TEST_TRAY_GREEN};
    LPCTSTR tips[] = {L"loading", nullptr};
    ASSERT_TRUE(m_tray->SetAnimationIcons(ids, tips, 2));
    ASSERT_EQ(2, m_tray->FrameCount());
    const HICON hRest = m_tray->ShownIcon();

    std::vector<HICON> shown;
    std::vector<std::wstring> tipsShown;
    for (int i = 0; i < 3; ++i) {
        m_tray->SendMessage(WM_TIMER, 1001);
        shown.push_back(m_tray->ShownIcon());
        tipsShown.push_back(m_tray->Tip());
    }
    EXPECT_NE(hRest, shown[0]);
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_EQ(shown[0], shown[2]);
    // A frame without a tip keeps the tip shown before.
    EXPECT_EQ((std::vector<std::wstring>{L"loading", L"loading", L"loading"}), tipsShown);

    m_tray->SendMessage(WM_TIMER, 1002);
    EXPECT_EQ(shown[2], m_tray->ShownIcon()) << "another timer is not the animation's";

    m_tray->StopAnimation();
    EXPECT_EQ(std::wstring(63, L'x'), m_tray->Tip());
    EXPECT_NE(shown[2], m_tray->ShownIcon());

    // Without tips every frame shows the tip of the icon at rest; a missing icon stops the loading.
    const UINT withMissing[] = {IDI_TEST_TRAY_GREEN, 22999, IDI_TEST_TRAY_ORANGE};
    EXPECT_FALSE(m_tray->SetAnimationIcons(withMissing, 3, nullptr));
    EXPECT_EQ(1, m_tray->FrameCount());
    m_tray->StartAnimation(5000, 1000);
    m_tray->SendMessage(WM_TIMER, 1001);
    EXPECT_EQ(std::wstring(63, L'x'), m_tray->Tip());
    m_tray->SendMessage(WM_TIMER, 5000);
    EXPECT_NE(hRest, m_tray->ShownIcon());
    EXPECT_TRUE(m_tray->SetAnimationIcons(withMissing, 0, nullptr));
    EXPECT_EQ(0, m_tray->FrameCount());
}

TEST_F(XTTrayIconTest, MinimizeToTrayHidesTheFrameWithoutTaskbarButtonAndRestoreBringsItBack)
{
    MakeTray();
    m_tray->MinimizeToTray(m_frame);
    EXPECT_FALSE(m_frame->IsWindowVisible());
    ASSERT_NE(nullptr, m_tray->GetHiddenParent()->m_hWnd);
    EXPECT_EQ(m_tray->GetHiddenParent()->m_hWnd, ::GetAncestor(m_hFrame, GA_PARENT));

    m_tray->RestoreFromTray(m_frame);
    EXPECT_TRUE(m_frame->IsWindowVisible());
    EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(m_hFrame, GA_PARENT));
    EXPECT_TRUE(frametest::PumpTranslatedUntil([this] { return ::GetForegroundWindow() == m_hFrame; }));

    // A frame still in the tray outlives the tray icon.
    m_tray->MinimizeToTray(m_frame);
    m_tray.reset();
    EXPECT_TRUE(::IsWindow(m_hFrame));
    EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(m_hFrame, GA_PARENT));

    CXTTrayIcon tray;
    CRect rect;
    EXPECT_TRUE(tray.GetTrayWindowRect(rect));
}

} // namespace
