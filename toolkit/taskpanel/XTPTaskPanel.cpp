#include "toolkit/taskpanel/XTPTaskPanel.h"

#include "framework/core/Exceptions.h"
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "framework/win/WinThread.h"
#include "toolkit/base/BaseResource.h"
#include "toolkit/base/XTHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/taskpanel/XTPTaskPanelThemes.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <utility>

IMPLEMENT_DYNAMIC(CXTPTaskPanel, CWnd)
IMPLEMENT_DYNAMIC(CXTPTaskPanelEditItem, CEdit)

namespace {

const int kLineStep = 6;
const int kWheelStep = 10;
const int kDragThreshold = 4;

// Whether a menu or popup of the toolkit is open on this thread: the panel then leaves the mouse alone.
BOOL IsCommandBarTracking()
{
    return XTPMouseManager()->IsTracking();
}

} // namespace

// Hands the OLE drag events to the panel; entering counts as a move over it.
class CXTPTaskPanelDropTarget : public COleDropTarget
{
public:
    explicit CXTPTaskPanelDropTarget(CXTPTaskPanel* pPanel) : m_pPanel(pPanel) {}

    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override
    {
        return m_pPanel->OnDragOver(pDataObject, dwKeyState, point);
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override
    {
        return m_pPanel->OnDragOver(pDataObject, dwKeyState, point);
    }
    void OnDragLeave(CWnd*) override { m_pPanel->OnDragOver(nullptr, 0, CPoint(-1, -1)); }
    BOOL OnDrop(CWnd*, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override
    {
        return m_pPanel->OnDrop(pDataObject, dropEffect, point);
    }

private:
    CXTPTaskPanel* m_pPanel;
};

// ---- Scroll button

CXTPTaskPanelScrollButton::CXTPTaskPanelScrollButton(CXTPTaskPanel* pPanel, BOOL bUp)
    : m_bUp(bUp), m_bCanScroll(FALSE), m_bPressed(FALSE), m_rc(0, 0, 0, 0), m_bHot(FALSE), m_pScrolledGroup(nullptr),
      m_pCaptionGroup(nullptr), m_pPanel(pPanel)
{
}

BOOL CXTPTaskPanelScrollButton::IsVisible() const
{
    if (m_rc.IsRectEmpty() || !m_pScrolledGroup)
        return FALSE;
    const CXTPTaskPanelPaintManager* pPaintManager = m_pPanel->GetPaintManager();
    return m_bCanScroll || (pPaintManager && pPaintManager->IsScrollButtonsInCaptions());
}

// ---- Layout DC

CXTPTaskPanelLayoutDC::CXTPTaskPanelLayoutDC(CXTPTaskPanel* pPanel) : m_pDC(nullptr), m_hWnd(nullptr), m_bOwn(FALSE)
{
    if (pPanel && pPanel->m_pLayoutDC) {
        m_pDC = pPanel->m_pLayoutDC;
        return;
    }
    m_hWnd = pPanel ? pPanel->GetSafeHwnd() : nullptr;
    m_dcOwn.Attach(::GetDC(m_hWnd));
    m_pDC = &m_dcOwn;
    m_bOwn = TRUE;
}

CXTPTaskPanelLayoutDC::~CXTPTaskPanelLayoutDC()
{
    if (m_bOwn)
        ::ReleaseDC(m_hWnd, m_dcOwn.Detach());
}

// ---- Construction

CXTPTaskPanel::CXTPTaskPanel()
    : m_pGroups(nullptr), m_pPaintManager(nullptr), m_nTheme(TaskPanelThemeExplorer), m_nLockRedraw(0),
      m_nContentHeight(0),
      m_rcMargins(TaskPanelDefaultMetric, TaskPanelDefaultMetric, TaskPanelDefaultMetric, TaskPanelDefaultMetric),
      m_nGroupSpacing(TaskPanelDefaultMetric), m_bScrollBarShown(FALSE), m_pHotItem(nullptr), m_pFocusedItem(nullptr),
      m_pPressedItem(nullptr), m_pDraggedItem(nullptr), m_pDropTargetItem(nullptr), m_bAnimation(TRUE),
      m_nAnimationMode(TaskPanelAnimationAsSet), m_hHandCursor(nullptr), m_nAnimationTimer(0), m_nAnimationStepsLeft(0),
      m_pImageManager(nullptr), m_bExpandingAllowed(TRUE), m_bFocusCuesAllowed(TRUE), m_bFocusCuesShown(FALSE),
      m_szItemIcon(16, 16), m_szGroupIcon(32, 32), m_bSelectOnFocus(FALSE), m_ptPressed(0, 0), m_bAllowDrag(FALSE),
      m_bAllowDrop(TRUE), m_nItemLayout(TaskPanelLayoutDefault), m_nHotTrackStyle(TaskPanelHotTrackDefault),
      m_nBehaviour(TaskPanelBehaviourEachGroup), m_pActiveGroup(nullptr), m_pDropTarget(nullptr),
      m_bHoverExpandArmed(FALSE), m_pScrollDown(nullptr), m_pScrollUp(nullptr), m_pLayoutDC(nullptr),
      m_pEditItem(nullptr), m_bOleInitialized(FALSE)
{
    m_pGroups = new CXTPTaskPanelItems(this, this);
    m_pPaintManager = new CXTPTaskPanelExplorerTheme();
    m_hHandCursor = ::LoadCursorW(nullptr, IDC_HAND);
    if (!m_hHandCursor)
        m_hHandCursor = ::LoadCursorW(GetToolkitGlobals()->GetResourceModule(), MAKEINTRESOURCEW(XTP_IDC_HAND));
    m_pImageManager = new CXTPImageManager();
    m_bOleInitialized = SUCCEEDED(::OleInitialize(nullptr));
    m_pDropTarget = new CXTPTaskPanelDropTarget(this);
    CXTPTaskPanelItem::GetClipboardFormat();
    m_pScrollDown = new CXTPTaskPanelScrollButton(this, FALSE);
    m_pScrollUp = new CXTPTaskPanelScrollButton(this, TRUE);
}

CXTPTaskPanel::~CXTPTaskPanel()
{
    // Destroyed here, while the object is still whole, so that its own WM_DESTROY handling runs.
    if (GetSafeHwnd())
        DestroyWindow();
    for (CXTPTaskPanelItem** ppItem : {&m_pHotItem, &m_pFocusedItem}) {
        if (CXTPTaskPanelItem* pItem = std::exchange(*ppItem, nullptr))
            pItem->ExternalRelease();
    }
    if (CXTPTaskPanelGroup* pGroup = std::exchange(m_pActiveGroup, nullptr))
        pGroup->ExternalRelease();
    m_pPressedItem = m_pDraggedItem = m_pDropTargetItem = nullptr;
    m_pGroups->Clear(FALSE);
    m_pGroups->InternalRelease();
    if (m_pImageManager)
        m_pImageManager->InternalRelease();
    delete m_pPaintManager;
    delete m_pDropTarget;
    delete m_pScrollDown;
    delete m_pScrollUp;
    if (m_bOleInitialized)
        ::OleUninitialize();
}

BOOL CXTPTaskPanel::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!CWnd::Create(lpszClass, nullptr, dwStyle, rect, pParentWnd, nID))
        return FALSE;
    // Without the registration the panel simply takes no drops.
    m_pDropTarget->Register(this);
    EnableToolTips(TRUE);
    Reposition(FALSE);
    return TRUE;
}

BEGIN_MESSAGE_MAP(CXTPTaskPanel, CWnd)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
ON_WM_SIZE()
ON_WM_VSCROLL()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_DESTROY()
ON_WM_TIMER()
ON_WM_SYSCOLORCHANGE()
ON_WM_SETTINGCHANGE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_SYSKEYDOWN()
ON_WM_SYSKEYUP()
ON_WM_MOUSEWHEEL()
ON_WM_GETDLGCODE()
ON_WM_CAPTURECHANGED()
ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

// ---- Groups

CXTPTaskPanelGroup* CXTPTaskPanel::AddGroup(UINT_PTR nID, int nIconIndex)
{
    auto* pGroup = new CXTPTaskPanelGroup(this);
    pGroup->m_nIconIndex = nIconIndex;
    m_pGroups->Add(pGroup, nID);
    return pGroup;
}

CXTPTaskPanelGroup* CXTPTaskPanel::GetAt(int nIndex) const
{
    return static_cast<CXTPTaskPanelGroup*>(m_pGroups->GetAt(nIndex));
}

int CXTPTaskPanel::GetGroupCount() const
{
    return m_pGroups->GetCount();
}

CXTPTaskPanelGroup* CXTPTaskPanel::FindGroup(UINT_PTR nID) const
{
    for (int i = 0; i < GetGroupCount(); ++i)
        if (GetAt(i)->GetID() == nID)
            return GetAt(i);
    return nullptr;
}

CXTPTaskPanelGroup* CXTPTaskPanel::FindGroupByCaption(LPCTSTR lpszCaption) const
{
    for (int i = 0; i < GetGroupCount(); ++i)
        if (GetAt(i)->GetCaption() == lpszCaption)
            return GetAt(i);
    return nullptr;
}

void CXTPTaskPanel::RemoveAllGroups()
{
    m_pGroups->Clear(TRUE);
}

// ---- Look and switches

void CXTPTaskPanel::SetCustomTheme(CXTPTaskPanelPaintManager* pPaintManager)
{
    if (!pPaintManager || pPaintManager == m_pPaintManager)
        return;
    delete m_pPaintManager;
    m_pPaintManager = pPaintManager;
    m_nTheme = TaskPanelThemeCustom;
    Reposition(FALSE);
}

void CXTPTaskPanel::SetBehaviour(int nBehaviour)
{
    m_nBehaviour = nBehaviour;
    Reposition(FALSE);
}

void CXTPTaskPanel::SetHotTrackStyle(int nStyle)
{
    m_nHotTrackStyle = nStyle;
    Reposition(FALSE);
}

int CXTPTaskPanel::GetHotTrackStyle() const
{
    if (m_nHotTrackStyle != TaskPanelHotTrackDefault)
        return m_nHotTrackStyle;
    static const int byBehaviour[] = {TaskPanelHotTrackUnderline, TaskPanelHotTrackIconFrame,
                                      TaskPanelHotTrackItemFrame};
    return byBehaviour[std::clamp(m_nBehaviour, 0, 2)];
}

void CXTPTaskPanel::SetItemLayout(int nLayout)
{
    m_nItemLayout = nLayout;
    Reposition(FALSE);
}

int CXTPTaskPanel::GetItemLayout() const
{
    if (m_nItemLayout != TaskPanelLayoutDefault)
        return m_nItemLayout;
    static const int byBehaviour[] = {TaskPanelLayoutIconLeft, TaskPanelLayoutIconAbove, TaskPanelLayoutIconLeft};
    return byBehaviour[std::clamp(m_nBehaviour, 0, 2)];
}

void CXTPTaskPanel::SetMargins(int nLeft, int nTop, int nRight, int nBottom)
{
    m_rcMargins.SetRect(nLeft, nTop, nRight, nBottom);
    Reposition(FALSE);
}

CRect CXTPTaskPanel::GetPanelMargins() const
{
    return m_pPaintManager->GetPanelMargins(this);
}

void CXTPTaskPanel::SetGroupSpacing(int nSpacing)
{
    m_nGroupSpacing = nSpacing;
    Reposition(FALSE);
}

int CXTPTaskPanel::GetGroupSpacing() const
{
    return m_pPaintManager->GetGroupSpacing(this);
}

void CXTPTaskPanel::SetIconSize(CSize szItemIcon, CSize szGroupIcon)
{
    m_szItemIcon = szItemIcon;
    m_szGroupIcon = szGroupIcon;
    Reposition(FALSE);
}

void CXTPTaskPanel::SetImageManager(CXTPImageManager* pImageManager)
{
    if (pImageManager == m_pImageManager)
        return;
    if (pImageManager)
        pImageManager->InternalAddRef();
    if (m_pImageManager)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
    if (GetSafeHwnd() && !IsLockRedraw())
        Invalidate(FALSE);
}

CXTPImageManager* CXTPTaskPanel::GetImageManager() const
{
    return m_pImageManager ? m_pImageManager : XTPImageManager();
}

void CXTPTaskPanel::SetAnimationMode(int nMode)
{
    m_nAnimationMode = nMode;
    RefreshAnimationSetting();
}

void CXTPTaskPanel::RefreshAnimationSetting()
{
    if (m_nAnimationMode != TaskPanelAnimationSystem)
        return;
    BOOL bMenuAnimation = FALSE;
    ::SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &bMenuAnimation, 0);
    m_bAnimation = bMenuAnimation;
}

void CXTPTaskPanel::AllowExpanding(BOOL bAllow)
{
    m_bExpandingAllowed = bAllow;
    if (GetSafeHwnd() && !IsLockRedraw())
        Invalidate(FALSE);
}

// ---- Layout

void CXTPTaskPanel::SetLockRedraw(BOOL bLock)
{
    m_nLockRedraw = bLock;
    if (!bLock)
        Reposition(TRUE);
}

void CXTPTaskPanel::Reposition(BOOL bAnimate)
{
    if (!GetSafeHwnd() || m_nLockRedraw)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    const CRect rcMargins = GetPanelMargins();
    const int nSpacing = GetGroupSpacing();

    CDC dcLayout;
    dcLayout.Attach(::GetDC(m_hWnd));
    m_pLayoutDC = &dcLayout;
    const int nCount = m_pGroups->GetCount();
    if (m_nBehaviour != TaskPanelBehaviourEachGroup) {
        // The open group's height needs every caption's height, including the groups laid out after it.
        for (int i = 0; i < nCount; ++i) {
            CXTPTaskPanelGroup* pGroup = GetAt(i);
            const CRect rcOuter = m_pPaintManager->GetGroupOuterMargins(pGroup);
            pGroup->m_rcTarget.left = rcClient.left + rcMargins.left + rcOuter.left;
            pGroup->m_rcTarget.right = rcClient.right - rcMargins.right - rcOuter.right;
            pGroup->m_nCaptionHeight = m_pPaintManager->DrawGroupCaption(&dcLayout, pGroup, FALSE);
        }
    }
    int y = rcMargins.top;
    for (int i = 0; i < nCount; ++i) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        const CRect rcTarget =
            pGroup->CalcLayout(CRect(rcClient.left + rcMargins.left, y, rcClient.right - rcMargins.right, y), bAnimate);
        y = rcTarget.bottom + m_pPaintManager->GetGroupOuterMargins(pGroup).bottom + (i < nCount - 1 ? nSpacing : 0);
    }
    m_pLayoutDC = nullptr;
    ::ReleaseDC(m_hWnd, dcLayout.Detach());

    m_nContentHeight = y + rcMargins.bottom;
    RepositionScrollButtons();

    m_nAnimationStepsLeft = 10;
    BOOL bMoving = FALSE;
    for (int i = 0; i < nCount && !bMoving; ++i)
        bMoving = !IsSameRect(GetAt(i)->m_rcCurrent, GetAt(i)->m_rcTarget);
    if (bMoving && !m_nAnimationTimer)
        m_nAnimationTimer = SetTimer(TaskPanelTimerAnimation, 30);
    else if (!bMoving && m_nAnimationTimer) {
        KillTimer(TaskPanelTimerAnimation);
        m_nAnimationTimer = 0;
    }

    const BOOL bShow = rcClient.Height() < m_nContentHeight;
    if (bShow != m_bScrollBarShown) {
        m_bScrollBarShown = bShow;
        ShowScrollBar(SB_VERT, bShow);
        CRect rcNew;
        GetClientRect(&rcNew);
        // The bar took or gave back width: the groups are laid out again in what is left.
        if (rcNew.Width() != rcClient.Width()) {
            Reposition(bAnimate);
            return;
        }
    }
    if (m_bScrollBarShown) {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_PAGE | SIF_RANGE;
        GetScrollInfo(SB_VERT, &si, SIF_PAGE | SIF_RANGE);
        if (si.nMin != 0 || si.nMax != m_nContentHeight - 1 || si.nPage != static_cast<UINT>(rcClient.Height())) {
            si.nMin = 0;
            si.nMax = m_nContentHeight - 1;
            si.nPage = static_cast<UINT>(rcClient.Height());
            SetScrollInfo(SB_VERT, &si, TRUE);
            RepositionScrollButtons();
        }
    }
    if (!m_bAnimation)
        for (int i = 0; i < nCount; ++i)
            GetAt(i)->Step(0);
    Invalidate(FALSE);
}

void CXTPTaskPanel::AnimateGroups(BOOL bOnlyMoving)
{
    for (int i = 0; i < m_pGroups->GetCount(); ++i) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        if (!bOnlyMoving || !IsSameRect(pGroup->m_rcCurrent, pGroup->m_rcTarget))
            pGroup->Step(m_nAnimationStepsLeft);
    }
    RepositionScrollButtons();
}

// ---- Groups open and shut

BOOL CXTPTaskPanel::IsGroupExpanded(const CXTPTaskPanelGroup* pGroup) const
{
    if (m_nBehaviour == TaskPanelBehaviourEachGroup)
        return pGroup->m_bExpanded;
    return pGroup == m_pActiveGroup;
}

void CXTPTaskPanel::ExpandGroup(CXTPTaskPanelGroup* pGroup, BOOL bExpand)
{
    if (!pGroup)
        return;
    if (m_nBehaviour == TaskPanelBehaviourEachGroup) {
        pGroup->m_bExpanded = bExpand;
        pGroup->m_bAnimating = TRUE;
    } else if (bExpand) {
        if (pGroup != m_pActiveGroup) {
            if (CXTPTaskPanelGroup* pOld = std::exchange(m_pActiveGroup, nullptr)) {
                pOld->m_bAnimating = TRUE;
                pOld->ExternalRelease();
            }
            pGroup->ExternalAddRef();
            m_pActiveGroup = pGroup;
            pGroup->m_bExpanded = TRUE;
            pGroup->m_bAnimating = TRUE;
        }
    } else {
        // Only one group is open, and it stays open until another one opens.
        return;
    }
    Reposition(TRUE);
}

// ---- Item states

void CXTPTaskPanel::SetHotItem(CXTPTaskPanelItem* pItem)
{
    if (pItem == m_pHotItem)
        return;
    if (pItem)
        pItem->ExternalAddRef();
    CXTPTaskPanelItem* pOld = std::exchange(m_pHotItem, pItem);
    if (pOld)
        pOld->ExternalRelease();
    if (pItem && GetSafeHwnd()) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
    }
    if (GetSafeHwnd() && !IsLockRedraw())
        Invalidate(FALSE);
}

void CXTPTaskPanel::SetFocusedItem(CXTPTaskPanelItem* pItem, BOOL bShowFocusCues)
{
    if (m_bSelectOnFocus && pItem && pItem->GetType() == TaskPanelItemLink)
        if (CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup())
            pGroup->SelectItem(pItem);
    if (pItem != m_pFocusedItem) {
        if (pItem)
            pItem->ExternalAddRef();
        if (CXTPTaskPanelItem* pOld = std::exchange(m_pFocusedItem, pItem))
            pOld->ExternalRelease();
    }
    if (bShowFocusCues)
        m_bFocusCuesShown = m_bFocusCuesAllowed;
    if (pItem)
        EnsureVisible(pItem);
    if (GetSafeHwnd()) {
        if (::GetFocus() != m_hWnd)
            SetFocus();
        if (!IsLockRedraw())
            Invalidate(FALSE);
    }
}

BOOL CXTPTaskPanel::IsDrawFocusRect() const
{
    return m_bFocusCuesShown && GetSafeHwnd() && ::GetFocus() == m_hWnd;
}

void CXTPTaskPanel::EnsureVisible(CXTPTaskPanelItem* pItem)
{
    CXTPTaskPanelGroup* pGroup = pItem ? pItem->GetItemGroup() : nullptr;
    if (!pGroup)
        return;
    if (!pItem->IsGroup() && !pGroup->IsExpanded())
        ExpandGroup(pGroup, TRUE);

    if (m_bScrollBarShown) {
        CRect rc = pGroup->GetTargetRect();
        // In the behaviour where groups do not scroll their items, the item itself is what must show.
        auto* pGroupItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, pItem);
        if (pGroupItem && m_nBehaviour == TaskPanelBehaviourEachGroup) {
            rc = pGroupItem->GetItemRect();
            rc.OffsetRect(0, pGroup->GetTargetClientRect().top);
        }
        CRect rcClient;
        GetClientRect(&rcClient);
        const int nPosition = GetScrollOffset();
        if (rc.bottom > nPosition + rcClient.Height())
            ScrollTo(std::min<int>(rc.top, rc.bottom - rcClient.Height()));
        else if (rc.top < nPosition)
            ScrollTo(rc.top);
    }
    if (!pItem->IsGroup())
        pGroup->EnsureVisible(pItem);
}

// ---- Geometry

int CXTPTaskPanel::GetScrollOffset() const
{
    return m_bScrollBarShown && GetSafeHwnd() ? GetScrollPos(SB_VERT) : 0;
}

int CXTPTaskPanel::GetScrollLimit() const
{
    CRect rcClient;
    GetClientRect(&rcClient);
    return std::max<int>(0, m_nContentHeight - rcClient.Height());
}

CXTPTaskPanelGroup* CXTPTaskPanel::HitTestGroup(CPoint point, BOOL* pbCaption) const
{
    if (pbCaption)
        *pbCaption = FALSE;
    const CPoint ptContent(point.x, point.y + GetScrollOffset());
    for (const CXTPTaskPanelScrollButton* pButton : {m_pScrollUp, m_pScrollDown})
        if (pButton->IsVisible() && pButton->m_rc.PtInRect(ptContent))
            return nullptr;
    for (int i = 0; i < GetGroupCount(); ++i) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        if (pGroup->GetClientRect().PtInRect(ptContent))
            return pGroup;
        if (pGroup->IsCaptionVisible() && pGroup->GetCaptionRect().PtInRect(ptContent)) {
            if (pbCaption)
                *pbCaption = TRUE;
            return pGroup;
        }
    }
    return nullptr;
}

CXTPTaskPanelItem* CXTPTaskPanel::HitTestItem(CPoint point, BOOL bGroupIfNoItem) const
{
    BOOL bCaption = FALSE;
    CXTPTaskPanelGroup* pGroup = HitTestGroup(point, &bCaption);
    if (!pGroup || bCaption)
        return pGroup;
    CXTPTaskPanelItem* pItem = pGroup->HitTest(point);
    return pItem ? pItem : (bGroupIfNoItem ? pGroup : nullptr);
}

CRect CXTPTaskPanel::GetCaptionScrollButtonRect(const CXTPTaskPanelGroup* pGroup) const
{
    for (const CXTPTaskPanelScrollButton* pButton : {m_pScrollUp, m_pScrollDown})
        if (pGroup && pButton->m_pCaptionGroup == pGroup && pButton->IsVisible())
            return pButton->m_rc;
    return CRect(0, 0, 0, 0);
}

void CXTPTaskPanel::RepositionScrollButtons()
{
    for (CXTPTaskPanelScrollButton* pButton : {m_pScrollUp, m_pScrollDown}) {
        pButton->m_rc.SetRectEmpty();
        pButton->m_pScrolledGroup = pButton->m_pCaptionGroup = nullptr;
    }
    if (m_nBehaviour != TaskPanelBehaviourEachGroup && m_pActiveGroup && GetSafeHwnd()) {
        CXTPTaskPanelGroup* pActive = m_pActiveGroup;
        m_pScrollUp->m_pScrolledGroup = m_pScrollDown->m_pScrolledGroup = pActive;
        if (m_pPaintManager->IsScrollButtonsInCaptions()) {
            CRect rcClient;
            GetClientRect(&rcClient);
            const CRect rcMargins = GetPanelMargins();
            const int nRight = rcClient.right - rcMargins.right - m_pPaintManager->GetGroupOuterMargins(pActive).right;
            const int nSize = pActive->GetCaptionHeight();
            m_pScrollUp->m_rc.SetRect(nRight - nSize, pActive->m_rcCurrent.top, nRight,
                                      pActive->m_rcCurrent.top + nSize);
            m_pScrollUp->m_pCaptionGroup = pActive;
            CXTPTaskPanelGroup* pNext = GetAt(pActive->GetIndex() + 1);
            if (pNext) {
                const int nNextSize = pNext->GetCaptionHeight();
                m_pScrollDown->m_rc.SetRect(nRight - nNextSize, pNext->m_rcCurrent.top, nRight,
                                            pNext->m_rcCurrent.top + nNextSize);
                m_pScrollDown->m_pCaptionGroup = pNext;
            } else {
                const int nBottom = std::max<int>(rcClient.bottom, m_nContentHeight) - rcMargins.bottom;
                m_pScrollDown->m_rc.SetRect(nRight - nSize, nBottom - nSize, nRight, nBottom);
            }
        } else {
            CRect rc = pActive->GetClientRect();
            rc.DeflateRect(4, 4);
            m_pScrollUp->m_rc.SetRect(rc.right - 16, rc.top, rc.right, rc.top + 16);
            m_pScrollDown->m_rc.SetRect(rc.right - 16, rc.bottom - 16, rc.right, rc.bottom);
        }
    }
    m_pScrollUp->m_bCanScroll = m_pScrollUp->m_pScrolledGroup && m_pScrollUp->m_pScrolledGroup->CanScroll(TRUE);
    m_pScrollDown->m_bCanScroll = m_pScrollDown->m_pScrolledGroup && m_pScrollDown->m_pScrolledGroup->CanScroll(FALSE);
}

void CXTPTaskPanel::UpdateScrollButtons()
{
    RepositionScrollButtons();
    if (GetSafeHwnd() && !IsLockRedraw())
        Invalidate(FALSE);
}

void CXTPTaskPanel::HighlightScrollButtons(CPoint point)
{
    const BOOL bClear = point.x == -1 && point.y == -1;
    const CPoint ptContent(point.x, point.y + GetScrollOffset());
    for (CXTPTaskPanelScrollButton* pButton : {m_pScrollUp, m_pScrollDown}) {
        const BOOL bHot = !bClear && pButton->IsVisible() && pButton->m_rc.PtInRect(ptContent);
        if (bHot == pButton->m_bHot)
            continue;
        pButton->m_bHot = bHot;
        if (!GetSafeHwnd())
            continue;
        Invalidate(FALSE);
        if (bHot) {
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&tme);
        }
    }
}

CXTPTaskPanelItem* CXTPTaskPanel::GetNextItem(CXTPTaskPanelItem* pItem, int nDirection, BOOL bGroupsOnly,
                                              BOOL bByRow) const
{
    const int nGroups = GetGroupCount();
    if (nGroups == 0)
        return nullptr;
    auto step = [&](CXTPTaskPanelItem* pFrom) -> CXTPTaskPanelItem* {
        if (!pFrom) {
            if (nDirection > 0)
                return GetAt(0);
            CXTPTaskPanelGroup* pLast = GetAt(nGroups - 1);
            return pLast->GetItemCount() > 0 ? pLast->GetAt(pLast->GetItemCount() - 1) : pLast;
        }
        CXTPTaskPanelGroup* pGroup = pFrom->GetItemGroup();
        if (!pGroup)
            return nullptr;
        const int nGroupIndex = pGroup->GetIndex();
        if (nDirection > 0) {
            if (pFrom->IsGroup()) {
                if (pGroup->GetItemCount() > 0)
                    return pGroup->GetAt(0);
            } else if (!bGroupsOnly) {
                const int nStep = bByRow ? std::max(1, pGroup->GetItemsInRow()) : 1;
                if (CXTPTaskPanelItem* pNext = pGroup->GetAt(pFrom->GetIndex() + nStep))
                    return pNext;
            }
            return GetAt(nGroupIndex + 1);
        }
        if (!pFrom->IsGroup()) {
            if (!bGroupsOnly) {
                const int nStep = bByRow ? std::max(1, pGroup->GetItemsInRow()) : 1;
                if (CXTPTaskPanelItem* pPrevious = pGroup->GetAt(pFrom->GetIndex() - nStep))
                    return pPrevious;
            }
            return pGroup;
        }
        CXTPTaskPanelGroup* pPrevious = GetAt(nGroupIndex - 1);
        if (!pPrevious)
            return nullptr;
        return pPrevious->GetItemCount() > 0 ? pPrevious->GetAt(pPrevious->GetItemCount() - 1) : pPrevious;
    };
    for (CXTPTaskPanelItem* pCandidate = step(pItem); pCandidate; pCandidate = step(pCandidate)) {
        const CXTPTaskPanelGroup* pGroup = pCandidate->GetItemGroup();
        const BOOL bHidden = !pCandidate->IsGroup() && pGroup && !pGroup->IsExpanded();
        if (!bHidden && pCandidate->IsAcceptFocus())
            return pCandidate;
    }
    return nullptr;
}

// ---- Notifications and virtual operations

LRESULT CXTPTaskPanel::NotifyOwner(WPARAM wCode, CXTPTaskPanelItem* pItem)
{
    CWnd* pOwner = GetSafeHwnd() ? GetOwner() : nullptr;
    if (!pOwner || !pOwner->GetSafeHwnd())
        return 0;
    return ::SendMessageW(pOwner->GetSafeHwnd(), WM_TASKPANEL_NOTIFY, wCode, reinterpret_cast<LPARAM>(pItem));
}

void CXTPTaskPanel::OnClick(CXTPTaskPanelItem* pItem)
{
    NotifyOwner(TaskPanelNotifyClick, pItem);
}

void CXTPTaskPanel::RenameItem(CXTPTaskPanelItem* pItem, LPCTSTR lpszNewCaption)
{
    if (NotifyOwner(TaskPanelNotifyRename, pItem) == 0)
        pItem->SetCaption(lpszNewCaption);
}

BOOL CXTPTaskPanel::BelongsTo(const CXTPTaskPanelItem* pMember, const CXTPTaskPanelItem* pRemoved) const
{
    if (!pMember)
        return FALSE;
    if (pMember == pRemoved)
        return TRUE;
    // The items of a removed group go with it.
    return pRemoved->IsGroup() && !pMember->IsGroup() && pMember->GetItemGroup() == pRemoved;
}

void CXTPTaskPanel::ForgetItem(CXTPTaskPanelItem*& pMember, BOOL bReferenced, CXTPTaskPanelItem* pItem)
{
    if (!BelongsTo(pMember, pItem))
        return;
    CXTPTaskPanelItem* pOld = std::exchange(pMember, nullptr);
    if (bReferenced)
        pOld->ExternalRelease();
}

void CXTPTaskPanel::OnItemRemoved(CXTPTaskPanelItem* pItem)
{
    if (!pItem)
        return;
    if (m_pActiveGroup && BelongsTo(m_pActiveGroup, pItem))
        std::exchange(m_pActiveGroup, nullptr)->ExternalRelease();
    ForgetItem(m_pHotItem, TRUE, pItem);
    ForgetItem(m_pFocusedItem, TRUE, pItem);
    ForgetItem(m_pPressedItem, FALSE, pItem);
    ForgetItem(m_pDraggedItem, FALSE, pItem);
    const BOOL bDropTarget = BelongsTo(m_pDropTargetItem, pItem);
    ForgetItem(m_pDropTargetItem, FALSE, pItem);
    if (bDropTarget && m_bHoverExpandArmed) {
        m_bHoverExpandArmed = FALSE;
        if (GetSafeHwnd())
            KillTimer(TaskPanelTimerHoverExpand);
    }
    for (CXTPTaskPanelScrollButton* pButton : {m_pScrollUp, m_pScrollDown})
        if (BelongsTo(pButton->m_pScrolledGroup, pItem) || BelongsTo(pButton->m_pCaptionGroup, pItem)) {
            pButton->m_rc.SetRectEmpty();
            pButton->m_pScrolledGroup = pButton->m_pCaptionGroup = nullptr;
            pButton->m_bCanScroll = FALSE;
        }
    if (m_pEditItem && BelongsTo(m_pEditItem->GetEditedItem(), pItem))
        m_pEditItem->EndEdit(FALSE);
}

INT_PTR CXTPTaskPanel::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    const INT_PTR nHit = CWnd::OnToolHitTest(point, pTI);
    if (nHit != -1)
        return nHit;
    if (IsCommandBarTracking() || !m_pHotItem || m_pHotItem->GetTooltip().IsEmpty())
        return -1;
    if (pTI) {
        pTI->hwnd = m_hWnd;
        pTI->uId = m_pHotItem->GetID();
        GetClientRect(&pTI->rect);
        pTI->lpszText = _wcsdup(m_pHotItem->GetTooltip());
    }
    // Distinct per item, so that moving from one item to the next brings up the next item's text.
    return reinterpret_cast<INT_PTR>(m_pHotItem) & 0x7FFFFFFF;
}

// ---- Painting

BOOL CXTPTaskPanel::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPTaskPanel::DrawPanel(CDC* pDC, const CRect& rcClip)
{
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&rcClip);
    const int nOffset = GetScrollOffset();
    pDC->OffsetWindowOrg(0, nOffset);
    m_pPaintManager->FillTaskPanel(pDC, this);
    CRect rcVisible(rcClip);
    rcVisible.OffsetRect(0, nOffset);
    for (int i = 0; i < GetGroupCount(); ++i) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        // Drop marks reach a few pixels past a group.
        CRect rcGroup(pGroup->GetCurrentRect());
        rcGroup.InflateRect(0, 4);
        if (rcGroup.bottom <= rcVisible.top || rcGroup.top >= rcVisible.bottom)
            continue;
        pGroup->Draw(pDC);
    }
    m_pPaintManager->DrawScrollButton(pDC, m_pScrollUp);
    m_pPaintManager->DrawScrollButton(pDC, m_pScrollDown);
    pDC->RestoreDC(nSaved);
}

void CXTPTaskPanel::OnPaint()
{
    CPaintDC dc(this);
    CRect rcPaint(dc.m_ps.rcPaint);
    if (rcPaint.IsRectEmpty())
        GetClientRect(&rcPaint);
    // A buffer of the band to paint only: after a scroll that is a few rows, not the whole client area.
    CDC dcBuffer;
    CBitmap bitmap;
    if (!dcBuffer.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, rcPaint.Width(), rcPaint.Height())) {
        DrawPanel(&dc, rcPaint);
        return;
    }
    CBitmap* pOldBitmap = dcBuffer.SelectObject(&bitmap);
    dcBuffer.SetWindowOrg(rcPaint.left, rcPaint.top);
    DrawPanel(&dcBuffer, rcPaint);
    dcBuffer.SetWindowOrg(0, 0);
    dc.BitBlt(rcPaint.left, rcPaint.top, rcPaint.Width(), rcPaint.Height(), &dcBuffer, 0, 0, SRCCOPY);
    dcBuffer.SelectObject(pOldBitmap);
}

LRESULT CXTPTaskPanel::OnPrintClient(WPARAM wParam, LPARAM)
{
    CDC dc;
    if (!dc.Attach(reinterpret_cast<HDC>(wParam)))
        return 0;
    CRect rcClient;
    GetClientRect(&rcClient);
    DrawPanel(&dc, rcClient);
    dc.Detach();
    return 0;
}

// ---- Sizing, settings, timers

void CXTPTaskPanel::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    Reposition(m_nBehaviour == TaskPanelBehaviourEachGroup);
}

void CXTPTaskPanel::OnSysColorChange()
{
    CWnd::OnSysColorChange();
    m_pPaintManager->RefreshMetrics();
    Reposition(FALSE);
}

void CXTPTaskPanel::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    CWnd::OnSettingChange(uFlags, lpszSection);
    RefreshAnimationSetting();
    m_pPaintManager->RefreshMetrics();
    Reposition(FALSE);
}

void CXTPTaskPanel::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case TaskPanelTimerAnimation: {
        BOOL bMoved = FALSE;
        for (int i = 0; i < GetGroupCount() && !bMoved; ++i)
            bMoved = !IsSameRect(GetAt(i)->m_rcCurrent, GetAt(i)->m_rcTarget);
        if (bMoved) {
            AnimateGroups(TRUE);
            // An in-place editor would be left behind by the moving groups.
            CWnd* pFocus = CWnd::GetFocus();
            if (pFocus && pFocus->IsKindOf(RUNTIME_CLASS(CXTPTaskPanelEditItem)))
                SetFocus();
        }
        Invalidate(FALSE);
        --m_nAnimationStepsLeft;
        if (!bMoved) {
            KillTimer(TaskPanelTimerAnimation);
            m_nAnimationTimer = 0;
        }
        break;
    }
    case TaskPanelTimerHoverExpand: {
        KillTimer(TaskPanelTimerHoverExpand);
        if (m_bHoverExpandArmed && m_pDropTargetItem && m_pDropTargetItem->IsGroup())
            ExpandGroup(static_cast<CXTPTaskPanelGroup*>(m_pDropTargetItem), TRUE);
        m_bHoverExpandArmed = FALSE;
        break;
    }
    case TaskPanelTimerScrollRepeat:
        // Only the scroll-button loop uses it; a late one is dropped.
        KillTimer(TaskPanelTimerScrollRepeat);
        break;
    default:
        CWnd::OnTimer(nIDEvent);
        break;
    }
}

void CXTPTaskPanel::OnDestroy()
{
    if (m_pEditItem)
        m_pEditItem->EndEdit(FALSE);
    if (m_nAnimationTimer)
        KillTimer(TaskPanelTimerAnimation);
    m_nAnimationTimer = 0;
    m_bHoverExpandArmed = FALSE;
    m_pDropTarget->Revoke();
    CWnd::OnDestroy();
}

// ---- Scrolling

void CXTPTaskPanel::ScrollTo(int nPosition)
{
    if (!m_bScrollBarShown || !GetSafeHwnd())
        return;
    nPosition = std::clamp(nPosition, 0, GetScrollLimit());
    const int nOld = GetScrollPos(SB_VERT);
    if (nPosition == nOld)
        return;
    SetScrollPos(SB_VERT, nPosition, TRUE);

    CRect rcClient;
    GetClientRect(&rcClient);
    BOOL bAnimating = FALSE;
    for (int i = 0; i < GetGroupCount() && !bAnimating; ++i)
        bAnimating = !IsSameRect(GetAt(i)->m_rcCurrent, GetAt(i)->m_rcTarget);
    // What is on the screen moves with the content; only the uncovered band is painted again.
    if (!bAnimating && std::abs(nOld - nPosition) < rcClient.Height() && !IsLockRedraw())
        ScrollWindowEx(0, nOld - nPosition, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_SCROLLCHILDREN);
    else if (!IsLockRedraw())
        Invalidate(FALSE);
    AnimateGroups(FALSE);
}

void CXTPTaskPanel::OnVScroll(UINT nSBCode, UINT, CScrollBar*)
{
    if (!m_bScrollBarShown)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    const int nPage = rcClient.Height();
    const int nLimit = GetScrollLimit();
    const int nPos = GetScrollPos(SB_VERT);
    int nNew = nPos;
    switch (nSBCode) {
    case SB_LINEUP:
        nNew = nPos < kLineStep + 1 ? 0 : nPos - kLineStep;
        break;
    case SB_LINEDOWN:
        nNew = std::min(nPos + kLineStep, nLimit);
        break;
    case SB_PAGEUP:
        nNew = nPos <= nPage ? 0 : nPos - nPage;
        break;
    case SB_PAGEDOWN:
        nNew = std::min(nPos + nPage, nLimit);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The message carries only 16 bits of position; a tall panel needs the full one.
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(SB_VERT, &si, SIF_TRACKPOS);
        nNew = si.nTrackPos;
        break;
    }
    case SB_TOP:
        nNew = 0;
        break;
    case SB_BOTTOM:
        nNew = nLimit;
        break;
    default:
        return;
    }
    ScrollTo(nNew);
}

BOOL CXTPTaskPanel::OnMouseWheel(UINT, short zDelta, CPoint)
{
    if (!m_bScrollBarShown)
        return FALSE;
    const int nPos = GetScrollPos(SB_VERT);
    if (zDelta <= 0)
        ScrollTo(std::min(nPos + kWheelStep, GetScrollLimit()));
    else
        ScrollTo(nPos < kWheelStep + 1 ? 0 : nPos - kWheelStep);
    return TRUE;
}

// ---- Modal loops

BOOL CXTPTaskPanel::PumpModalMessage(MSG& msg)
{
    return GetModalLoopMessage(msg);
}

void CXTPTaskPanel::TrackScrollButton(CXTPTaskPanelScrollButton* pButton)
{
    CXTPTaskPanelGroup* pGroup = m_pActiveGroup;
    if (!pButton->IsVisible() || !pButton->m_bCanScroll || !pGroup)
        return;
    pButton->m_bPressed = TRUE;
    SetCapture();
    auto scrollOneRow = [&]() {
        // The group may have gone (removed by whoever handles a message inside the loop).
        if (m_pActiveGroup != pGroup)
            return;
        const int nRow = std::max(1, pGroup->GetItemsInRow());
        pGroup->ScrollItems(pButton->m_bUp ? -nRow : nRow);
        AnimateGroups(FALSE);
        Invalidate(FALSE);
    };
    scrollOneRow();
    SetTimer(TaskPanelTimerScrollRepeat, 500);
    BOOL bFirstTick = TRUE;
    while (::GetCapture() == m_hWnd && m_pActiveGroup == pGroup && pButton->m_bCanScroll) {
        MSG msg;
        if (!PumpModalMessage(msg))
            break;
        if (msg.message == WM_TIMER && msg.hwnd == m_hWnd && msg.wParam == TaskPanelTimerScrollRepeat) {
            scrollOneRow();
            if (bFirstTick)
                SetTimer(TaskPanelTimerScrollRepeat, 50);
            bFirstTick = FALSE;
            continue;
        }
        if (msg.message == WM_LBUTTONUP || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
            break;
        if (msg.message == WM_MOUSEMOVE)
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    KillTimer(TaskPanelTimerScrollRepeat);
    pButton->m_bPressed = FALSE;
    if (::GetCapture() == m_hWnd)
        ReleaseCapture();
    Invalidate(FALSE);
}

void CXTPTaskPanel::TrackGroupMove(CXTPTaskPanelGroup* pGroup)
{
    if (!pGroup || !pGroup->IsAllowDrag() || !GetSafeHwnd())
        return;
    HCURSOR hSizeNS = ::LoadCursorW(nullptr, IDC_SIZENS);
    ::SetCursor(hSizeNS);
    m_pDraggedItem = pGroup;
    if (::GetCapture() != m_hWnd)
        SetCapture();
    // The group leaving the panel (OnItemRemoved clears the dragged item) ends the move too.
    while (::GetCapture() == m_hWnd && m_pDraggedItem == pGroup) {
        MSG msg;
        if (!PumpModalMessage(msg))
            break;
        if (msg.message == WM_LBUTTONUP || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
            break;
        if (msg.message == WM_MOUSEMOVE) {
            CPoint point;
            ::GetCursorPos(&point);
            ScreenToClient(&point);
            BOOL bCaption = FALSE;
            CXTPTaskPanelGroup* pTarget = HitTestGroup(point, &bCaption);
            if (pTarget && bCaption && pTarget != pGroup)
                m_pGroups->Move(pGroup, pTarget->GetIndex());
            ::SetCursor(hSizeNS);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    m_pDraggedItem = nullptr;
    if (::GetCapture() == m_hWnd)
        ReleaseCapture();
    Invalidate(FALSE);
}

// ---- Mouse

void CXTPTaskPanel::OnMouseMove(UINT nFlags, CPoint point)
{
    CWnd::OnMouseMove(nFlags, point);
    if (IsCommandBarTracking())
        return;
    CXTPTaskPanelItem* pTarget = HitTestItem(point);
    if (pTarget && pTarget->IsAcceptFocus() && CXTPMouseManager::IsTopParentActive(m_hWnd) &&
        (!m_pPressedItem || m_pPressedItem == pTarget))
        SetHotItem(pTarget);
    else
        SetHotItem(nullptr);

    if (m_pPressedItem && std::abs(point.x - m_ptPressed.x) + std::abs(point.y - m_ptPressed.y) > kDragThreshold) {
        CXTPTaskPanelItem* pPressed = m_pPressedItem;
        if (pPressed->IsGroup())
            TrackGroupMove(static_cast<CXTPTaskPanelGroup*>(pPressed));
        else
            OnStartItemDrag(pPressed);
    }
    HighlightScrollButtons(point);
}

BOOL CXTPTaskPanel::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_pHotItem && nHitTest == HTCLIENT && m_hHandCursor) {
        ::SetCursor(m_hHandCursor);
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CXTPTaskPanel::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonDown(nFlags, point);
    CXTPTaskPanelItem* pTarget = HitTestItem(point);
    if (pTarget && pTarget->IsAcceptFocus()) {
        SetFocusedItem(pTarget, FALSE);
        // Setting the focus may run the owner's code: the target must still be in the panel.
        if (pTarget->GetTaskPanel() == this) {
            SetCapture();
            m_pPressedItem = pTarget;
            m_ptPressed = point;
            Invalidate(FALSE);
        }
    } else {
        SetFocusedItem(nullptr, FALSE);
    }
    const CPoint ptContent(point.x, point.y + GetScrollOffset());
    for (CXTPTaskPanelScrollButton* pButton : {m_pScrollUp, m_pScrollDown})
        if (pButton->IsVisible() && pButton->m_bCanScroll && pButton->m_rc.PtInRect(ptContent)) {
            TrackScrollButton(pButton);
            break;
        }
}

void CXTPTaskPanel::OnLButtonUp(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonUp(nFlags, point);
    CXTPTaskPanelItem* pItem = std::exchange(m_pPressedItem, nullptr);
    // Also when the pressed item went away meanwhile: the panel must not keep the mouse.
    if (::GetCapture() == m_hWnd)
        ReleaseCapture();
    if (!pItem)
        return;
    if (pItem == m_pHotItem) {
        if (pItem->IsGroup()) {
            auto* pGroup = static_cast<CXTPTaskPanelGroup*>(pItem);
            ExpandGroup(pGroup, !pGroup->IsExpanded());
        } else {
            OnClick(pItem);
        }
    }
    if (GetSafeHwnd())
        Invalidate(FALSE);
}

void CXTPTaskPanel::OnRButtonDown(UINT nFlags, CPoint point)
{
    CWnd::OnRButtonDown(nFlags, point);
    CXTPTaskPanelItem* pTarget = HitTestItem(point);
    if (pTarget && pTarget->IsAcceptFocus()) {
        SetFocusedItem(pTarget, FALSE);
        if (pTarget->GetTaskPanel() == this)
            NotifyOwner(TaskPanelNotifyRightClick, pTarget);
    } else {
        SetFocusedItem(nullptr, FALSE);
    }
}

void CXTPTaskPanel::OnCaptureChanged(CWnd* pWnd)
{
    if (m_pPressedItem) {
        m_pPressedItem = nullptr;
        Invalidate(FALSE);
    }
    CWnd::OnCaptureChanged(pWnd);
}

void CXTPTaskPanel::OnMouseLeave()
{
    SetHotItem(nullptr);
    HighlightScrollButtons(CPoint(-1, -1));
    CWnd::OnMouseLeave();
}

// ---- Focus and keyboard

void CXTPTaskPanel::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    Invalidate(FALSE);
}

void CXTPTaskPanel::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    m_bFocusCuesShown = FALSE;
    Invalidate(FALSE);
}

UINT CXTPTaskPanel::OnGetDlgCode()
{
    return DLGC_WANTALLKEYS;
}

void CXTPTaskPanel::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const BOOL bControl = ::GetKeyState(VK_CONTROL) < 0;
    const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
    CXTPTaskPanelItem* pItem = m_pFocusedItem;
    auto focus = [this](CXTPTaskPanelItem* pNext) {
        if (pNext)
            SetFocusedItem(pNext, TRUE);
    };

    const BOOL bArrow = nChar == VK_LEFT || nChar == VK_RIGHT || nChar == VK_UP || nChar == VK_DOWN;
    if (bArrow && bControl && m_nBehaviour != TaskPanelBehaviourEachGroup) {
        const int nActive = m_pActiveGroup ? m_pActiveGroup->GetIndex() : -1;
        const int nDelta = nChar == VK_LEFT || nChar == VK_UP ? -1 : 1;
        CXTPTaskPanelGroup* pGroup = GetAt(nActive + nDelta);
        if (pGroup && pGroup->IsAcceptFocus()) {
            ExpandGroup(pGroup, TRUE);
            SetFocusedItem(pGroup, FALSE);
        }
        return;
    }

    switch (nChar) {
    case VK_TAB:
        focus(GetNextItem(pItem, bShift ? -1 : 1, TRUE));
        break;
    case VK_RETURN:
    case VK_SPACE:
        if (pItem && pItem->IsAcceptFocus()) {
            if (pItem->IsGroup()) {
                auto* pGroup = static_cast<CXTPTaskPanelGroup*>(pItem);
                ExpandGroup(pGroup, !pGroup->IsExpanded());
            } else if (pItem->GetType() == TaskPanelItemLink) {
                OnClick(pItem);
            }
        }
        break;
    case VK_HOME:
    case VK_END:
        if (pItem && pItem->GetParentItems()) {
            CXTPTaskPanelItems* pItems = pItem->GetParentItems();
            CXTPTaskPanelItem* pEnd = pItems->GetAt(nChar == VK_HOME ? 0 : pItems->GetCount() - 1);
            if (pEnd && pEnd->IsAcceptFocus())
                focus(pEnd);
        }
        break;
    case VK_LEFT:
    case VK_RIGHT:
        focus(GetNextItem(pItem, nChar == VK_LEFT ? -1 : 1, FALSE, FALSE));
        break;
    case VK_UP:
    case VK_DOWN:
        focus(GetNextItem(pItem, nChar == VK_UP ? -1 : 1, FALSE, TRUE));
        break;
    default:
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        break;
    }
}

void CXTPTaskPanel::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CWnd::OnKeyUp(nChar, nRepCnt, nFlags);
}

void CXTPTaskPanel::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CWnd::OnSysKeyDown(nChar, nRepCnt, nFlags);
}

void CXTPTaskPanel::OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CWnd::OnSysKeyUp(nChar, nRepCnt, nFlags);
}

// ---- Drag and drop

void CXTPTaskPanel::OnStartItemDrag(CXTPTaskPanelItem* pItem)
{
    if (!pItem || !pItem->IsAllowDrag())
        return;
    if (::GetCapture() == m_hWnd)
        ReleaseCapture();
    // Held for the drag: whoever answers below, or handles a message during the drag, may remove it.
    pItem->ExternalAddRef();
    COleDataSource source;
    if (pItem->PrepareDrag(source) && NotifyOwner(TaskPanelNotifyStartDrag, pItem) != -1 && pItem->GetParentItems()) {
        m_pDraggedItem = pItem;
        const DROPEFFECT dropEffect = source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
        if (dropEffect == DROPEFFECT_MOVE && m_pDraggedItem == pItem && pItem->GetParentItems())
            pItem->Remove();
    }
    m_pDraggedItem = nullptr;
    m_pDropTargetItem = nullptr;
    if (GetSafeHwnd())
        Invalidate(FALSE);
    pItem->ExternalRelease();
}

DROPEFFECT CXTPTaskPanel::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    CXTPTaskPanelItem* pTarget = nullptr;
    if (pDataObject && pDataObject->IsDataAvailable(CXTPTaskPanelItem::GetClipboardFormat())) {
        BOOL bCaption = FALSE;
        CXTPTaskPanelGroup* pGroup = HitTestGroup(point, &bCaption);
        if (pGroup && pGroup->IsAllowDrop()) {
            pTarget = pGroup;
            CRect rcItem;
            CXTPTaskPanelItem* pItem = bCaption ? nullptr : pGroup->HitTest(point, &rcItem);
            if (pItem && pItem->IsAllowDrop()) {
                pTarget = pItem;
                if (!m_pPaintManager->IsInvertedDropMark() && point.y >= rcItem.CenterPoint().y) {
                    // The lower half means after it: before the next item, or at the end of the group.
                    CXTPTaskPanelItem* pNext = pGroup->GetAt(pItem->GetIndex() + 1);
                    pTarget = pNext ? pNext : pGroup;
                }
            }
        }
    }
    if (pTarget != m_pDropTargetItem) {
        m_pDropTargetItem = pTarget;
        if (GetSafeHwnd())
            Invalidate(FALSE);
    }
    const BOOL bCollapsedGroup =
        pTarget && pTarget->IsGroup() && !static_cast<CXTPTaskPanelGroup*>(pTarget)->IsExpanded();
    if (bCollapsedGroup && !m_bHoverExpandArmed && GetSafeHwnd()) {
        UINT nHoverTime = 0;
        if (!::SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &nHoverTime, 0) || nHoverTime == 0)
            nHoverTime = 500;
        SetTimer(TaskPanelTimerHoverExpand, nHoverTime);
        m_bHoverExpandArmed = TRUE;
    } else if (!bCollapsedGroup && m_bHoverExpandArmed) {
        if (GetSafeHwnd())
            KillTimer(TaskPanelTimerHoverExpand);
        m_bHoverExpandArmed = FALSE;
    }
    if (!pTarget)
        return DROPEFFECT_NONE;
    return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

BOOL CXTPTaskPanel::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint)
{
    CXTPTaskPanelItem* pTarget = std::exchange(m_pDropTargetItem, nullptr);
    if (m_bHoverExpandArmed) {
        KillTimer(TaskPanelTimerHoverExpand);
        m_bHoverExpandArmed = FALSE;
    }
    if (GetSafeHwnd())
        Invalidate(FALSE);
    if (!pTarget)
        return FALSE;
    if (dropEffect != DROPEFFECT_COPY && dropEffect != DROPEFFECT_MOVE)
        return TRUE;
    CXTPTaskPanelItem* pItem = CXTPTaskPanelItem::CreateFromOleData(pDataObject, this);
    if (!pItem)
        return FALSE;
    // Only entries go into a group's item list.
    if (!pItem->IsKindOf(RUNTIME_CLASS(CXTPTaskPanelGroupItem))) {
        pItem->InternalRelease();
        return FALSE;
    }
    // A drag from this panel keeps the full id, which the archive's 32 bits may not hold.
    if (m_pDraggedItem && m_pDraggedItem->GetRuntimeClass() == pItem->GetRuntimeClass())
        pItem->m_nID = m_pDraggedItem->GetID();

    if (pTarget->IsGroup()) {
        CXTPTaskPanelItems* pItems = static_cast<CXTPTaskPanelGroup*>(pTarget)->GetItems();
        pItems->InsertAt(pItems->GetCount(), pItem);
    } else {
        CXTPTaskPanelItems* pItems = pTarget->GetParentItems();
        const int nTarget = pTarget->GetIndex();
        int nIndex = nTarget;
        if (m_pPaintManager->IsInvertedDropMark()) {
            nIndex = nTarget + 1;
            if (m_pDraggedItem && m_pDraggedItem->GetParentItems() == pItems && m_pDraggedItem->GetIndex() > nTarget)
                nIndex = nTarget;
        }
        pItems->InsertAt(nIndex, pItem);
    }
    if (pItem->IsAcceptFocus())
        SetFocusedItem(pItem, FALSE);
    return TRUE;
}

// ---- Archive

void CXTPTaskPanel::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        m_pGroups->Serialize(ar);
        return;
    }
    void* pContext = std::exchange(ar.m_pDocument, this);
    auto* pLoaded = new CXTPTaskPanelItems(this, this);
    pLoaded->Serialize(ar);
    ar.m_pDocument = pContext;
    if (!pLoaded->IsReadComplete()) {
        // Everything read so far goes; the panel keeps what it had.
        pLoaded->InternalRelease();
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    }
    m_pGroups->Clear(FALSE);
    for (int i = 0; i < pLoaded->GetCount(); ++i) {
        CXTPTaskPanelItem* pGroup = pLoaded->GetAt(i);
        m_pGroups->m_arrItems.Add(pGroup);
        m_pGroups->Adopt(pGroup);
    }
    pLoaded->m_arrItems.RemoveAll();
    pLoaded->InternalRelease();
    Reposition(FALSE);
}

// ---- In-place editing

BOOL CXTPTaskPanel::EditItemCaption(CXTPTaskPanelItem* pItem)
{
    if (!GetSafeHwnd() || !pItem || pItem->GetTaskPanel() != this || pItem->GetType() == TaskPanelItemControl)
        return FALSE;
    if (m_pEditItem)
        m_pEditItem->EndEdit(TRUE);
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    if (!pGroup)
        return FALSE;
    CRect rc;
    if (pItem->IsGroup()) {
        rc = pGroup->GetCaptionRect();
    } else {
        auto* pGroupItem = DYNAMIC_DOWNCAST(CXTPTaskPanelGroupItem, pItem);
        if (!pGroupItem)
            return FALSE;
        rc = pGroupItem->GetItemRect();
        rc.OffsetRect(0, pGroup->GetClientRect().top - pGroup->GetItemScrollOffset());
    }
    if (!pItem->GetTextRect().IsRectEmpty()) {
        rc.left = std::max(rc.left, pItem->GetTextRect().left);
        rc.right = std::min(rc.right, pItem->GetTextRect().right);
    }
    rc.OffsetRect(0, -GetScrollOffset());
    auto* pEdit = new CXTPTaskPanelEditItem(this, pItem);
    if (!pEdit->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, rc, this, 0)) {
        delete pEdit;
        return FALSE;
    }
    m_pEditItem = pEdit;
    CFont* pFont = pItem->IsGroup() ? m_pPaintManager->GetCaptionFont() : m_pPaintManager->GetItemFont(FALSE, FALSE);
    pEdit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), FALSE);
    pEdit->SetWindowText(pItem->GetCaption());
    pEdit->SetSel(0, -1);
    pEdit->SetFocus();
    return TRUE;
}

CXTPTaskPanelEditItem::CXTPTaskPanelEditItem(CXTPTaskPanel* pPanel, CXTPTaskPanelItem* pItem)
    : m_pPanel(pPanel), m_pItem(pItem), m_bEnded(FALSE)
{
    m_pItem->ExternalAddRef();
}

CXTPTaskPanelEditItem::~CXTPTaskPanelEditItem()
{
    if (m_pItem)
        m_pItem->ExternalRelease();
}

BEGIN_MESSAGE_MAP(CXTPTaskPanelEditItem, CEdit)
ON_WM_GETDLGCODE()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void CXTPTaskPanelEditItem::EndEdit(BOOL bCommit)
{
    Finish(bCommit, TRUE);
}

void CXTPTaskPanelEditItem::Finish(BOOL bCommit, BOOL bGiveBackFocus)
{
    if (m_bEnded)
        return;
    m_bEnded = TRUE;
    if (bCommit && m_pItem->GetTaskPanel() == m_pPanel) {
        CString strText;
        GetWindowText(strText);
        // The owner may read the new text from the editor while it is asked.
        m_pPanel->RenameItem(m_pItem, strText);
    }
    if (m_pPanel->m_pEditItem == this)
        m_pPanel->m_pEditItem = nullptr;
    if (bGiveBackFocus && ::GetFocus() == m_hWnd && m_pPanel->GetSafeHwnd())
        m_pPanel->SetFocus();
    DestroyWindow();
}

UINT CXTPTaskPanelEditItem::OnGetDlgCode()
{
    return DLGC_WANTALLKEYS;
}

void CXTPTaskPanelEditItem::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RETURN || nChar == VK_ESCAPE) {
        EndEdit(nChar == VK_RETURN);
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CXTPTaskPanelEditItem::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // The keys that end the edit would only beep in a single-line edit.
    if (nChar == '\r' || nChar == 0x1B)
        return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

void CXTPTaskPanelEditItem::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    // The focus is on its way elsewhere already.
    Finish(TRUE, FALSE);
}

void CXTPTaskPanelEditItem::PostNcDestroy()
{
    delete this;
}
