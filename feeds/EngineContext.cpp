// The record of what the engine needs of the application, and the values it holds before any setting is read.
#include "feeds/EngineContext.h"

#include "framework/win/WinApp.h"

#include <atomic>

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

// Set and read from several threads (the download threads read the proxy and the data folder).
std::atomic<CEngineContext*> g_pContext{nullptr};

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

CEngineContext::CEngineContext() = default;

CEngineContext::~CEngineContext()
{
    CEngineContext* self = this;
    g_pContext.compare_exchange_strong(self, nullptr);
}

CEngineContext& GetEngineContext()
{
    if (CEngineContext* context = g_pContext.load())
        return *context;
    static CEngineContext defaults;
    return defaults;
}

void SetEngineContext(CEngineContext* pContext)
{
    g_pContext.store(pContext);
}

CString EngineProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue)
{
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileString(section, entry, defaultValue) : CString(defaultValue);
}

UINT EngineProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue)
{
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileInt(section, entry, defaultValue) : static_cast<UINT>(defaultValue);
}

BOOL WriteEngineProfileInt(LPCWSTR section, LPCWSTR entry, int value)
{
    CWinApp* app = AfxGetApp();
    return app ? app->WriteProfileInt(section, entry, value) : FALSE;
}
