#include "tests/views/NavPaneTestSupport.h"

#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "framework/win/Gdi.h"
#include "views/FeedPopupBar.h"
#include "views/FeedTaskPanelPaintManager.h"

#include <gtest/gtest.h>

#include <map>

namespace panetest {

// ---- Fake frame

BOOL CFakeFrame::CreateFrame(const RECT& rect)
{
    LPCTSTR lpszClass =
        AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(0, lpszClass, L"Navigation pane test frame", WS_POPUP | WS_VISIBLE | WS_BORDER, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr);
}

int CFakeFrame::Count(const std::wstring& name) const
{
    int n = 0;
    for (const Call& call : m_calls)
        n += call.name == name;
    return n;
}

const CFakeFrame::Call* CFakeFrame::Last(const std::wstring& name) const
{
    for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it)
        if (it->name == name)
            return &*it;
    return nullptr;
}

BOOL CFakeFrame::IsNewCategory(const CString& strCaption)
{
    for (const std::wstring& known : m_knownCategories)
        if (known == static_cast<LPCTSTR>(strCaption))
            return FALSE;
    return TRUE;
}

BOOL CFakeFrame::AskCategoryName(const CString& strOldName, CString& strNewName)
{
    Record(L"AskCategoryName", nullptr, strOldName);
    if (m_strNewName.empty())
        return FALSE;
    strNewName = m_strNewName.c_str();
    return TRUE;
}

void CFakeFrame::RenameCategory(const CString& strOldName, const CString& strNewName)
{
    Record(L"RenameCategory", nullptr, strOldName + L"->" + strNewName);
}

void CFakeFrame::ShowEntry(CFeedItem* pEntry, const CString& strCacheFile)
{
    Record(L"ShowEntry", pEntry, strCacheFile);
    m_pShown = pEntry;
}

void CFakeFrame::Record(const std::wstring& name, CFeedItem* pRecord, const CString& text, int nValue)
{
    m_calls.push_back({name, pRecord, static_cast<LPCTSTR>(text), nValue});
}

LRESULT CFakeFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USAGE_EVENT) {
        m_usage.emplace_back(wParam, reinterpret_cast<CFeedItem*>(lParam));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- Settings and launcher

ScopedSettings::ScopedSettings() : m_saved(GetEngineContext().m_settings)
{
    m_savedFolder = GetEngineContext().m_strDataFolder;
    GetEngineContext().m_strDataFolder = m_folder.Path().c_str();
    // Every test starts from all channels shown; those about hiding turn it on.
    GetEngineContext().m_settings.nHideReadChannels = 0;
}

ScopedSettings::~ScopedSettings()
{
    GetEngineContext().m_settings = m_saved;
    GetEngineContext().m_strDataFolder = m_savedFolder;
}

std::vector<std::wstring> LauncherLog::s_opened;

LauncherLog::LauncherLog()
{
    s_opened.clear();
    m_previous = SetBrowserLauncher([](const CString& address) {
        s_opened.emplace_back(static_cast<LPCTSTR>(address));
        return true;
    });
}

LauncherLog::~LauncherLog()
{
    SetBrowserLauncher(m_previous);
}

// ---- Records

std::unique_ptr<CFeedItem> MakeEntry(const EntryData& data)
{
    auto pEntry = std::make_unique<CFeedItem>();
    pEntry->m_nKind = data.kind;
    pEntry->m_strTitle = pEntry->m_strTitleText = data.title;
    pEntry->m_strCategory = data.category;
    pEntry->m_nImageIndex = 0;
    pEntry->m_bMayUnsubscribe = true;
    pEntry->m_dtDate = COleDateTime::GetCurrentTime();
    if (data.withChannel || !data.news.empty()) {
        pEntry->m_pChannel = new CFeedChannel;
        pEntry->m_pChannel->m_info.m_strLink = L"http://site.example/";
        for (const NewsData& news : data.news) {
            auto* pItem = new CFeedItem;
            pItem->m_strTitle = pItem->m_strTitleText = news.title;
            pItem->m_strLink = pItem->m_strLinkText = news.link;
            pItem->m_nReadState = news.readState;
            pItem->m_strEnclosureUrl = news.enclosure != nullptr ? news.enclosure : L"";
            pEntry->m_pChannel->m_items.AddTail(pItem);
        }
        pEntry->CountNews();
    }
    return pEntry;
}

// ---- Pane fixture

PaneFixture::PaneFixture(const std::vector<EntryData>& entries, CSize size) : m_app(L"NavPaneTest")
{
    m_frame.CreateFrame(CRect(300, 40, 300 + size.cx, 40 + size.cy));
    m_app.m_pMainWnd = &m_frame;
    m_frame.m_pPane = &m_pane;
    m_pane.SetSite(&m_frame);
    m_pane.SetCustomTheme(new CFeedTaskPanelPaintManager);
    m_pane.EnableAnimation(FALSE);
    CRect rcClient;
    m_frame.GetClientRect(&rcClient);
    m_pane.Create(WS_CHILD | WS_VISIBLE, rcClient, &m_frame, 111);

    std::map<std::wstring, CXTPTaskPanelGroup*> groups;
    UINT nNextGroup = 410;
    for (const EntryData& data : entries) {
        CXTPTaskPanelGroup*& pGroup = groups[data.category];
        if (pGroup == nullptr) {
            pGroup = m_pane.AddGroup(nNextGroup++);
            pGroup->SetCaption(data.category);
        }
        m_entries.push_back(MakeEntry(data));
        CFeedItem* pEntry = m_entries.back().get();
        CXTPTaskPanelGroupItem* pItem = pGroup->AddLinkItem(reinterpret_cast<UINT_PTR>(pEntry), 0);
        pItem->SetCaption(data.title);
    }
    m_pane.Reposition(FALSE);
    Paint();
}

PaneFixture::~PaneFixture()
{
    if (m_pane.GetPopupBar() != nullptr && m_pane.GetPopupBar()->GetSafeHwnd() != nullptr)
        m_pane.GetPopupBar()->DestroyWindow();
    // The pane's items go before the records they point at.
    if (m_pane.GetSafeHwnd() != nullptr)
        m_pane.DestroyWindow();
    m_pane.RemoveAllGroups();
    m_app.m_pMainWnd = nullptr;
    m_frame.DestroyWindow();
    lqtest::PumpPending();
}

CXTPTaskPanelGroupItem* PaneFixture::ItemOf(const CFeedItem* pRecord) const
{
    for (int i = 0; i < m_pane.GetGroupCount(); ++i) {
        CXTPTaskPanelGroup* pGroup = m_pane.GetAt(i);
        for (int j = 0; j < pGroup->GetItemCount(); ++j)
            if (CFeedTaskPanel::GetRecord(pGroup->GetAt(j)) == pRecord)
                return static_cast<CXTPTaskPanelGroupItem*>(pGroup->GetAt(j));
    }
    return nullptr;
}

void PaneFixture::Paint()
{
    m_pane.RedrawWindow(nullptr, static_cast<CRgn*>(nullptr), RDW_INVALIDATE | RDW_UPDATENOW);
    lqtest::PumpPending();
}

POINT PaneFixture::ScreenPoint(CPoint ptClient) const
{
    POINT pt = ptClient;
    ::ClientToScreen(m_pane.GetSafeHwnd(), &pt);
    return pt;
}

POINT PaneFixture::RowCentre(const CFeedItem* pRecord) const
{
    CPoint pt = pRecord->m_rcLast.CenterPoint();
    pt.y -= m_pane.GetScrollOffset();
    return ScreenPoint(pt);
}

std::unique_ptr<CFeedItem> PaneFixture::Release(int nIndex)
{
    return std::move(m_entries[static_cast<size_t>(nIndex)]);
}

// ---- Menus

namespace {
MenuRecorder* g_pRecorder = nullptr;
}

MenuRecorder::MenuRecorder() : m_previous(SetFeedMenuTracker(Record))
{
    g_pRecorder = this;
}

MenuRecorder::~MenuRecorder()
{
    SetFeedMenuTracker(m_previous);
    g_pRecorder = nullptr;
}

void MenuRecorder::Clear()
{
    m_nMenuID = 0;
    m_items.clear();
}

bool MenuRecorder::Enabled(UINT nID) const
{
    for (const auto& item : m_items)
        if (item.first == nID)
            return item.second;
    ADD_FAILURE() << "command " << nID << " is not in menu " << m_nMenuID;
    return false;
}

void MenuRecorder::Record(UINT nMenuID, CMenu* pPopup, CPoint, CWnd*)
{
    MenuRecorder* self = g_pRecorder;
    if (self == nullptr)
        return;
    self->Clear();
    self->m_nMenuID = nMenuID;
    for (int i = 0; i < static_cast<int>(pPopup->GetMenuItemCount()); ++i) {
        const UINT nID = pPopup->GetMenuItemID(i);
        if (nID == 0)
            continue;
        const UINT nState = pPopup->GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
        self->m_items.emplace_back(nID, (nState & (MF_DISABLED | MF_GRAYED)) == 0);
    }
}

} // namespace panetest
