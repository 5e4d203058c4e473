// The HTML view base: the browser's own shortcut keys and the right click are kept from the page, with the
// Control and Alt chords read from the real keyboard state; everything else reaches the page.
#include "views/DHtmlViewSpec.h"

#include "framework/win/WinApp.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using lqtest::SendKey;

// Holds a modifier key down through SendInput while it lives.
class HeldKey
{
public:
    explicit HeldKey(WORD vk) : m_vk(vk)
    {
        SendKey(vk, false);
        m_down = lqtest::PumpUntil([vk] { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }, 5000);
    }
    ~HeldKey()
    {
        SendKey(m_vk, true);
        const WORD vk = m_vk;
        lqtest::PumpUntil([vk] { return (::GetAsyncKeyState(vk) & 0x8000) == 0; }, 5000);
        // An Alt press alone would open the window menu of the front window.
        lqtest::PumpPending();
    }
    bool IsDown() const { return m_down; }

private:
    WORD m_vk;
    bool m_down = false;
};

MSG Message(UINT message, WPARAM wParam, HWND hWnd = nullptr)
{
    MSG msg = {};
    msg.hwnd = hWnd;
    msg.message = message;
    msg.wParam = wParam;
    return msg;
}

std::wstring Filter(UINT message, WPARAM wParam)
{
    LPCWSTR line = CDHtmlViewSpec::FilterMessage(Message(message, wParam));
    return line == nullptr ? L"<passes>" : line;
}

const UINT kKeyMessages[] = {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP};

TEST(DHtmlViewSpecFilter, FunctionKeysEscapeAndHelpAreKeptFromThePageOnKeyDownAndUp)
{
    const WPARAM keys[] = {VK_F1, VK_F5, VK_F12, VK_ESCAPE, VK_HELP};
    for (UINT message : kKeyMessages)
        for (WPARAM key : keys)
            EXPECT_EQ(Filter(message, key), L"Function key ignored\r\n") << message << " " << key;
    // Keys the page uses pass, and so do non-key messages that carry a function key's number.
    const WPARAM passing[] = {VK_F13, 'N', VK_LEFT, VK_NEXT, VK_RETURN};
    for (WPARAM key : passing)
        EXPECT_EQ(Filter(WM_KEYDOWN, key), L"<passes>") << key;
    EXPECT_EQ(Filter(WM_CHAR, VK_ESCAPE), L"<passes>");
    EXPECT_EQ(Filter(WM_TIMER, VK_F5), L"<passes>");
}

TEST(DHtmlViewSpecFilter, RightClicksAreSwallowedWithoutALine)
{
    EXPECT_EQ(Filter(WM_RBUTTONDOWN, MK_RBUTTON), L"");
    EXPECT_EQ(Filter(WM_RBUTTONDBLCLK, MK_RBUTTON), L"");
    EXPECT_EQ(Filter(WM_RBUTTONUP, 0), L"<passes>");
    EXPECT_EQ(Filter(WM_LBUTTONDOWN, MK_LBUTTON), L"<passes>");
}

TEST(DHtmlViewSpecFilter, ControlAndAltChordsAreKeptOnlyWhileTheModifierIsDown)
{
    struct Case
    {
        WORD modifier;
        WPARAM key;
        const wchar_t* line;
    };
    const Case cases[] = {
        {VK_CONTROL, 'N', L"Ctrl-N ignored\r\n"},      {VK_CONTROL, 'P', L"Ctrl-P ignored\r\n"},
        {VK_CONTROL, 'D', L"Ctrl-D ignored\r\n"},      {VK_MENU, VK_LEFT, L"Atl-Left ignored\r\n"},
        {VK_MENU, VK_RIGHT, L"Atl-Right ignored\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.line));
        EXPECT_EQ(Filter(WM_KEYDOWN, c.key), L"<passes>");
        HeldKey held(c.modifier);
        ASSERT_TRUE(held.IsDown());
        EXPECT_EQ(Filter(WM_KEYDOWN, c.key), c.line);
        EXPECT_EQ(Filter(c.modifier == VK_MENU ? WM_SYSKEYDOWN : WM_KEYUP, c.key), c.line);
        // Another message whose wParam happens to be the key's number is not a key.
        EXPECT_EQ(Filter(WM_MOUSEMOVE, c.key), L"<passes>");
        EXPECT_EQ(Filter(WM_KEYDOWN, 'Q'), L"<passes>");
    }
    // The other modifier does not make the chord.
    HeldKey shift(VK_SHIFT);
    ASSERT_TRUE(shift.IsDown());
    EXPECT_EQ(Filter(WM_KEYDOWN, 'N'), L"<passes>");
    EXPECT_EQ(Filter(WM_KEYDOWN, VK_LEFT), L"<passes>");
}

TEST(DHtmlViewSpecView, MessagesOfThePaneReachTheFilterAndThePageIsHeldWhileShown)
{
    CWnd frame;
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    ASSERT_TRUE(
        frame.CreateEx(0, cls, L"View base", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr));
    CRuntimeClass* pClass = RUNTIME_CLASS(CDHtmlViewSpec);
    auto* pView = static_cast<CDHtmlViewSpec*>(pClass->CreateObject());
    ASSERT_NE(pView, nullptr);
    RECT rc = {0, 0, 280, 160};
    ASSERT_TRUE(pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rc, &frame, AFX_IDW_PANE_FIRST));

    CHtmlPageDocument* pDocument = reinterpret_cast<CHtmlPageDocument*>(1);
    EXPECT_EQ(pView->GetDHtmlDocument(nullptr), E_POINTER);
    EXPECT_EQ(pView->GetDHtmlDocument(&pDocument), E_NOINTERFACE);
    EXPECT_EQ(pDocument, nullptr);
    pView->Navigate2(L"about:blank");
    EXPECT_EQ(pView->GetDHtmlDocument(&pDocument), S_OK);
    EXPECT_EQ(pDocument, pView->GetHtmlDocument());
    EXPECT_EQ(pView->GetDHtmlEventMap(), nullptr);

    MSG key = Message(WM_KEYDOWN, VK_F5, pView->m_wndBrowser.m_hWnd);
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(frame.m_hWnd, &key));
    MSG right = Message(WM_RBUTTONDOWN, MK_RBUTTON, pView->m_wndBrowser.m_hWnd);
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(frame.m_hWnd, &right));
    MSG down = Message(WM_KEYDOWN, VK_DOWN, pView->m_wndBrowser.m_hWnd);
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(frame.m_hWnd, &down));

    frame.DestroyWindow();
    lqtest::PumpPending();
}

} // namespace
