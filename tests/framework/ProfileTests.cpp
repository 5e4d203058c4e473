// The settings store: value types, the root and nested sections, defaults, binary ownership, deletion and
// concurrent use. Every test works under its own company key below HKCU\Software and removes it afterwards.
#include "framework/core/ProfileStore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::string Text(const CString& s)
{
    return lqtest::Narrow(std::wstring(s.GetString(), s.GetLength()));
}

class Profile : public testing::Test
{
protected:
    void SetUp() override
    {
        static int counter = 0;
        m_company = L"LanternquillTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter);
        m_store.SetRegistryKey(m_company.c_str());
        m_store.SetProfileName(L"Lanternquill");
    }

    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + m_company).c_str()); }

    std::wstring KeyPath(const std::wstring& section) const
    {
        std::wstring path = L"Software\\" + m_company + L"\\Lanternquill";
        return section.empty() ? path : path + L"\\" + section;
    }

    bool KeyExists(const std::wstring& section) const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    // The stored type of a value as the registry reports it, or REG_NONE when it is missing.
    DWORD StoredType(const std::wstring& section, const wchar_t* entry) const
    {
        DWORD type = REG_NONE;
        if (RegGetValueW(HKEY_CURRENT_USER, KeyPath(section).c_str(), entry, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                         nullptr) != ERROR_SUCCESS) {
            return REG_NONE;
        }
        return type;
    }

    std::wstring m_company;
    CProfileStore m_store;
};

TEST_F(Profile, ValuesKeepTheirTypeInRootAndNestedSections)
{
    const wchar_t* sections[] = {L"", L"Connection", L"Podcasting\\Items"};
    for (const wchar_t* section : sections) {
        SCOPED_TRACE(lqtest::Narrow(section));
        EXPECT_TRUE(m_store.WriteProfileInt(section, L"Max", 4));
        EXPECT_TRUE(m_store.WriteProfileInt(section, L"Negative", -5));
        EXPECT_TRUE(m_store.WriteProfileString(section, L"Name", L"Caf\u00e9 \u65e5\u672c"));
        EXPECT_TRUE(m_store.WriteProfileString(section, L"Empty", L""));
        BYTE bytes[] = {0, 1, 0, 0xFF, 7};
        EXPECT_TRUE(m_store.WriteProfileBinary(section, L"Blob", bytes, sizeof(bytes)));

        EXPECT_EQ(4u, m_store.GetProfileInt(section, L"Max", 9));
        EXPECT_EQ(-5, static_cast<int>(m_store.GetProfileInt(section, L"Negative", 9)));
        EXPECT_EQ(L"Caf\u00e9 \u65e5\u672c", std::wstring(m_store.GetProfileString(section, L"Name", L"x")));
        EXPECT_EQ("", Text(m_store.GetProfileString(section, L"Empty", L"default")));
        LPBYTE data = nullptr;
        UINT size = 0;
        ASSERT_TRUE(m_store.GetProfileBinary(section, L"Blob", &data, &size));
        ASSERT_EQ(sizeof(bytes), size);
        EXPECT_EQ(0, memcmp(bytes, data, size));
        delete[] data;

        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), StoredType(section, L"Max"));
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), StoredType(section, L"Name"));
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), StoredType(section, L"Blob"));
    }

    // Section "" is the application's key itself, so the root value sits beside the section keys.
    EXPECT_TRUE(KeyExists(L"Podcasting"));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), StoredType(L"", L"Max"));
}

TEST_F(Profile, MissingOrMistypedValuesGiveTheDefault)
{
    m_store.WriteProfileString(L"S", L"Text", L"12");
    m_store.WriteProfileInt(L"S", L"Number", 12);
    BYTE four[] = {1, 0, 0, 0};
    m_store.WriteProfileBinary(L"S", L"Blob", four, sizeof(four));

    struct
    {
        const wchar_t* section;
        const wchar_t* entry;
    } missing[] = {{L"S", L"Nothing"}, {L"Nowhere", L"Text"}, {L"S\\Deeper", L"Text"}, {L"", L"Text"}};
    for (const auto& m : missing) {
        EXPECT_EQ(77u, m_store.GetProfileInt(m.section, m.entry, 77));
        EXPECT_EQ("fallback", Text(m_store.GetProfileString(m.section, m.entry, L"fallback")));
        EXPECT_EQ("", Text(m_store.GetProfileString(m.section, m.entry)));
    }
    // Reading never leaves keys behind.
    EXPECT_FALSE(KeyExists(L"Nowhere"));
    EXPECT_FALSE(KeyExists(L"S\\Deeper"));

    EXPECT_EQ(77u, m_store.GetProfileInt(L"S", L"Text", 77));
    EXPECT_EQ(77u, m_store.GetProfileInt(L"S", L"Blob", 77));
    EXPECT_EQ("fallback", Text(m_store.GetProfileString(L"S", L"Number", L"fallback")));
    EXPECT_EQ("fallback", Text(m_store.GetProfileString(L"S", L"Blob", L"fallback")));
    LPBYTE data = reinterpret_cast<LPBYTE>(&data);
    UINT size = 99;
    EXPECT_FALSE(m_store.GetProfileBinary(L"S", L"Number", &data, &size));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0u, size);
    EXPECT_FALSE(m_store.GetProfileBinary(L"S", L"Nothing", &data, &size));
    EXPECT_EQ(nullptr, data);
}

TEST_F(Profile, StringsStoredWithoutTerminatorOrWithOddLengthAreRead)
{
    HKEY key = m_store.GetSectionKey(L"Raw");
    ASSERT_NE(nullptr, key);
    const wchar_t text[] = L"abc";
    RegSetValueExW(key, L"NoZero", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 3 * sizeof(wchar_t));
    RegSetValueExW(key, L"Odd", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 3 * sizeof(wchar_t) + 1);
    const wchar_t embedded[] = L"ab\0cd";
    RegSetValueExW(key, L"Embedded", 0, REG_SZ, reinterpret_cast<const BYTE*>(embedded), sizeof(embedded));
    RegCloseKey(key);

    EXPECT_EQ("abc", Text(m_store.GetProfileString(L"Raw", L"NoZero")));
    EXPECT_EQ("abc", Text(m_store.GetProfileString(L"Raw", L"Odd")));
    EXPECT_EQ("ab", Text(m_store.GetProfileString(L"Raw", L"Embedded")));
}

TEST_F(Profile, BinaryBufferBelongsToTheCaller)
{
    BYTE original[] = {10, 20, 30};
    ASSERT_TRUE(m_store.WriteProfileBinary(L"B", L"Data", original, sizeof(original)));

    LPBYTE first = nullptr;
    UINT firstSize = 0;
    ASSERT_TRUE(m_store.GetProfileBinary(L"B", L"Data", &first, &firstSize));
    first[0] = 99;
    LPBYTE second = nullptr;
    UINT secondSize = 0;
    ASSERT_TRUE(m_store.GetProfileBinary(L"B", L"Data", &second, &secondSize));
    EXPECT_NE(first, second);
    EXPECT_EQ(10, second[0]);
    delete[] first;
    delete[] second;

    // An empty binary value exists: the read succeeds with no bytes and a buffer the caller may delete.
    ASSERT_TRUE(m_store.WriteProfileBinary(L"B", L"Empty", nullptr, 0));
    LPBYTE empty = nullptr;
    UINT emptySize = 5;
    EXPECT_TRUE(m_store.GetProfileBinary(L"B", L"Empty", &empty, &emptySize));
    EXPECT_EQ(0u, emptySize);
    delete[] empty;

    EXPECT_FALSE(m_store.WriteProfileBinary(L"B", L"Bad", nullptr, 4));
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), StoredType(L"B", L"Bad"));
}

TEST_F(Profile, NullValueDeletesTheEntryAndNullEntryTheSection)
{
    m_store.WriteProfileInt(L"Bars", L"A", 1);
    m_store.WriteProfileInt(L"Bars", L"B", 2);
    m_store.WriteProfileInt(L"Bars\\Nested", L"C", 3);
    m_store.WriteProfileInt(L"Keep", L"D", 4);
    m_store.WriteProfileInt(L"", L"Root", 5);

    EXPECT_TRUE(m_store.WriteProfileString(L"Bars", L"A", nullptr));
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), StoredType(L"Bars", L"A"));
    EXPECT_EQ(2u, m_store.GetProfileInt(L"Bars", L"B", 0));
    // Deleting what is not there is no failure.
    EXPECT_TRUE(m_store.WriteProfileString(L"Bars", L"A", nullptr));
    EXPECT_TRUE(m_store.WriteProfileString(L"NoSection", L"A", nullptr));
    EXPECT_FALSE(KeyExists(L"NoSection"));

    EXPECT_TRUE(m_store.WriteProfileString(L"Bars", nullptr, nullptr));
    EXPECT_FALSE(KeyExists(L"Bars"));
    EXPECT_EQ(0u, m_store.GetProfileInt(L"Bars\\Nested", L"C", 0));
    EXPECT_EQ(4u, m_store.GetProfileInt(L"Keep", L"D", 0));
    EXPECT_TRUE(m_store.WriteProfileString(L"Bars", nullptr, nullptr));

    // A null entry in the root section would wipe every setting: refused.
    EXPECT_FALSE(m_store.WriteProfileString(L"", nullptr, nullptr));
    EXPECT_EQ(5u, m_store.GetProfileInt(L"", L"Root", 0));
    EXPECT_EQ(4u, m_store.GetProfileInt(L"Keep", L"D", 0));
}

TEST_F(Profile, KeysAreOpenedWhereTheValuesLive)
{
    HKEY app = m_store.GetAppRegistryKey();
    ASSERT_NE(nullptr, app);
    DWORD value = 42;
    RegSetValueExW(app, L"Direct", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(app);
    EXPECT_EQ(42u, m_store.GetProfileInt(L"", L"Direct", 0));

    HKEY section = m_store.GetSectionKey(L"Podcasting\\Items");
    ASSERT_NE(nullptr, section);
    RegSetValueExW(section, L"Direct", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(section);
    EXPECT_EQ(42u, m_store.GetProfileInt(L"Podcasting\\Items", L"Direct", 0));
    EXPECT_TRUE(KeyExists(L"Podcasting\\Items"));

    EXPECT_EQ(m_company, std::wstring(m_store.GetRegistryKeyName()));
    EXPECT_EQ(L"Lanternquill", std::wstring(m_store.GetProfileName()));
}

TEST(ProfileWithoutCompany, ReadsDefaultsAndWritesNothing)
{
    CProfileStore store;
    store.SetProfileName(L"Lanternquill");
    EXPECT_EQ(nullptr, store.GetAppRegistryKey());
    EXPECT_EQ(nullptr, store.GetSectionKey(L"S"));
    EXPECT_EQ(3u, store.GetProfileInt(L"S", L"E", 3));
    EXPECT_EQ("d", Text(store.GetProfileString(L"S", L"E", L"d")));
    EXPECT_FALSE(store.WriteProfileInt(L"S", L"E", 1));
    EXPECT_FALSE(store.WriteProfileString(L"S", L"E", L"v"));
    EXPECT_FALSE(store.WriteProfileString(L"S", L"E", nullptr));
    BYTE b = 1;
    EXPECT_FALSE(store.WriteProfileBinary(L"S", L"E", &b, 1));
}

TEST_F(Profile, TwoThreadsWriteAtOnce)
{
    constexpr int kCount = 200;
    auto writer = [this](int thread) {
        for (int i = 0; i < kCount; ++i) {
            const std::wstring entry = L"T" + std::to_wstring(thread) + L"-" + std::to_wstring(i);
            m_store.WriteProfileInt(L"Shared\\Ints", entry.c_str(), i * 10 + thread);
            m_store.WriteProfileString(L"Shared", entry.c_str(), entry.c_str());
            m_store.WriteProfileInt(L"Shared", L"Last", thread);
        }
    };
    std::thread a(writer, 1);
    std::thread b(writer, 2);
    a.join();
    b.join();

    for (int thread = 1; thread <= 2; ++thread) {
        for (int i = 0; i < kCount; ++i) {
            const std::wstring entry = L"T" + std::to_wstring(thread) + L"-" + std::to_wstring(i);
            ASSERT_EQ(static_cast<UINT>(i * 10 + thread), m_store.GetProfileInt(L"Shared\\Ints", entry.c_str(), -1));
            ASSERT_EQ(entry, std::wstring(m_store.GetProfileString(L"Shared", entry.c_str())));
        }
    }
    const UINT last = m_store.GetProfileInt(L"Shared", L"Last", 0);
    EXPECT_TRUE(last == 1 || last == 2) << last;
}

TEST_F(Profile, BinaryReadWhileAnotherThreadResizesItIsWhole)
{
    const std::vector<BYTE> small(4, 0x11);
    const std::vector<BYTE> large(4000, 0x22);
    ASSERT_TRUE(m_store.WriteProfileBinary(L"Race", L"Blob", const_cast<BYTE*>(small.data()), 4));

    std::thread writer([&] {
        for (int i = 0; i < 300; ++i) {
            const std::vector<BYTE>& next = i % 2 ? small : large;
            m_store.WriteProfileBinary(L"Race", L"Blob", const_cast<BYTE*>(next.data()),
                                       static_cast<UINT>(next.size()));
        }
    });
    int torn = 0;
    for (int i = 0; i < 300; ++i) {
        LPBYTE data = nullptr;
        UINT size = 0;
        if (!m_store.GetProfileBinary(L"Race", L"Blob", &data, &size)) {
            ++torn;
            continue;
        }
        const std::vector<BYTE>& expected = size == small.size() ? small : large;
        if (size != expected.size() || memcmp(data, expected.data(), size) != 0)
            ++torn;
        delete[] data;
    }
    writer.join();
    EXPECT_EQ(0, torn);
}

} // namespace
