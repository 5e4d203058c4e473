#include "views/FeedPopupBar.h"

#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "framework/win/Gdi.h"
#include "framework/win/Menu.h"
#include "framework/win/WinApp.h"
#include "framework/win/WinThread.h"
#include "res/resource.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/taskpanel/XTPTaskPanelPaintManager.h"
#include "views/FeedPaneSite.h"
#include "views/FeedTaskPanel.h"
#include "views/FeedViewControl.h"

#include <algorithm>

namespace {

const int kScrollButtonHeight = 16;
const int kScrollStep = 20;
const UINT kScrollPeriod = 50;
// A row chosen from the keyboard comes into view with this much room above and below it.
const int kKeyboardMargin = 36;

CRect GetWorkArea()
{
    CRect rcWork;
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0))
        rcWork.SetRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return rcWork;
}

} // namespace

IMPLEMENT_SERIAL(CFeedPopupBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 7)

BEGIN_MESSAGE_MAP(CFeedPopupBar, CXTPCommandBar)
ON_WM_MOUSEMOVE()
ON_WM_MOUSEACTIVATE()
ON_WM_LBUTTONDOWN()
ON_WM_TIMER()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_CONTEXTMENU()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_MESSAGE(WM_XTP_POPUPBAR_START, OnPopupBarStart)
ON_WM_DESTROY()
ON_COMMAND(ID_HEADLINE_OPEN, OnOpen)
ON_COMMAND(ID_HEADLINE_DOWNLOAD_ENCLOSURE, OnDownloadEnclosure)
ON_UPDATE_COMMAND_UI(ID_HEADLINE_DOWNLOAD_ENCLOSURE, OnUpdateDownloadEnclosure)
ON_COMMAND(ID_HEADLINE_MARK_READ, OnMarkRead)
ON_UPDATE_COMMAND_UI(ID_HEADLINE_MARK_READ, OnUpdateMarkRead)
ON_COMMAND(ID_HEADLINE_MARK_UNREAD, OnMarkUnread)
ON_UPDATE_COMMAND_UI(ID_HEADLINE_MARK_UNREAD, OnUpdateMarkUnread)
ON_COMMAND(ID_HEADLINE_MARK_ALL_READ, OnMarkAllRead)
END_MESSAGE_MAP()

CFeedPopupBar::CFeedPopupBar()
    : m_pChannelEntry(nullptr), m_pContextRow(nullptr), m_hContextPopup(nullptr), m_bContextMenu(FALSE),
      m_nScrollOffset(0), m_nRowsHeight(0),
      m_bScrolling(FALSE), m_btnDown{FEED_POPUP_TIMER_DOWN, CRect(), 0, FALSE}, m_btnUp{FEED_POPUP_TIMER_UP, CRect(), 0,
                                                                                        FALSE},
      m_bTearOffPopup(FALSE), m_nTearOffID(0), m_nTearOffWidth(0), m_ptPopup(0, 0), m_rcExclude(0, 0, 0, 0),
      m_dwPopupFlags(0), m_pSite(nullptr), m_bDestroying(FALSE)
{
    m_barType = xtpBarTypePopup;
    m_barPosition = xtpBarPopup;
}

CFeedPopupBar::~CFeedPopupBar() = default;

CFeedPopupBar* CFeedPopupBar::CreateFeedPopupBar(CXTPCommandBars* pCommandBars)
{
    auto* pBar = new CFeedPopupBar;
    pBar->SetCommandBars(pCommandBars);
    return pBar;
}

BOOL CFeedPopupBar::ShowsRecord(const CFeedItem* pRecord) const
{
    if (pRecord == nullptr)
        return FALSE;
    if (pRecord == m_pChannelEntry)
        return TRUE;
    for (int i = 0; i < GetControlCount(); ++i) {
        auto* pRow = DYNAMIC_DOWNCAST(CFeedViewControl, GetControl(i));
        if (pRow != nullptr && pRow->GetItem() == pRecord)
            return TRUE;
    }
    return FALSE;
}

CFeedViewControl* CFeedPopupBar::RowFromPoint(CPoint point) const
{
    point.y += m_nScrollOffset;
    return DYNAMIC_DOWNCAST(CFeedViewControl, HitTestControl(point));
}

// ---- Archive

void CFeedPopupBar::Serialize(CArchive& ar)
{
    CXTPCommandBar::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_bTearOffPopup) << m_strTearOffCaption << static_cast<DWORD>(m_nTearOffID)
           << static_cast<DWORD>(m_nTearOffWidth);
        ar << m_rcExclude << m_dwPopupFlags;
        return;
    }
    DWORD dwTearOff = 0, dwID = 0, dwWidth = 0;
    ar >> dwTearOff >> m_strTearOffCaption >> dwID >> dwWidth;
    m_bTearOffPopup = static_cast<BOOL>(dwTearOff);
    m_nTearOffID = dwID;
    m_nTearOffWidth = static_cast<int>(dwWidth);
    if (m_nLoadedSchema >= 7)
        ar >> m_rcExclude >> m_dwPopupFlags;
}

void CFeedPopupBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPCommandBar::Copy(pCommandBar, bRecursive);
    if (auto* pOther = DYNAMIC_DOWNCAST(CFeedPopupBar, pCommandBar)) {
        m_bTearOffPopup = pOther->m_bTearOffPopup;
        m_strTearOffCaption = pOther->m_strTearOffCaption;
        m_nTearOffID = pOther->m_nTearOffID;
        m_nTearOffWidth = pOther->m_nTearOffWidth;
    }
}

CXTPCommandBar* CFeedPopupBar::Clone(BOOL bRecursive)
{
    CFeedPopupBar* pClone = CreateFeedPopupBar(GetCommandBars());
    pClone->Copy(this, bRecursive);
    return pClone;
}

// ---- Tracking

BOOL CFeedPopupBar::IsContextPopupOpen() const
{
    return m_hContextPopup != nullptr && ::IsWindow(m_hContextPopup);
}

void CFeedPopupBar::CloseContextPopup()
{
    if (IsContextPopupOpen()) {
        if (auto* pBar = DYNAMIC_DOWNCAST(CXTPCommandBar, CWnd::FromHandlePermanent(m_hContextPopup)))
            pBar->SetTrackingMode(FALSE);
        else
            ::DestroyWindow(m_hContextPopup);
    }
    m_hContextPopup = nullptr;
    m_bContextMenu = FALSE;
}

BOOL CFeedPopupBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    // Working in the context menu must not close the headline list underneath it.
    if (!bMode && (IsContextPopupOpen() || (m_bContextMenu && m_hContextPopup == nullptr)))
        return FALSE;
    const BOOL bChanged = CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
    if (!bMode && bChanged) {
        CWnd* pOwner = GetOwnerSite();
        if (pOwner != nullptr && pOwner->GetSafeHwnd() != nullptr)
            pOwner->UpdateWindow();
        if (m_hWnd != nullptr && !m_bDestroying)
            DestroyWindow();
    }
    return bChanged;
}

BOOL CFeedPopupBar::SetSelected(int nSelected, BOOL bKeyboard)
{
    const BOOL bChanged = CXTPCommandBar::SetSelected(nSelected, bKeyboard);
    CXTPControl* pControl = GetControl(m_nSelected);
    if (bChanged && bKeyboard && m_bScrolling && pControl != nullptr && m_hWnd != nullptr) {
        CRect rcClient;
        GetClientRect(&rcClient);
        const CRect rcBorders = GetPaintManager() != nullptr ? GetPaintManager()->GetBorders(this) : CRect();
        const int nBandTop = rcBorders.top + kScrollButtonHeight;
        const int nBandBottom = rcClient.bottom - rcBorders.bottom - kScrollButtonHeight;
        const CRect rc = pControl->GetRect();
        int nOffset = m_nScrollOffset;
        if (rc.top - nOffset < nBandTop + kKeyboardMargin)
            nOffset = rc.top - nBandTop - kKeyboardMargin;
        else if (rc.bottom - nOffset > nBandBottom - kKeyboardMargin)
            nOffset = rc.bottom - nBandBottom + kKeyboardMargin;
        ScrollBy(nOffset - m_nScrollOffset);
    }
    return bChanged;
}

int CFeedPopupBar::ProcessKeyDown(UINT nChar, LPARAM lParam)
{
    return CXTPCommandBar::ProcessKeyDown(nChar, lParam);
}

// ---- Layout and placement

void CFeedPopupBar::OnControlsChanged()
{
    CXTPCommandBar::OnControlsChanged();
    m_pContextRow = nullptr;
}

CSize CFeedPopupBar::CalcDynamicLayout(int, DWORD)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    const CRect rcBorders = pPaintManager != nullptr ? pPaintManager->GetBorders(this) : CRect(2, 2, 2, 2);
    const CRect rcWork = GetWorkArea();
    const int nMaxWidth = rcWork.right / 2;

    CWindowDC dc(nullptr);
    CFont* pFont = pPaintManager != nullptr ? pPaintManager->GetControlFont(this, FALSE) : nullptr;
    CXTPScopedSelect selectFont(dc.GetSafeHdc(), pFont != nullptr ? pFont->GetSafeHandle() : nullptr);

    std::vector<CSize> sizes;
    int nWidest = 0;
    m_nRowsHeight = 0;
    for (int i = 0; i < GetControlCount(); ++i) {
        CSize size = GetControl(i)->GetSize(&dc);
        size.cx = std::min<int>(size.cx, nMaxWidth);
        nWidest = std::max<int>(nWidest, size.cx);
        m_nRowsHeight += size.cy;
        sizes.push_back(size);
    }
    m_bScrolling = m_nRowsHeight > rcWork.Height();
    int y = rcBorders.top + (m_bScrolling ? kScrollButtonHeight : 0);
    for (int i = 0; i < GetControlCount(); ++i) {
        GetControl(i)->SetRect(CRect(rcBorders.left, y, rcBorders.left + nWidest, y + sizes[i].cy));
        y += sizes[i].cy;
    }
    const int nHeight = (GetControlCount() > 0 ? m_nRowsHeight : 22) + (m_bScrolling ? kScrollButtonHeight : 0);
    return CSize(rcBorders.left + std::max(nWidest, 22) + rcBorders.right, rcBorders.top + nHeight + rcBorders.bottom);
}

int CFeedPopupBar::GetVisibleBand() const
{
    if (m_hWnd == nullptr)
        return 0;
    CRect rcClient;
    GetClientRect(&rcClient);
    const CRect rcBorders = GetPaintManager() != nullptr
                                ? GetPaintManager()->GetBorders(const_cast<CFeedPopupBar*>(this))
                                : CRect(2, 2, 2, 2);
    return rcClient.Height() - rcBorders.top - rcBorders.bottom - 2 * kScrollButtonHeight;
}

void CFeedPopupBar::LayoutScrollButtons()
{
    m_btnUp.rc.SetRectEmpty();
    m_btnDown.rc.SetRectEmpty();
    if (!m_bScrolling || m_hWnd == nullptr)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    const CRect rcBorders = GetPaintManager() != nullptr ? GetPaintManager()->GetBorders(this) : CRect(2, 2, 2, 2);
    m_btnUp.rc.SetRect(rcBorders.left, rcBorders.top, rcClient.right - rcBorders.right,
                       rcBorders.top + kScrollButtonHeight);
    m_btnDown.rc.SetRect(rcBorders.left, rcClient.bottom - rcBorders.bottom - kScrollButtonHeight,
                         rcClient.right - rcBorders.right, rcClient.bottom - rcBorders.bottom);
    m_btnUp.bCanScroll = m_nScrollOffset > 0;
    m_btnDown.bCanScroll = m_nScrollOffset < m_nRowsHeight - GetVisibleBand();
}

void CFeedPopupBar::ScrollBy(int nDelta)
{
    if (!m_bScrolling || nDelta == 0)
        return;
    const int nLimit = std::max(0, m_nRowsHeight - GetVisibleBand());
    m_nScrollOffset += nDelta;
    if (m_nScrollOffset >= nLimit) {
        m_nScrollOffset = nLimit;
        KillScrollTimer(m_btnDown);
    }
    if (m_nScrollOffset <= 0) {
        m_nScrollOffset = 0;
        KillScrollTimer(m_btnUp);
    }
    LayoutScrollButtons();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void CFeedPopupBar::KillScrollTimer(ScrollButton& button)
{
    if (button.nTimer != 0 && m_hWnd != nullptr)
        KillTimer(button.nTimerID);
    button.nTimer = 0;
}

BOOL CFeedPopupBar::Popup(int x, int y, LPCRECT rcExclude)
{
    m_ptPopup = CPoint(x, y);
    m_rcExclude = rcExclude != nullptr ? CRect(*rcExclude) : CRect(0, 0, 0, 0);
    CWnd* pOwner = GetOwnerSite();
    if (m_hWnd == nullptr) {
        LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
        DWORD dwExStyle = WS_EX_TOOLWINDOW;
        if (pOwner != nullptr && pOwner->GetSafeHwnd() != nullptr && (pOwner->GetExStyle() & WS_EX_LAYOUTRTL))
            dwExStyle |= WS_EX_LAYOUTRTL;
        if (!CreateEx(dwExStyle, lpszClass, L"", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                      ::GetDesktopWindow(), nullptr))
            return FALSE;
    }
    if (pOwner != nullptr && pOwner->GetSafeHwnd() != nullptr)
        pOwner->SendMessage(WM_XTP_POPUPBAR_START, 0, reinterpret_cast<LPARAM>(this));
    m_nScrollOffset = 0;
    KillScrollTimer(m_btnUp);
    KillScrollTimer(m_btnDown);

    CSize size = CalcDynamicLayout(0, LM_POPUP);
    const CRect rcWork = GetWorkArea();
    if (x + size.cx > rcWork.right)
        x = !m_rcExclude.IsRectEmpty() ? m_rcExclude.left - size.cx : rcWork.right - size.cx;
    x = std::max<int>(x, rcWork.left);
    if (size.cy > rcWork.Height()) {
        size.cy = rcWork.Height();
        m_bScrolling = TRUE;
    }
    if (y + size.cy > rcWork.bottom)
        y = rcWork.bottom - size.cy;
    y = std::max<int>(y, rcWork.top);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    LayoutScrollButtons();
    SetTrackingMode(TRUE, FALSE, FALSE);
    UpdateWindow();
    return TRUE;
}

// ---- Drawing

void CFeedPopupBar::DrawCommandBar(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager == nullptr)
        return;
    pPaintManager->FillCommandBar(pDC, this);
    CRect rcClient;
    GetClientRect(&rcClient);
    const int nSaved = pDC->SaveDC();
    if (m_bScrolling) {
        CRect rcBand(2, 18, rcClient.right - 2, rcClient.bottom - 18);
        pDC->IntersectClipRect(&rcBand);
        pDC->SetViewportOrg(0, -m_nScrollOffset);
    }
    CFont* pFont = pPaintManager->GetControlFont(this, FALSE);
    CXTPScopedSelect selectFont(pDC->GetSafeHdc(), pFont != nullptr ? pFont->GetSafeHandle() : nullptr);
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->IsVisible())
            pControl->Draw(pDC);
    }
    pDC->RestoreDC(nSaved);
    if (!m_bScrolling)
        return;
    for (const ScrollButton* pButton : {&m_btnUp, &m_btnDown}) {
        const COLORREF clr = ::GetSysColor(pButton->bCanScroll ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
        const CPoint ptCentre = pButton->rc.CenterPoint();
        if (pButton == &m_btnUp)
            CXTPTaskPanelPaintManager::DrawTriangle(pDC, CPoint(ptCentre.x - 3, ptCentre.y + 1),
                                                    CPoint(ptCentre.x + 3, ptCentre.y + 1),
                                                    CPoint(ptCentre.x, ptCentre.y - 2), clr);
        else
            CXTPTaskPanelPaintManager::DrawTriangle(pDC, CPoint(ptCentre.x - 3, ptCentre.y - 1),
                                                    CPoint(ptCentre.x + 3, ptCentre.y - 1),
                                                    CPoint(ptCentre.x, ptCentre.y + 2), clr);
    }
}

// ---- Mouse

int CFeedPopupBar::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATE;
}

void CFeedPopupBar::OnMouseMove(UINT, CPoint point)
{
    if (IsContextPopupOpen() || m_hWnd == nullptr)
        return;
    if (m_bScrolling) {
        BOOL bInButton = FALSE;
        for (ScrollButton* pButton : {&m_btnUp, &m_btnDown}) {
            if (pButton->rc.PtInRect(point)) {
                bInButton = TRUE;
                if (pButton->nTimer == 0)
                    pButton->nTimer = SetTimer(pButton->nTimerID, kScrollPeriod, nullptr);
            } else {
                KillScrollTimer(*pButton);
            }
        }
        if (bInButton) {
            SetSelected(-1);
            return;
        }
    }
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (pMouseManager->IsMouseLocked())
        return;
    CPoint ptRows = point;
    ptRows.y += m_nScrollOffset;
    int nSelected = -1;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->IsVisible() && pControl->GetRect().PtInRect(ptRows)) {
            nSelected = i;
            pMouseManager->TrackMouseLeave(m_hWnd);
            pControl->OnMouseMove(ptRows);
        }
    }
    SetSelected(nSelected, FALSE);
}

void CFeedPopupBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (IsContextPopupOpen()) {
        CloseContextPopup();
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    CFeedViewControl* pRow = RowFromPoint(point);
    if (pRow == nullptr || IsCustomizeMode()) {
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    // Running the row closes the bar; the pane still holds it, the row must live to the end of its click.
    pRow->InternalAddRef();
    pRow->OnClick(FALSE, CPoint(point.x, point.y + m_nScrollOffset));
    pRow->InternalRelease();
    RecountAndRedraw();
}

void CFeedPopupBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (IsContextPopupOpen())
        return;
    CFeedViewControl* pRow = RowFromPoint(point);
    if (pRow == nullptr) {
        CWnd::OnLButtonUp(nFlags, point);
        return;
    }
    pRow->InternalAddRef();
    pRow->OnLButtonUp(CPoint(point.x, point.y + m_nScrollOffset));
    pRow->InternalRelease();
}

void CFeedPopupBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (IsContextPopupOpen())
        return;
    CFeedViewControl* pRow = RowFromPoint(point);
    if (pRow == nullptr) {
        CWnd::OnLButtonDblClk(nFlags, point);
        return;
    }
    pRow->InternalAddRef();
    pRow->OnLButtonDblClk(CPoint(point.x, point.y + m_nScrollOffset));
    pRow->InternalRelease();
}

void CFeedPopupBar::OnRButtonDown(UINT, CPoint)
{
    if (IsContextPopupOpen())
        CloseContextPopup();
    Default();
}

void CFeedPopupBar::OnRButtonUp(UINT, CPoint)
{
    // The default handling turns the release into WM_CONTEXTMENU.
    Default();
}

void CFeedPopupBar::OnContextMenu(CWnd*, CPoint point)
{
    CPoint ptClient = point;
    ScreenToClient(&ptClient);
    CFeedViewControl* pRow = RowFromPoint(ptClient);
    if (pRow == nullptr)
        return;
    m_pContextRow = pRow;
    m_bContextMenu = TRUE;
    m_hContextPopup = nullptr;
    TrackFeedContextMenu(IDR_CONTEXT_HEADLINE, point, this, GetCommandBars());
    // A menu that tracks modally has ended here; one that tracks on its own announced its bar meanwhile.
    if (!IsContextPopupOpen()) {
        m_hContextPopup = nullptr;
        m_bContextMenu = FALSE;
    }
}

LRESULT CFeedPopupBar::OnPopupBarStart(WPARAM, LPARAM lParam)
{
    auto* pBar = reinterpret_cast<CWnd*>(lParam);
    m_hContextPopup = pBar != nullptr ? pBar->GetSafeHwnd() : nullptr;
    return 0;
}

void CFeedPopupBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == FEED_POPUP_TIMER_DOWN)
        ScrollBy(kScrollStep);
    else if (nIDEvent == FEED_POPUP_TIMER_UP)
        ScrollBy(-kScrollStep);
    CXTPCommandBar::OnTimer(nIDEvent);
}

void CFeedPopupBar::OnDestroy()
{
    KillScrollTimer(m_btnUp);
    KillScrollTimer(m_btnDown);
    m_bDestroying = TRUE;
    CXTPCommandBar::OnDestroy();
    m_bDestroying = FALSE;
    if (m_pChannelEntry != nullptr && m_pChannelEntry->m_pChannel != nullptr) {
        const CString strPath = m_pChannelEntry->GetCacheFileName();
        if (!strPath.IsEmpty())
            m_pChannelEntry->m_pChannel->SaveCache(strPath, FALSE);
        m_pChannelEntry->CountNews();
    }
}

// ---- Commands of the context menu

void CFeedPopupBar::RecountAndRedraw()
{
    if (m_pChannelEntry != nullptr)
        m_pChannelEntry->CountNews();
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr && pMainWnd->GetSafeHwnd() != nullptr)
        pMainWnd->RedrawWindow(nullptr, static_cast<CRgn*>(nullptr), RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CFeedPopupBar::OnOpen()
{
    CFeedViewControl* pRow = m_pContextRow;
    if (pRow == nullptr)
        return;
    pRow->InternalAddRef();
    CloseContextPopup();
    pRow->OnExecute();
    RecountAndRedraw();
    pRow->InternalRelease();
    SetTrackingMode(FALSE);
}

void CFeedPopupBar::OnDownloadEnclosure()
{
    CFeedItem* pItem = m_pContextRow != nullptr ? m_pContextRow->GetItem() : nullptr;
    CloseContextPopup();
    SetTrackingMode(FALSE);
    if (pItem != nullptr && m_pSite != nullptr)
        m_pSite->SaveEnclosure(pItem);
}

void CFeedPopupBar::OnUpdateDownloadEnclosure(CCmdUI* pCmdUI)
{
    CFeedItem* pItem = m_pContextRow != nullptr ? m_pContextRow->GetItem() : nullptr;
    pCmdUI->Enable(pItem != nullptr && !pItem->m_strEnclosureUrl.IsEmpty());
}

void CFeedPopupBar::OnMarkRead()
{
    if (CFeedItem* pItem = m_pContextRow != nullptr ? m_pContextRow->GetItem() : nullptr)
        pItem->m_nReadState = (pItem->m_nReadState & ~1) | 2;
    RecountAndRedraw();
    CloseContextPopup();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void CFeedPopupBar::OnUpdateMarkRead(CCmdUI* pCmdUI)
{
    CFeedItem* pItem = m_pContextRow != nullptr ? m_pContextRow->GetItem() : nullptr;
    pCmdUI->Enable(pItem != nullptr && pItem->m_nReadState != FEED_STATE_READ);
}

void CFeedPopupBar::OnMarkUnread()
{
    if (CFeedItem* pItem = m_pContextRow != nullptr ? m_pContextRow->GetItem() : nullptr)
        pItem->m_nReadState = (pItem->m_nReadState & ~2) | 1;
    RecountAndRedraw();
    CloseContextPopup();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void CFeedPopupBar::OnUpdateMarkUnread(CCmdUI* pCmdUI)
{
    CFeedItem* pItem = m_pContextRow != nullptr ? m_pContextRow->GetItem() : nullptr;
    pCmdUI->Enable(pItem != nullptr && (pItem->m_nReadState & 2) != 0);
}

void CFeedPopupBar::OnMarkAllRead()
{
    for (int i = 0; i < GetControlCount(); ++i) {
        auto* pRow = DYNAMIC_DOWNCAST(CFeedViewControl, GetControl(i));
        if (pRow != nullptr && pRow->GetItem() != nullptr)
            pRow->GetItem()->m_nReadState = (pRow->GetItem()->m_nReadState & ~1) | 2;
    }
    RecountAndRedraw();
    CloseContextPopup();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}
