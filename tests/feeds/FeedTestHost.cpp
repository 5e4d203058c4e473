#include "tests/feeds/FeedTestHost.h"

CFeedTestHost theHost;

UpdateSandbox::UpdateSandbox(const lqtest::TempFolder& data) : m_savedFolder(theHost.m_strDataFolder)
{
    theHost.m_strDataFolder = data.Path().c_str();
    theHost.SetRegistryKey(L"Lanternquill Tests");
    theHost.WriteProfileString(L"", L"DontInstall", nullptr);
    theHost.WriteProfileString(L"URLs", L"update", L"https://updates.example/currentver.xml");
}

UpdateSandbox::~UpdateSandbox()
{
    theHost.WriteProfileString(L"", L"DontInstall", nullptr);
    theHost.WriteProfileString(L"URLs", L"update", nullptr);
    theHost.m_strDataFolder = m_savedFolder;
}
