// The shared helpers the GUI tests stand on: pumps with a hook or up to a quit, steps run from a thread timer
// inside another loop, message-only windows, and mouse input that lands on the pixel asked for.
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SupportPump, AHookTakesItsMessagesAndTheRestAreDispatched)
{
    std::vector<UINT> handled;
    lqtest::MessageWindow window([&](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message < WM_APP)
            return false;
        handled.push_back(message);
        return true;
    });
    std::vector<UINT> taken;
    const lqtest::MessageHook hook = [&](MSG& msg) {
        if (msg.message != WM_APP + 1)
            return false;
        taken.push_back(msg.message);
        return true;
    };
    for (UINT message : {WM_APP, WM_APP + 1, WM_APP + 2})
        ::PostMessageW(window.Handle(), message, 0, 0);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return handled.size() == 2; }, 5000, hook));
    EXPECT_EQ((std::vector<UINT>{WM_APP, WM_APP + 2}), handled);
    EXPECT_EQ((std::vector<UINT>{WM_APP + 1}), taken);
}

TEST(SupportPump, TheQuitEndsTheLoopWithItsCodeAfterWhatWasPostedBeforeIt)
{
    int before = 0;
    lqtest::MessageWindow window([&](UINT message, WPARAM, LPARAM, LRESULT&) {
        before += message == WM_APP;
        return message == WM_APP;
    });
    ::PostMessageW(window.Handle(), WM_APP, 0, 0);
    ::PostQuitMessage(6);
    WPARAM code = 0;
    ASSERT_TRUE(lqtest::PumpUntilQuit(&code));
    EXPECT_EQ(6u, code);
    EXPECT_EQ(1, before);
    // Without a quit the loop gives up after its time.
    EXPECT_FALSE(lqtest::PumpUntilQuit(&code, 50));
}

TEST(SupportPump, TimedStepsRunInOrderInsideAnotherLoopUntilStopped)
{
    std::vector<int> ran;
    lqtest::TimedSteps steps({[&] { ran.push_back(1); }, [&] { ran.push_back(2); }, [&] { ran.push_back(3); }});
    EXPECT_FALSE(steps.Done());
    // A loop of its own, as the code under test runs one: the steps still come, one per tick.
    const DWORD start = ::GetTickCount();
    while (ran.size() < 2 && ::GetTickCount() - start < 5000) {
        MSG msg;
        while (ran.size() < 2 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ASSERT_EQ((std::vector<int>{1, 2}), ran);
    steps.Stop();
    EXPECT_TRUE(steps.Done());
    lqtest::PumpUntil([] { return false; }, 100);
    EXPECT_EQ((std::vector<int>{1, 2}), ran) << "a stopped timer runs nothing more";
}

TEST(SupportWindow, TheHandlersResultIsAnsweredAndWhatItDeclinesReachesTheDefault)
{
    lqtest::MessageWindow window([](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_APP)
            return false;
        result = static_cast<LRESULT>(wParam * 3);
        return true;
    });
    ASSERT_NE(nullptr, window.Handle());
    EXPECT_EQ(21, ::SendMessageW(window.Handle(), WM_APP, 7, 0));
    ::SendMessageW(window.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"kept"));
    wchar_t text[8] = {};
    ::GetWindowTextW(window.Handle(), text, 8);
    EXPECT_STREQ(L"kept", text);
}

TEST(SupportInput, TheMouseLandsOnThePixelAskedFor)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    for (POINT pt : {POINT{0, 0}, POINT{1, 1}, POINT{cx / 2 + 5, cy / 3 + 1}, POINT{cx - 1, cy - 1}}) {
        SCOPED_TRACE(std::to_string(pt.x) + "," + std::to_string(pt.y));
        EXPECT_TRUE(lqtest::MoveMouse(pt));
        POINT now{};
        ::GetCursorPos(&now);
        EXPECT_EQ(pt.x, now.x);
        EXPECT_EQ(pt.y, now.y);
    }
}

} // namespace
