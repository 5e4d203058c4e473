// The download dialog run modally against the local test server: completion, resume, cancel and its errors.
#include "feeds/ui/HttpDownloadDlg.h"

#include "framework/win/WndMsgMap.h"
#include "res/resource.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <mutex>
#include <regex>
#include <string>
#include <vector>

using lqtest::HttpUrl;
using lqtest::Narrow;
using lqtest::ReadFileBytes;
using lqtest::WriteFileBytes;

namespace {

// The server's text body: one line repeated and cut to n bytes.
std::string TextBody(size_t n)
{
    const std::string line = "Lanternquill test body 0123456789.\n";
    std::string body;
    while (body.size() < n)
        body += line;
    return body.substr(0, n);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

LONGLONG SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<LONGLONG>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

struct MessageBoxSeen
{
    std::wstring text;
    bool yesNo;
};

BOOL CALLBACK CollectThreadDialogs(HWND hwnd, LPARAM lParam)
{
    WCHAR cls[32] = L"";
    GetClassNameW(hwnd, cls, 32);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

std::wstring WindowText(HWND hwnd)
{
    WCHAR text[512] = L"";
    if (hwnd)
        GetWindowTextW(hwnd, text, 512);
    return text;
}

// Drives the dialog from its own thread: answers message boxes (recording their texts), clicks Cancel once the
// file holds enough bytes, and keeps what the controls showed.
class CDrivenDownloadDlg : public CHttpDownloadDlg
{
public:
    int m_nReplaceAnswer = IDNO;
    LONGLONG m_cancelAtBytes = 0; // 0: never
    int m_cancelAtTick = 0;       // of the 15 ms timer; 0: never
    int m_ticks = 0;
    std::vector<MessageBoxSeen> m_boxes;
    bool m_bCancelClicked = false;
    bool m_bCancelDisabledAfterClick = false;
    std::wstring m_finalCaption, m_finalFileAndHost, m_finalStatus;
    std::wstring m_statusAfterCancel;

    // Set on the worker thread through the overridden setters.
    std::mutex m_lock;
    std::vector<int> m_percents;
    std::vector<std::wstring> m_rates, m_timesLeft;

protected:
    BOOL OnInitDialog() override
    {
        // Before the base: its replace question must already find the timer running.
        SetTimer(1, 15, nullptr);
        return CHttpDownloadDlg::OnInitDialog();
    }

    void SetPercentage(int nPercent) override
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_percents.push_back(nPercent);
        }
        CHttpDownloadDlg::SetPercentage(nPercent);
    }

    void SetTransferRate(double rate) override
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_rates.push_back(FormatRate(rate).GetString());
        }
        CHttpDownloadDlg::SetTransferRate(rate);
    }

    void SetTimeLeft(DWORD seconds, ULONGLONG copied, ULONGLONG total) override
    {
        CHttpDownloadDlg::SetTimeLeft(seconds, copied, total);
        std::lock_guard<std::mutex> guard(m_lock);
        m_timesLeft.push_back(WindowText(m_ctrlTimeLeft.m_hWnd));
    }

    void OnTimer(UINT_PTR)
    {
        std::vector<HWND> dialogs;
        EnumThreadWindows(GetCurrentThreadId(), CollectThreadDialogs, reinterpret_cast<LPARAM>(&dialogs));
        for (HWND box : dialogs) {
            if (box == m_hWnd || GetPropW(box, L"LqAnswered"))
                continue;
            SetPropW(box, L"LqAnswered", reinterpret_cast<HANDLE>(1));
            const bool yesNo = ::GetDlgItem(box, IDYES) != nullptr;
            m_boxes.push_back({WindowText(::GetDlgItem(box, 0xFFFF)), yesNo});
            ::PostMessageW(box, WM_COMMAND, yesNo ? m_nReplaceAnswer : IDOK, 0);
        }
        ++m_ticks;
        const bool bCancelNow = (m_cancelAtBytes && SizeOf(m_strFile.GetString()) >= m_cancelAtBytes) ||
                                (m_cancelAtTick && m_ticks >= m_cancelAtTick);
        if (bCancelNow && !m_bCancelClicked) {
            m_bCancelClicked = true;
            SendDlgItemMessage(IDCANCEL, BM_CLICK, 0, 0);
            m_bCancelDisabledAfterClick = !::IsWindowEnabled(::GetDlgItem(m_hWnd, IDCANCEL));
            m_statusAfterCancel = WindowText(m_ctrlStatus.m_hWnd);
        }
    }

    void OnDestroy()
    {
        KillTimer(1);
        m_finalCaption = WindowText(m_hWnd);
        m_finalFileAndHost = WindowText(m_ctrlFileAndHost.m_hWnd);
        m_finalStatus = WindowText(m_ctrlStatus.m_hWnd);
        CHttpDownloadDlg::OnDestroy();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDrivenDownloadDlg, CHttpDownloadDlg)
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

std::wstring Text(UINT nID, const std::wstring& arg)
{
    return CHttpDownloadDlg::FormatString(nID, arg.c_str()).GetString();
}

// A made-up host that only the local server acting as a proxy answers for (loopback hosts bypass the proxy).
const std::wstring kProxiedHost = L"http://feeds.lanternquill.test";

class HttpDownloadDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (lqtest::HttpPort() == 0)
            GTEST_SKIP() << "no local HTTP server in this run";
    }

    // Runs the dialog; the watchdog stays out of the way of the dialog and its boxes, which the dialog's own
    // timer answers.
    INT_PTR Run(CDrivenDownloadDlg& dlg)
    {
        lqtest::ExpectModal expect(30000);
        return dlg.DoModal();
    }

    lqtest::TempFolder m_folder;
};

TEST(HttpDownloadTexts, AmountsTimesAndRates)
{
    const struct
    {
        ULONGLONG bytes;
        const wchar_t* text;
    } amounts[] = {{0, L"0 Bytes"},
                   {1023, L"1023 Bytes"},
                   {1024, L"1.0 KB"},
                   {1048575, L"1024.0 KB"},
                   {1048576, L"1.00 MB"},
                   {1572864, L"1.50 MB"},
                   {5368709120ull, L"5120.00 MB"}};
    for (const auto& c : amounts)
        EXPECT_EQ(std::wstring(c.text), CHttpDownloadDlg::FormatAmount(c.bytes).GetString()) << c.bytes;

    const struct
    {
        DWORD seconds;
        const wchar_t* text;
    } times[] = {{0, L"0 sec"},        {59, L"59 sec"},       {60, L"1 min"},
                 {61, L"1 min 1 sec"}, {125, L"2 min 5 sec"}, {3600, L"60 min"}};
    for (const auto& c : times)
        EXPECT_EQ(std::wstring(c.text), CHttpDownloadDlg::FormatTimeLeft(c.seconds).GetString()) << c.seconds;

    const struct
    {
        double rate;
        const wchar_t* text;
    } rates[] = {{0.0, L"0 Bytes/Sec"}, {0.5, L"512 Bytes/Sec"}, {0.999, L"1023 Bytes/Sec"}, {1.0, L"1.00 KB/Sec"},
                 {9.5, L"9.50 KB/Sec"}, {10.0, L"10 KB/Sec"},    {123.4, L"123 KB/Sec"}};
    for (const auto& c : rates)
        EXPECT_EQ(std::wstring(c.text), CHttpDownloadDlg::FormatRate(c.rate).GetString()) << c.rate;
}

TEST(HttpDownloadTexts, InsertsKeepOtherPercentSigns)
{
    EXPECT_EQ(L"42% of a.mp3 Completed",
              std::wstring(CHttpDownloadDlg::FormatString(IDS_DOWNLOAD_PERCENT_CAPTION, L"42", L"a.mp3")));
    EXPECT_EQ(L"The file 'C:\\a%2b' already exists.\nDo you want to replace it?",
              std::wstring(CHttpDownloadDlg::FormatString(IDS_DOWNLOAD_REPLACE, L"C:\\a%2b")));
    EXPECT_EQ(L"1 KB (3 of 4 copied)",
              std::wstring(CHttpDownloadDlg::FormatString(IDS_DOWNLOAD_TIME_LEFT_COPIED, L"1 KB", L"3 of 4")));
}

TEST_F(HttpDownloadDlgTest, CompletesWithCaptionAndHostTexts)
{
    CDrivenDownloadDlg dlg;
    dlg.m_strUrl = HttpUrl(L"/text/5000").c_str();
    dlg.m_strFile = m_folder.File(L"body.txt").c_str();
    ASSERT_EQ(IDOK, Run(dlg));
    EXPECT_EQ(TextBody(5000), ReadFileBytes(m_folder.File(L"body.txt")));
    EXPECT_TRUE(dlg.m_boxes.empty());
    EXPECT_EQ(L"100% of 5000 Completed", dlg.m_finalCaption);
    EXPECT_EQ(L"5000 from 127.0.0.1", dlg.m_finalFileAndHost);
    EXPECT_EQ(Text(IDS_DOWNLOAD_RETRIEVING, L""), dlg.m_finalStatus);
    ASSERT_FALSE(dlg.m_percents.empty());
    EXPECT_EQ(100, dlg.m_percents.back());
    for (size_t i = 1; i < dlg.m_percents.size(); ++i)
        EXPECT_LT(dlg.m_percents[i - 1], dlg.m_percents[i]) << "a percentage is shown only when it changes";
}

TEST_F(HttpDownloadDlgTest, SlowTransferShowsRateAndTimeLeft)
{
    // 64-byte chunks 40 ms apart: well over one second, so the rate and the time left are shown.
    CDrivenDownloadDlg dlg;
    dlg.m_strUrl = HttpUrl(L"/slow/2048/40").c_str();
    dlg.m_strFile = m_folder.File(L"slow.txt").c_str();
    ASSERT_EQ(IDOK, Run(dlg));
    EXPECT_EQ(TextBody(2048), ReadFileBytes(m_folder.File(L"slow.txt")));
    ASSERT_FALSE(dlg.m_rates.empty());
    ASSERT_FALSE(dlg.m_timesLeft.empty());
    const std::wregex rate(L"^([0-9]+ Bytes/Sec|[0-9]\\.[0-9]{2} KB/Sec|[0-9]{2,} KB/Sec)$");
    for (const auto& text : dlg.m_rates)
        EXPECT_TRUE(std::regex_match(text, rate)) << Narrow(text);
    const std::wregex timeLeft(
        L"^[0-9]+ (sec|min|min [0-9]+ sec) \\(([0-9]+ Bytes|[0-9]+\\.[0-9] KB) of 2\\.0 KB copied\\)$");
    for (const auto& text : dlg.m_timesLeft)
        EXPECT_TRUE(std::regex_match(text, timeLeft)) << Narrow(text);
}

TEST_F(HttpDownloadDlgTest, WithoutLengthShowsRateButNoPercentage)
{
    CDrivenDownloadDlg dlg;
    dlg.m_strUrl = HttpUrl(L"/slow-unsized/1536/50").c_str();
    dlg.m_strFile = m_folder.File(L"unsized.txt").c_str();
    ASSERT_EQ(IDOK, Run(dlg));
    EXPECT_EQ(TextBody(1536), ReadFileBytes(m_folder.File(L"unsized.txt")));
    EXPECT_TRUE(dlg.m_percents.empty());
    EXPECT_TRUE(dlg.m_timesLeft.empty());
    EXPECT_FALSE(dlg.m_rates.empty());
    EXPECT_EQ(L"File Download", dlg.m_finalCaption);
}

// Resuming cuts the file to the offset, asks for the rest, and appends it; a server that answers with the whole
// file instead makes the file start over.
TEST_F(HttpDownloadDlgTest, ResumeAppendsOrStartsOver)
{
    const struct
    {
        const wchar_t* path;
        std::string expected;
    } cases[] = {
        {L"/text/5000", TextBody(5000)},         // 206 from the offset
        {L"/ignore-range/3000", TextBody(3000)}, // 200 whatever the range
        {L"/partial/3000", TextBody(3000)},      // 206 from byte 0
        {L"/header/Range", "bytes=1000-"},       // the request's own range header, answered with 200
    };
    for (const auto& c : cases) {
        const std::wstring file = m_folder.File(L"resume.bin");
        ASSERT_TRUE(WriteFileBytes(file, TextBody(1000) + std::string(700, 'x')));
        CDrivenDownloadDlg dlg;
        dlg.m_strUrl = HttpUrl(c.path).c_str();
        dlg.m_strFile = file.c_str();
        dlg.m_dwResumeOffset = 1000;
        dlg.m_bAskBeforeReplacing = FALSE;
        EXPECT_EQ(IDOK, Run(dlg)) << Narrow(c.path);
        EXPECT_EQ(c.expected, ReadFileBytes(file)) << Narrow(c.path);
        EXPECT_TRUE(dlg.m_boxes.empty()) << Narrow(c.path);
    }
}

TEST_F(HttpDownloadDlgTest, CutShortFailsKeepsPartialFileAndResumes)
{
    const std::wstring file = m_folder.File(L"cut.bin");
    {
        CDrivenDownloadDlg dlg;
        dlg.m_strUrl = HttpUrl(L"/truncated/4000/1500").c_str();
        dlg.m_strFile = file.c_str();
        EXPECT_EQ(IDCANCEL, Run(dlg));
        ASSERT_EQ(1u, dlg.m_boxes.size());
        const std::wstring prefix = Text(IDS_DOWNLOAD_ERROR_TRANSFER, L"");
        EXPECT_EQ(prefix, dlg.m_boxes[0].text.substr(0, prefix.size())) << Narrow(dlg.m_boxes[0].text);
        EXPECT_EQ(std::wstring(dlg.m_strError), dlg.m_boxes[0].text);
    }
    ASSERT_EQ(TextBody(1500), ReadFileBytes(file));

    CDrivenDownloadDlg resume;
    resume.m_strUrl = HttpUrl(L"/text/4000").c_str();
    resume.m_strFile = file.c_str();
    resume.m_dwResumeOffset = 1500;
    resume.m_bAskBeforeReplacing = FALSE;
    EXPECT_EQ(IDOK, Run(resume));
    EXPECT_EQ(TextBody(4000), ReadFileBytes(file));
    ASSERT_FALSE(resume.m_percents.empty());
    EXPECT_EQ(100, resume.m_percents.back());
    for (int percent : resume.m_percents)
        EXPECT_GE(percent, 37) << "percentages count the 1500 bytes already held";
}

TEST_F(HttpDownloadDlgTest, CancelKeepsPartialFileWithoutMessage)
{
    // 20000 bytes at 64 bytes every 20 ms would take over six seconds; Cancel comes after the first 256.
    const std::wstring file = m_folder.File(L"cancel.bin");
    CDrivenDownloadDlg dlg;
    dlg.m_strUrl = HttpUrl(L"/slow/20000/20").c_str();
    dlg.m_strFile = file.c_str();
    dlg.m_cancelAtBytes = 256;
    EXPECT_EQ(IDCANCEL, Run(dlg));
    EXPECT_TRUE(dlg.m_bCancelClicked);
    EXPECT_TRUE(dlg.m_bCancelDisabledAfterClick);
    EXPECT_EQ(L"Aborting transfer", dlg.m_statusAfterCancel);
    EXPECT_EQ(L"Aborting transfer", dlg.m_finalStatus);
    EXPECT_TRUE(dlg.m_boxes.empty());
    const std::string held = ReadFileBytes(file);
    EXPECT_GE(held.size(), 256u);
    EXPECT_LT(held.size(), 20000u);
    EXPECT_EQ(TextBody(held.size()), held);
}

// A server that holds the answer (silent, or dripping its headers) does not keep a cancelled dialog open until it
// lets go: it would hold it for 25 s and more, past the bound the dialog is run with here. (Headers that never end
// fail at their cap before any cancel.)
TEST_F(HttpDownloadDlgTest, CancelEndsADownloadHeldByItsServer)
{
    for (const wchar_t* path : {L"/silent/29000", L"/drip-headers/300"}) {
        SCOPED_TRACE(Narrow(path));
        CDrivenDownloadDlg dlg;
        dlg.m_strUrl = HttpUrl(path).c_str();
        dlg.m_strFile = m_folder.File(L"held.bin").c_str();
        dlg.m_cancelAtTick = 30;
        lqtest::ExpectModal expect(10000);
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(expect.Closed(), 0) << "the dialog outlived its cancel";
        EXPECT_TRUE(dlg.m_bCancelClicked);
        EXPECT_TRUE(dlg.m_boxes.empty());
    }
}

TEST_F(HttpDownloadDlgTest, ErrorsShowTheirMessageAndDeleteTheFile)
{
    const std::wstring refused = L"http://127.0.0.1:1/refused"; // nothing listens on port 1
    const std::wstring proxy = L"127.0.0.1:" + std::to_wstring(lqtest::HttpPort());
    const struct
    {
        std::wstring url;
        const wchar_t* user;
        const wchar_t* password;
        int proxyMode;
        const wchar_t* proxyUser;
        UINT nID;
        const wchar_t* code; // nullptr: any number
    } cases[] = {
        {HttpUrl(L"/status/404"), L"", L"", 0, L"", IDS_DOWNLOAD_ERROR_STATUS, L"404"},
        {HttpUrl(L"/status/500"), L"", L"", 0, L"", IDS_DOWNLOAD_ERROR_STATUS, L"500"},
        {HttpUrl(L"/basic/ann/secret/100"), L"", L"", 0, L"", IDS_DOWNLOAD_ERROR_STATUS, L"401"},
        {HttpUrl(L"/basic/ann/secret/100"), L"ann", L"wrong", 0, L"", IDS_DOWNLOAD_ERROR_STATUS, L"401"},
        // Redirected to another host (the same server under another name): the credentials stay behind.
        {HttpUrl((L"/redirect-to/http%3A%2F%2Flocalhost%3A" + std::to_wstring(lqtest::HttpPort()) +
                  L"%2Fbasic%2Fann%2Fsecret%2F100")
                     .c_str()),
         L"ann", L"secret", 0, L"", IDS_DOWNLOAD_ERROR_STATUS, L"401"},
        {kProxiedHost + L"/text/100", L"", L"", 3, L"", IDS_DOWNLOAD_ERROR_STATUS, L"407"},
        {refused, L"", L"", 0, L"", IDS_DOWNLOAD_ERROR_RESPONSE, nullptr},
    };
    for (const auto& c : cases) {
        const std::wstring file = m_folder.File(L"error.bin");
        CDrivenDownloadDlg dlg;
        dlg.m_strUrl = c.url.c_str();
        dlg.m_strFile = file.c_str();
        dlg.m_strUserName = c.user;
        dlg.m_strPassword = c.password;
        dlg.m_nProxyMode = c.proxyMode;
        dlg.m_strProxyServer = proxy.c_str();
        dlg.m_strProxyUserName = c.proxyUser;
        EXPECT_EQ(IDCANCEL, Run(dlg)) << Narrow(c.url);
        ASSERT_EQ(1u, dlg.m_boxes.size()) << Narrow(c.url);
        const std::wstring shown = dlg.m_boxes[0].text;
        if (c.code) {
            EXPECT_EQ(Text(c.nID, c.code), shown) << Narrow(c.url);
        } else {
            const std::wstring prefix = Text(c.nID, L"");
            EXPECT_EQ(prefix, shown.substr(0, prefix.size())) << Narrow(shown);
            EXPECT_GT(shown.size(), prefix.size()) << "the error number is shown";
        }
        EXPECT_FALSE(Exists(file)) << Narrow(c.url);
    }
}

TEST_F(HttpDownloadDlgTest, CredentialsAndProxyLetTheDownloadThrough)
{
    const std::wstring proxy = L"127.0.0.1:" + std::to_wstring(lqtest::HttpPort());
    const struct
    {
        std::wstring url;
        const wchar_t* user;
        int proxyMode;
        const wchar_t* proxyUser;
    } cases[] = {
        {HttpUrl(L"/basic/ann/secret/300"), L"ann", 0, L""},
        {kProxiedHost + L"/text/300", L"", 3, L"proxyuser"},
    };
    for (const auto& c : cases) {
        const std::wstring file = m_folder.File(L"through.bin");
        CDrivenDownloadDlg dlg;
        dlg.m_strUrl = c.url.c_str();
        dlg.m_strFile = file.c_str();
        dlg.m_strUserName = c.user;
        dlg.m_strPassword = L"secret";
        dlg.m_nProxyMode = c.proxyMode;
        dlg.m_strProxyServer = proxy.c_str();
        dlg.m_strProxyUserName = c.proxyUser;
        dlg.m_strProxyPassword = L"proxypass";
        dlg.m_bAskBeforeReplacing = FALSE;
        EXPECT_EQ(IDOK, Run(dlg)) << Narrow(c.url);
        EXPECT_EQ(TextBody(300), ReadFileBytes(file)) << Narrow(c.url);
    }
}

TEST_F(HttpDownloadDlgTest, ExistingFileIsReplacedOnlyOnYes)
{
    const std::wstring file = m_folder.File(L"old.txt");
    for (int answer : {IDNO, IDYES}) {
        ASSERT_TRUE(WriteFileBytes(file, "old contents"));
        CDrivenDownloadDlg dlg;
        dlg.m_strUrl = HttpUrl(L"/text/64").c_str();
        dlg.m_strFile = file.c_str();
        dlg.m_nReplaceAnswer = answer;
        EXPECT_EQ(answer == IDYES ? IDOK : IDCANCEL, Run(dlg));
        ASSERT_EQ(1u, dlg.m_boxes.size());
        EXPECT_TRUE(dlg.m_boxes[0].yesNo);
        EXPECT_EQ(Text(IDS_DOWNLOAD_REPLACE, file), dlg.m_boxes[0].text);
        EXPECT_EQ(answer == IDYES ? TextBody(64) : std::string("old contents"), ReadFileBytes(file));
    }
}

TEST_F(HttpDownloadDlgTest, OpeningFailures)
{
    // A target in a missing folder: the open error with the platform's code, at once.
    CDrivenDownloadDlg missing;
    missing.m_strUrl = HttpUrl(L"/text/64").c_str();
    missing.m_strFile = m_folder.File(L"no such folder\\x.txt").c_str();
    EXPECT_EQ(IDCANCEL, Run(missing));
    ASSERT_EQ(1u, missing.m_boxes.size());
    EXPECT_EQ(Text(IDS_DOWNLOAD_ERROR_OPEN, std::to_wstring(ERROR_PATH_NOT_FOUND)), missing.m_boxes[0].text);

    // A URL that cannot be cracked ends the dialog without a word and without a file.
    CDrivenDownloadDlg bad;
    bad.m_strUrl = L"not a url";
    bad.m_strFile = m_folder.File(L"bad.txt").c_str();
    EXPECT_EQ(IDCANCEL, Run(bad));
    EXPECT_TRUE(bad.m_boxes.empty());
    EXPECT_FALSE(Exists(m_folder.File(L"bad.txt")));
}

} // namespace
