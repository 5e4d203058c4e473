// The safe writer with a target that another program holds open: let go for a moment, it is replaced; held for
// good, it stays as it was.
#include "framework/core/SafeFile.h"
#include "framework/core/ScopedHandles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

using lqtest::ReadFileBytes;
using lqtest::TempFolder;
using lqtest::WriteFileBytes;

HANDLE g_held = INVALID_HANDLE_VALUE;
int g_renames = 0;
int g_letGoAt = 0; // the try to put the file in place at which the holder lets go; 0 never

HRESULT CountRenames(LPCWSTR step)
{
    if (wcscmp(step, L"#rename") == 0 && ++g_renames == g_letGoAt && g_held != INVALID_HANDLE_VALUE) {
        ::CloseHandle(g_held);
        g_held = INVALID_HANDLE_VALUE;
    }
    return S_OK;
}

int TempFiles(const std::wstring& folder)
{
    int count = 0;
    WIN32_FIND_DATAW found;
    CScopedFindHandle find(::FindFirstFileW((folder + L"\\lqs*.tmp").c_str(), &found));
    for (BOOL more = find.IsValid(); more; more = ::FindNextFileW(find.Get(), &found))
        ++count;
    return count;
}

TEST(SafeFile, ATargetHeldByAReaderIsReplacedOnceLetGoAndKeptWhileHeld)
{
    const struct
    {
        const char* name;
        int letGoAt;
        bool bReplaced;
    } cases[] = {
        {"let go before the second try", 2, true},
        {"let go before the fifth try", 5, true},
        {"held throughout", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::wstring target = folder.File(L"list.xml");
        ASSERT_TRUE(WriteFileBytes(target, "previous"));
        // A reader that lets others read and write, but not delete or rename the file.
        g_held = ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(g_held, INVALID_HANDLE_VALUE);
        g_renames = 0;
        g_letGoAt = c.letGoAt;
        SetSafeWriteStepHook(CountRenames);
        const bool saved = WriteFileSafely(target.c_str(), "replaced", 8);
        SetSafeWriteStepHook(nullptr);
        if (g_held != INVALID_HANDLE_VALUE)
            ::CloseHandle(g_held);
        g_held = INVALID_HANDLE_VALUE;

        EXPECT_EQ(saved, c.bReplaced);
        EXPECT_EQ(ReadFileBytes(target), c.bReplaced ? "replaced" : "previous");
        if (c.bReplaced) {
            EXPECT_EQ(g_renames, c.letGoAt);
        } else {
            EXPECT_GT(g_renames, 1); // tried again, then given up
        }
        EXPECT_EQ(TempFiles(folder.Path()), 0);
    }
}

} // namespace
