// The record of what the engine needs of the application, and the values it holds before any setting is read.
#include "feeds/EngineContext.h"

#include "feeds/MakerAddresses.h"
#include "framework/win/WinApp.h"

#include <atomic>

namespace {

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
    Copy(szMainLink, LQ_CHANNEL_LIST_URL);
    Copy(szWebSite, LQ_WEB_SITE_URL);
    Copy(szEmail, LQ_SUPPORT_EMAIL);
    Copy(szBrandName, L"Lanternquill Software");
    Copy(szHelpUrl, LQ_HELP_URL);
    Copy(szGettingStartedUrl, LQ_GETTING_STARTED_URL);
    Copy(szBrowseFeedsUrl, LQ_BROWSE_FEEDS_URL);
    Copy(szHomePage, L"about:blank");
    Copy(szBookmarkUrl, LQ_BOOKMARK_URL);
    Copy(szBookmarkTitle, L"Save this Item");
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lfText), &lfText);
    lfTitle = lfText;
    lfTitle.lfWeight = FW_BOLD;
    Copy(lfTitle.lfFaceName, L"Tahoma");
}

CEngineContext::CEngineContext()
    : m_strUpdateUrl(LQ_UPDATE_URL), m_strStatServerUrl(LQ_STATISTICS_URL), m_strBrandingUrl(LQ_BRANDING_URL)
{
}

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
