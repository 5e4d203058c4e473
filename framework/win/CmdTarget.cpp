#include "framework/win/CmdTarget.h"

#include "framework/win/Wnd.h"

#if __has_include("framework/win/Menu.h")
#include "framework/win/Menu.h"
#define LQ_HAVE_MENU 1
#endif

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

CCmdTarget::CCmdTarget() : m_dwRef(1) {}

CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode, UINT nID)
{
    for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
        if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID && nID <= lpEntry->nLastID)
            return lpEntry;
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The update code is -1 as a whole; every other code may carry its message in the high word.
    UINT nMsg = 0;
    UINT nRouteCode = static_cast<UINT>(nCode);
    if (nRouteCode != CN_UPDATE_COMMAND_UI) {
        nMsg = HIWORD(nRouteCode);
        nRouteCode = LOWORD(nRouteCode);
    }
    if (nMsg == 0)
        nMsg = WM_COMMAND;

    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        const AFX_MSGMAP_ENTRY* lpEntry = AfxFindMessageEntry(pMap->lpEntries, nMsg, nRouteCode, nID);
        if (lpEntry == nullptr)
            continue;
        if (pHandlerInfo != nullptr) {
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pEntry = lpEntry;
            return TRUE;
        }
        AFX_MSG_CALL call{nMsg, 0, 0, nID, nRouteCode, pExtra, 0};
        return lpEntry->pfn(this, call);
    }
    return FALSE;
}

LONG CCmdTarget::InternalAddRef()
{
    return InterlockedIncrement(&m_dwRef);
}

LONG CCmdTarget::InternalRelease()
{
    // A count already at zero belongs to an object on its way out; releasing it again must not delete twice.
    if (m_dwRef == 0)
        return 0;
    const LONG result = InterlockedDecrement(&m_dwRef);
    if (result == 0)
        OnFinalRelease();
    return result;
}

LONG CCmdTarget::ExternalAddRef()
{
    return InternalAddRef();
}

LONG CCmdTarget::ExternalRelease()
{
    return InternalRelease();
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

void CCmdTarget::BeginWaitCursor()
{
    if (m_nWaitCursorCount++ == 0)
        m_hcurWaitSaved = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

void CCmdTarget::EndWaitCursor()
{
    if (m_nWaitCursorCount > 0 && --m_nWaitCursorCount == 0) {
        ::SetCursor(m_hcurWaitSaved ? m_hcurWaitSaved : ::LoadCursorW(nullptr, IDC_ARROW));
        m_hcurWaitSaved = nullptr;
    }
}

void CCmdTarget::RestoreWaitCursor()
{
    if (m_nWaitCursorCount > 0)
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_pMenu(nullptr), m_pSubMenu(nullptr), m_pParentMenu(nullptr), m_pOther(nullptr),
      m_bEnableChanged(FALSE), m_bContinueRouting(FALSE), m_nIndexMax(0)
{
}

namespace {

HMENU MenuHandleOf(CMenu* pMenu)
{
#ifdef LQ_HAVE_MENU
    return pMenu ? pMenu->GetSafeHmenu() : nullptr;
#else
    (void)pMenu;
    return nullptr;
#endif
}

BOOL IsButton(CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->m_hWnd != nullptr &&
           (::SendMessageW(pWnd->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) != 0;
}

} // namespace

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu != nullptr) {
        // A popup's own state is left alone: its items are updated when it opens.
        if (m_pSubMenu != nullptr)
            return;
        if (HMENU hMenu = MenuHandleOf(m_pMenu))
            ::EnableMenuItem(hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
        // Disabling the focused control would strand the keyboard focus; pass it on first.
        HWND hWnd = m_pOther->m_hWnd;
        if (!bOn && ::GetFocus() == hWnd) {
            HWND hParent = ::GetParent(hWnd);
            HWND hNext = hParent ? ::GetNextDlgTabItem(hParent, hWnd, FALSE) : nullptr;
            if (hNext != nullptr && hNext != hWnd)
                ::SetFocus(hNext);
        }
        ::EnableWindow(hWnd, bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return;
        if (HMENU hMenu = MenuHandleOf(m_pMenu))
            ::CheckMenuItem(hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (IsButton(m_pOther)) {
        ::SendMessageW(m_pOther->m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    SetCheck(bOn ? 1 : 0);
    if (m_pMenu != nullptr && m_pSubMenu == nullptr) {
        if (HMENU hMenu = MenuHandleOf(m_pMenu)) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            if (::GetMenuItemInfoW(hMenu, m_nIndex, TRUE, &info)) {
                info.fType = bOn ? (info.fType | MFT_RADIOCHECK) : (info.fType & ~MFT_RADIOCHECK);
                ::SetMenuItemInfoW(hMenu, m_nIndex, TRUE, &info);
            }
        }
    }
}

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (lpszText == nullptr)
        lpszText = L"";
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return;
        if (HMENU hMenu = MenuHandleOf(m_pMenu)) {
            const UINT state = ::GetMenuState(hMenu, m_nIndex, MF_BYPOSITION) &
                               (MF_DISABLED | MF_GRAYED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK);
            ::ModifyMenuW(hMenu, m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
        }
    } else if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
        AfxSetWindowText(m_pOther->m_hWnd, lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    // Separators and ids that mean "none" have no state.
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF || pTarget == nullptr)
        return FALSE;

    m_bEnableChanged = FALSE;
    const BOOL bResult = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{nullptr, nullptr};
        const BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}
