// The hyperlink: set-up on a static, opening only safe addresses through a test launcher, clicks beside the text,
// failed opens, colours by state, hover, and the error messages.
#include "toolkit/controls/XTHyperLink.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/base/XTPToolkitGlobals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kLinkID = 22201;

struct LaunchRecord
{
    std::vector<std::wstring> files;
    INT_PTR nResult = 42;
};
LaunchRecord g_launches;

HINSTANCE RecordingLauncher(LPCWSTR lpszOperation, LPCWSTR lpszFile, int)
{
    EXPECT_STREQ(L"open", lpszOperation);
    g_launches.files.push_back(lpszFile);
    return reinterpret_cast<HINSTANCE>(g_launches.nResult);
}

// A frame that counts the clicks its link passes on.
class CLinkHost : public CFrameWnd
{
public:
    int m_nClicksSeen = 0;

protected:
    void OnLinkClicked() { ++m_nClicksSeen; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLinkHost, CFrameWnd)
ON_STN_CLICKED(kLinkID, OnLinkClicked)
END_MESSAGE_MAP()

class CProbeLink : public CXTHyperLink
{
public:
    HWND ToolTip() const { return m_toolTip.m_hWnd; }
    bool SetupPending() const { return m_bSetupPending; }
    int m_nButtonUps = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const LRESULT lResult = CXTHyperLink::WindowProc(message, wParam, lParam);
        if (message == WM_LBUTTONUP)
            ++m_nButtonUps;
        return lResult;
    }
};

class XTHyperLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_launches = LaunchRecord();
        m_pPrevious = CXTHyperLink::SetLinkLauncher(RecordingLauncher);
        m_host = new CLinkHost;
        ASSERT_TRUE(m_host->Create(nullptr, L"Link host", WS_OVERLAPPEDWINDOW, CRect(60, 60, 560, 260)));
        m_hHost = m_host->m_hWnd;
        m_host->ShowWindow(SW_SHOW);
        ASSERT_TRUE(frametest::Activate(m_hHost));
    }

    void TearDown() override
    {
        m_link.DestroyWindow();
        if (::IsWindow(m_hHost))
            ::DestroyWindow(m_hHost);
        CXTHyperLink::SetLinkLauncher(m_pPrevious);
        frametest::SendMouse({900, 700}, 0);
        lqtest::PumpPending();
    }

    // A wide left-aligned static: its text takes only part of it.
    void MakeLink(const wchar_t* pszText, DWORD dwStyle = SS_LEFT)
    {
        ASSERT_TRUE(m_link.Create(pszText, WS_CHILD | WS_VISIBLE | dwStyle, CRect(10, 10, 400, 40), m_host, kLinkID));
        lqtest::PumpPending();
    }

    int TextWidth()
    {
        CString strText;
        m_link.GetWindowText(strText);
        HDC hDC = ::GetDC(nullptr);
        HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(m_link.SendMessage(WM_GETFONT)));
        SIZE size = {};
        ::GetTextExtentPoint32W(hDC, strText, strText.GetLength(), &size);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(nullptr, hDC);
        return size.cx;
    }

    void ClickAt(int x)
    {
        const POINT pt = frametest::ClientToScreenPoint(m_link.m_hWnd, x, 15);
        const int nUps = m_link.m_nButtonUps;
        frametest::SendMouse(pt, 0);
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
        frametest::SendMouse(pt, MOUSEEVENTF_LEFTUP);
        // The static tells of the click before the button-up is handled.
        ASSERT_TRUE(frametest::PumpTranslatedUntil([&] { return m_link.m_nButtonUps > nUps; }));
    }

    CWinApp m_app{L"XTHyperLinkTests"};
    XT_LINK_LAUNCHER m_pPrevious = nullptr;
    CLinkHost* m_host = nullptr;
    HWND m_hHost = nullptr;
    CProbeLink m_link;
};

TEST_F(XTHyperLinkTest, SetupTakesTheTextAsAddressAndUnderlinesTheFont)
{
    MakeLink(L"http://example.com/news");
    EXPECT_FALSE(m_link.SetupPending());
    EXPECT_EQ(CString(L"http://example.com/news"), m_link.GetURL());
    EXPECT_NE(0u, m_link.GetStyle() & SS_NOTIFY);
    EXPECT_NE(nullptr, m_link.ToolTip());
    LOGFONTW lf = {};
    ::GetObjectW(reinterpret_cast<HGDIOBJ>(m_link.SendMessage(WM_GETFONT)), sizeof(lf), &lf);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_EQ(GetToolkitGlobals()->m_hcurHand, m_link.GetLinkCursor());
}

TEST_F(XTHyperLinkTest, SubclassedStaticFinishesItsSetupThroughThePostedMessage)
{
    HWND hStatic = ::CreateWindowExW(0, L"STATIC", L"mailto:news@example.com", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 50,
                                     300, 20, m_hHost, nullptr, nullptr, nullptr);
    ASSERT_TRUE(m_link.SubclassWindow(hStatic));
    EXPECT_TRUE(m_link.SetupPending());
    lqtest::PumpPending();
    EXPECT_FALSE(m_link.SetupPending());
    EXPECT_EQ(CString(L"mailto:news@example.com"), m_link.GetURL());
}

TEST_F(XTHyperLinkTest, ClicksOpenSafeAddressesOnlyAndOnlyOnTheText)
{
    MakeLink(L"Home page");
    ASSERT_LT(TextWidth() + 20, 390);

    struct Case
    {
        const wchar_t* pszURL;
        bool bOnText;
        INT_PTR nShellResult;
        bool bOpened;
        bool bVisited;
    };
    const Case cases[] = {
        {L"http://example.com/", true, 42, true, true},
        {L"HTTPS://example.com/a?b=c", true, 42, true, true},
        {L"mailto:someone@example.com", true, 42, true, true},
        {L"http://example.com/", false, 42, false, false},
        {L"file:///c:/windows/notepad.exe", true, 42, false, false},
        {L"notepad.exe", true, 42, false, false},
        {L"javascript:alert(1)", true, 42, false, false},
        {L"http://example.com/\" -evil", true, 42, false, false},
        // A failed open leaves the link unvisited and shows nothing (the watchdog would fail the test).
        {L"http://example.com/", true, SE_ERR_NOASSOC, true, false},
    };
    int nCase = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.pszURL));
        // Clicks at one place in quick succession would make double clicks.
        const int xOnText = ++nCase % 2 ? 6 : TextWidth() - 6;
        g_launches = LaunchRecord();
        g_launches.nResult = c.nShellResult;
        m_link.SetURL(c.pszURL);
        m_link.SetVisited(false);
        const int nSeenBefore = m_host->m_nClicksSeen;
        ClickAt(c.bOnText ? xOnText : TextWidth() + 20 + 10 * (nCase % 2));
        ASSERT_EQ(c.bOpened ? 1u : 0u, g_launches.files.size());
        if (c.bOpened) {
            EXPECT_EQ(std::wstring(c.pszURL), g_launches.files[0]);
        }
        EXPECT_EQ(c.bVisited, m_link.GetVisited());
        // A click on the text is the link's own; one beside it goes on to the parent.
        EXPECT_EQ(c.bOnText ? nSeenBefore : nSeenBefore + 1, m_host->m_nClicksSeen);
    }
}

TEST_F(XTHyperLinkTest, WithoutOpenOnClickAClickMarksVisitedAndReachesTheParent)
{
    MakeLink(L"http://example.com/");
    m_link.EnableOpenOnClick(false);
    ClickAt(5);
    EXPECT_TRUE(g_launches.files.empty());
    EXPECT_TRUE(m_link.GetVisited());
    EXPECT_EQ(1, m_host->m_nClicksSeen);
}

TEST_F(XTHyperLinkTest, TextColourFollowsHoverAndVisitedState)
{
    MakeLink(L"http://example.com/");
    m_link.SetColors(RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9));
    auto TextColour = [this] {
        HDC hDC = ::CreateCompatibleDC(nullptr);
        m_host->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(m_link.m_hWnd));
        const COLORREF clr = ::GetTextColor(hDC);
        const int nMode = ::GetBkMode(hDC);
        ::DeleteDC(hDC);
        EXPECT_EQ(TRANSPARENT, nMode);
        return clr;
    };
    EXPECT_EQ(RGB(1, 2, 3), TextColour());
    m_link.SetVisited(true);
    EXPECT_EQ(RGB(4, 5, 6), TextColour());

    frametest::SendMouse(frametest::ClientToScreenPoint(m_link.m_hWnd, 5, 15), 0);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return m_link.IsHot(); }));
    EXPECT_EQ(RGB(7, 8, 9), TextColour());
    frametest::SendMouse(frametest::ClientToScreenPoint(m_link.m_hWnd, 380, 15), 0);
    ASSERT_TRUE(frametest::PumpTranslatedUntil([this] { return !m_link.IsHot(); }));
    EXPECT_EQ(RGB(4, 5, 6), TextColour());
}

TEST(XTHyperLink, SafeLinksAreHttpHttpsAndMailtoWithoutQuotesOrControls)
{
    const struct
    {
        const wchar_t* psz;
        BOOL bSafe;
    } cases[] = {
        {L"http://a.example/", TRUE},    {L"Https://a.example/x", TRUE},
        {L"mailto:a@example.com", TRUE}, {L"mailto:", FALSE},
        {L"ftp://a.example/", FALSE},    {L"file://c:/x.exe", FALSE},
        {L"C:\\Windows\\x.exe", FALSE},  {L"", FALSE},
        {L"http://a\".example", FALSE},  {L"http://a.example/\n", FALSE},
        {L" http://a.example", FALSE},   {L"httpx://a.example", FALSE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bSafe, CXTHyperLink::IsSafeLink(c.psz)) << lqtest::Narrow(c.psz);
    EXPECT_FALSE(CXTHyperLink::IsSafeLink(nullptr));
}

TEST(XTHyperLink, ErrorMessagesByShellCode)
{
    const struct
    {
        int nCode;
        const wchar_t* pszText;
    } cases[] = {
        {0, L"The operating system is out of memory or resources."},
        {2, L"The specified file was not found."},
        {11, L"The .exe file is invalid (non-Win32\u00AE .exe or error in .exe image)."},
        {31, L"There is no application associated with the given file name extension."},
        {32, L"The specified dynamic-link library was not found."},
        {99, L"An unknown error number 99 occured."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CString(c.pszText), CXTHyperLink::ErrorMessage(c.nCode)) << c.nCode;

    lqtest::ExpectModal modal;
    CXTHyperLink link;
    link.ReportError(2);
    EXPECT_EQ(1, modal.Closed());
}

} // namespace
