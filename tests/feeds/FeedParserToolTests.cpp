// The feeddump utility: JSON of what the reader took from a file, refreshes and saved caches.
#include "feeds/FeedChannel.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lqtest::Narrow;
using lqtest::TempFolder;

std::wstring Fixture(const wchar_t* name)
{
    return lqtest::SourcePath(std::wstring(L"feeds/fixtures/") + name);
}

// The utility is built beside the tests: <build>\tools\feeddump.exe next to <build>\tests\feeds_tests.exe.
std::wstring ToolPath()
{
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    path = path.substr(0, path.find_last_of(L'\\'));
    path = path.substr(0, path.find_last_of(L'\\'));
    return path + L"\\tools\\feeddump.exe";
}

struct ToolRun
{
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
};

ToolRun RunTool(const std::wstring& arguments)
{
    ToolRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring command = L"\"" + ToolPath() + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got)
            run.output.append(buffer, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return run;
}

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

TEST(FeedDumpTool, PrintsWhatTheReaderTook)
{
    ASSERT_NE(GetFileAttributesW(ToolPath().c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(ToolPath());
    struct Case
    {
        std::wstring arguments;
        DWORD exitCode;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    } cases[] = {
        {Quoted(Fixture(L"atom10.xml")),
         0,
         {"\"type\":\"atom\"", "\"link\":\"http://example.com/atom10/\"", "\"date\":\"2005-08-01T05:00:00Z\"",
          "\"description\":\"<p>Only content</p>\""},
         {}},
        {Quoted(Fixture(L"rss20-channel.xml")),
         0,
         {"\"title\":\"Lantern & Quill News\"", "\"url\":\"http://example.com/a.mp3?x=1&y=2\"", "\"length\":12345",
          "\"titleText\":\"First bold story\"", "\"date\":\"2003-06-03T09:39:21Z\""},
         {}},
        // The credentials of a list are never printed, and only --own takes them.
        {L"--own " + Quoted(Fixture(L"own-list.xml")),
         0,
         {"\"readState\":2", "\"accountName\":\"user\"", "\"hasPassword\":true", "\"state\":3"},
         {"secret"}},
        {Quoted(Fixture(L"own-list.xml")), 0, {"\"readState\":0", "\"hasPassword\":false"}, {"\"user\""}},
        // A refresh: the channel of rss11.xml refreshed from rdf.xml holds only rdf.xml's items.
        {L"--into " + Quoted(Fixture(L"rss11.xml")) + L" " + Quoted(Fixture(L"rdf.xml")),
         0,
         {"\"title\":\"RSS 1.1 Channel\"", "\"title\":\"RDF item\""},
         {"Eleven"}},
        {Quoted(Fixture(L"malformed.xml")), 1, {}, {"{"}},
        {L"--bogus x.xml", 2, {}, {}},
        {L"", 2, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.arguments));
        ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        for (const std::string& text : c.present)
            EXPECT_NE(run.output.find(text), std::string::npos) << text << " in " << run.output;
        for (const std::string& text : c.absent)
            EXPECT_EQ(run.output.find(text), std::string::npos) << text << " in " << run.output;
    }
}

TEST(FeedDumpTool, SavedCacheReadsBackAsOurOwnFile)
{
    TempFolder folder;
    std::wstring cache = folder.File(L"cache.rss");
    ToolRun run = RunTool(L"--save-cache " + Quoted(cache) + L" " + Quoted(Fixture(L"rss20-channel.xml")));
    ASSERT_EQ(run.exitCode, 0u) << run.output;

    CFeedChannel channel;
    ASSERT_TRUE(channel.LoadFile(cache.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    EXPECT_EQ(Narrow(channel.m_info.m_strTitle.GetString()), "Lantern & Quill News");
    ASSERT_EQ(channel.m_items.GetCount(), 3);
    const CFeedItem* first = channel.m_items.GetHead();
    EXPECT_EQ(Narrow(first->m_strEnclosureUrl.GetString()), "http://example.com/a.mp3?x=1&y=2");
    EXPECT_EQ(first->m_nReadState, FEED_STATE_UNREAD) << "saved without keeping new items new";

    ToolRun failed = RunTool(L"--save-cache " + Quoted(folder.File(L"no\\such\\folder\\c.rss")) + L" " +
                             Quoted(Fixture(L"rss20-channel.xml")));
    EXPECT_EQ(failed.exitCode, 3u) << failed.output;
}

} // namespace
