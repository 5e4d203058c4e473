#include "views/SearchItemWnd.h"

#include "feeds/FeedItem.h"
#include "framework/win/Dc.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "views/FeedPaneSite.h"

namespace {

const UINT kButtonId = 106;
const UINT kComboId = 107;
const int kMaxText = 260;

} // namespace

IMPLEMENT_DYNAMIC(CSearchItemWnd, CWnd)

BEGIN_MESSAGE_MAP(CSearchItemWnd, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_SIZE()
ON_BN_CLICKED(kButtonId, OnSearchClicked)
ON_CBN_SELENDOK(kComboId, OnHistoryChosen)
END_MESSAGE_MAP()

BOOL CSearchItemEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && m_pOwner != nullptr)
        m_pOwner->RunSearch();
    return CEdit::PreTranslateMessage(pMsg);
}

CSearchItemWnd::CSearchItemWnd(CFeedItem* pEntry, CFeedPaneSite* pSite) : m_pEntry(pEntry), m_pSite(pSite)
{
    if (m_pEntry != nullptr) {
        m_pEntry->m_pAttachedWnd = this;
        m_strButtonText = m_pEntry->m_strButtonText;
    }
}

CSearchItemWnd::~CSearchItemWnd()
{
    if (m_pEntry != nullptr && m_pEntry->m_pAttachedWnd == this)
        m_pEntry->m_pAttachedWnd = nullptr;
}

CSearchItemWnd* CSearchItemWnd::CreateFor(CFeedItem* pEntry, CFeedPaneSite* pSite, CWnd* pParent, UINT nID)
{
    auto* pWnd = new CSearchItemWnd(pEntry, pSite);
    const CString caption = pEntry->m_strTitleText.IsEmpty() ? pEntry->m_strTitle : pEntry->m_strTitleText;
    if (!pWnd->Create(nullptr, caption, WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 50), pParent, nID)) {
        // A window that was never made is not deleted by its destruction.
        if (pWnd->GetSafeHwnd() == nullptr)
            delete pWnd;
        return nullptr;
    }
    return pWnd;
}

BOOL CSearchItemWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CWnd::PreCreateWindow(cs))
        return FALSE;
    if (cs.cx == 0 && cs.cy == 0) {
        cs.cx = 200;
        cs.cy = 50;
    }
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return TRUE;
}

int CSearchItemWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    const int W = lpCreateStruct->cx;
    CFont* pFont = XTPPaintManager()->GetRegularFont();
    if (!m_wndCombo.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                           CRect(12, 20, W - 78, 142), this, kComboId))
        return -1;
    m_wndCombo.SetFont(pFont);
    m_wndCombo.SendMessage(CB_SETDROPPEDWIDTH, 150);
    if (m_strButtonText.IsEmpty())
        m_strButtonText = L"Search";
    if (!m_wndButton.Create(m_strButtonText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            CRect(W - 75, 20, W, 42), this, kButtonId))
        return -1;
    m_wndButton.SetFont(pFont);
    if (CEdit* pEdit = m_wndCombo.GetEditCtrl(); pEdit != nullptr && pEdit->GetSafeHwnd() != nullptr) {
        m_wndEdit.m_pOwner = this;
        m_wndEdit.SubclassWindow(pEdit->GetSafeHwnd());
        m_wndEdit.SetLimitText(kMaxText);
    }
    return 0;
}

void CSearchItemWnd::OnDestroy()
{
    if (m_wndEdit.GetSafeHwnd() != nullptr)
        m_wndEdit.UnsubclassWindow();
    CWnd::OnDestroy();
    if (m_pEntry != nullptr && m_pEntry->m_pAttachedWnd == this)
        m_pEntry->m_pAttachedWnd = nullptr;
    m_pEntry = nullptr;
}

// Deleted once the window is wholly gone: the framework still routes the last messages to this object.
void CSearchItemWnd::PostNcDestroy()
{
    delete this;
}

void CSearchItemWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    dc.FillSolidRect(&dc.m_ps.rcPaint, XTPPaintManager()->GetColor(5));
    CString caption;
    GetWindowText(caption);
    CFont* pOldFont = dc.SelectObject(XTPPaintManager()->GetSmCaptionFont());
    dc.SetBkMode(TRANSPARENT);
    CRect rcText(12, 5, rcClient.Width() - 3, 20);
    dc.DrawText(caption, &rcText, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    dc.SelectObject(pOldFont);
}

void CSearchItemWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_wndCombo.GetSafeHwnd() != nullptr)
        m_wndCombo.SetWindowPos(nullptr, 0, 0, cx - 90, 16, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_wndButton.GetSafeHwnd() != nullptr)
        m_wndButton.SetWindowPos(nullptr, cx - 75, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSearchItemWnd::OnSearchClicked()
{
    RunSearch();
}

void CSearchItemWnd::RunSearch()
{
    WCHAR text[kMaxText + 1] = L"";
    m_wndCombo.GetWindowText(text, kMaxText + 1);
    const CString strText(text);
    if (strText.IsEmpty())
        return;
    Search(strText);
    InsertHistory(strText);
}

void CSearchItemWnd::OnHistoryChosen()
{
    const int nSel = m_wndCombo.GetCurSel();
    if (nSel < 0)
        return;
    const CString strText = GetHistoryItem(nSel);
    if (strText.IsEmpty())
        return;
    Search(strText);
    m_wndCombo.DeleteItem(nSel);
    InsertHistory(strText);
}

void CSearchItemWnd::Search(const CString& strText)
{
    if (m_pSite != nullptr && m_pEntry != nullptr)
        m_pSite->RunSearch(m_pEntry, strText);
}

void CSearchItemWnd::InsertHistory(const CString& strText)
{
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT;
    item.iItem = 0;
    item.pszText = const_cast<LPWSTR>(strText.GetString());
    m_wndCombo.InsertItem(&item);
}

int CSearchItemWnd::GetHistoryCount() const
{
    return m_wndCombo.GetSafeHwnd() != nullptr ? m_wndCombo.GetCount() : 0;
}

CString CSearchItemWnd::GetHistoryItem(int nIndex) const
{
    WCHAR text[kMaxText + 1] = L"";
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT;
    item.iItem = nIndex;
    item.pszText = text;
    item.cchTextMax = kMaxText + 1;
    const_cast<CComboBoxEx&>(m_wndCombo).GetItem(&item);
    return CString(text);
}
