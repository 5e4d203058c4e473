// The shell's associations: the default browser's command, MIME type icons and the browser menu entry.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/ShellAssociations.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using lqtest::Narrow;

namespace {

// ---- Default browser

TEST(BrowserCommand, ProgramPathIsTakenOutOfTheCommand)
{
    struct Case
    {
        const wchar_t *value, *command;
    };
    const Case cases[] = {
        {L"\"C:\\Program Files\\Browser\\browser.exe\" -nohome", L"C:\\Program Files\\Browser\\browser.exe"},
        {L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"", L"C:\\windows\\system32\\winebrowser.exe"},
        {L"C:\\Browser\\browser.exe -url \"%1\"", L"C:\\Browser\\browser.exe"},
        {L"C:\\Browser\\browser.exe", L"C:\\Browser\\browser.exe"},
        {L"browser.exe -new", L"browser.exe -new"}, // no folder: nothing to cut at
        {L"\"C:\\odd.exe", L"\"C:\\odd.exe"},       // one quote only
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.value));
        EXPECT_STREQ(ExtractBrowserCommand(c.value).GetString(), c.command);
    }
}

TEST(BrowserCommand, ReadsThePlatformsHttpHandler)
{
    // The Wine prefix's handler is its own browser launcher.
    EXPECT_EQ(GetDefaultBrowserCommand().CompareNoCase(L"C:\\windows\\system32\\winebrowser.exe"), 0)
        << Narrow(GetDefaultBrowserCommand().GetString());
}

// ---- Icons

TEST(IconLocation, FileAndIndexSplitAtTheFirstComma)
{
    struct Case
    {
        const wchar_t *location, *file;
        int index;
    };
    const Case cases[] = {
        {L"C:\\windows\\system32\\shell32.dll,3", L"C:\\windows\\system32\\shell32.dll", 3},
        {L"C:\\icons\\feed.ico", L"C:\\icons\\feed.ico", 0},
        {L"player.exe,-101", L"player.exe", -101},
        {L"a,b,2", L"a", 0},
        {L"", L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.location));
        CString file = L"old";
        int index = 99;
        SplitIconLocation(c.location, file, index);
        EXPECT_STREQ(file.GetString(), c.file);
        EXPECT_EQ(index, c.index);
    }
}

class MimeIconTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"MIME\\Database\\Content Type\\application/x-lanternquill-test");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"MIME\\Database\\Content Type\\application/x-lanternquill-bare");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lqtest");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Lanternquill.TestFile");
    }
    static void SetValue(LPCWSTR key, LPCWSTR name, LPCWSTR value)
    {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(WCHAR)));
        RegCloseKey(handle);
    }
};

TEST_F(MimeIconTest, IconComesFromTheTypesFileClass)
{
    SetValue(L"MIME\\Database\\Content Type\\application/x-lanternquill-test", L"Extension", L".lqtest");
    SetValue(L"MIME\\Database\\Content Type\\application/x-lanternquill-bare", L"Extension", L".lqbare");
    SetValue(L".lqtest", nullptr, L"Lanternquill.TestFile");
    SetValue(L"Lanternquill.TestFile\\DefaultIcon", nullptr, L"C:\\windows\\system32\\shell32.dll,3");

    HICON icon = GetMimeTypeIcon(L"application/x-lanternquill-test");
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);

    // A type the database does not know, and one whose extension has no file class.
    EXPECT_EQ(GetMimeTypeIcon(L"application/x-lanternquill-unknown"), nullptr);
    EXPECT_EQ(GetMimeTypeIcon(L"application/x-lanternquill-bare"), nullptr);
    EXPECT_EQ(GetMimeTypeIcon(L""), nullptr);
}

// ---- Browser menu entry

TEST(BrowserMenuExtension, EntryPointsAtTheInstalledScriptAndIsRemoved)
{
    theHost.SetRegistryKey(L"Lanternquill Tests");
    theHost.WriteProfileString(L"", L"Install_Dir", L"C:\\Program Files\\Lanternquill");
    const wchar_t key[] = L"Software\\Microsoft\\Internet Explorer\\MenuExt\\Subscribe to...";

    ASSERT_TRUE(RegisterBrowserMenuExtension(true));
    WCHAR value[MAX_PATH] = L"";
    DWORD bytes = sizeof(value);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &bytes), ERROR_SUCCESS);
    EXPECT_STREQ(value, L"C:\\Program Files\\Lanternquill\\feedscript.htm");

    EXPECT_TRUE(RegisterBrowserMenuExtension(false));
    HKEY handle = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle), ERROR_SUCCESS);
    EXPECT_TRUE(RegisterBrowserMenuExtension(false)); // nothing left to remove
    theHost.WriteProfileString(L"", L"Install_Dir", nullptr);
}

} // namespace
