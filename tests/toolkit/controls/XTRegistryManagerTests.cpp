// The registry helper: the profile key and its sections opened under the application's names, single values
// deleted, and nothing opened before the application has a registry key.
#include "toolkit/controls/XTRegistryManager.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/WinApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kCompany[] = L"LanternquillRegistryManagerTests";

class RegistryManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str()); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str()); }

    static bool KeyExists(const std::wstring& path)
    {
        CScopedRegKey key;
        return ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
    }

    CWinApp m_app{L"RegistryManagerTests"};
};

TEST_F(RegistryManagerTest, WithoutARegistryKeyNothingOpens)
{
    CXTRegistryManager manager;
    EXPECT_EQ(manager.OpenProfileKey(), nullptr);
    EXPECT_EQ(manager.OpenSectionKey(L"Section"), nullptr);
    EXPECT_FALSE(manager.DeleteValue(L"Section", L"Value"));
    EXPECT_FALSE(KeyExists(std::wstring(L"Software\\") + kCompany));
}

TEST_F(RegistryManagerTest, ValuesWrittenThroughTheProfileAreDeletedOneByOne)
{
    m_app.SetRegistryKey(kCompany);
    ASSERT_TRUE(m_app.WriteProfileInt(L"Bars", L"One", 1));
    ASSERT_TRUE(m_app.WriteProfileString(L"Bars", L"Two", L"2"));
    CXTRegistryManager manager;
    {
        CScopedRegKey profile(manager.OpenProfileKey());
        ASSERT_TRUE(profile);
        CScopedRegKey section(manager.OpenSectionKey(L"Bars"));
        ASSERT_TRUE(section);
        DWORD dwValue = 0, dwSize = sizeof(dwValue);
        EXPECT_EQ(::RegQueryValueExW(section, L"One", nullptr, nullptr, reinterpret_cast<BYTE*>(&dwValue), &dwSize),
                  ERROR_SUCCESS);
        EXPECT_EQ(dwValue, 1u);
    }
    EXPECT_TRUE(manager.DeleteValue(L"Bars", L"One"));
    EXPECT_EQ(m_app.GetProfileInt(L"Bars", L"One", 7), 7u);
    EXPECT_EQ(m_app.GetProfileString(L"Bars", L"Two"), CString(L"2"));
    // Gone already: FALSE, and the section stays.
    EXPECT_FALSE(manager.DeleteValue(L"Bars", L"One"));
    EXPECT_TRUE(KeyExists(std::wstring(L"Software\\") + kCompany + L"\\RegistryManagerTests\\Bars"));
}

TEST_F(RegistryManagerTest, DeletingFromAMissingSectionCreatesIt)
{
    m_app.SetRegistryKey(kCompany);
    CXTRegistryManager manager;
    EXPECT_FALSE(manager.DeleteValue(L"Fresh", L"Value"));
    EXPECT_TRUE(KeyExists(std::wstring(L"Software\\") + kCompany + L"\\RegistryManagerTests\\Fresh"));
}

} // namespace
