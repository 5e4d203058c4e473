#include "tests/feeds/FeedTestHost.h"

CFeedTestHost theHost;

UpdateSandbox::UpdateSandbox(const lqtest::TempFolder& data) : m_savedFolder(theHost.m_strDataFolder)
{
    theHost.m_strDataFolder = data.Path().c_str();
    theHost.SetRegistryKey(L"Lanternquill Tests");
    theHost.WriteProfileString(L"", L"DontInstall", nullptr);
}

UpdateSandbox::~UpdateSandbox()
{
    theHost.WriteProfileString(L"", L"DontInstall", nullptr);
    theHost.m_strDataFolder = m_savedFolder;
}
