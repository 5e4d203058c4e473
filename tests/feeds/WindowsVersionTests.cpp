// The Windows version classes.
#include "feeds/WindowsVersion.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionClass, VersionsMapToTheirClasses)
{
    struct Case
    {
        DWORD platform, major, minor;
        int versionClass;
    };
    const Case cases[] = {
        {VER_PLATFORM_WIN32s, 3, 1, WINVER_CLASS_WIN32S},
        {VER_PLATFORM_WIN32_NT, 4, 0, WINVER_CLASS_NT4},
        {VER_PLATFORM_WIN32_NT, 5, 0, WINVER_CLASS_WIN2000},
        {VER_PLATFORM_WIN32_NT, 5, 1, WINVER_CLASS_WINXP},
        {VER_PLATFORM_WIN32_NT, 5, 2, WINVER_CLASS_NT_OTHER},
        {VER_PLATFORM_WIN32_NT, 6, 1, WINVER_CLASS_NT_OTHER},
        {VER_PLATFORM_WIN32_NT, 3, 51, WINVER_CLASS_NT_OTHER},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, WINVER_CLASS_WIN95},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, WINVER_CLASS_WIN98},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, WINVER_CLASS_WINME},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyWindowsVersion(c.platform, c.major, c.minor), c.versionClass)
            << c.platform << " " << c.major << "." << c.minor;
    // The test prefix reports a later NT version.
    EXPECT_EQ(GetWindowsVersionClass(), WINVER_CLASS_NT_OTHER);
}

} // namespace
