// Shows the navigation pane with a small subscription list: navpane-demo modern|classic|dropdown MARKER.
// "modern" draws the modern view style with its arrows at the left, "classic" the classic view style, and
// "dropdown" the modern pane with the headline drop-down of its first channel open beside it; "hot-default",
// "hot-office2003" and "hot-xp" the modern pane in that command-bar theme with its first group caption hot.
// Writes the marker file once everything has painted, and closes when that file is deleted.
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/Afx.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "views/FeedPopupBar.h"
#include "views/FeedTaskPanel.h"
#include "views/FeedTaskPanelPaintManager.h"

#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring g_markerPath;
bool g_bDropDown = false;
CFeedTaskPanel* g_pPane = nullptr;
CXTPTaskPanelItem* g_pFirst = nullptr;
CXTPTaskPanelItem* g_pHotGroup = nullptr;

class CDemoHost : public CWnd
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            if (wParam == 1) {
                KillTimer(1);
                if (g_bDropDown)
                    g_pPane->OnClick(g_pFirst);
                if (g_pHotGroup != nullptr)
                    g_pPane->SetHotItem(g_pHotGroup);
                ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                SetTimer(3, 300);
            } else if (wParam == 3) {
                KillTimer(3);
                HANDLE hFile =
                    ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                ::CloseHandle(hFile);
                SetTimer(2, 200);
            } else if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
                DestroyWindow();
            }
            return 0;
        }
        if (message == WM_DESTROY)
            ::PostQuitMessage(0);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct Headline
{
    const wchar_t* title;
    int state;
};

std::unique_ptr<CFeedItem> MakeEntry(int nKind, const wchar_t* title, std::vector<Headline> news, bool bChannel,
                                     int nImage, int nDaysAgo)
{
    auto pEntry = std::make_unique<CFeedItem>();
    pEntry->m_nKind = nKind;
    pEntry->m_strTitle = pEntry->m_strTitleText = title;
    pEntry->m_nImageIndex = nImage;
    pEntry->m_dtDate = COleDateTime::GetCurrentTime() - COleDateTimeSpan(static_cast<double>(nDaysAgo));
    if (bChannel) {
        pEntry->m_pChannel = new CFeedChannel;
        for (const Headline& news1 : news) {
            auto* pItem = new CFeedItem;
            pItem->m_strTitle = pItem->m_strTitleText = news1.title;
            pItem->m_strDescription = pItem->m_strDescriptionText =
                L"A short summary of the story, as the feed gives it, for the rows that show text.";
            pItem->m_strLink = L"http://news.example/";
            pItem->m_nReadState = news1.state;
            pItem->m_dtDate = COleDateTime::GetCurrentTime();
            pEntry->m_pChannel->m_items.AddTail(pItem);
        }
        pEntry->CountNews();
    } else {
        pEntry->m_bUpdateFailed = nKind == FEED_KIND_FEED;
    }
    return pEntry;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    const std::wstring mode = argv[1];
    g_markerPath = argv[2];
    g_bDropDown = mode == L"dropdown";
    ::OleInitialize(nullptr);
    CReaderSettings& settings = GetEngineContext().m_settings;
    settings.nViewStyle = mode == L"classic" ? 0 : 1;
    settings.nLeftArrows = mode == L"modern" ? 1 : 0;
    const bool bHot = mode.compare(0, 4, L"hot-") == 0;
    if (mode == L"hot-default")
        CXTPPaintManager::SetTheme(xtpThemeDefault);
    else if (mode == L"hot-office2003")
        CXTPPaintManager::SetTheme(xtpThemeOffice2003);
    else if (mode == L"hot-xp")
        CXTPPaintManager::SetTheme(xtpThemeXPStyle);
    settings.nHideReadChannels = 0;

    std::vector<std::unique_ptr<CFeedItem>> entries;
    entries.push_back(MakeEntry(FEED_KIND_FEED, L"Daily Planet",
                                {{L"Harbour bridge reopens after two years of repairs", FEED_STATE_NEW},
                                 {L"City council approves the new tram line", FEED_STATE_NEW},
                                 {L"Weather: a mild week ahead with showers on Thursday", FEED_STATE_UNREAD},
                                 {L"Local team wins the regional cup", FEED_STATE_READ},
                                 {L"Library extends its opening hours", FEED_STATE_READ}},
                                true, 0, 0));
    entries.push_back(MakeEntry(FEED_KIND_FEED, L"Evening Star",
                                {{L"Markets close higher", FEED_STATE_UNREAD}, {L"Rail strike ends", FEED_STATE_READ}},
                                true, 0, 3));
    entries.push_back(MakeEntry(FEED_KIND_FEED, L"Old Gazette with a rather long channel title that needs room",
                                {{L"Archive", FEED_STATE_READ}}, true, 0, 40));
    entries.push_back(MakeEntry(FEED_KIND_FEED, L"Unreachable Times", {}, false, 0, 1));
    entries.back()->m_pChannel = nullptr;
    entries.push_back(MakeEntry(FEED_KIND_FEED, L"Tech Bits", {{L"New chip", FEED_STATE_NEW}}, true, 0, 0));
    entries.back()->m_bUpdating = true;
    entries.push_back(
        MakeEntry(FEED_KIND_SEARCH_RESULT, L"Search: tram", {{L"a", 2}, {L"b", 2}, {L"c", 2}}, true, 3, 0));
    entries.push_back(MakeEntry(FEED_KIND_FILTER_RESULT, L"Filtered results", {{L"a", 2}, {L"b", 2}}, true, 3, 0));
    entries.push_back(MakeEntry(FEED_KIND_NOTICE, L"Welcome to Lanternquill", {}, false, 2, 0));
    entries.back()->m_strDescriptionText = L"Tips for your first day";

    CDemoHost host;
    LPCTSTR lpszClass =
        AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    host.CreateEx(0, lpszClass, L"Navigation pane", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 272, 560, nullptr,
                  nullptr);
    CFeedTaskPanel pane;
    g_pPane = &pane;
    pane.SetCustomTheme(new CFeedTaskPanelPaintManager);
    pane.EnableAnimation(FALSE);
    pane.Create(WS_VISIBLE | WS_CHILD, CRect(4, 4, 266, 554), &host, 111);
    const wchar_t* categories[] = {L"World",      L"World",        L"World",        L"Technology",
                                   L"Technology", L"Quick Filter", L"Quick Filter", L"Main Category"};
    for (size_t i = 0; i < entries.size(); ++i) {
        CXTPTaskPanelGroup* pGroup = pane.FindGroupByCaption(categories[i]);
        if (pGroup == nullptr) {
            pGroup = pane.AddGroup(410 + i);
            pGroup->SetCaption(categories[i]);
        }
        CXTPTaskPanelGroupItem* pItem = pGroup->AddLinkItem(reinterpret_cast<UINT_PTR>(entries[i].get()), 0);
        pItem->SetCaption(entries[i]->m_strTitleText);
        if (i == 0)
            g_pFirst = pItem;
    }
    if (bHot)
        g_pHotGroup = pane.GetAt(0);
    pane.Reposition(FALSE);
    host.SetTimer(1, 300);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    pane.RemoveAllGroups();
    ::OleUninitialize();
    return 0;
}
