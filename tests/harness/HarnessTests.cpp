// The test harness itself: crashes and forgotten dialog boxes fail a run instead of hanging it, and the
// local HTTP server is reachable through WinHTTP from inside Wine.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <winhttp.h>

#include <memory>

namespace {

const wchar_t kChildFlags[] = L"--gtest_also_run_disabled_tests --gtest_filter=";

TEST(HarnessChild, DISABLED_AccessViolation)
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

TEST(HarnessChild, DISABLED_ForgottenMessageBox)
{
    MessageBoxW(nullptr, L"Nobody closes this", L"Forgotten", MB_OK);
}

TEST(Harness, AccessViolationEndsTheProcessWithTheCrashCode)
{
    DWORD code = 0;
    ASSERT_TRUE(lqtest::RunSelf(std::wstring(kChildFlags) + L"HarnessChild.DISABLED_AccessViolation", 60000, &code));
    EXPECT_EQ(lqtest::kCrashExitCode, code);
}

TEST(Harness, ForgottenMessageBoxIsClosedAndFailsTheTest)
{
    DWORD code = 0;
    ASSERT_TRUE(lqtest::RunSelf(std::wstring(kChildFlags) + L"HarnessChild.DISABLED_ForgottenMessageBox", 60000,
                                &code));
    EXPECT_EQ(1u, code);
}

TEST(Harness, ExpectedMessageBoxIsClosedWithoutFailure)
{
    lqtest::ExpectModal expect(100);
    const int answer = MessageBoxW(nullptr, L"Closed by the watchdog", L"Expected", MB_OKCANCEL);
    EXPECT_EQ(IDCANCEL, answer);
    EXPECT_EQ(1, expect.Closed());
}

struct InternetCloser
{
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

struct Answer
{
    DWORD status = 0;
    std::string body;
};

Answer Get(const wchar_t* path, const wchar_t* proxy = nullptr, const wchar_t* host = L"127.0.0.1")
{
    Answer answer;
    InternetHandle session(WinHttpOpen(L"LanternquillTest", proxy ? WINHTTP_ACCESS_TYPE_NAMED_PROXY
                                                                   : WINHTTP_ACCESS_TYPE_NO_PROXY,
                                       proxy ? proxy : WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return answer;
    // The host and the port go apart: "host:port" as the server name fails.
    InternetHandle connection(
        WinHttpConnect(session.get(), host, static_cast<INTERNET_PORT>(lqtest::HttpPort()), 0));
    if (!connection)
        return answer;
    InternetHandle request(WinHttpOpenRequest(connection.get(), L"GET", path, nullptr, WINHTTP_NO_REFERER,
                                              WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!request || !WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, nullptr, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr))
        return answer;
    DWORD size = sizeof(answer.status);
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &answer.status, &size, WINHTTP_NO_HEADER_INDEX);
    char buffer[4096];
    DWORD got = 0;
    while (WinHttpReadData(request.get(), buffer, sizeof(buffer), &got) && got > 0)
        answer.body.append(buffer, got);
    return answer;
}

TEST(Harness, LocalHttpServerAnswersThroughWinHttp)
{
    ASSERT_NE(0, lqtest::HttpPort()) << "the run has no local HTTP server";
    const Answer text = Get(L"/text/100");
    EXPECT_EQ(200u, text.status);
    EXPECT_EQ(100u, text.body.size());
    EXPECT_EQ(404u, Get(L"/no-such-route").status);
    EXPECT_EQ(500u, Get(L"/status/500").status);

    const std::wstring proxy = L"127.0.0.1:" + std::to_wstring(lqtest::HttpPort());
    // A made-up host: only the proxy, which is the local server, ever sees its name.
    EXPECT_EQ(407u, Get(L"/text/10", proxy.c_str(), L"feeds.lanternquill.test").status);
}

} // namespace
