// The window hook manager and the keyboard manager: the order hook objects see messages in, their answers,
// subclassing undone, hook objects that remove themselves while a message is offered, and keys while bars track.
#include "toolkit/base/XTPHookManager.h"

#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const UINT kTestMessage = WM_APP + 17;
std::vector<std::string> g_log;

LRESULT CALLBACK PlainProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == kTestMessage) {
        g_log.push_back("window " + std::to_string(wParam));
        return 5;
    }
    if (nMessage == WM_DESTROY)
        g_log.push_back("window destroy");
    return ::DefWindowProcW(hWnd, nMessage, wParam, lParam);
}

HWND MakePlainWindow()
{
    static ATOM atom = 0;
    if (atom == 0) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LqHookTestWindow";
        atom = ::RegisterClassW(&wc);
    }
    return ::CreateWindowExW(0, L"LqHookTestWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

class CLoggingHook : public CXTPHookManagerHookAble
{
public:
    CLoggingHook(std::string name, int nAnswer = xtpHookNotHandled) : m_name(std::move(name)), m_nAnswer(nAnswer) {}
    int OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT& lResult) override
    {
        if (nMessage != kTestMessage)
            return xtpHookNotHandled;
        // Default() must see the message being offered.
        m_bCurrentSeen = AfxGetThreadState()->m_lastSentMsg.message == nMessage;
        g_log.push_back(m_name + " " + std::to_string(wParam));
        ++wParam;
        lResult = 9;
        return m_nAnswer;
    }
    std::string m_name;
    int m_nAnswer;
    BOOL m_bCurrentSeen = FALSE;
};

// A hook object that removes itself and deletes itself when its window is destroyed, as a shadow does.
class CSelfRemovingHook : public CXTPHookManagerHookAble
{
public:
    explicit CSelfRemovingHook(int* pDestroyed) : m_pDestroyed(pDestroyed) {}
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM&, LPARAM&, LRESULT&) override
    {
        if (nMessage == WM_DESTROY) {
            XTPHookManager()->RemoveHook(hWnd, this);
            ++*m_pDestroyed;
            delete this;
        }
        return xtpHookNotHandled;
    }

private:
    int* m_pDestroyed;
};

TEST(HookManager, NewestHookFirstThenTheWindowWithTheChangedArguments)
{
    g_log.clear();
    HWND hWnd = MakePlainWindow();
    const LONG_PTR original = ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
    CLoggingHook older("older"), newer("newer");
    XTPHookManager()->SetHook(hWnd, &older);
    XTPHookManager()->SetHook(hWnd, &newer);
    XTPHookManager()->SetHook(hWnd, &older); // once only
    EXPECT_NE(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC), original);

    EXPECT_EQ(::SendMessageW(hWnd, kTestMessage, 1, 0), 5);
    EXPECT_EQ(g_log, std::vector<std::string>({"newer 1", "older 2", "window 3"}));
    EXPECT_TRUE(newer.m_bCurrentSeen);

    g_log.clear();
    newer.m_nAnswer = xtpHookHandled;
    EXPECT_EQ(::SendMessageW(hWnd, kTestMessage, 1, 0), 9);
    EXPECT_EQ(g_log, std::vector<std::string>({"newer 1"}));

    g_log.clear();
    newer.m_nAnswer = xtpHookStop;
    ::SendMessageW(hWnd, kTestMessage, 1, 0);
    EXPECT_EQ(g_log, std::vector<std::string>({"newer 1", "window 2"}));

    // Removing the last hook object gives the window its procedure back; hooking again subclasses again.
    XTPHookManager()->RemoveHook(hWnd, &newer);
    EXPECT_NE(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC), original);
    XTPHookManager()->RemoveHook(hWnd, &newer); // not there: nothing
    XTPHookManager()->RemoveAll(&older);
    EXPECT_EQ(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC), original);
    EXPECT_EQ(XTPHookManager()->Lookup(hWnd), nullptr);
    XTPHookManager()->SetHook(hWnd, &older);
    EXPECT_NE(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC), original);

    // A destroyed window loses its record; later removals do nothing.
    ::DestroyWindow(hWnd);
    EXPECT_EQ(XTPHookManager()->Lookup(hWnd), nullptr);
    XTPHookManager()->RemoveHook(hWnd, &older);
}

TEST(HookManager, HookObjectsMayRemoveThemselvesWhileAMessageIsOffered)
{
    g_log.clear();
    HWND hWnd = MakePlainWindow();
    int nDestroyed = 0;
    const int nWindowsBefore = XTPHookManager()->GetHookedWindowCount();
    XTPHookManager()->SetHook(hWnd, new CSelfRemovingHook(&nDestroyed));
    XTPHookManager()->SetHook(hWnd, new CSelfRemovingHook(&nDestroyed));
    ::DestroyWindow(hWnd);
    // Both saw the destroy, the record went away with the last one, and the window's own procedure still ran.
    EXPECT_EQ(nDestroyed, 2);
    EXPECT_EQ(g_log, std::vector<std::string>({"window destroy"}));
    EXPECT_EQ(XTPHookManager()->GetHookedWindowCount(), nWindowsBefore);
}

TEST(KeyboardManager, KeysGoToTheNewestRegisteredObjectFirst)
{
    CXTPKeyboardManager* pManager = XTPKeyboardManager();
    EXPECT_TRUE(pManager->ProcessKeyboardHooks(WM_KEYDOWN, 'A')); // nobody registered: eaten
    struct CKeyHook : CXTPHookManagerHookAble
    {
        CKeyHook(const char* pszName) : name(pszName) {}
        std::string name;
        int nAnswer = xtpHookNotHandled;
        int OnHookMessage(HWND hWnd, UINT, WPARAM&, LPARAM&, LRESULT&) override
        {
            EXPECT_EQ(hWnd, nullptr);
            g_log.push_back(name);
            return nAnswer;
        }
    } older("older"), newer("newer");
    pManager->HookKeyboard(&older);
    pManager->HookKeyboard(&newer);
    EXPECT_TRUE(pManager->IsKeyboardHooked());
    g_log.clear();
    EXPECT_TRUE(pManager->ProcessKeyboardHooks(WM_KEYDOWN, 'A'));
    EXPECT_EQ(g_log, std::vector<std::string>({"newer", "older"}));
    newer.nAnswer = xtpHookStop;
    g_log.clear();
    EXPECT_FALSE(pManager->ProcessKeyboardHooks(WM_KEYDOWN, 'A'));
    EXPECT_EQ(g_log, std::vector<std::string>({"newer"}));
    newer.nAnswer = xtpHookHandled;
    EXPECT_TRUE(pManager->ProcessKeyboardHooks(WM_KEYDOWN, 'A'));
    pManager->UnhookKeyboard(&newer);
    pManager->UnhookKeyboard(&older);
    EXPECT_FALSE(pManager->IsKeyboardHooked());
}

// A tracking bar in an active window with a focused edit, typed at with SendInput.
class KeyboardTrackingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateHost(CRect(200, 150, 600, 450)));
        ASSERT_TRUE(
            m_bar.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 30), &m_host, 100));
        m_bar.SetBarPosition(xtpBarTop);
        m_bar.GetControls()->Add(new CXTPControlButton, 0)->SetCaption(L"&Zoom");
        m_hEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 50, 200, 24, m_host.m_hWnd, nullptr,
                                    nullptr, nullptr);
        ASSERT_TRUE(frametest::Activate(m_host.m_hWnd));
        ::SetFocus(m_hEdit);
    }
    void TearDown() override
    {
        XTPMouseManager()->m_nLock = 0;
        m_bar.EndTracking();
        m_bar.DestroyWindow();
        m_host.DestroyWindow();
        lqtest::PumpPending();
    }
    CString EditText() const
    {
        wchar_t sz[64] = {};
        ::GetWindowTextW(m_hEdit, sz, 64);
        return sz;
    }
    void Tap(WORD vk) { lqtest::TapKey(vk); }

    cbtest::CHostWnd m_host;
    CXTPCommandBar m_bar;
    HWND m_hEdit = nullptr;
};

TEST_F(KeyboardTrackingTest, WhileABarTracksKeysGoToTheBarNotTheFocus)
{
    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, TRUE);
    Tap('Q'); // no control has Q: the bar beeps and eats it
    Tap(VK_ESCAPE);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_bar.IsTrackingMode(); }));
    EXPECT_EQ(EditText(), CString(L""));
    Tap('Q');
    ASSERT_TRUE(lqtest::PumpUntil([&] { return EditText() == L"q"; }));
}

TEST_F(KeyboardTrackingTest, AltAloneEndsTrackingUnlessLocked)
{
    // Watches what reaches the edit.
    struct CAltWatch : CXTPHookManagerHookAble
    {
        int nDowns = 0;
        int nUps = 0;
        int OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT&) override
        {
            if (wParam == VK_MENU && (nMessage == WM_SYSKEYDOWN || nMessage == WM_KEYDOWN))
                ++nDowns;
            if (wParam == VK_MENU && (nMessage == WM_SYSKEYUP || nMessage == WM_KEYUP))
                ++nUps;
            return xtpHookNotHandled;
        }
    } watch;
    XTPHookManager()->SetHook(m_hEdit, &watch);
    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, TRUE);

    XTPMouseManager()->m_nLock = 1;
    Tap(VK_MENU);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return watch.nUps == 1; }));
    EXPECT_EQ(watch.nDowns, 1); // passed on to the window
    EXPECT_TRUE(m_bar.IsTrackingMode());

    XTPMouseManager()->m_nLock = 0;
    Tap(VK_MENU);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return watch.nUps == 2; }));
    EXPECT_FALSE(m_bar.IsTrackingMode());
    EXPECT_EQ(watch.nDowns, 1); // the press was eaten
    XTPHookManager()->RemoveHook(m_hEdit, &watch);
}

TEST_F(KeyboardTrackingTest, DeactivatingTheApplicationEndsTracking)
{
    m_bar.SetTrackingMode(xtpTrackingKeyboard, FALSE, TRUE);
    ::SendMessageW(m_host.m_hWnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(m_bar.IsTrackingMode());
    ::SendMessageW(m_host.m_hWnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(m_bar.IsTrackingMode());
    EXPECT_FALSE(XTPKeyboardManager()->IsKeyboardHooked());
}

} // namespace
