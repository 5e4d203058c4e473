#include "toolkit/commandbars/XTPSpecialControls.h"

#include "framework/StandardIds.h"
#include "framework/frame/FrameWnd.h"
#include "framework/win/RecentFileList.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <algorithm>
#include <functional>

IMPLEMENT_SERIAL(CXTPControlWindowList, CXTPControlButton, VERSIONABLE_SCHEMA | 7)
IMPLEMENT_SERIAL(CXTPControlToolbars, CXTPControlButton, VERSIONABLE_SCHEMA | 7)
IMPLEMENT_SERIAL(CXTPControlOleItems, CXTPControlButton, VERSIONABLE_SCHEMA | 7)
IMPLEMENT_SERIAL(CXTPControlRecentFileList, CXTPControlButton, VERSIONABLE_SCHEMA | 7)
IMPLEMENT_SERIAL(CXTPControlWorkspaceActions, CXTPControlButton, VERSIONABLE_SCHEMA | 7)
IMPLEMENT_SERIAL(CXTPControlLabel, CXTPControl, VERSIONABLE_SCHEMA | 7)
IMPLEMENT_SERIAL(CXTPControlSelector, CXTPControl, VERSIONABLE_SCHEMA | 7)

namespace {

// The generated controls of the last filling: those right after the placeholder while they match.
void RemoveGenerated(CXTPControl* pPlaceholder, const std::function<bool(CXTPControl*)>& matches, bool bOnlyNext)
{
    CXTPControls* pControls = pPlaceholder->GetControls();
    if (pControls == nullptr)
        return;
    const int nNext = pPlaceholder->GetIndex() + 1;
    while (nNext < pControls->GetCount() && matches(pControls->GetAt(nNext))) {
        pControls->RemoveAt(nNext);
        if (bOnlyNext)
            break;
    }
}

// The common start after the removal: in customise mode the placeholder shows itself and nothing is generated
// (FALSE); otherwise it hides itself before generating (TRUE).
BOOL PrepareFilling(CXTPControl* pPlaceholder)
{
    if (pPlaceholder->IsCustomizeMode()) {
        pPlaceholder->SetHideFlags(xtpNoHide);
        return FALSE;
    }
    pPlaceholder->SetHideFlag(xtpHideGeneric, TRUE);
    return TRUE;
}

BOOL OnlyOnPopupBars(CXTPCommandBar* pCommandBar)
{
    return pCommandBar != nullptr && pCommandBar->GetType() == xtpBarTypePopup;
}

void NotifyControlSite(CXTPControl* pControl, UINT nCode)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    CWnd* pOwner = pBar != nullptr ? pBar->GetOwnerSite() : nullptr;
    if (pOwner == nullptr || pOwner->GetSafeHwnd() == nullptr)
        return;
    NMXTPCONTROL tag = {};
    tag.hdr.hwndFrom = nullptr;
    tag.hdr.idFrom = static_cast<UINT_PTR>(pControl->GetID());
    tag.hdr.code = nCode;
    tag.pControl = pControl;
    pOwner->SendMessage(WM_XTP_CONTROL_EXECUTE, static_cast<WPARAM>(pControl->GetID()), reinterpret_cast<LPARAM>(&tag));
}

template <class T> CXTPControl* ClonePlaceholder(T* pSource, BOOL bRecursive)
{
    T* pClone = new T;
    pClone->Copy(pSource, bRecursive);
    return pClone;
}

UINT g_nFirstWindowID = 0xFF00;
const int kMaxWindowListEntries = 9;

} // namespace

// ---- Window list

UINT CXTPControlWindowList::GetFirstWindowID()
{
    return g_nFirstWindowID;
}

void CXTPControlWindowList::SetFirstWindowID(UINT nID)
{
    g_nFirstWindowID = nID;
}

void CXTPControlWindowList::OnCalcDynamicSize(DWORD)
{
    RemoveGenerated(
        this, [](CXTPControl* p) { return static_cast<UINT>(p->GetID()) >= g_nFirstWindowID; }, false);
    CMDIFrameWnd* pFrame = m_pParent != nullptr ? DYNAMIC_DOWNCAST(CMDIFrameWnd, m_pParent->GetSite()) : nullptr;
    if (pFrame == nullptr || pFrame->m_hWndMDIClient == nullptr || IsCustomizeMode()) {
        SetHideFlags(xtpNoHide);
        return;
    }
    SetHideFlag(xtpHideGeneric, TRUE);
    const HWND hClient = pFrame->m_hWndMDIClient;
    const HWND hActive = reinterpret_cast<HWND>(::SendMessageW(hClient, WM_MDIGETACTIVE, 0, 0));
    if (hActive != nullptr) {
        const UINT nActiveID = static_cast<UINT>(::GetDlgCtrlID(hActive));
        if (nActiveID >= 0x8000 && nActiveID <= 0x800E)
            g_nFirstWindowID = 0x8000;
        else if (nActiveID >= 1 && nActiveID <= 14)
            g_nFirstWindowID = 1;
    }
    int nEntries = 0;
    for (UINT nID = g_nFirstWindowID; nEntries < kMaxWindowListEntries; ++nID) {
        const HWND hChild = ::GetDlgItem(hClient, static_cast<int>(nID));
        if (hChild == nullptr)
            break;
        if (!::IsWindowVisible(hChild))
            continue;
        wchar_t szText[257] = {};
        ::GetWindowTextW(hChild, szText, 256);
        CString strCaption;
        strCaption.Format(L"&%i ", nEntries + 1);
        strCaption += szText;
        CXTPControl* pControl =
            m_pControls->AddByType(xtpControlButton, static_cast<int>(nID), nullptr, m_nIndex + 1 + nEntries, TRUE);
        if (pControl == nullptr)
            break;
        pControl->SetCaption(strCaption);
        pControl->SetFlags(xtpFlagManualUpdate);
        pControl->SetChecked(hChild == hActive);
        if (nEntries == 0)
            pControl->SetBeginGroup(TRUE);
        ++nEntries;
    }
}

BOOL CXTPControlWindowList::IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT&)
{
    return OnlyOnPopupBars(pCommandBar);
}

// ---- Toolbars

void CXTPControlToolbars::OnCalcDynamicSize(DWORD)
{
    RemoveGenerated(
        this, [](CXTPControl* p) { return p->GetParameter() == L"CXTPControlToolbar"; }, false);
    // The toggle buttons come from the manager's list of toolbars, which it does not offer yet.
    PrepareFilling(this);
}

BOOL CXTPControlToolbars::IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT&)
{
    return OnlyOnPopupBars(pCommandBar);
}

// ---- OLE verbs

void CXTPControlOleItems::OnCalcDynamicSize(DWORD)
{
    RemoveGenerated(
        this, [](CXTPControl* p) { return p->GetParameter() == L"OLEMENUPOPUP"; }, true);
    // A frame of this framework holds no OLE documents, so there is never a selected object with verbs.
    PrepareFilling(this);
}

BOOL CXTPControlOleItems::IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT&)
{
    return OnlyOnPopupBars(pCommandBar);
}

// ---- Recent files

void CXTPControlRecentFileList::OnCalcDynamicSize(DWORD)
{
    RemoveGenerated(
        this, [](CXTPControl* p) { return p->GetID() >= ID_FILE_MRU_FILE1 && p->GetID() <= ID_FILE_MRU_FILE1 + 15; },
        false);
    CWinApp* pApp = AfxGetApp();
    CRecentFileList* pList = pApp != nullptr ? pApp->m_pRecentFileList : nullptr;
    if (pList == nullptr)
        return;
    if (IsCustomizeMode()) {
        SetHideFlags(xtpNoHide);
        SetEnabled(TRUE);
        return;
    }
    if (pList->GetSize() == 0 || (*pList)[0].IsEmpty()) {
        SetHideFlags(xtpNoHide);
        SetEnabled(FALSE);
        return;
    }
    SetHideFlag(xtpHideGeneric, TRUE);
    wchar_t szDir[MAX_PATH + 2] = {};
    const DWORD nDir = ::GetCurrentDirectoryW(MAX_PATH, szDir);
    CString strDir = nDir > 0 && nDir < MAX_PATH ? CString(szDir) : CString();
    strDir += L"\\";
    for (int i = 0;; ++i) {
        CString strName;
        if (!pList->GetDisplayName(strName, i, strDir, strDir.GetLength(), TRUE))
            break;
        // A single ampersand would underline the next letter of the name.
        strName.Replace(L"&", L"&&");
        CString strCaption;
        strCaption.Format(L"&%d ", (pList->m_nStart + i + 1) % 10);
        strCaption += strName;
        CXTPControl* pControl =
            m_pControls->AddByType(xtpControlButton, ID_FILE_MRU_FILE1 + i, nullptr, m_nIndex + 1 + i, TRUE);
        if (pControl == nullptr)
            break;
        pControl->SetCaption(strCaption);
        pControl->SetFlags(xtpFlagManualUpdate);
        if (i == 0 && m_nIndex > 0)
            pControl->SetBeginGroup(TRUE);
    }
}

BOOL CXTPControlRecentFileList::IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT&)
{
    return OnlyOnPopupBars(pCommandBar);
}

// ---- Workspace actions

void CXTPControlWorkspaceActions::OnCalcDynamicSize(DWORD)
{
    RemoveGenerated(
        this, [](CXTPControl* p) { return p->GetID() >= 9420 && p->GetID() <= 9423; }, false);
    // The actions belong to a tabbed workspace client, which frames of this program never have.
    PrepareFilling(this);
}

CXTPControl* CXTPControlWindowList::Clone(BOOL bRecursive)
{
    return ClonePlaceholder(this, bRecursive);
}

CXTPControl* CXTPControlToolbars::Clone(BOOL bRecursive)
{
    return ClonePlaceholder(this, bRecursive);
}

CXTPControl* CXTPControlOleItems::Clone(BOOL bRecursive)
{
    return ClonePlaceholder(this, bRecursive);
}

CXTPControl* CXTPControlRecentFileList::Clone(BOOL bRecursive)
{
    return ClonePlaceholder(this, bRecursive);
}

CXTPControl* CXTPControlWorkspaceActions::Clone(BOOL bRecursive)
{
    return ClonePlaceholder(this, bRecursive);
}

// ---- Label

CXTPControlLabel::CXTPControlLabel()
{
    m_controlType = xtpControlLabel;
    m_dwFlags = xtpFlagSkipFocus | xtpFlagNoMovable;
}

CXTPControl* CXTPControlLabel::Clone(BOOL bRecursive)
{
    CXTPControlLabel* pClone = new CXTPControlLabel;
    pClone->Copy(this, bRecursive);
    return pClone;
}

// ---- Selector

CXTPControlSelector::CXTPControlSelector()
    : m_szInitial(5, 4), m_szMax(12, 12), m_szSelected(0, 0), m_szCell(28, 28), m_szChosen(0, 0), m_szShown(5, 4),
      m_bResizing(FALSE)
{
}

void CXTPControlSelector::NotifySite()
{
    NotifyControlSite(this, XTP_SLN_SELCHANGE);
}

void CXTPControlSelector::SetSelectedSize(CSize sz, BOOL bNotifyAlways)
{
    const BOOL bChanged = sz != m_szSelected;
    m_szSelected = sz;
    if (bChanged)
        RedrawParent();
    if (bChanged || bNotifyAlways)
        NotifySite();
}

void CXTPControlSelector::OnCalcDynamicSize(DWORD)
{
    if (!m_bResizing) {
        m_szSelected = CSize(0, 0);
        m_szShown = m_szInitial;
    }
    NotifySite();
}

CSize CXTPControlSelector::GetSize(CDC*)
{
    return CSize(m_szShown.cx * m_szCell.cx, m_szShown.cy * m_szCell.cy);
}

void CXTPControlSelector::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    const CRect rc = m_rcControl;
    for (int i = 0; i < m_szShown.cx; ++i) {
        for (int j = 0; j < m_szShown.cy; ++j) {
            const CRect rcCell(rc.left + i * m_szCell.cx + 1, rc.top + j * m_szCell.cy + 1,
                               rc.left + (i + 1) * m_szCell.cx - 1, rc.top + (j + 1) * m_szCell.cy - 1);
            const BOOL bSelected = i < m_szSelected.cx && j < m_szSelected.cy;
            if (bSelected) {
                pDC->FillSolidRect(&rcCell, GetToolkitColor(COLOR_HIGHLIGHT));
                pDC->SetTextColor(GetToolkitColor(COLOR_HIGHLIGHTTEXT));
            } else {
                pDC->FillSolidRect(&rcCell, GetToolkitColor(COLOR_WINDOW));
                pDC->SetTextColor(pPaintManager != nullptr ? pPaintManager->GetColor(46)
                                                           : GetToolkitColor(COLOR_WINDOWTEXT));
            }
            const COLORREF clrFrame =
                pPaintManager != nullptr ? pPaintManager->GetColor(43) : GetToolkitColor(COLOR_3DSHADOW);
            pDC->Draw3dRect(&rcCell, clrFrame, clrFrame);
            DrawCellContent(pDC, rcCell, i, j);
        }
    }
}

void CXTPControlSelector::OnMouseMove(CPoint point)
{
    CSize sz(0, 0);
    while (sz.cx < m_szShown.cx && m_rcControl.left + sz.cx * m_szCell.cx < point.x)
        ++sz.cx;
    while (sz.cy < m_szShown.cy && m_rcControl.top + sz.cy * m_szCell.cy < point.y)
        ++sz.cy;
    SetSelectedSize(sz, FALSE);
}

void CXTPControlSelector::OnClick(BOOL, CPoint) {}

void CXTPControlSelector::OnLButtonUp(CPoint)
{
    if (m_szSelected == CSize(0, 0))
        return;
    m_szChosen = m_szSelected;
    OnExecute();
}

BOOL CXTPControlSelector::SetSelected(int bSelected)
{
    if (bSelected == xtpNotSelected && ::GetKeyState(VK_LBUTTON) < 0 && m_pParent != nullptr &&
        m_pParent->GetSafeHwnd() != nullptr) {
        CPoint pt;
        ::GetCursorPos(&pt);
        m_pParent->ScreenToClient(&pt);
        CSize szShown = m_szShown;
        if (pt.x >= m_rcControl.right)
            szShown.cx =
                std::min(static_cast<int>(m_szMax.cx), static_cast<int>((pt.x - m_rcControl.left) / m_szCell.cx + 1));
        if (pt.y >= m_rcControl.bottom)
            szShown.cy =
                std::min(static_cast<int>(m_szMax.cy), static_cast<int>((pt.y - m_rcControl.top) / m_szCell.cy + 1));
        if (szShown == m_szShown) {
            SetSelectedSize(CSize(0, 0), TRUE);
        } else {
            m_szShown = szShown;
            NotifySite();
            m_bResizing = TRUE;
            m_pParent->OnRecalcLayout();
            m_bResizing = FALSE;
            OnMouseMove(pt);
        }
    }
    return CXTPControl::SetSelected(bSelected);
}

void CXTPControlSelector::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControl::Copy(pControl, bRecursive);
    if (CXTPControlSelector* pSelector = DYNAMIC_DOWNCAST(CXTPControlSelector, pControl)) {
        m_szInitial = pSelector->m_szInitial;
        m_szMax = pSelector->m_szMax;
        m_szCell = pSelector->m_szCell;
    }
}

CXTPControl* CXTPControlSelector::Clone(BOOL bRecursive)
{
    CXTPControlSelector* pClone = new CXTPControlSelector;
    pClone->Copy(this, bRecursive);
    return pClone;
}

void CXTPControlSelector::Serialize(CArchive& ar)
{
    CXTPControl::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<int>(m_szInitial.cx) << static_cast<int>(m_szInitial.cy) << static_cast<int>(m_szMax.cx)
           << static_cast<int>(m_szMax.cy) << static_cast<int>(m_szCell.cx) << static_cast<int>(m_szCell.cy);
        return;
    }
    int v[6] = {};
    for (int& n : v)
        ar >> n;
    m_szInitial = CSize(v[0], v[1]);
    m_szMax = CSize(v[2], v[3]);
    // A cell of no size would divide by zero when the grid grows.
    m_szCell = CSize(std::max(v[4], 1), std::max(v[5], 1));
    m_szShown = m_szInitial;
}
