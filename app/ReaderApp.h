// The application object: the folders, settings and branding that every part of the program reads.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/win/ImageList.h"
#include "framework/win/WinApp.h"

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

    // Usage logging switches, never changed after construction.
    int bLogSubscriptions;
    int bLogOpenedItems;
};

class CReaderApp : public CWinApp
{
public:
    CReaderApp();

    CString m_strTempFolder; // no trailing backslash
    CString m_strDataFolder; // no trailing backslash
    CReaderSettings m_settings;
    CStringList m_unsubscribed; // processed links of feeds the user removed
    int m_nUsageEntries;        // entries in the usage log
    // "<title><count>" of each channel with new items, read and emptied by the new-items alert.
    CStringList m_newsLabels;

    // Headline rows: their two fonts (made afresh on every draw), the colour of the text under an unread title,
    // and the read-state icons (0 unread, 1 read, 2 new). The list style is m_settings.nView.
    LOGFONTW m_lfHeadline{};
    LOGFONTW m_lfSmall{};
    COLORREF m_clrDescriptionText = RGB(0x55, 0x55, 0x55);
    CImageList m_ilReadStates;
};

extern CReaderApp theApp;
