// Shows one of the subscribe windows until the marker file given as the second argument is removed; for
// tools/screenshots/screenshot-subscribe.sh. The first argument names the window: subscribe, customize, wait or
// properties.
#include "app/ReaderApp.h"
#include "companions/FeedPropertyPages.h"
#include "companions/FeedSubscribeDlg.h"
#include "feeds/FeedItem.h"
#include "res/resource.h"

#include <string>

namespace {

std::wstring g_markerPath;

void CALLBACK WatchMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::PostQuitMessage(0);
}

void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Show(CWnd& window)
{
    window.SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    window.ShowWindow(SW_SHOW);
    ::RedrawWindow(window.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPending();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"subscribe";
    if (argc > 2)
        g_markerPath = argv[2];
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }

    CFeedSubscribeDlg subscribe;
    CFeedSubscribeDlg2 customize;
    CDialog wait(IDD_FEED_DOWNLOAD);
    CFeedItem entry;
    entry.m_strTitleText = L"Harbour News";
    entry.m_strDescriptionText = L"Boats coming and going, tides and weather of the old harbour.";
    entry.m_strLinkText = L"http://news.example.com/harbour/rss.xml";
    entry.m_nUpdateInterval = 60;
    CFeedPropertiesDlg info;
    CFeedAuthDlg auth;
    CFeedUpdateDlg update;
    CFeedCategoryDlg category;
    CPropertySheet sheet(IDS_FEED_PROPERTIES);
    CWnd* shown = nullptr;
    if (mode == L"customize") {
        customize.m_pEntry = &entry;
        if (!customize.Create(IDD_FEED_SUBSCRIBE2))
            return 1;
        shown = &customize;
    } else if (mode == L"wait") {
        if (!wait.Create(IDD_FEED_DOWNLOAD))
            return 1;
        CAnimateCtrl animation;
        animation.Attach(::GetDlgItem(wait.m_hWnd, IDC_FEED_DOWNLOAD_ANIMATION));
        animation.Open(IDR_HTTP_DOWNLOAD_AVI);
        animation.Seek(3);
        animation.Detach();
        shown = &wait;
    } else if (mode == L"properties" || mode == L"auth" || mode == L"update") {
        info.m_strTitle = entry.m_strTitleText;
        info.m_strDescription = entry.m_strDescriptionText;
        info.m_pEntry = &entry;
        auth.m_bLogon = 1;
        auth.m_strAccountName = L"ann";
        auth.m_strPassword = L"secret";
        update.m_nInterval = entry.m_nUpdateInterval;
        category.m_pEntry = &entry;
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        sheet.AddPage(&info);
        sheet.AddPage(&auth);
        sheet.AddPage(&update);
        sheet.AddPage(&category);
        sheet.m_psh.nStartPage = mode == L"auth" ? 1 : mode == L"update" ? 2 : 0;
        if (!sheet.Create())
            return 1;
        shown = &sheet;
    } else {
        if (!subscribe.Create(IDD_FEED_SUBSCRIBE))
            return 1;
        subscribe.SetDlgItemText(IDC_FEED_ADDRESS, L"http://news.example.com/harbour/rss.xml");
        ::SendMessageW(::GetDlgItem(subscribe.m_hWnd, IDC_FEED_LOGON), BM_CLICK, 0, 0);
        subscribe.SetDlgItemText(IDC_FEED_ACCOUNT, L"ann");
        subscribe.SetDlgItemText(IDC_FEED_PASSWORD, L"secret");
        shown = &subscribe;
    }
    Show(*shown);
    if (g_markerPath.empty())
        return 0;
    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    shown->DestroyWindow();
    return 0;
}
