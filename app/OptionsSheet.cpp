#include "app/OptionsSheet.h"

#include "app/AppMessages.h"
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "companions/OptionsPages.h"
#include "companions/PodcastProp.h"
#include "feeds/ViewTemplates.h"
#include "res/resource.h"
#include "toolkit/commandbars/XTPPaintManager.h"

namespace {

void CopyText(WCHAR* target, size_t size, const CString& text)
{
    lstrcpynW(target, text, static_cast<int>(size));
}

} // namespace

COptionsSheet::COptionsSheet(CMainFrame& frame) : m_frame(frame), m_feedChoice(frame) {}

void COptionsSheet::UpdateCommand(CCmdUI* pCmdUI) const
{
    pCmdUI->Enable(TRUE);
}

void COptionsSheet::HandOver(Pages& pages)
{
    const CReaderSettings& settings = theApp.m_settings;
    pages.connection.TakeRunningValues(settings);
    pages.glowmark.m_bGlowmark = settings.nReportStat ? 1 : 0;
    // The style the next start takes: a change confirmed earlier without a restart still shows as chosen.
    pages.viewStyle.m_nViewStyle = theApp.GetProfileInt(L"", L"ViewStyle", settings.nViewStyle) == 1 ? 1 : 0;
    const int nTheme = m_frame.Looks().GetTheme();
    pages.themes.m_nTheme =
        nTheme == xtpThemeDefault || nTheme == xtpThemeOffice2003 || nTheme == xtpThemeXPStyle ? nTheme : -1;
    m_nHandedTheme = pages.themes.m_nTheme;
}

void COptionsSheet::Run()
{
    CPropertySheet sheet(IDS_SETTINGS, &m_frame);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CReaderSettingsDlg1 general;
    CReaderSettingsDlg0 viewStyle;
    CReaderSettingsDlg2 channelView;
    CReaderSettingsDlg3 connection;
    CReaderSettingsDlg5 themes;
    CPodcastProp podcast;
    CReaderSettingsDlg4 glowmark;
    Pages pages{general, viewStyle, channelView, connection, themes, podcast, glowmark};
    HandOver(pages);
    sheet.AddPage(&general);
    sheet.AddPage(&viewStyle);
    sheet.AddPage(&channelView);
    sheet.AddPage(&connection);
    sheet.AddPage(&themes);
    sheet.AddPage(&podcast);
    if (theApp.m_settings.bStatsEnabled)
        sheet.AddPage(&glowmark);
    if (sheet.DoModal() == IDOK)
        WriteBack(pages);
}

void COptionsSheet::WriteBack(Pages& pages)
{
    CReaderSettings& settings = theApp.m_settings;
    CPaneSite& pane = m_frame.PaneSite();

    if (pages.general.m_nLeftSide != settings.nLeftArrows) {
        settings.nLeftArrows = pages.general.m_nLeftSide;
        theApp.WriteProfileInt(L"", L"LeftArrows", settings.nLeftArrows);
        m_frame.RecalcLayout();
        pane.RedrawPane();
    }
    bool bRebuildPane = false;
    if (pages.general.m_nChanged && WriteWeatherPage() && pane.GetWeatherEntry() != nullptr)
        bRebuildPane = true;
    if (pages.general.m_bShowWeatherChanged) {
        pane.ShowWeather(pages.general.m_nShowWeather != 0);
        bRebuildPane = true;
    }
    if (pages.channelView.m_nViewMode != settings.nView) {
        settings.nView = pages.channelView.m_nViewMode;
        bRebuildPane = true;
    }

    const CReaderSettingsDlg3& connection = pages.connection;
    if (connection.m_nProxyMode != settings.nProxyMode) {
        settings.nProxyMode = connection.m_nProxyMode;
        theApp.WriteProfileInt(L"Connection", L"Proxy", settings.nProxyMode);
    }
    if (settings.nProxyMode == CReaderSettingsDlg3::PROXY_CUSTOM) {
        theApp.WriteProfileString(L"Connection", L"ProxyServer", connection.m_strProxyServer);
        theApp.WriteProfileInt(L"Connection", L"ProxyPort", connection.m_nProxyPort);
        theApp.WriteProfileString(L"Connection", L"ProxyUser", connection.m_strProxyUser);
        theApp.WriteProfileString(L"Connection", L"ProxyPass", connection.m_strProxyPass);
        CopyText(settings.szProxyServer, _countof(settings.szProxyServer), connection.m_strProxyServer);
        CopyText(settings.szProxyUser, _countof(settings.szProxyUser), connection.m_strProxyUser);
        CopyText(settings.szProxyPass, _countof(settings.szProxyPass), connection.m_strProxyPass);
        settings.nProxyPort = connection.m_nProxyPort;
    }
    if (connection.m_nTimeout != settings.nTimeout) {
        settings.nTimeout = connection.m_nTimeout;
        theApp.WriteProfileInt(L"Connection", L"Timeout", settings.nTimeout);
    }
    if (connection.m_nMaxConnections != settings.nMaxConnections) {
        settings.nMaxConnections = connection.m_nMaxConnections;
        theApp.WriteProfileInt(L"Connection", L"Max", settings.nMaxConnections);
    }

    const int nReportStat = pages.glowmark.m_bGlowmark ? 1 : 0;
    if (nReportStat != (settings.nReportStat ? 1 : 0)) {
        settings.nReportStat = nReportStat;
        theApp.WriteProfileInt(L"", L"ReportStat", nReportStat);
    }

    if (pages.themes.m_nTheme != m_nHandedTheme)
        m_frame.Looks().SetToolkitTheme(pages.themes.m_nTheme);

    if (bRebuildPane)
        pane.BuildTaskPanel();
    pane.RefreshPaneContents();

    const int nStoredStyle = theApp.GetProfileInt(L"", L"ViewStyle", settings.nViewStyle) == 1 ? 1 : 0;
    if (pages.viewStyle.m_nViewStyle != nStoredStyle) {
        theApp.WriteProfileInt(L"", L"ViewStyle", pages.viewStyle.m_nViewStyle);
        if (AfxMessageBox(IDS_VIEW_STYLE_RESTART, MB_YESNO | MB_ICONQUESTION) == IDYES)
            m_frame.PostMessage(WM_REQUEST_CLOSE);
    }

    // The page has already written its own values as the sheet closed; the manager takes the list they select.
    if (pages.podcast.m_bChanged)
        m_frame.Companions().SyncPodcastList();
}
