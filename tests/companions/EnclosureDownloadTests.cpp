// The enclosure download against the local test server: new files and their names, resumed partial files and the
// answers that make a file start again, failures that must never pass for done, credentials kept to the feed's
// server, and a stop while the server holds the connection.
#include "companions/CompanionMessages.h"
#include "companions/EnclosureDownload.h"
#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/companions/CompanionsTestHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using lqtest::HttpUrl;
using lqtest::ReadFileBytes;
using lqtest::WriteFileBytes;

// The server's text body of n bytes.
std::string TextBody(size_t n)
{
    const std::string pattern = "Lanternquill test body 0123456789.\n";
    std::string body;
    while (body.size() < n)
        body += pattern;
    return body.substr(0, n);
}

CString Report(UINT nID, DWORD code)
{
    CString text;
    text.LoadString(nID);
    CString number;
    number.Format(L"%lu", static_cast<unsigned long>(code));
    text.Replace(L"%1", number);
    return text;
}

class EnclosureDownloadTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(0, lqtest::HttpPort()) << "the local test server is not running"; }

    std::unique_ptr<CEnclosureTransfer> Transfer(const std::wstring& path)
    {
        auto transfer = std::make_unique<CEnclosureTransfer>();
        transfer->strUrl = HttpUrl(path).c_str();
        transfer->strFolder = m_folder.Path().c_str();
        return transfer;
    }

    lqtest::TempFolder m_folder;
};

TEST_F(EnclosureDownloadTest, NewFileTakesTheLastSegmentWithoutTheQuery)
{
    auto transfer = Transfer(L"/text/5000/show.mp3?session=1&x=/y");
    EXPECT_EQ(0, DownloadEnclosure(*transfer)) << lqtest::Narrow(transfer->strError.GetString());
    EXPECT_TRUE(transfer->bDone);
    EXPECT_EQ(CString(m_folder.File(L"show.mp3").c_str()), transfer->strFilePath);
    EXPECT_EQ(TextBody(5000), ReadFileBytes(m_folder.File(L"show.mp3")));
    EXPECT_EQ(5000, transfer->nFileBytes);
}

TEST_F(EnclosureDownloadTest, AFileOfTheSameNameIsLeftAloneAndTheNewOneTakesANumber)
{
    ASSERT_TRUE(WriteFileBytes(m_folder.File(L"show.mp3"), "another feed's episode"));
    auto transfer = Transfer(L"/text/700/show.mp3");
    ASSERT_EQ(0, DownloadEnclosure(*transfer));
    EXPECT_EQ("another feed's episode", ReadFileBytes(m_folder.File(L"show.mp3")));
    EXPECT_EQ(CString(m_folder.File(L"show (2).mp3").c_str()), transfer->strFilePath);
    EXPECT_EQ(TextBody(700), ReadFileBytes(m_folder.File(L"show (2).mp3")));
}

TEST_F(EnclosureDownloadTest, NamesThatCouldLeaveTheFolderAreCleaned)
{
    auto transfer = Transfer(L"/text/100/CON.mp3");
    ASSERT_EQ(0, DownloadEnclosure(*transfer));
    EXPECT_EQ(CString(m_folder.File(L"_CON.mp3").c_str()), transfer->strFilePath);
    // An address that ends in a slash names no file.
    auto none = Transfer(L"/text/100/");
    EXPECT_EQ(1, DownloadEnclosure(*none));
    CString expected;
    expected.LoadString(IDS_PODCAST_NO_FILE_NAME);
    EXPECT_EQ(expected, none->strError);
    EXPECT_TRUE(none->strFilePath.IsEmpty());
}

// A partial file is continued, or started again from its first byte when the server's answer shows it cannot be.
TEST_F(EnclosureDownloadTest, PartialFileContinuesOnlyWhenTheServerSendsItsRest)
{
    const std::string mine(1000, 'X'); // not the server's bytes: a continued file keeps them
    struct Case
    {
        const wchar_t* name;
        std::wstring path;
        std::string partial;
        LONGLONG declared;
        std::string expected;
    };
    const Case cases[] = {
        {L"range answered", L"/text/5000/a.mp3", mine, 5000, mine + TextBody(5000).substr(1000)},
        {L"length unknown to the feed", L"/text/5000/a.mp3", mine, 0, mine + TextBody(5000).substr(1000)},
        {L"whole file answered", L"/ignore-range/5000", mine, 0, TextBody(5000)},
        {L"416: the file is shorter now", L"/text/5000/a.mp3", std::string(6000, 'X'), 0, TextBody(5000)},
        {L"another length than the feed's", L"/text/5000/a.mp3", mine, 9000, TextBody(5000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.name));
        const std::wstring partial = m_folder.File(L"partial.mp3");
        ASSERT_TRUE(WriteFileBytes(partial, c.partial));
        auto transfer = Transfer(c.path);
        transfer->strResumePath = partial.c_str();
        transfer->nDeclaredLength = c.declared;
        EXPECT_EQ(0, DownloadEnclosure(*transfer)) << lqtest::Narrow(transfer->strError.GetString());
        EXPECT_EQ(CString(partial.c_str()), transfer->strFilePath);
        EXPECT_EQ(c.expected, ReadFileBytes(partial));
    }
}

TEST_F(EnclosureDownloadTest, FailuresAreReportedAndKeepWhatWasWritten)
{
    struct Case
    {
        const wchar_t* path;
        CString error;
        LONGLONG kept; // bytes in the file afterwards; -1 none created
    };
    const Case cases[] = {
        {L"/truncated/5000/2000/t.mp3", Report(IDS_DOWNLOAD_ERROR_TRANSFER, ERROR_HANDLE_EOF), 2000},
        {L"/status/404", Report(IDS_DOWNLOAD_ERROR_STATUS, 404), -1},
        {L"/status/500", Report(IDS_DOWNLOAD_ERROR_STATUS, 500), -1},
        {L"/redirect-loop", Report(IDS_DOWNLOAD_ERROR_STATUS, 302), -1},
        {L"/basic/user/secret/100", Report(IDS_DOWNLOAD_ERROR_STATUS, 401), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.path));
        auto transfer = Transfer(c.path);
        EXPECT_EQ(1, DownloadEnclosure(*transfer));
        EXPECT_FALSE(transfer->bDone);
        EXPECT_EQ(c.error, transfer->strError);
        if (c.kept < 0) {
            EXPECT_TRUE(transfer->strFilePath.IsEmpty());
        } else {
            EXPECT_EQ(static_cast<size_t>(c.kept), ReadFileBytes(transfer->strFilePath.GetString()).size());
        }
    }
}

TEST_F(EnclosureDownloadTest, RedirectIsFollowedAndTheFileNamedAfterItsEnd)
{
    auto transfer = Transfer(L"/redirect-to/%2Ftext%2F300%2Fepisode.ogg");
    ASSERT_EQ(0, DownloadEnclosure(*transfer)) << lqtest::Narrow(transfer->strError.GetString());
    EXPECT_EQ(CString(m_folder.File(L"episode.ogg").c_str()), transfer->strFilePath);
    EXPECT_EQ(TextBody(300), ReadFileBytes(m_folder.File(L"episode.ogg")));
}

// The feed's account answers a challenge of the feed's own scheme, host and port, and no other.
TEST_F(EnclosureDownloadTest, FeedCredentialsGoOnlyToTheFeedsServer)
{
    const std::wstring port = std::to_wstring(lqtest::HttpPort());
    struct Case
    {
        std::wstring feedLink;
        std::wstring enclosure;
        int result;
    };
    const Case cases[] = {
        {L"http://127.0.0.1:" + port + L"/feed.xml", L"/basic/user/secret/400", 0},
        // Another port is another server.
        {L"http://127.0.0.1:" + std::to_wstring(lqtest::HttpPort() + 1) + L"/feed.xml", L"/basic/user/secret/400", 1},
        // A redirect from the feed's server to a page behind another server's challenge carries nothing there.
        {L"http://127.0.0.1:1/feed.xml",
         L"/redirect-to/" + std::wstring(L"http%3A%2F%2F127.0.0.1%3A") + port + L"%2Fbasic%2Fuser%2Fsecret%2F10", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.feedLink + L" " + c.enclosure));
        auto transfer = Transfer(c.enclosure);
        transfer->strFeedLink = c.feedLink.c_str();
        transfer->strAccountName = L"user";
        transfer->strPassword = L"secret";
        EXPECT_EQ(c.result, DownloadEnclosure(*transfer)) << lqtest::Narrow(transfer->strError.GetString());
        if (c.result == 0) {
            EXPECT_EQ(TextBody(400), ReadFileBytes(transfer->strFilePath.GetString()));
        } else {
            EXPECT_EQ(Report(IDS_DOWNLOAD_ERROR_STATUS, 401), transfer->strError);
        }
    }
}

// Reports go to the window by posted messages only: progress as it changes, then the end with the serial.
TEST_F(EnclosureDownloadTest, ProgressAndTheEndArePostedWithTheSerial)
{
    std::vector<std::pair<UINT, WPARAM>> seen;
    lqtest::MessageWindow window([&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
        if (message != WM_PODCAST_PROGRESS && message != WM_PODCAST_DOWNLOAD_DONE)
            return false;
        EXPECT_EQ(77, lParam);
        seen.emplace_back(message, wParam);
        return true;
    });
    auto transfer = Transfer(L"/text/300000/big.mp3");
    transfer->hNotify = window.Handle();
    transfer->nSerial = 77;
    ASSERT_EQ(0, DownloadEnclosure(*transfer));
    lqtest::PumpPending();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(std::make_pair(UINT(WM_PODCAST_PROGRESS), WPARAM(0)), seen.front());
    EXPECT_EQ(std::make_pair(UINT(WM_PODCAST_PROGRESS), WPARAM(100)), seen[seen.size() - 2]);
    EXPECT_EQ(std::make_pair(UINT(WM_PODCAST_DOWNLOAD_DONE), WPARAM(0)), seen.back());
    EXPECT_LE(seen.size(), 102u) << "one report per percent at most";
}

struct RunningDownload
{
    std::shared_ptr<CEnclosureTransfer> transfer;
    HANDLE hThread = nullptr;
    volatile LONG result = -1;

    static DWORD WINAPI Proc(LPVOID parameter)
    {
        auto* self = static_cast<RunningDownload*>(parameter);
        InterlockedExchange(&self->result, DownloadEnclosure(*self->transfer));
        return 0;
    }
    bool Start()
    {
        hThread = ::CreateThread(nullptr, 0, Proc, this, 0, nullptr);
        return hThread != nullptr;
    }
    ~RunningDownload()
    {
        if (hThread) {
            transfer->Abort();
            ::WaitForSingleObject(hThread, 10000);
            ::CloseHandle(hThread);
        }
    }
};

// A server that stops sending, during the body or before its headers: a stop ends the download at once, as a
// failure, and what was written stays.
TEST_F(EnclosureDownloadTest, StopEndsAStalledDownloadWithinASecondAndIsNeverDone)
{
    const wchar_t* paths[] = {L"/slow/6400/3000/stall.mp3", L"/silent/20000"};
    for (const wchar_t* path : paths) {
        SCOPED_TRACE(lqtest::Narrow(path));
        RunningDownload run;
        run.transfer = std::shared_ptr<CEnclosureTransfer>(Transfer(path).release());
        ASSERT_TRUE(run.Start());
        const bool bBody = wcsstr(path, L"slow") != nullptr;
        if (bBody) {
            ASSERT_TRUE(lqtest::PumpUntil([&] { return run.transfer->nFileBytes >= 64; }, 10000));
        } else {
            ASSERT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ::WaitForSingleObject(run.hThread, 300));
        }
        run.transfer->Abort();
        EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), ::WaitForSingleObject(run.hThread, 1500));
        EXPECT_EQ(1, run.result);
        EXPECT_FALSE(run.transfer->bDone);
        if (bBody) {
            const size_t kept = ReadFileBytes(run.transfer->strFilePath.GetString()).size();
            EXPECT_GE(kept, 64u);
            EXPECT_LT(kept, 6400u);
        }
    }
}

} // namespace
