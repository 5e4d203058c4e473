#include "toolkit/base/XTPHookManager.h"

#include "framework/win/Wnd.h"
#include "toolkit/base/XTPMouseManager.h"

#include <algorithm>

namespace {

bool Contains(const std::vector<CXTPHookManagerHookAble*>& list, const CXTPHookManagerHookAble* pHook)
{
    return std::find(list.begin(), list.end(), pHook) != list.end();
}

// Sets the thread's current message for the length of one hooked call, so that Default() sees it.
class CCurrentMessage
{
public:
    CCurrentMessage(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
        : m_pState(AfxGetThreadState()), m_saved(m_pState->m_lastSentMsg)
    {
        m_pState->m_lastSentMsg.hwnd = hWnd;
        m_pState->m_lastSentMsg.message = nMessage;
        m_pState->m_lastSentMsg.wParam = wParam;
        m_pState->m_lastSentMsg.lParam = lParam;
    }
    ~CCurrentMessage() { m_pState->m_lastSentMsg = m_saved; }
    CCurrentMessage(const CCurrentMessage&) = delete;
    CCurrentMessage& operator=(const CCurrentMessage&) = delete;

private:
    AFX_THREAD_STATE* m_pState;
    MSG m_saved;
};

} // namespace

// ---- CXTPHookSubclass

CXTPHookSubclass::CXTPHookSubclass(HWND hWnd) : m_pOldWndProc(nullptr), m_hWnd(hWnd), m_nWalks(0), m_bRemoved(FALSE) {}

CXTPHookSubclass::~CXTPHookSubclass()
{
    Unsubclass();
}

void CXTPHookSubclass::Unsubclass()
{
    if (m_pOldWndProc != nullptr && ::IsWindow(m_hWnd))
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pOldWndProc));
    m_bRemoved = TRUE;
}

// ---- CXTPHookManager

CXTPHookManager* XTPHookManager()
{
    static CXTPHookManager manager;
    return &manager;
}

CXTPHookManager::~CXTPHookManager()
{
    RemoveAll();
}

CXTPHookSubclass* CXTPHookManager::Lookup(HWND hWnd) const
{
    auto it = m_mapHooks.find(hWnd);
    return it == m_mapHooks.end() ? nullptr : it->second;
}

void CXTPHookManager::SetHook(HWND hWnd, CXTPHookManagerHookAble* pHook)
{
    if (hWnd == nullptr || pHook == nullptr || !::IsWindow(hWnd))
        return;
    CXTPHookSubclass* pSubclass = Lookup(hWnd);
    if (pSubclass == nullptr) {
        pSubclass = new CXTPHookSubclass(hWnd);
        pSubclass->m_pOldWndProc =
            reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookWndProc)));
        m_mapHooks[hWnd] = pSubclass;
    }
    if (!Contains(pSubclass->m_arrHooks, pHook))
        pSubclass->m_arrHooks.push_back(pHook);
}

void CXTPHookManager::Release(CXTPHookSubclass* pSubclass)
{
    m_mapHooks.erase(pSubclass->m_hWnd);
    pSubclass->Unsubclass();
    // A walk over this window's hooks may still be running further up the stack: it deletes the record.
    if (pSubclass->m_nWalks == 0)
        delete pSubclass;
}

void CXTPHookManager::RemoveHook(HWND hWnd, CXTPHookManagerHookAble* pHook)
{
    CXTPHookSubclass* pSubclass = Lookup(hWnd);
    if (pSubclass == nullptr)
        return;
    auto& hooks = pSubclass->m_arrHooks;
    hooks.erase(std::remove(hooks.begin(), hooks.end(), pHook), hooks.end());
    if (hooks.empty())
        Release(pSubclass);
}

void CXTPHookManager::RemoveAll(CXTPHookManagerHookAble* pHook)
{
    std::vector<HWND> windows;
    for (const auto& entry : m_mapHooks)
        windows.push_back(entry.first);
    for (HWND hWnd : windows)
        RemoveHook(hWnd, pHook);
}

void CXTPHookManager::RemoveAll()
{
    while (!m_mapHooks.empty()) {
        CXTPHookSubclass* pSubclass = m_mapHooks.begin()->second;
        pSubclass->m_arrHooks.clear();
        Release(pSubclass);
    }
}

LRESULT CALLBACK CXTPHookManager::HookWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    CXTPHookManager* pManager = XTPHookManager();
    CXTPHookSubclass* pSubclass = pManager->Lookup(hWnd);
    if (pSubclass == nullptr)
        return ::DefWindowProcW(hWnd, nMessage, wParam, lParam);
    return pManager->Dispatch(pSubclass, hWnd, nMessage, wParam, lParam);
}

LRESULT CXTPHookManager::Dispatch(CXTPHookSubclass* pSubclass, HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    CCurrentMessage current(hWnd, nMessage, wParam, lParam);
    // Hook objects may remove themselves (and empty the record) while they are offered the message: the walk
    // keeps the record alive, works on a copy of the list and skips objects removed meanwhile.
    ++pSubclass->m_nWalks;
    const WNDPROC pOldWndProc = pSubclass->m_pOldWndProc;
    LRESULT lResult = 0;
    BOOL bHandled = FALSE;
    if (nMessage == WM_NCDESTROY) {
        pSubclass->m_arrHooks.clear();
        Release(pSubclass);
    } else {
        const std::vector<CXTPHookManagerHookAble*> hooks = pSubclass->m_arrHooks;
        for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
            if (pSubclass->m_bRemoved || !Contains(pSubclass->m_arrHooks, *it))
                continue;
            const int nAnswer = (*it)->OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
            if (nAnswer == xtpHookHandled) {
                bHandled = TRUE;
                break;
            }
            if (nAnswer == xtpHookStop)
                break;
        }
    }
    if (!bHandled)
        lResult = ::CallWindowProcW(pOldWndProc, hWnd, nMessage, wParam, lParam);
    if (--pSubclass->m_nWalks == 0 && pSubclass->m_bRemoved)
        delete pSubclass;
    return lResult;
}

// ---- CXTPKeyboardManager

CXTPKeyboardManager* XTPKeyboardManager()
{
    thread_local CXTPKeyboardManager manager;
    return &manager;
}

CXTPKeyboardManager::CXTPKeyboardManager() : m_hHookKeyboard(nullptr), m_hHookCallWndProc(nullptr) {}

CXTPKeyboardManager::~CXTPKeyboardManager()
{
    if (m_hHookKeyboard != nullptr)
        ::UnhookWindowsHookEx(m_hHookKeyboard);
    if (m_hHookCallWndProc != nullptr)
        ::UnhookWindowsHookEx(m_hHookCallWndProc);
}

BOOL CXTPKeyboardManager::IsRegistered(const CXTPHookManagerHookAble* pHook) const
{
    return Contains(m_lstHooks, pHook);
}

void CXTPKeyboardManager::HookKeyboard(CXTPHookManagerHookAble* pHook)
{
    if (pHook == nullptr)
        return;
    if (m_hHookKeyboard == nullptr) {
        HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
        m_hHookKeyboard = ::SetWindowsHookExW(WH_KEYBOARD, KeyboardProc, hInstance, ::GetCurrentThreadId());
        m_hHookCallWndProc = ::SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, hInstance, ::GetCurrentThreadId());
    }
    if (!IsRegistered(pHook))
        m_lstHooks.push_back(pHook);
}

void CXTPKeyboardManager::UnhookKeyboard(CXTPHookManagerHookAble* pHook)
{
    m_lstHooks.erase(std::remove(m_lstHooks.begin(), m_lstHooks.end(), pHook), m_lstHooks.end());
    if (m_lstHooks.empty()) {
        if (m_hHookKeyboard != nullptr)
            ::UnhookWindowsHookEx(m_hHookKeyboard);
        if (m_hHookCallWndProc != nullptr)
            ::UnhookWindowsHookEx(m_hHookCallWndProc);
        m_hHookKeyboard = nullptr;
        m_hHookCallWndProc = nullptr;
    }
}

BOOL CXTPKeyboardManager::ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // A key may end tracking and so unregister objects: walk a copy, skipping those gone meanwhile.
    const std::vector<CXTPHookManagerHookAble*> hooks = m_lstHooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        if (!IsRegistered(*it))
            continue;
        WPARAM wp = wParam;
        LPARAM lp = lParam;
        LRESULT lResult = 0;
        const int nAnswer = (*it)->OnHookMessage(nullptr, nMessage, wp, lp, lResult);
        if (nAnswer != xtpHookNotHandled)
            return nAnswer == xtpHookStop ? FALSE : TRUE;
    }
    return TRUE;
}

LRESULT CALLBACK CXTPKeyboardManager::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPKeyboardManager* pManager = XTPKeyboardManager();
    const bool bKeyPress = (static_cast<DWORD>(lParam) & 0x80000000) == 0;
    if (nCode == HC_ACTION && !pManager->m_lstHooks.empty() && bKeyPress) {
        CXTPMouseManager* pMouseManager = XTPMouseManager();
        if (lParam & 0x20000000) {
            if (pMouseManager->m_nLock <= 0) {
                if (wParam == VK_MENU) {
                    if ((lParam & 0x40000000) == 0) {
                        pMouseManager->EndAllTracking();
                        return 1;
                    }
                } else if (pManager->ProcessKeyboardHooks(WM_KEYDOWN, wParam, lParam)) {
                    return 1;
                }
            }
        } else if (pManager->ProcessKeyboardHooks(WM_KEYDOWN, wParam, lParam)) {
            return 1;
        }
    }
    return ::CallNextHookEx(pManager->m_hHookKeyboard, nCode, wParam, lParam);
}

LRESULT CALLBACK CXTPKeyboardManager::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPKeyboardManager* pManager = XTPKeyboardManager();
    if (nCode == HC_ACTION) {
        const CWPSTRUCT* pMessage = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (pMessage->message == WM_ACTIVATEAPP && !pMessage->wParam)
            XTPMouseManager()->EndAllTracking();
    }
    return ::CallNextHookEx(pManager->m_hHookCallWndProc, nCode, wParam, lParam);
}
