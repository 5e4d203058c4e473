// The debug checks of the framework's wrappers, in a build of the framework that has them: a wrapper used without
// the window, menu or DC it wraps reports the failed check with where it stands, and a wrapper used properly, or
// one that is meant to be called without an object, reports nothing.
#include "framework/core/DebugChecks.h"
#include "framework/win/Dc.h"
#include "framework/win/Dialog.h"
#include "framework/win/Menu.h"
#include "framework/win/Wnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

static_assert(LQ_DEBUG_CHECKS, "this program tests a framework built with its debug checks");

namespace {

struct Failure
{
    std::string condition;
    std::string file;
};

std::vector<Failure> g_failures;

void Record(const char* condition, const char* file, int)
{
    g_failures.push_back({condition, file});
}

// Catches the failed checks of the test instead of stopping the program.
class DebugCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_failures.clear();
        m_previous = DebugChecks::SetFailureHandler(Record);
    }
    void TearDown() override { DebugChecks::SetFailureHandler(m_previous); }

    DebugChecks::FailureHandler m_previous = nullptr;
};

// A window that existed once: its handle is stale.
HWND DestroyedWindow()
{
    HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(hWnd);
    return hWnd;
}

std::string FileName(const std::string& path)
{
    return path.substr(path.find_last_of("/\\") + 1);
}

TEST_F(DebugCheckTest, WrappersUsedWithoutTheirObjectReportWhereTheyStand)
{
    CWnd never;
    CWnd gone;
    gone.m_hWnd = DestroyedWindow();
    CDialog dialog;
    CMenu menu;
    CDC dc;
    const struct
    {
        const char* name;
        std::function<void()> use;
        const char* condition; // a part of the failed condition
        const char* file;      // where the check stands
    } cases[] = {
        {"style of a window never made", [&] { never.GetStyle(); }, "IsWindow", "Wnd.h"},
        {"message to a destroyed window", [&] { gone.SendMessage(WM_NULL); }, "IsWindow", "Wnd.h"},
        {"text of a destroyed window", [&] { gone.SetWindowText(L"x"); }, "IsWindow", "Wnd.h"},
        {"client area of a destroyed window",
         [&] {
             RECT rc;
             gone.GetClientRect(&rc);
         },
         "IsWindow", "Wnd.h"},
        {"text into a string",
         [&] {
             CString text;
             gone.GetWindowText(text);
         },
         "IsWindow", "Wnd.h"},
        {"style change", [&] { gone.ModifyStyle(0, WS_BORDER); }, "IsWindow", "Wnd.h"},
        {"centring", [&] { never.CenterWindow(); }, "IsWindow", "Wnd.cpp"},
        {"dialog focus", [&] { dialog.NextDlgCtrl(); }, "IsWindow", "Wnd.h"},
        {"dialog default button", [&] { dialog.GetDefID(); }, "IsWindow", "Wnd.h"},
        {"menu item added", [&] { menu.AppendMenu(MF_STRING, 1, L"x"); }, "IsMenu", "Menu.h"},
        {"menu item enabled", [&] { menu.EnableMenuItem(1, MF_GRAYED); }, "IsMenu", "Menu.h"},
        {"drawing without a DC", [&] { dc.FillSolidRect(0, 0, 2, 2, RGB(1, 2, 3)); }, "hDC", "Dc.h"},
        {"line without a DC", [&] { dc.LineTo(3, 4); }, "hDC", "Dc.h"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_failures.clear();
        c.use();
        ASSERT_FALSE(g_failures.empty());
        EXPECT_NE(std::string::npos, g_failures[0].condition.find(c.condition)) << g_failures[0].condition;
        EXPECT_EQ(c.file, FileName(g_failures[0].file));
    }
    gone.m_hWnd = nullptr;
}

TEST_F(DebugCheckTest, ProperUseAndTheNullSafeMembersReportNothing)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"STATIC", L"live", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr));
    wnd.SetWindowText(L"changed");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(L"changed", text.GetString());
    RECT rc;
    wnd.GetClientRect(&rc);
    wnd.ModifyStyle(0, WS_BORDER);
    wnd.DestroyWindow();

    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_TRUE(menu.AppendMenu(MF_STRING, 1, L"x"));
    EXPECT_EQ(1u, menu.GetMenuItemCount());

    CWnd* absent = nullptr;
    CWnd never;
    EXPECT_EQ(nullptr, absent->GetSafeHwnd());
    EXPECT_FALSE(never.IsWindow());
    EXPECT_FALSE(never.DestroyWindow());
    CMenu noMenu;
    EXPECT_EQ(UINT(-1), noMenu.GetMenuItemCount()) << "a query answers for an invalid menu, as documented";
    CDC* noDc = nullptr;
    EXPECT_EQ(nullptr, noDc->GetSafeHdc());
    EXPECT_TRUE(g_failures.empty()) << g_failures.front().condition << " at " << g_failures.front().file;
}

} // namespace
