// Shows the podcast manager with a row in each state (or empty, with "empty"; its "Podcasting Settings" sheet, with
// "page"; the "Select Feeds" dialog, with "feeds") until the marker file given as the first argument is removed; for
// tools/screenshots/screenshot-podcast.sh.
#include "companions/PodcastProp.h"
#include "companions/PodcastWnd.h"
#include "companions/SelectFeedsDlg.h"
#include "feeds/EngineContext.h"
#include "framework/Afx.h"
#include "framework/win/PropertySheet.h"

#include <string>
#include <vector>

namespace {

std::wstring g_markerPath;
HWND g_hSheet = nullptr;
const wchar_t* g_pszSheetCaption = L"Podcasting Settings";

class CDemoFeeds : public CFeedSelectionSource
{
public:
    std::vector<CSelectableFeed> GetFeeds() override
    {
        return {{L"Harbour Talk", L"harbour"},
                {L"Valley Morning News", L"valley"},
                {L"Garden Hour", L"garden"},
                {L"The Long Evening Conversation About Boats, Tides and Everything Between", L"evening"}};
    }
    bool HasFeed(const CString&) override { return true; }
};

void CALLBACK WatchMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    if (g_hSheet)
        ::PostMessageW(g_hSheet, WM_COMMAND, IDCANCEL, 0);
    ::PostQuitMessage(0);
}

void WriteMarker()
{
    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
}

void CALLBACK MarkSheet(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    g_hSheet = ::FindWindowW(nullptr, g_pszSheetCaption);
    if (g_hSheet)
        ::SetWindowPos(g_hSheet, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::RedrawWindow(g_hSheet, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    WriteMarker();
    ::SetTimer(nullptr, 0, 200, WatchMarker);
}

void AddRow(CProgressListCtrl& list, LPCWSTR url, LPCWSTR feed, COLORREF colour, LPCWSTR state, int progress = -2)
{
    const int row = list.InsertItem(list.GetItemCount(), url, static_cast<COLORREF>(-1), colour);
    list.SetCellText(row, 1, feed, static_cast<COLORREF>(-1), colour);
    list.SetCellText(row, 2, state, static_cast<COLORREF>(-1), colour);
    if (progress >= 0) {
        list.SetProgressCell(row, 2);
        list.SetCellProgress(row, 2, progress);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    CWinApp app(L"podcast-demo");
    app.SetRegistryKey(L"Lanternquill Demo");
    CEngineContext context;
    SetEngineContext(&context);
    if (argc > 1)
        g_markerPath = argv[1];
    const std::wstring mode = argc > 2 ? argv[2] : L"";
    CDemoFeeds feeds;
    CPodcastProp::s_pFeedSource = &feeds;
    if (mode == L"feeds") {
        app.WriteProfileString(L"Podcasting\\Items", L"valley", L"yes");
        app.WriteProfileString(L"Podcasting\\Items", L"garden", L"yes");
        g_pszSheetCaption = L"Select Feeds";
        CSelectFeedsDlg dlg(feeds);
        ::SetTimer(nullptr, 0, 300, MarkSheet);
        dlg.DoModal();
        return 0;
    }
    if (mode == L"page") {
        context.m_settings.nPodcastMode = 2;
        CPropertySheet sheet(L"Podcasting Settings");
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        CPodcastProp page;
        sheet.AddPage(&page);
        ::SetTimer(nullptr, 0, 300, MarkSheet);
        sheet.DoModal();
        return 0;
    }

    CPodcastWnd wnd;
    if (!wnd.Create(nullptr))
        return 1;
    wnd.SetWindowPos(nullptr, 20, 20, 600, 430, SWP_NOZORDER);
    CProgressListCtrl& list = wnd.List();
    if (mode != L"empty") {
        AddRow(list, L"http://podcasts.example/harbour/episode-12.mp3", L"Harbour Talk", kPodcastCompleted,
               L"Completed");
        AddRow(list, L"http://podcasts.example/harbour/episode-13.mp3", L"Harbour Talk", kPodcastDownloading, L"", 45);
        AddRow(list, L"http://audio.example/valley/morning-news.ogg", L"Valley Morning News", kPodcastDownloading,
               L"Downloading...");
        AddRow(list, L"http://audio.example/valley/evening-news.ogg", L"Valley Morning News", kPodcastFailed,
               L"Failed to receive a valid HTTP response from the server, Response Code:404");
        AddRow(list, L"http://casts.example/garden/week-7.mp3", L"Garden Hour", kPodcastToDownload,
               L"To be downloaded");
        AddRow(list, L"http://casts.example/garden/week-8.mp3", L"Garden Hour", kPodcastDownloading, L"", 100);
        list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
    }
    wnd.ShowWindow(SW_SHOW);
    ::RedrawWindow(wnd.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (g_markerPath.empty())
        return 0;
    WriteMarker();
    ::SetTimer(nullptr, 0, 200, WatchMarker);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    wnd.DestroyWindow();
    return 0;
}
