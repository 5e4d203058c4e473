#include "framework/win/Wnd.h"

#include "framework/core/Exceptions.h"
#include "framework/win/WinApp.h"
#include "framework/win/WinThread.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <vector>

namespace {

// Windows with an object are found through one process-wide table so that an object detached or deleted on any
// thread leaves no stale entry behind. Each thread still has its own map: a lookup answers only with the object
// the calling thread attached, and two threads may each attach an object to the same handle.
struct PermanentEntry
{
    CWnd* pWnd;
    DWORD threadId;
};
using PermanentEntries = std::vector<PermanentEntry>;

SRWLOCK g_permanentLock = SRWLOCK_INIT;
std::unordered_map<HWND, PermanentEntries>& PermanentMap()
{
    static auto* map = new std::unordered_map<HWND, PermanentEntries>();
    return *map;
}

PermanentEntry* FindEntry(PermanentEntries& entries, DWORD threadId)
{
    for (PermanentEntry& entry : entries) {
        if (entry.threadId == threadId)
            return &entry;
    }
    return nullptr;
}

struct TempWndMap
{
    std::unordered_map<HWND, CWnd*> byHandle;
    std::vector<CWnd*> owned;
};

void DeleteTempWnds(AFX_THREAD_STATE* state)
{
    auto* temp = static_cast<TempWndMap*>(state->m_pTempMap);
    if (temp == nullptr)
        return;
    std::vector<CWnd*> owned;
    owned.swap(temp->owned);
    temp->byHandle.clear();
    for (CWnd* pWnd : owned) {
        pWnd->m_hWnd = nullptr;
        delete pWnd;
    }
}

void PurgeThreadWindows(DWORD threadId)
{
    AcquireSRWLockExclusive(&g_permanentLock);
    auto& map = PermanentMap();
    for (auto it = map.begin(); it != map.end();) {
        PermanentEntries& entries = it->second;
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [threadId](const PermanentEntry& e) { return e.threadId == threadId; }),
                      entries.end());
        it = entries.empty() ? map.erase(it) : std::next(it);
    }
    ReleaseSRWLockExclusive(&g_permanentLock);
}

// Called by the system when a thread ends (also one the framework did not start).
void WINAPI FreeThreadState(void* data)
{
    auto* state = static_cast<AFX_THREAD_STATE*>(data);
    if (state == nullptr)
        return;
    DeleteTempWnds(state);
    delete static_cast<TempWndMap*>(state->m_pTempMap);
    if (state->m_hToolTip != nullptr && ::IsWindow(state->m_hToolTip))
        ::DestroyWindow(state->m_hToolTip);
    if (state->m_hHookOldCbtFilter != nullptr)
        ::UnhookWindowsHookEx(state->m_hHookOldCbtFilter);
    PurgeThreadWindows(GetCurrentThreadId());
    delete state;
}

DWORD ThreadStateSlot()
{
    static const DWORD slot = FlsAlloc(&FreeThreadState);
    return slot;
}

TempWndMap& TempMap()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_pTempMap == nullptr)
        state->m_pTempMap = new TempWndMap();
    return *static_cast<TempWndMap*>(state->m_pTempMap);
}

const wchar_t kSuperProcProp[] = L"LqAfxSuperProc";
const wchar_t kDefaultClass[] = L"LqAfxWnd";

bool IsImeWindow(HWND hWnd)
{
    wchar_t className[32] = {};
    ::GetClassNameW(hWnd, className, 32);
    return lstrcmpiW(className, L"IME") == 0 || lstrcmpiW(className, L"MSCTFIME UI") == 0;
}

void InstallSubclass(CWnd* pWnd, HWND hWnd)
{
    const WNDPROC afxProc = AfxGetAfxWndProc();
    auto oldProc =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(afxProc)));
    if (oldProc != afxProc) {
        *pWnd->GetSuperWndProcAddr() = oldProc;
        // Kept on the window as well so that a message reaching a handle whose object is gone still gets the
        // original procedure.
        ::SetPropW(hWnd, kSuperProcProp, reinterpret_cast<HANDLE>(oldProc));
    }
}

LRESULT CallSuper(WNDPROC super, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (super == nullptr || super == AfxGetAfxWndProc())
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return ::CallWindowProcW(super, hWnd, nMsg, wParam, lParam);
}

LRESULT ProcessWndProcException(const MSG& msg)
{
    // A failed creation must fail; a paint that failed must not be asked for again and again.
    if (msg.message == WM_CREATE)
        return -1;
    if (msg.message == WM_PAINT)
        ::ValidateRect(msg.hwnd, nullptr);
    return 0;
}

} // namespace

AFX_THREAD_STATE* AFXAPI AfxGetThreadState()
{
    const DWORD slot = ThreadStateSlot();
    auto* state = static_cast<AFX_THREAD_STATE*>(FlsGetValue(slot));
    if (state == nullptr) {
        state = new AFX_THREAD_STATE();
        FlsSetValue(slot, state);
    }
    return state;
}

// ---- Window procedure

WNDPROC AFXAPI AfxGetAfxWndProc()
{
    return &AfxWndProc;
}

LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    const MSG oldMsg = state->m_lastSentMsg;
    state->m_lastSentMsg.hwnd = hWnd;
    state->m_lastSentMsg.message = nMsg;
    state->m_lastSentMsg.wParam = wParam;
    state->m_lastSentMsg.lParam = lParam;

    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        lResult = ProcessWndProcException(state->m_lastSentMsg);
        e->Delete();
    } catch (...) {
        lResult = ProcessWndProcException(state->m_lastSentMsg);
    }
    // pWnd may be gone here (PostNcDestroy deletes many windows).
    state->m_lastSentMsg = oldMsg;
    return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr || pWnd->m_hWnd != hWnd)
        return CallSuper(reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kSuperProcProp)), hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (code == HCBT_CREATEWND && state->m_pWndInit != nullptr) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        // The system may make its input-method window first, inside the same CreateWindowEx.
        if (!IsImeWindow(hWnd)) {
            CWnd* pWndInit = state->m_pWndInit;
            state->m_pWndInit = nullptr;
            if (pWndInit->Attach(hWnd)) {
                pWndInit->PreSubclassWindow();
                InstallSubclass(pWndInit, hWnd);
            }
        }
    }
    return ::CallNextHookEx(state->m_hHookOldCbtFilter, code, wParam, lParam);
}

void AFXAPI AfxHookWindowCreate(CWnd* pWnd)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_hHookOldCbtFilter == nullptr)
        state->m_hHookOldCbtFilter = ::SetWindowsHookExW(WH_CBT, &AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    ++state->m_nCreateDepth;
    state->m_pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_nCreateDepth > 0)
        --state->m_nCreateDepth;
    if (state->m_nCreateDepth == 0 && state->m_hHookOldCbtFilter != nullptr) {
        ::UnhookWindowsHookEx(state->m_hHookOldCbtFilter);
        state->m_hHookOldCbtFilter = nullptr;
    }
    if (state->m_pWndInit != nullptr) {
        state->m_pWndInit = nullptr;
        return FALSE;
    }
    return TRUE;
}

void AFXAPI AfxSetWindowText(HWND hWndCtrl, LPCTSTR lpszNew)
{
    if (hWndCtrl == nullptr)
        return;
    if (lpszNew == nullptr)
        lpszNew = L"";
    const int newLength = lstrlenW(lpszNew);
    wchar_t old[256];
    // Only short texts are compared; a long one is simply set.
    if (newLength > static_cast<int>(sizeof(old) / sizeof(old[0])) - 1 ||
        ::GetWindowTextW(hWndCtrl, old, static_cast<int>(sizeof(old) / sizeof(old[0]))) != newLength ||
        lstrcmpW(old, lpszNew) != 0) {
        ::SetWindowTextW(hWndCtrl, lpszNew);
    }
}

HWND AFXAPI AfxGetParentOwner(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    return (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hWnd) : ::GetWindow(hWnd, GW_OWNER);
}

// ---- CWnd

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
ON_WM_COMPAREITEM()
ON_WM_DELETEITEM()
ON_WM_PARENTNOTIFY()
{
    WM_CTLCOLOR, 0, 0, 0, AfxSig_msg, nullptr,
        AFX_MSG_THUNK(c_.lResult = p_->OnCtlColorMessage(reinterpret_cast<AFX_CTLCOLOR*>(c_.lParam)); return TRUE;)
}
,
{
    WM_HSCROLL, 0, 0, 0, AfxSig_msg, nullptr, AFX_MSG_THUNK(p_->OnHScroll(0, 0, nullptr); return TRUE;)
}
,
{
    WM_VSCROLL, 0, 0, 0, AfxSig_msg, nullptr, AFX_MSG_THUNK(p_->OnVScroll(0, 0, nullptr); return TRUE;)
}
,
    END_MESSAGE_MAP()

        CWnd::CWnd()
    : m_hWnd(nullptr), m_nFlags(0), m_nModalResult(0), m_hWndOwner(nullptr), m_pfnSuper(nullptr)
{
}

CWnd::CWnd(HWND hWnd) : m_hWnd(hWnd), m_nFlags(0), m_nModalResult(0), m_hWndOwner(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd()
{
    if (m_hWnd == nullptr)
        return;
    if (FromHandlePermanent(m_hWnd) == this && ::IsWindow(m_hWnd)) {
        DestroyWindow();
    }
    // A window of another thread, or one already gone, must not keep pointing at this object.
    if (m_hWnd != nullptr)
        Detach();
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    CWnd* pWnd = nullptr;
    AcquireSRWLockShared(&g_permanentLock);
    auto& map = PermanentMap();
    auto found = map.find(hWnd);
    if (found != map.end()) {
        if (PermanentEntry* entry = FindEntry(found->second, ::GetCurrentThreadId()))
            pWnd = entry->pWnd;
    }
    ReleaseSRWLockShared(&g_permanentLock);
    return pWnd;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    TempWndMap& temp = TempMap();
    auto found = temp.byHandle.find(hWnd);
    if (found != temp.byHandle.end()) {
        // DestroyWindow through a temporary clears its handle; a later window may get the same handle value.
        found->second->m_hWnd = hWnd;
        return found->second;
    }
    CWnd* pWnd = new CWnd(hWnd);
    temp.byHandle[hWnd] = pWnd;
    temp.owned.push_back(pWnd);
    return pWnd;
}

void PASCAL CWnd::DeleteTempMap()
{
    DeleteTempWnds(AfxGetThreadState());
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == nullptr || m_hWnd != nullptr)
        return FALSE;
    AcquireSRWLockExclusive(&g_permanentLock);
    auto& map = PermanentMap();
    PermanentEntries& entries = map[hWndNew];
    PermanentEntry* entry = FindEntry(entries, ::GetCurrentThreadId());
    const bool taken = entry != nullptr && entry->pWnd != this;
    if (entry == nullptr)
        entries.push_back(PermanentEntry{this, ::GetCurrentThreadId()});
    ReleaseSRWLockExclusive(&g_permanentLock);
    if (taken)
        return FALSE;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        AcquireSRWLockExclusive(&g_permanentLock);
        auto& map = PermanentMap();
        auto found = map.find(hWnd);
        if (found != map.end()) {
            PermanentEntries& entries = found->second;
            entries.erase(std::remove_if(entries.begin(), entries.end(),
                                         [this](const PermanentEntry& e) { return e.pWnd == this; }),
                          entries.end());
            if (entries.empty())
                map.erase(found);
        }
        ReleaseSRWLockExclusive(&g_permanentLock);
    }
    m_hWnd = nullptr;
    return hWnd;
}

WNDPROC* CWnd::GetSuperWndProcAddr()
{
    return &m_pfnSuper;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        WNDCLASSW wc{};
        if (!::GetClassInfoW(AfxGetInstanceHandle(), kDefaultClass, &wc)) {
            wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = AfxGetInstanceHandle();
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = kDefaultClass;
            if (!::RegisterClassW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                return FALSE;
        }
        cs.lpszClass = kDefaultClass;
    }
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext)
{
    // A child's id travels in the menu slot; a pop-up has no id, so it must not get one there.
    if (dwStyle & WS_POPUP)
        return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), nullptr, pContext);
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != nullptr)
        return FALSE;
    CREATESTRUCTW cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;

    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }

    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // When the window was never made, nothing called PostNcDestroy yet; a self-deleting class relies on it.
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    const bool permanent = FromHandlePermanent(m_hWnd) == this;
    const BOOL bResult = ::DestroyWindow(m_hWnd);
    // A permanent object was detached by OnNcDestroy and may be deleted already.
    if (!permanent)
        m_hWnd = nullptr;
    return bResult;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr || ::GetWindowThreadProcessId(hWnd, nullptr) != ::GetCurrentThreadId())
        return FALSE;
    // Two objects on one window would each call the other as its original procedure.
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == AfxGetAfxWndProc())
        return FALSE;
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    InstallSubclass(this, hWnd);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID));
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == nullptr)
        return nullptr;
    if (m_pfnSuper != nullptr) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::RemovePropW(m_hWnd, kSuperProcProp);
        m_pfnSuper = nullptr;
    }
    return Detach();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallSuper(*GetSuperWndProcAddr(), m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* PASCAL CWnd::GetCurrentMessage()
{
    return &AfxGetThreadState()->m_lastSentMsg;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        lResult = 1;
    } else if (message == WM_NOTIFY) {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        if (pNMHDR == nullptr || pNMHDR->hwndFrom == nullptr || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
    } else {
        // The colour messages of the controls reach handlers as one message with the control type.
        AFX_CTLCOLOR ctl{};
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            ctl.hDC = reinterpret_cast<HDC>(wParam);
            ctl.hWnd = reinterpret_cast<HWND>(lParam);
            ctl.nCtlType = message - WM_CTLCOLORMSGBOX;
            message = WM_CTLCOLOR;
            wParam = 0;
            lParam = reinterpret_cast<LPARAM>(&ctl);
        }
        const AFX_MSGMAP_ENTRY* lpEntry = nullptr;
        for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr && lpEntry == nullptr;
             pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
            for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
                if (e->nSig != AfxSig_msg)
                    continue;
                const bool match = e->pnRegisteredMessage != nullptr
                                       ? (message >= 0xC000 && *e->pnRegisteredMessage == message)
                                       : e->nMessage == message;
                if (match) {
                    lpEntry = e;
                    break;
                }
            }
        }
        if (lpEntry == nullptr)
            return FALSE;
        AFX_MSG_CALL call{message, wParam, lParam, 0, 0, nullptr, 0};
        if (!lpEntry->pfn(this, call))
            return FALSE;
        lResult = call.lResult;
    }
    if (pResult != nullptr)
        *pResult = lResult;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr) {
        if (nID == 0)
            return FALSE;
        // A menu item or accelerator whose command became disabled since the menu was shown is ignored.
        struct CTestCmdUI : CCmdUI
        {
            BOOL m_bEnabled = TRUE;
            void Enable(BOOL bOn) override
            {
                m_bEnabled = bOn;
                m_bEnableChanged = TRUE;
            }
            void SetCheck(int) override {}
            void SetRadio(BOOL) override {}
            void SetText(LPCTSTR) override {}
        } test;
        test.m_nID = nID;
        OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &test, nullptr);
        if (!test.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    } else {
        if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd)
            return TRUE;
        if (ReflectLastMsg(hWndCtrl))
            return TRUE;
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    HWND hWndCtrl = pNMHDR->hwndFrom;
    const UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    const int nCode = static_cast<int>(pNMHDR->code);
    if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd)
        return TRUE;
    if (ReflectLastMsg(hWndCtrl, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, pNMHDR};
    return OnCmdMsg(nID, static_cast<int>(MAKELONG(nCode, WM_NOTIFY)), &notify, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
        return CWnd::OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
        const int nCode = HIWORD(wParam);
        if (CCmdTarget::OnCmdMsg(0, static_cast<int>(MAKELONG(nCode, WM_REFLECT_BASE + WM_COMMAND)), nullptr,
                                 nullptr)) {
            if (pResult != nullptr)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        const int nCode = static_cast<int>(pNMHDR->code);
        AFX_NOTIFY notify{pResult, pNMHDR};
        return CCmdTarget::OnCmdMsg(0, static_cast<int>(MAKELONG(nCode, WM_REFLECT_BASE + WM_NOTIFY)), &notify,
                                    nullptr);
    }
    default:
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            AFX_CTLCOLOR ctl{reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                             message - WM_CTLCOLORMSGBOX};
            return CWnd::OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&ctl), pResult);
        }
        return FALSE;
    }
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    return pWnd != nullptr && pWnd->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

void CWnd::OnNcDestroy()
{
    // The main window of a thread going away ends the thread's message loop.
    if (CWinThread* pThread = AfxGetThread()) {
        if (pThread->m_pMainWnd == this) {
            AfxPostQuitMessage(0);
            pThread->m_pMainWnd = nullptr;
        }
        if (pThread->m_pActiveWnd == this)
            pThread->m_pActiveWnd = nullptr;
    }
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_hWndLastHit == m_hWnd) {
        state->m_hWndLastHit = nullptr;
        state->m_nLastHit = -1;
    }

    HWND hWnd = m_hWnd;
    const auto procBefore = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    Default();
    // Our procedure is taken off again unless someone subclassed the window after us.
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == procBefore) {
        if (WNDPROC super = *GetSuperWndProcAddr())
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    }
    ::RemovePropW(hWnd, kSuperProcProp);
    Detach();
    PostNcDestroy();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar*)
{
    HWND hCtl = reinterpret_cast<HWND>(GetCurrentMessage()->lParam);
    if (hCtl != nullptr && ReflectLastMsg(hCtl))
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar*)
{
    HWND hCtl = reinterpret_cast<HWND>(GetCurrentMessage()->lParam);
    if (hCtl != nullptr && ReflectLastMsg(hCtl))
        return;
    Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType != ODT_MENU && ReflectLastMsg(lpDrawItemStruct->hwndItem))
        return;
    Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType != ODT_MENU) {
        CWnd* pChild = GetDescendantWindow(static_cast<int>(lpMeasureItemStruct->CtlID), TRUE);
        if (pChild != nullptr && pChild->SendChildNotifyLastMsg())
            return;
    }
    Default();
}

int CWnd::OnCompareItem(int, LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    LRESULT lResult = 0;
    if (ReflectLastMsg(lpCompareItemStruct->hwndItem, &lResult))
        return static_cast<int>(lResult);
    return static_cast<int>(Default());
}

void CWnd::OnDeleteItem(int, LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    if (ReflectLastMsg(lpDeleteItemStruct->hwndItem))
        return;
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT lResult = 0;
    if (pWnd != nullptr && ReflectLastMsg(pWnd->m_hWnd, &lResult))
        return reinterpret_cast<HBRUSH>(lResult);
    return reinterpret_cast<HBRUSH>(Default());
}

LRESULT CWnd::OnCtlColorMessage(AFX_CTLCOLOR* pCtl)
{
    LRESULT lResult = 0;
    if (ReflectLastMsg(pCtl->hWnd, &lResult))
        return lResult;
    return Default();
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    if ((LOWORD(message) == WM_CREATE || LOWORD(message) == WM_DESTROY) &&
        ReflectLastMsg(reinterpret_cast<HWND>(lParam)))
        return;
    Default();
}

// ---- Pre-translation, descendants, dialog controls

BOOL CWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_nFlags & (WF_TOOLTIPS | WF_TRACKINGTOOLTIPS))
        FilterToolTipMessage(pMsg);
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
        // A top-level window ends the walk (its parent would be its owner).
        if (hWnd == hWndStop || !(::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return FALSE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    SendMessageToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

void PASCAL CWnd::SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                           BOOL bOnlyPerm)
{
    for (HWND hWndChild = ::GetTopWindow(hWnd); hWndChild != nullptr; hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (bOnlyPerm) {
            if (CWnd* pWnd = FromHandlePermanent(hWndChild))
                AfxCallWndProc(pWnd, hWndChild, message, wParam, lParam);
        } else {
            ::SendMessageW(hWndChild, message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(hWndChild) && ::GetTopWindow(hWndChild) != nullptr)
            SendMessageToDescendants(hWndChild, message, wParam, lParam, bDeep, bOnlyPerm);
    }
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    CWnd wndTemp;
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        wndTemp.m_hWnd = hWndChild;
        state.m_nID = static_cast<UINT>(::GetDlgCtrlID(hWndChild));
        state.m_pOther = &wndTemp;

        // The control's own reflected update handler, called directly so that nothing else is routed.
        if (CWnd* pWnd = FromHandlePermanent(hWndChild)) {
            if (pWnd->CCmdTarget::OnCmdMsg(
                    0, static_cast<int>(MAKELONG(static_cast<WORD>(-1), WM_COMMAND + WM_REFLECT_BASE)), &state,
                    nullptr))
                continue;
        }
        if (CCmdTarget::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;

        // Only push buttons are disabled for lack of a handler; other controls do their own work.
        BOOL bDisableTemp = bDisableIfNoHndler;
        if (bDisableTemp) {
            if ((::SendMessageW(hWndChild, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) == 0) {
                bDisableTemp = FALSE;
            } else {
                const UINT nStyle = static_cast<UINT>(::GetWindowLongPtrW(hWndChild, GWL_STYLE) & 0x0F);
                if (nStyle == BS_AUTOCHECKBOX || nStyle == BS_AUTO3STATE || nStyle == BS_GROUPBOX ||
                    nStyle == BS_AUTORADIOBUTTON)
                    bDisableTemp = FALSE;
            }
        }
        state.DoUpdate(pTarget, bDisableTemp);
    }
    wndTemp.m_hWnd = nullptr;
}

// ---- Owners, frames, descendants

CFrameWnd* CWnd::GetParentFrame() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    for (CWnd* pParent = GetParent(); pParent != nullptr; pParent = pParent->GetParent()) {
        // Frame classes derive from CWnd alone, so the object's address is the frame's.
        if (pParent->IsFrameWnd())
            return reinterpret_cast<CFrameWnd*>(pParent);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    const CWnd* pFrame = IsFrameWnd() ? this : reinterpret_cast<const CWnd*>(GetParentFrame());
    while (pFrame != nullptr) {
        auto* pNext = reinterpret_cast<const CWnd*>(pFrame->GetParentFrame());
        if (pNext == nullptr)
            break;
        pFrame = pNext;
    }
    return reinterpret_cast<CFrameWnd*>(const_cast<CWnd*>(pFrame));
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    HWND hWndParent = m_hWnd;
    for (HWND hWndT; (hWndT = AfxGetParentOwner(hWndParent)) != nullptr;)
        hWndParent = hWndT;
    return FromHandle(hWndParent);
}

CWnd* CWnd::GetTopLevelOwner() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    HWND hWndOwner = m_hWnd;
    for (HWND hWndT; (hWndT = ::GetWindow(hWndOwner, GW_OWNER)) != nullptr;)
        hWndOwner = hWndT;
    return FromHandle(hWndOwner);
}

CWnd* CWnd::GetParentOwner() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    HWND hWndParent = m_hWnd;
    HWND hWndT;
    while ((::GetWindowLongPtrW(hWndParent, GWL_STYLE) & WS_CHILD) && (hWndT = ::GetParent(hWndParent)) != nullptr)
        hWndParent = hWndT;
    return FromHandle(hWndParent);
}

CWnd* CWnd::GetOwner() const
{
    return m_hWndOwner != nullptr ? FromHandle(m_hWndOwner) : GetParent();
}

CWnd* PASCAL CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    HWND hWnd = pParent->GetSafeHwnd();
    if (hWnd == nullptr) {
        // Only a main window of this thread stands in: a worker's dialog must not disable another thread's
        // window, whose thread may be waiting for the worker.
        hWnd = AfxGetMainWnd()->GetSafeHwnd();
        if (hWnd != nullptr && ::GetWindowThreadProcessId(hWnd, nullptr) != ::GetCurrentThreadId())
            hWnd = nullptr;
    }
    // The top-level window, and its last active pop-up as the owner to use.
    while (hWnd != nullptr && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    if (pWndTop != nullptr)
        *pWndTop = hWnd;
    if (hWnd != nullptr)
        hWnd = ::GetLastActivePopup(hWnd);
    return FromHandle(hWnd);
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const
{
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(hWndChild) == nID) {
            CWnd* pWnd = bOnlyPerm ? FromHandlePermanent(hWndChild) : FromHandle(hWndChild);
            if (pWnd != nullptr)
                return pWnd;
        }
        if (::GetTopWindow(hWndChild) != nullptr) {
            CWnd wndTemp(hWndChild);
            CWnd* pWnd = wndTemp.GetDescendantWindow(nID, bOnlyPerm);
            wndTemp.m_hWnd = nullptr;
            if (pWnd != nullptr)
                return pWnd;
        }
    }
    return nullptr;
}

// ---- Wrappers

BOOL PASCAL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_STYLE));
    const DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongPtrW(hWnd, GWL_STYLE, static_cast<LONG_PTR>(dwNewStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL PASCAL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, GWL_EXSTYLE));
    const DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    ::SetWindowLongPtrW(hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(dwNewStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyle(LiveHwnd(), dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleEx(LiveHwnd(), dwRemove, dwAdd, nFlags);
}

void CWnd::GetWindowText(CString& rString) const
{
    const int nLen = ::GetWindowTextLengthW(LiveHwnd());
    ::GetWindowTextW(m_hWnd, rString.GetBufferSetLength(nLen), nLen + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString = L"";
    HWND hWnd = ::GetDlgItem(LiveHwnd(), nID);
    if (hWnd == nullptr)
        return 0;
    const int nLen = ::GetWindowTextLengthW(hWnd);
    ::GetWindowTextW(hWnd, rString.GetBufferSetLength(nLen), nLen + 1);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(LiveHwnd(), reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(LiveHwnd(), reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    LQ_CHECK_WINDOW(m_hWnd);
    HWND hWndCenter = pAlternateOwner->GetSafeHwnd();
    if (hWndCenter == nullptr)
        hWndCenter = (GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    RECT rcDlg;
    ::GetWindowRect(m_hWnd, &rcDlg);
    RECT rcArea;
    RECT rcCenter;
    if (!(GetStyle() & WS_CHILD)) {
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        HMONITOR hMonitor = ::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
        ::GetMonitorInfoW(hMonitor, &mi);
        rcArea = mi.rcWork;
        if (hWndCenter == nullptr || !::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter))
            rcCenter = rcArea;
        else
            ::GetWindowRect(hWndCenter, &rcCenter);
    } else {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        if (hWndCenter != nullptr)
            ::GetClientRect(hWndCenter, &rcCenter);
        else
            rcCenter = rcArea;
        if (hWndCenter != nullptr && hWndCenter != hWndParent)
            ::MapWindowPoints(hWndCenter, hWndParent, reinterpret_cast<LPPOINT>(&rcCenter), 2);
    }
    const int width = rcDlg.right - rcDlg.left;
    const int height = rcDlg.bottom - rcDlg.top;
    int left = (rcCenter.left + rcCenter.right) / 2 - width / 2;
    int top = (rcCenter.top + rcCenter.bottom) / 2 - height / 2;
    left = std::max<int>(rcArea.left, std::min<int>(left, rcArea.right - width));
    top = std::max<int>(rcArea.top, std::min<int>(top, rcArea.bottom - height));
    ::SetWindowPos(m_hWnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(LiveHwnd(), nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) const
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(LiveHwnd(), nBar, lpScrollInfo);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (lpszCaption == nullptr) {
        CWinApp* pApp = AfxGetApp();
        lpszCaption = pApp != nullptr && pApp->m_pszAppName != nullptr ? pApp->m_pszAppName : L"";
    }
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption, nType);
}
