#include "tests/app/AppTestSupport.h"

namespace apptest {

AppSandbox::AppSandbox(const wchar_t* company, const lqtest::TempFolder& data, const lqtest::TempFolder& temp)
    : m_key(std::wstring(L"Software\\") + company), m_savedSettings(theApp.m_settings),
      m_savedData(theApp.m_strDataFolder), m_savedTemp(theApp.m_strTempFolder)
{
    theApp.m_strDataFolder = data.Path().c_str();
    theApp.m_strTempFolder = temp.Path().c_str();
    theApp.m_settings.szMainLink[0] = 0;
    theApp.m_strUpdateUrl.Empty();
    if (!theApp.m_pszAppName)
        theApp.m_pszAppName = _wcsdup(L"Lanternquill");
    theApp.SetRegistryKey(company);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
}

AppSandbox::~AppSandbox()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
    theApp.m_settings = m_savedSettings;
    theApp.m_strDataFolder = m_savedData;
    theApp.m_strTempFolder = m_savedTemp;
}

CFeedItem* FindByTitle(CFeedChannel* list, const wchar_t* title)
{
    for (POSITION pos = list ? list->m_items.GetHeadPosition() : nullptr; pos;) {
        CFeedItem* entry = list->m_items.GetNext(pos);
        if (entry->m_strTitleText == title)
            return entry;
    }
    return nullptr;
}

} // namespace apptest
