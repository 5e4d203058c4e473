// What the feed engine needs of the application: folders, settings and branding, counters, the headline fonts
// and icons, and the window it reports to. The application object owns the record and fills it at start-up;
// the engine reads it through GetEngineContext() and never includes anything of the application.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/win/ImageList.h"

// One flat record of the settings read at start and of the branding (settings.xml). Texts live in fixed
// buffers whose sizes count the terminating zero.
struct CReaderSettings
{
    CReaderSettings();

    // Layout and behaviour.
    int nViewStyle; // 0 classic, 1 modern
    int nView;      // how headlines are listed: 1 titles only, 3 titles and two lines, others full text
    int nLeftArrows;
    int nHideReadChannels;
    int nOpenInReader;
    int nReportStat;        // the user's consent to usage statistics (0 unless the branding allows statistics)
    int nChannelListPeriod; // minutes
    int nPodcastMode;       // "Podcasting"\"Auto": 0 manual, 1 every enclosure, 2 the selected feeds

    // "Connection".
    int nTimeout;
    int nMaxConnections;
    int nProxyMode; // 3 a named proxy
    WCHAR szProxyServer[100];
    WCHAR szProxyUser[48];
    WCHAR szProxyPass[24];
    int nProxyPort;

    // Branding.
    WCHAR szCaption[100];
    WCHAR szMainLink[512];
    WCHAR szWebSite[100];
    WCHAR szEmail[50];
    WCHAR szUserAgent[100];
    WCHAR szBrandName[50];
    WCHAR szHelpUrl[100];
    WCHAR szGettingStartedUrl[100];
    WCHAR szBrowseFeedsUrl[100];
    WCHAR szLogo[100];
    WCHAR szHomePage[100];
    WCHAR szBookmarkUrl[100];
    WCHAR szBookmarkTitle[100];
    int bStatsEnabled;
    int bUseWebFeeds;
    DWORD dwBrandingVersion; // minor * 65536 + major
    int nBuildNumber;        // this program's build, compared with an offered update

    // Display defaults: the branding's title font (the interface font, bold, "Tahoma") and text font (the
    // interface font as it is), read by the navigation pane's look.
    LOGFONTW lfTitle;
    LOGFONTW lfText;

    // Usage logging switches, never changed after construction.
    int bLogSubscriptions;
    int bLogOpenedItems;
};

class CEngineContext
{
public:
    CEngineContext();
    virtual ~CEngineContext();
    CEngineContext(const CEngineContext&) = delete;
    CEngineContext& operator=(const CEngineContext&) = delete;

    // The main frame, to which the update download reports (WM_RUN_UPDATER); null while there is none.
    virtual HWND GetFrameWindow() const { return nullptr; }

    // The maker's services, from the build (empty unless it names them); a service without an address is never
    // asked. The profile's "URLs"\"update" and "URLs"\"StatServer" override the first two.
    CString m_strUpdateUrl;     // the update description, "currentver.xml"
    CString m_strStatServerUrl; // the usage statistics upload
    CString m_strBrandingUrl;   // the branding file, with the brand id appended

    CString m_strTempFolder; // no trailing backslash
    CString m_strDataFolder; // no trailing backslash
    CReaderSettings m_settings;
    int m_nUsageEntries = 0; // entries in the usage log
    // "<title><count>" of each channel with new items, read and emptied by the new-items alert.
    CStringList m_newsLabels;

    // Headline rows: their two fonts (made afresh on every draw), the colour of the text under an unread title,
    // and the read-state icons (0 unread, 1 read, 2 new). The list style is m_settings.nView.
    LOGFONTW m_lfHeadline{};
    LOGFONTW m_lfSmall{};
    COLORREF m_clrDescriptionText = RGB(0x55, 0x55, 0x55);
    CImageList m_ilReadStates;
};

// The record the engine reads. The application sets its own at start; without one the engine reads a record
// of defaults (empty folders), so nothing is written anywhere.
CEngineContext& GetEngineContext();
// Null puts the defaults back. A record that ends while it is set unsets itself.
void SetEngineContext(CEngineContext* pContext);

// The application's settings profile (the framework's application object); defaults when there is none.
CString EngineProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue);
UINT EngineProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue);
BOOL WriteEngineProfileInt(LPCWSTR section, LPCWSTR entry, int value);
