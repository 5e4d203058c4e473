// Threads: worker threads running a function, and user-interface threads running a message loop with idle
// processing.
#pragma once

#include <windows.h>

#include "framework/win/CmdTarget.h"

class CWnd;

typedef UINT(AFX_CDECL* AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)

public:
    // A user-interface thread: InitInstance, then Run until WM_QUIT, then ExitInstance.
    CWinThread();
    // A worker thread running pfnThreadProc(pParam).
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

    operator HANDLE() const { return m_hThread; }
    int GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::PostThreadMessageW(m_nThreadID, message, wParam, lParam);
    }

    virtual BOOL InitInstance();
    virtual int Run();
    // Offers a message to the thread's message map (no window) and to the windows from its target up.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    // lCount counts the calls since the last message; answer TRUE while more idle work remains. Call 0 updates
    // the main window's command states, call 1 frees temporary objects.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    virtual CWnd* GetMainWnd();
    // Deletes this object when m_bAutoDelete is set (called when the thread ends).
    virtual void Delete();

    CWnd* m_pMainWnd;
    CWnd* m_pActiveWnd;
    BOOL m_bAutoDelete;
    HANDLE m_hThread;
    DWORD m_nThreadID;
    MSG m_msgCur;
    LPVOID m_pThreadParams;
    AFX_THREADPROC m_pfnThreadProc;

protected:
    BOOL DispatchThreadMessageEx(MSG* pMsg);

    POINT m_ptCursorLast;
    UINT m_nMsgLast;

    friend unsigned __stdcall AfxThreadEntry(void* pParam);
};

// Starts a worker thread; NULL on failure. With CREATE_SUSPENDED the caller resumes it.
CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                                  UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// Starts a user-interface thread of a class made by RUNTIME_CLASS with dynamic creation.
CWinThread* AFXAPI AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                                  UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// Ends the calling thread (deleting its thread object when bDelete and it auto-deletes). Does not return.
void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);

// The calling thread's thread object, or the application when the thread has none.
CWinThread* AFXAPI AfxGetThread();
// The calling thread's main window, or the application's when the thread has none.
CWnd* AFXAPI AfxGetMainWnd();
void AFXAPI AfxPostQuitMessage(int nExitCode);
// Frees the calling thread's temporary window and graphics wrappers.
void AFXAPI AfxDeleteTempMaps();
