#include "toolkit/controls/XTThemeManager.h"

#include "toolkit/controls/XTButtonTheme.h"
#include "toolkit/controls/XTHeaderTheme.h"

CXTThemeManager::CXTThemeManager() : m_nTheme(xtControlThemeClassic), m_pButtonTheme(nullptr), m_pHeaderTheme(nullptr)
{
    SetTheme(xtControlThemeClassic);
}

CXTThemeManager::~CXTThemeManager()
{
    delete m_pButtonTheme;
    delete m_pHeaderTheme;
}

CXTThemeManager* CXTThemeManager::GetThemeManager()
{
    // Made once even when two threads ask first at the same time.
    static CXTThemeManager s_manager;
    return &s_manager;
}

void CXTThemeManager::SetTheme(XTControlTheme nTheme)
{
    CXTButtonTheme* pButtonTheme = nullptr;
    CXTHeaderTheme* pHeaderTheme = nullptr;
    switch (nTheme) {
    case xtControlThemeClassic:
        pButtonTheme = new CXTButtonTheme;
        pHeaderTheme = new CXTHeaderTheme;
        break;
    case xtControlThemeOffice:
        pButtonTheme = new CXTButtonThemeV1(FALSE);
        pHeaderTheme = new CXTHeaderThemeV1;
        break;
    case xtControlThemeWindowsXP:
        pButtonTheme = new CXTButtonThemeV2(FALSE);
        pHeaderTheme = new CXTHeaderThemeV2;
        break;
    default:
        return;
    }
    delete m_pButtonTheme;
    delete m_pHeaderTheme;
    m_nTheme = nTheme;
    m_pButtonTheme = pButtonTheme;
    m_pHeaderTheme = pHeaderTheme;
}
