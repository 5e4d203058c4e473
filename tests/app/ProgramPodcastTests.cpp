// The real program with the podcast manager in automatic mode: a feed with two enclosures is refreshed, the
// manager lists both and downloads the newer one; the program ends during the older one's download, keeps the
// partial file, and the next start lists both again.
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/StandardIds.h"
#include "res/resource.h"
#include "tests/app/ProgramHarness.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include "app/ReaderApp.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

using lqprogram::FramesOf;
using lqprogram::kProgramKey;
using lqprogram::SetProgramInt;
using lqprogram::Start;
using lqprogram::Started;
using lqtest::HttpUrl;
using lqtest::PumpUntil;

namespace {

const wchar_t kPodcastKey[] = L"Software\\Lanternquill Software\\Lanternquill\\Podcasting";

std::wstring DataFolder()
{
    WCHAR path[MAX_PATH] = L"";
    ::SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, TRUE);
    const std::wstring folder = std::wstring(path) + L"\\Lanternquill";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

struct ToolSearch
{
    DWORD processId;
    HWND found;
};

// The process's "Podcasting Manager", shown or not.
HWND PodcastWindowOf(DWORD processId)
{
    ToolSearch search{processId, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<ToolSearch*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hWnd, &owner);
            WCHAR text[64] = L"";
            ::GetWindowTextW(hWnd, text, 64);
            if (owner == s->processId && wcscmp(text, L"Podcasting Manager") == 0) {
                s->found = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int RowsOf(HWND hPodcast)
{
    HWND list = hPodcast ? ::FindWindowExW(hPodcast, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    DWORD_PTR count = 0;
    if (!list || !::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_BLOCK, 2000, &count))
        return -1;
    return static_cast<int>(count);
}

LONGLONG FileBytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct Enclosure
{
    std::wstring file;
    int state;
};

std::vector<Enclosure> CachedEnclosures(const std::wstring& path)
{
    std::vector<Enclosure> found;
    CFeedChannel channel;
    if (!channel.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE))
        return found;
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos;) {
        CFeedItem* item = channel.m_items.GetNext(pos);
        found.push_back({item->m_strEnclosureFile.GetString(), item->m_nEnclosureState});
    }
    return found;
}

class ProgramPodcastTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(::GetFileAttributesW(lqprogram::ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES);
        ASSERT_NE(lqtest::HttpPort(), 0);
        m_data = DataFolder();
        m_title = L"Cast" + std::to_wstring(::GetCurrentProcessId());
        RemoveSeed();
        SetProgramInt(L"FirstRun", 0);
        SetProgramInt(L"Check at startup", 0);
        SetProgramInt(L"ViewStyle", 0);
        const DWORD automatic = 1;
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kPodcastKey, L"Auto", REG_DWORD, &automatic, sizeof(automatic));
        const std::wstring& folder = m_folder.Path();
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kPodcastKey, L"Path", REG_SZ, folder.c_str(),
                          static_cast<DWORD>((folder.size() + 1) * sizeof(WCHAR)));
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kPodcastKey, L"WP");

        const CString savedData = theApp.m_strDataFolder;
        theApp.m_strDataFolder = m_data.c_str();
        CFeedChannel list;
        auto* entry = new CFeedItem;
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_strTitleText = entry->m_strTitle = m_title.c_str();
        entry->m_strLinkText = entry->m_strLink = HttpUrl(L"/podcast-feed/" + m_title + L"/30000").c_str();
        entry->m_strFile = m_title.c_str();
        entry->m_nUpdateInterval = 60;
        list.m_items.AddTail(entry);
        EXPECT_TRUE(list.SaveMainFeeds());
        theApp.m_strDataFolder = savedData;
    }
    void TearDown() override
    {
        for (Started* started : {&m_first, &m_second}) {
            if (started->info.hProcess && ::WaitForSingleObject(started->info.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(started->info.hProcess, 1);
            lqprogram::CloseHandles(*started);
        }
        RemoveSeed();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kPodcastKey);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
    }
    void RemoveSeed()
    {
        for (const std::wstring& name : {std::wstring(L"MainFeed.xml"), std::wstring(L"CustomFeed.xml"),
                                         std::wstring(L"CustomFeed.bak"), m_title + L".rss", m_title + L".ico"})
            ::DeleteFileW((m_data + L"\\" + name).c_str());
    }
    HWND FrameOf(const Started& started)
    {
        std::vector<HWND> frames;
        PumpUntil(
            [&] {
                frames = FramesOf(started.info.dwProcessId);
                return frames.size() == 1 && ::IsWindowVisible(frames[0]);
            },
            30000);
        return frames.size() == 1 ? frames[0] : nullptr;
    }

    lqtest::TempFolder m_folder;
    std::wstring m_data;
    std::wstring m_title;
    Started m_first;
    Started m_second;
};

TEST_F(ProgramPodcastTest, EnclosuresAreListedDownloadedAndKeptAcrossARestart)
{
    m_first = Start(L"");
    ASSERT_TRUE(m_first.ok);
    const HWND frame = FrameOf(m_first);
    ASSERT_NE(frame, nullptr);
    HWND podcast = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (podcast = PodcastWindowOf(m_first.info.dwProcessId)) != nullptr; }, 10000));
    EXPECT_FALSE(::IsWindowVisible(podcast)) << "hidden until its command shows it";

    ::PostMessageW(frame, WM_COMMAND, ID_FEEDS_UPDATE_NOW, 0);
    ASSERT_TRUE(PumpUntil([&] { return RowsOf(podcast) == 2; }, 30000)) << RowsOf(podcast);
    const std::wstring one = m_folder.File(m_title + L"-one.lqcast");
    const std::wstring two = m_folder.File(m_title + L"-two.mp3");
    ASSERT_TRUE(PumpUntil([&] { return FileBytes(one) == 3000 && FileBytes(two) > 0; }, 30000));

    // Shown by its command.
    ::PostMessageW(frame, WM_COMMAND, ID_PODCAST_MANAGER, 0);
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(podcast) != FALSE; }, 10000));

    // The program ends while the older enclosure is still coming.
    ::PostMessageW(frame, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_first.info.hProcess, 30000), WAIT_OBJECT_0);
    const LONGLONG partial = FileBytes(two);
    EXPECT_GT(partial, 0);
    EXPECT_LT(partial, 64000);
    const auto cached = CachedEnclosures(m_data + L"\\" + m_title + L".rss");
    ASSERT_EQ(cached.size(), 2u);
    int done = 0;
    int kept = 0;
    for (const Enclosure& enclosure : cached) {
        if (enclosure.state == 1 && enclosure.file == one)
            ++done;
        if (enclosure.state == 2 && enclosure.file == two)
            ++kept;
    }
    EXPECT_EQ(done, 1);
    EXPECT_EQ(kept, 1);

    // The next start lists both again (the partial one continuing) without a refresh.
    m_second = Start(L"");
    ASSERT_TRUE(m_second.ok);
    ASSERT_NE(FrameOf(m_second), nullptr);
    HWND again = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (again = PodcastWindowOf(m_second.info.dwProcessId)) != nullptr; }, 10000));
    EXPECT_TRUE(PumpUntil([&] { return RowsOf(again) == 2; }, 20000)) << RowsOf(again);
    ::PostMessageW(FrameOf(m_second), WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_second.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(lqtest::ReadFileBytes(one).size(), 3000u) << "a finished file is never written again";
}

} // namespace
