// The themes that, for now, draw as the default theme: their constructors' icon options and their numbers.
#include "toolkit/commandbars/XTPThemeOffice2003.h"
#include "toolkit/commandbars/XTPThemeStandard.h"
#include "toolkit/commandbars/XTPThemeXPStyle.h"

IMPLEMENT_DYNAMIC(CXTPThemeStandard, CXTPThemeDefault)
IMPLEMENT_DYNAMIC(CXTPThemeXPStyle, CXTPThemeStandard)
IMPLEMENT_DYNAMIC(CXTPThemeOffice2003, CXTPThemeDefault)

CXTPThemeStandard::CXTPThemeStandard()
{
    m_iconsInfo.bUseFadedIcons = FALSE;
    m_iconsInfo.bIconsWithShadow = FALSE;
}

BOOL CXTPThemeStandard::ShowShadows()
{
    return FALSE;
}

int CXTPThemeStandard::GetThemeId()
{
    return xtpThemeStandard;
}

CXTPThemeXPStyle::CXTPThemeXPStyle()
{
    m_iconsInfo.bUseFadedIcons = TRUE;
    m_iconsInfo.bIconsWithShadow = FALSE;
}

int CXTPThemeXPStyle::GetThemeId()
{
    return xtpThemeXPStyle;
}

CXTPThemeOffice2003::CXTPThemeOffice2003()
{
    m_iconsInfo.bUseFadedIcons = FALSE;
    m_iconsInfo.bIconsWithShadow = FALSE;
}

int CXTPThemeOffice2003::GetThemeId()
{
    return xtpThemeOffice2003;
}
