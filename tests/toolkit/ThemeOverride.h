// Puts a stand-in for the platform's visual style in place for the life of the object.
#pragma once

#include "toolkit/base/XTPUxTheme.h"

namespace tktest {

class ThemeOverride
{
public:
    ThemeOverride(BOOL bActive, const wchar_t* pszFile, const wchar_t* pszColor, DWORD dwComCtlVersion,
                  const wchar_t* pszSize = L"NormalSize")
    {
        CXTPUxTheme::CSystemTheme theme = {bActive, pszFile, pszColor, pszSize, dwComCtlVersion};
        CXTPUxTheme::SetSystemThemeOverride(&theme);
    }
    ~ThemeOverride() { CXTPUxTheme::SetSystemThemeOverride(nullptr); }
    ThemeOverride(const ThemeOverride&) = delete;
    ThemeOverride& operator=(const ThemeOverride&) = delete;
};

} // namespace tktest
