#include "framework/win/WinThread.h"

#include "framework/core/Exceptions.h"
#include "framework/win/TempHandleMap.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"

#include <process.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread()
    : m_pMainWnd(nullptr), m_pActiveWnd(nullptr), m_bAutoDelete(TRUE), m_hThread(nullptr), m_nThreadID(0), m_msgCur(),
      m_pThreadParams(nullptr), m_pfnThreadProc(nullptr), m_ptCursorLast{-1, -1}, m_nMsgLast(0)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : CWinThread()
{
    m_pfnThreadProc = pfnThreadProc;
    m_pThreadParams = pParam;
}

CWinThread::~CWinThread()
{
    if (m_hThread != nullptr)
        ::CloseHandle(m_hThread);
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_pCurrentWinThread == this)
        state->m_pCurrentWinThread = nullptr;
}

unsigned __stdcall AfxThreadEntry(void* pParam)
{
    auto* pThread = static_cast<CWinThread*>(pParam);
    AfxGetThreadState()->m_pCurrentWinThread = pThread;
    UINT nResult = 0;
    // No exception may leave the thread's procedure; one that would is the end of the thread.
    try {
        if (pThread->m_pfnThreadProc != nullptr) {
            nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
        } else if (!pThread->InitInstance()) {
            if (pThread->m_pMainWnd != nullptr && pThread->m_pMainWnd->m_hWnd != nullptr)
                pThread->m_pMainWnd->DestroyWindow();
            nResult = static_cast<UINT>(pThread->ExitInstance());
        } else {
            nResult = static_cast<UINT>(pThread->Run());
        }
    } catch (CException* e) {
        e->Delete();
        nResult = static_cast<UINT>(-1);
    } catch (...) {
        nResult = static_cast<UINT>(-1);
    }
    AfxEndThread(nResult);
    return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread != nullptr)
        return FALSE;
    // Started suspended so that m_hThread and m_nThreadID are set before the thread can look at them.
    unsigned threadId = 0;
    const uintptr_t handle =
        _beginthreadex(lpSecurityAttrs, nStackSize, &AfxThreadEntry, this,
                       (dwCreateFlags | CREATE_SUSPENDED) & ~STACK_SIZE_PARAM_IS_A_RESERVATION, &threadId);
    if (handle == 0)
        return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(handle);
    m_nThreadID = threadId;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

CWnd* CWinThread::GetMainWnd()
{
    if (m_pActiveWnd != nullptr)
        return m_pActiveWnd;
    return m_pMainWnd;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageW(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (m_msgCur.message != WM_KICKIDLE && !PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // A mouse that did not move, a paint and the caret's blink timer do not restart idle work.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y && pMsg->message == m_nMsgLast)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

BOOL CWinThread::DispatchThreadMessageEx(MSG* pMsg)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nSig != AfxSig_thread)
                continue;
            const bool match = e->pnRegisteredMessage != nullptr
                                   ? (pMsg->message >= 0xC000 && *e->pnRegisteredMessage == pMsg->message)
                                   : e->nMessage == pMsg->message;
            if (match) {
                AFX_MSG_CALL call{pMsg->message, pMsg->wParam, pMsg->lParam, 0, 0, nullptr, 0};
                e->pfn(this, call);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == nullptr && DispatchThreadMessageEx(pMsg))
        return TRUE;
    // This thread's own main window only: another thread's object must not be called from here.
    CWnd* pMainWnd = GetMainWnd();
    if (CWnd::WalkPreTranslateTree(pMainWnd->GetSafeHwnd(), pMsg))
        return TRUE;
    // A modeless window outside the main window still gets the main window's accelerators.
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMsg->hwnd != nullptr) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        CWnd* pTop = pWnd->GetTopLevelParent();
        if (pTop != nullptr && pTop->m_hWnd != pMainWnd->m_hWnd)
            return pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMainWnd->IsWindowVisible()) {
            AfxCallWndProc(pMainWnd, pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
    } else if (lCount == 1) {
        AfxDeleteTempMaps();
    }
    return lCount < 1;
}

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                                  DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    auto* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        pThread->Delete();
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

CWinThread* AFXAPI AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pThreadClass == nullptr || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
        return nullptr;
    auto* pThread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (pThread == nullptr)
        return nullptr;
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        pThread->Delete();
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (CWinThread* pThread = state->m_pCurrentWinThread) {
        state->m_pCurrentWinThread = nullptr;
        if (bDelete)
            pThread->Delete();
    }
    AfxDeleteTempMaps();
    _endthreadex(nExitCode);
}

CWinThread* AFXAPI AfxGetThread()
{
    CWinThread* pThread = AfxGetThreadState()->m_pCurrentWinThread;
    return pThread != nullptr ? pThread : AfxGetApp();
}

CWnd* AFXAPI AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThreadState()->m_pCurrentWinThread;
    if (pThread != nullptr) {
        if (CWnd* pWnd = pThread->GetMainWnd())
            return pWnd;
    }
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr ? pApp->GetMainWnd() : nullptr;
}

void AFXAPI AfxPostQuitMessage(int nExitCode)
{
    ::PostQuitMessage(nExitCode);
}

void AFXAPI AfxDeleteTempMaps()
{
    CWnd::DeleteTempMap();
    AfxDeleteTempGraphicsMaps();
}
