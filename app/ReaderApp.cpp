// The application object. Start-up and shut-down come with the main window; here are the fields and their
// values before any setting is read.
#include "app/ReaderApp.h"

namespace {

// The maker's addresses are values of the build.
const wchar_t kMakerMainLink[] = L"http://www.lanternquill.com/channels/";
const wchar_t kMakerWebSite[] = L"http://www.lanternquill.com";
const wchar_t kMakerEmail[] = L"support@lanternquill.com";
const wchar_t kMakerName[] = L"Lanternquill Software";
const wchar_t kBrowseFeedsUrl[] = L"http://www.lanternquill.com/directory/";
const wchar_t kBookmarkUrl[] = L"http://www.lanternquill.com/bookmarks/item.php?action=add";

template <size_t N> void Copy(WCHAR (&buffer)[N], LPCWSTR text)
{
    lstrcpynW(buffer, text, static_cast<int>(N));
}

} // namespace

CReaderSettings::CReaderSettings()
{
    ZeroMemory(this, sizeof(*this));
    nView = 2;
    nChannelListPeriod = 60;
    nTimeout = 50000;
    nMaxConnections = 4;
    nReportStat = 1;
    nHideReadChannels = 1;
    bStatsEnabled = 1;
    bLogSubscriptions = 1;
    bLogOpenedItems = 1;
    nBuildNumber = 16;
    Copy(szCaption, L"Lanternquill");
    Copy(szMainLink, kMakerMainLink);
    Copy(szWebSite, kMakerWebSite);
    Copy(szEmail, kMakerEmail);
    Copy(szBrandName, kMakerName);
    Copy(szHelpUrl, (CString(kMakerWebSite) + L"/help/").GetString());
    Copy(szGettingStartedUrl, kMakerWebSite);
    Copy(szBrowseFeedsUrl, kBrowseFeedsUrl);
    Copy(szHomePage, L"about:blank");
    Copy(szBookmarkUrl, kBookmarkUrl);
    Copy(szBookmarkTitle, L"Save this Item");
}

CReaderApp::CReaderApp() : m_nUsageEntries(0) {}

CReaderApp theApp;
