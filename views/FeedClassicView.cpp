#include "views/FeedClassicView.h"

#include "views/ChannelPageRenderer.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/NetworkState.h"
#include "feeds/UsageLog.h"
#include "feeds/WebAddresses.h"
#include "feeds/XmlDom.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/WinApp.h"
#include "framework/win/WinThread.h"

#include <cstring>
#include <string>

IMPLEMENT_DYNCREATE(CFeedClassicView, CDHtmlViewSpec)

BEGIN_MESSAGE_MAP(CFeedClassicView, CDHtmlViewSpec)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(CFeedClassicView)
END_DHTML_EVENT_MAP()

namespace {

bool IsOpenInReader()
{
    return EngineProfileInt(L"", L"OpenInReader", 0) != 0;
}

} // namespace

CFeedClassicView::CFeedClassicView()
    : m_bSelfNavigation(1), m_bBookmarkPost(0), m_pShownEntry(nullptr), m_nSavedScrollLeft(0), m_nSavedScrollTop(0),
      m_pSite(nullptr)
{
}

CFeedClassicView::~CFeedClassicView() = default;

int CFeedClassicView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CDHtmlViewSpec::OnCreate(lpcs) == -1)
        return -1;
    m_strCurrentAddress = L"about:blank";
    // The news page is rendered into the temporary folder; its pictures (the state icons, our own notices'
    // images) are in the data folder.
    m_wndBrowser.AllowImagesFrom(GetEngineContext().m_strDataFolder);
    return 0;
}

void CFeedClassicView::OnSize(UINT nType, int cx, int cy)
{
    CDHtmlViewSpec::OnSize(nType, cx, cy);
    if (m_pBrowserApp == nullptr || m_wndBrowser.m_hWnd == nullptr)
        return;
    // The pane's own edge lies outside the view.
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    ::AdjustWindowRectEx(&rc, static_cast<DWORD>(m_wndBrowser.GetStyle() & WS_VISIBLE), FALSE, WS_EX_CLIENTEDGE);
    ::SetWindowPos(m_wndBrowser.m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOACTIVATE | SWP_NOZORDER);
}

void CFeedClassicView::OnDestroy()
{
    // The last rendering would otherwise stay in the temporary folder for good.
    if (!m_strRenderedFile.IsEmpty()) {
        ::DeleteFileW(m_strRenderedFile);
        m_strRenderedFile.Empty();
    }
    CDHtmlViewSpec::OnDestroy();
}

int CFeedClassicView::SetStyleSheet(LPCWSTR lpszPath)
{
    m_strStyleSheet = lpszPath != nullptr ? lpszPath : L"";
    return 1;
}

void CFeedClassicView::NavigateSelf(LPCWSTR lpszAddress)
{
    m_bSelfNavigation = 1;
    m_bBookmarkPost = 0;
    Navigate2(lpszAddress);
}

void CFeedClassicView::ShowError(const CString& text)
{
    m_strLastError = text;
    AfxMessageBox(text, MB_OK);
}

int CFeedClassicView::ShowFeed(LPCWSTR lpszPath)
{
    const CString path = lpszPath != nullptr ? lpszPath : L"";
    // The same channel drawn again (a refresh, an item marked read) keeps the reader's place.
    const bool bRedraw = !path.IsEmpty() && !m_strRenderedFile.IsEmpty() &&
                         path.CompareNoCase(m_strCurrentAddress) == 0 &&
                         GetLocationURL().CompareNoCase(m_strRenderedFile) == 0;
    m_strCurrentAddress = path;
    if (path.IsEmpty()) {
        m_pShownEntry = nullptr;
        const CString home = GetEngineContext().m_settings.szHomePage;
        m_strCurrentAddress = IsWebAddress(home) && IsSystemNetworkAlive() ? home : CString(L"about:blank");
        NavigateSelf(m_strCurrentAddress);
        return 1;
    }
    if (path == L"about:blank") {
        m_pShownEntry = nullptr;
        NavigateSelf(path);
        return 1;
    }
    if (m_strStyleSheet.IsEmpty()) {
        NavigateSelf(path);
        return 1;
    }
    m_strLastError.Empty();
    const CString page = RenderToTempFile();
    if (page.IsEmpty())
        return 0;
    if (bRedraw && m_nSavedScrollTop == 0)
        SaveScrollPosition();
    NavigateSelf(page);
    if (!m_strRenderedFile.IsEmpty() && m_strRenderedFile.CompareNoCase(page) != 0)
        ::DeleteFileW(m_strRenderedFile);
    m_strRenderedFile = page;
    return 1;
}

CString CFeedClassicView::RenderToTempFile()
{
    CString errorText;
    const CString page = RenderChannelPage(m_strCurrentAddress, m_strStyleSheet, errorText);
    if (page.IsEmpty() && !errorText.IsEmpty())
        ShowError(errorText);
    return page;
}

void CFeedClassicView::SaveScrollPosition()
{
    CHtmlPageDocument* pDocument = GetHtmlDocument();
    CHtmlBodyElement* pBody = nullptr;
    if (pDocument == nullptr || FAILED(pDocument->get_body(&pBody)) || pBody == nullptr)
        return;
    long left = 0;
    long top = 0;
    pBody->get_scrollLeft(&left);
    pBody->get_scrollTop(&top);
    m_nSavedScrollLeft = static_cast<int>(left);
    m_nSavedScrollTop = static_cast<int>(top);
}

void CFeedClassicView::OnDocumentComplete(LPCTSTR lpszURL)
{
    if (!IsOpenInReader() && m_bBookmarkPost == 0)
        m_bSelfNavigation = 0;
    CDHtmlViewSpec::OnDocumentComplete(lpszURL);
    if (m_nSavedScrollTop != 0) {
        CHtmlPageDocument* pDocument = GetHtmlDocument();
        CHtmlBodyElement* pBody = nullptr;
        if (pDocument != nullptr && SUCCEEDED(pDocument->get_body(&pBody)) && pBody != nullptr) {
            pBody->put_scrollLeft(m_nSavedScrollLeft);
            pBody->put_scrollTop(m_nSavedScrollTop);
        }
        m_nSavedScrollLeft = 0;
        m_nSavedScrollTop = 0;
    }
}

bool CFeedClassicView::PostBookmark(const CString& address)
{
    if (m_pShownEntry == nullptr || m_pShownEntry->m_pChannel == nullptr)
        return false;
    CFeedItemList& items = m_pShownEntry->m_pChannel->m_items;
    for (POSITION pos = items.GetHeadPosition(); pos != nullptr;) {
        CFeedItem* pItem = items.GetNext(pos);
        if (pItem->m_strBookmark.CompareNoCase(address) != 0)
            continue;
        const CString service = GetEngineContext().m_settings.szBookmarkUrl;
        // A service that is not a web address (the branding comes from the network) is never asked.
        if (!IsWebAddress(service))
            return false;
        // Sized to its content: long titles and descriptions are sent whole.
        std::string body = "&title=";
        body += UrlEncodeText(pItem->m_strTitle).GetString();
        body += "&description=";
        body += UrlEncodeText(pItem->m_strDescription).GetString();
        body += "&url=";
        body += UrlEncodeText(pItem->m_strLink).GetString();
        m_bSelfNavigation = 1;
        m_bBookmarkPost = 1;
        Navigate2(service, 0, nullptr, L"Content-Type: application/x-www-form-urlencoded", body.data(),
                  static_cast<DWORD>(body.size()));
        return true;
    }
    return false;
}

void CFeedClassicView::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                         CByteArray& baPostedData, LPCTSTR lpszHeaders, BOOL* pbCancel)
{
    const CString address = lpszURL != nullptr ? lpszURL : L"";
    if (address.Find(L"bookmark:") >= 0) {
        *pbCancel = TRUE;
        PostBookmark(address);
        return;
    }
    if (IsOpenInReader() || m_bSelfNavigation != 0 || m_pShownEntry == nullptr) {
        CDHtmlViewSpec::OnBeforeNavigate2(lpszURL, nFlags, lpszTargetFrameName, baPostedData, lpszHeaders, pbCancel);
        return;
    }
    *pbCancel = TRUE;
    HandleClick(address);
}

void CFeedClassicView::HandleClick(const CString& address)
{
    CFeedItem* pEntry = m_pShownEntry;
    CFeedItem* pOpened = nullptr;
    CFeedItem* pEnclosureItem = nullptr;
    if (pEntry->m_pChannel != nullptr) {
        CFeedItemList& items = pEntry->m_pChannel->m_items;
        for (POSITION pos = items.GetHeadPosition(); pos != nullptr;) {
            CFeedItem* pItem = items.GetNext(pos);
            if (pItem->m_strLinkText.CompareNoCase(address) == 0) {
                pItem->m_nReadState = (pItem->m_nReadState & ~1) | 2;
                pEntry->CountNews();
                pOpened = pItem;
            } else if (!pItem->m_strEnclosureUrl.IsEmpty() && pItem->m_strEnclosureUrl.CompareNoCase(address) == 0) {
                pEnclosureItem = pItem;
                break;
            }
        }
    }
    const CString cacheFile = pEntry->GetCacheFileName();
    if (pOpened != nullptr && !cacheFile.IsEmpty()) {
        pEntry->m_pChannel->SaveCache(cacheFile, TRUE);
        SaveScrollPosition();
        ShowFeed(cacheFile);
    }
    if (pEnclosureItem != nullptr) {
        if (m_pSite != nullptr)
            m_pSite->SaveEnclosure(pEnclosureItem);
        return;
    }
    if (m_pSite != nullptr)
        m_pSite->RedrawNavigation();
    if (pOpened != nullptr) {
        if (CWnd* pMain = AfxGetMainWnd())
            ::SendMessageW(pMain->m_hWnd, WM_USAGE_EVENT, 5, reinterpret_cast<LPARAM>(pOpened));
    }
    // Only the checked schemes reach the shell, as the file to open, never as part of a command line.
    OpenInBrowser(address);
}
