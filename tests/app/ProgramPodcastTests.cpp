// The real program with the podcast manager in automatic mode: a feed with two enclosures is refreshed, the
// manager lists both and downloads the newer one; the program ends during the older one's download, keeps the
// partial file, and the next start lists both again and opens the finished one on a double click, through the
// opener the shell finds for its type (a recorder here).
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
// The finished enclosure's type, opened by a command that only writes down what it was given. Wine's shell finds
// types among the machine's classes only, not the user's.
const wchar_t kCastType[] = L".lqcast";
const wchar_t kCastClass[] = L"LanternquillTest.Cast";

void SetDefault(const std::wstring& key, const std::wstring& value)
{
    ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
}

// A list view of another process, read by the messages that carry pointers: their structures live there.
class RemoteList
{
public:
    RemoteList(HANDLE hProcess, HWND hList) : m_hProcess(hProcess), m_hList(hList)
    {
        m_remote = static_cast<BYTE*>(::VirtualAllocEx(hProcess, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteList()
    {
        if (m_remote)
            ::VirtualFreeEx(m_hProcess, m_remote, 0, MEM_RELEASE);
    }
    RemoteList(const RemoteList&) = delete;
    RemoteList& operator=(const RemoteList&) = delete;

    std::wstring Text(int row, int column)
    {
        if (!m_remote)
            return L"<no memory>";
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = 512;
        item.pszText = reinterpret_cast<LPWSTR>(m_remote + 1024);
        WCHAR text[512] = L"";
        if (!::WriteProcessMemory(m_hProcess, m_remote, &item, sizeof(item), nullptr) ||
            !::SendMessageW(m_hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(m_remote)) ||
            !::ReadProcessMemory(m_hProcess, m_remote + 1024, text, sizeof(text) - sizeof(WCHAR), nullptr))
            return L"";
        return text;
    }
    // The row's rectangle in screen coordinates; empty when there is none.
    RECT Bounds(int row)
    {
        RECT rect{LVIR_BOUNDS, 0, 0, 0};
        if (!m_remote || !::WriteProcessMemory(m_hProcess, m_remote, &rect, sizeof(rect), nullptr) ||
            !::SendMessageW(m_hList, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(m_remote)) ||
            !::ReadProcessMemory(m_hProcess, m_remote, &rect, sizeof(rect), nullptr))
            return RECT{};
        ::MapWindowPoints(m_hList, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

private:
    HANDLE m_hProcess;
    HWND m_hList;
    BYTE* m_remote = nullptr;
};

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
        m_record = m_recordFolder.File(L"opened.txt");
        SetDefault(kCastType, L"LanternquillTest.Cast");
        SetDefault(std::wstring(kCastClass) + L"\\shell\\open\\command",
                   L"C:\\windows\\system32\\cmd.exe /c echo %1>\"" + m_record + L"\"");

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
        for (Started* started : {&m_first, &m_second})
            lqprogram::EndProgram(*started);
        RemoveSeed();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kPodcastKey);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\feed");
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kCastType);
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kCastClass);
    }
    void RemoveSeed()
    {
        for (const std::wstring& name :
             {std::wstring(L"MainFeed.xml"), std::wstring(L"MainFeed.bak"), std::wstring(L"CustomFeed.xml"),
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
    lqtest::TempFolder m_recordFolder;
    std::wstring m_record; // what the opener was given
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
    ASSERT_TRUE(PumpUntil([&] { return RowsOf(again) == 2; }, 20000)) << RowsOf(again);

    // A double click on the finished row opens its file through the shell's opener for its type.
    ::PostMessageW(FrameOf(m_second), WM_COMMAND, ID_PODCAST_MANAGER, 0);
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(again) != FALSE; }, 10000));
    RemoteList rows(m_second.info.hProcess, ::FindWindowExW(again, nullptr, WC_LISTVIEWW, nullptr));
    int finished = -1;
    for (int row = 0; row < 2; ++row) {
        if (rows.Text(row, 2) == L"Completed")
            finished = row;
    }
    ASSERT_EQ(finished, 1) << "the newer job is listed last";
    EXPECT_EQ(rows.Text(finished, 0), HttpUrl(L"/text/3000/" + m_title + L"-one.lqcast"));
    const RECT bounds = rows.Bounds(finished);
    ASSERT_GT(bounds.bottom, bounds.top);
    const POINT middle = {bounds.left + 60, (bounds.top + bounds.bottom) / 2};
    lqtest::SendClick(middle);
    lqtest::SendClick(middle);
    ASSERT_TRUE(
        PumpUntil([&] { return lqtest::ReadFileBytes(m_record).find("-one.lqcast") != std::string::npos; }, 20000));
    EXPECT_NE(lqtest::ReadFileBytes(m_record).find(lqtest::Narrow(one)), std::string::npos)
        << lqtest::ReadFileBytes(m_record);

    ::PostMessageW(FrameOf(m_second), WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_EQ(::WaitForSingleObject(m_second.info.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(lqtest::ReadFileBytes(one).size(), 3000u) << "a finished file is never written again";
}

} // namespace
