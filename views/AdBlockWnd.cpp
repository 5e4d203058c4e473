#include "views/AdBlockWnd.h"
#include "res/resource.h"

#include "feeds/EngineContext.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedItem.h"
#include "feeds/NetworkState.h"
#include "feeds/WebAddresses.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"

#include <algorithm>

namespace {

const CSize kWeatherSize(300, 130);
const CSize kBlockSize(234, 60);
const int kMaxWeatherHeight = 200;

CString WeatherPagePath()
{
    return GetEngineContext().m_strDataFolder + L"\\weather.htm";
}

bool IsWeather(const CFeedItem* pEntry)
{
    return pEntry != nullptr && pEntry->m_nKind == FEED_KIND_WEATHER;
}

} // namespace

IMPLEMENT_DYNCREATE(CAdBlockWnd, CDHtmlDialog)

BEGIN_MESSAGE_MAP(CAdBlockWnd, CDHtmlDialog)
ON_WM_DESTROY()
ON_MESSAGE(WM_REFRESH_AD, OnRefreshAd)
END_MESSAGE_MAP()

CAdBlockWnd::CAdBlockWnd(CWnd* pParent)
    : CDHtmlDialog(IDD_AD_BLOCK, IDR_HTML_AD_BLOCK, pParent), m_pOwner(nullptr), m_bProgramNavigation(1)
{
}

CString CAdBlockWnd::AddressFor(const CFeedItem* pEntry)
{
    if (pEntry == nullptr)
        return L"about:blank";
    const CString& link = pEntry->m_strLinkText;
    // The list comes from the network: only a web page, or our own weather page, is ever loaded.
    if (IsWeather(pEntry) ? link.CompareNoCase(WeatherPagePath()) == 0 : IsWebAddress(link))
        return link;
    return L"about:blank";
}

CAdBlockWnd* CAdBlockWnd::AttachTo(CFeedItem* pEntry, CWnd* pParent)
{
    if (pEntry == nullptr || pParent == nullptr)
        return nullptr;
    if (auto* pExisting = dynamic_cast<CAdBlockWnd*>(pEntry->m_pAttachedWnd);
        pExisting != nullptr && ::IsWindow(pExisting->GetSafeHwnd())) {
        pExisting->m_pOwner = pEntry;
        pExisting->m_strURL = AddressFor(pEntry);
        pExisting->Navigate(pExisting->m_strURL);
        return pExisting;
    }
    auto* pWnd = new CAdBlockWnd(pParent);
    pWnd->m_pOwner = pEntry;
    if (!pWnd->Create(IDD_AD_BLOCK, pParent)) {
        if (::IsWindow(pWnd->GetSafeHwnd()))
            pWnd->DestroyWindow();
        delete pWnd;
        return nullptr;
    }
    pWnd->m_bOwnsSelf = true;
    pEntry->m_pAttachedWnd = pWnd;
    return pWnd;
}

BOOL CAdBlockWnd::OnInitDialog()
{
    // The box sits in the pane as a part of it: no sunken edge, so that a page of the box's height fits whole.
    SetHostFlags(DOCHOSTUIFLAG_NO3DBORDER);
    CDHtmlDialog::OnInitDialog();
    if (m_pOwner != nullptr)
        m_strURL = AddressFor(m_pOwner);
    // Sized before the page loads: a local page completes at once, and its height then sizes the weather box.
    const CSize size = IsWeather(m_pOwner) ? kWeatherSize : kBlockSize;
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(SW_SHOW);
    const bool bShow = !m_strURL.IsEmpty() && m_strURL != L"about:blank" && IsSystemNetworkAlive();
    Navigate(bShow ? m_strURL : CString(L"about:blank"));
    return TRUE;
}

void CAdBlockWnd::Navigate(LPCTSTR lpszURL)
{
    m_bProgramNavigation = 1;
    CDHtmlDialog::Navigate(lpszURL);
}

void CAdBlockWnd::OnDocumentComplete(LPDISPATCH pDisp, LPCTSTR szUrl)
{
    CDHtmlDialog::OnDocumentComplete(pDisp, szUrl);
    if (!IsWeather(m_pOwner) || szUrl == nullptr || m_strURL != szUrl)
        return;
    CHtmlPageDocument* pDocument = nullptr;
    CHtmlBodyElement* pBody = nullptr;
    long height = 0;
    if (FAILED(GetDHtmlDocument(&pDocument)) || FAILED(pDocument->get_body(&pBody)) || pBody == nullptr ||
        FAILED(pBody->get_scrollHeight(&height)))
        return;
    height = std::min<long>(height, kMaxWeatherHeight);
    if (height <= 0)
        return;
    SetWindowPos(nullptr, 0, 0, kWeatherSize.cx, static_cast<int>(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (auto* pItem = static_cast<CXTPTaskPanelGroupItem*>(m_pOwner->m_pNavControl))
        pItem->SetSize(kWeatherSize.cx, static_cast<int>(height));
}

void CAdBlockWnd::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                    CByteArray& baPostedData, LPCTSTR lpszHeaders, BOOL* pbCancel)
{
    if (m_bProgramNavigation != 0) {
        CDHtmlDialog::OnBeforeNavigate2(lpszURL, nFlags, lpszTargetFrameName, baPostedData, lpszHeaders, pbCancel);
        return;
    }
    *pbCancel = TRUE;
    // The address goes to the checked opener as the file to open, never into a browser's command line.
    OpenInBrowser(lpszURL != nullptr ? lpszURL : L"");
}

BOOL CAdBlockWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_RBUTTONDBLCLK)
        return TRUE;
    if (pMsg->message == WM_LBUTTONDOWN)
        m_bProgramNavigation = 0;
    return CDHtmlDialog::PreTranslateMessage(pMsg);
}

LRESULT CAdBlockWnd::OnRefreshAd(WPARAM, LPARAM)
{
    if (m_pOwner != nullptr)
        Navigate(m_strURL);
    return 0;
}

void CAdBlockWnd::OnDestroy()
{
    CDHtmlDialog::OnDestroy();
    if (m_pOwner != nullptr && m_pOwner->m_pAttachedWnd == this)
        m_pOwner->m_pAttachedWnd = nullptr;
    m_pOwner = nullptr;
}

// The window owns itself once made; freed after its last message rather than inside WM_DESTROY, whose caller
// still uses the object.
void CAdBlockWnd::PostNcDestroy()
{
    if (m_bOwnsSelf)
        delete this;
}
