#include "framework/win/WinApp.h"

#include "framework/win/RecentFileList.h"

#include "framework/core/AfxModule.h"
#include "framework/core/Exceptions.h"
#include "framework/win/Wnd.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <set>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* g_pApp = nullptr;
bool g_oleInitialized = false;

LPTSTR DuplicateText(LPCTSTR text)
{
    return text != nullptr ? _wcsdup(text) : nullptr;
}

void FreeText(LPCTSTR& text)
{
    std::free(const_cast<LPTSTR>(text));
    text = nullptr;
}

} // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(DuplicateText(lpszAppName)), m_pszRegistryKey(nullptr), m_pszProfileName(nullptr),
      m_pszExeName(nullptr), m_pszHelpFilePath(nullptr), m_hInstance(nullptr), m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWNORMAL), m_pRecentFileList(nullptr)
{
    // A second object (a test's, beside the program's own) stands in until it ends, then the first is back.
    m_pPrevApp = g_pApp;
    g_pApp = this;
    // The application is the thread object of the thread that made it, and never deletes itself.
    m_bAutoDelete = FALSE;
    m_nThreadID = ::GetCurrentThreadId();
    AFX_THREAD_STATE* state = AfxGetThreadState();
    m_pPrevThread = state->m_pCurrentWinThread;
    state->m_pCurrentWinThread = this;
}

CWinApp::~CWinApp()
{
    delete m_pRecentFileList;
    if (g_pApp == this)
        g_pApp = m_pPrevApp;
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_pCurrentWinThread == this)
        state->m_pCurrentWinThread = m_pPrevThread;
    FreeText(m_pszAppName);
    FreeText(m_pszRegistryKey);
    FreeText(m_pszProfileName);
    FreeText(m_pszExeName);
    FreeText(m_pszHelpFilePath);
}

CWinApp* AFXAPI AfxGetApp()
{
    return g_pApp;
}

LPCTSTR AFXAPI AfxGetAppName()
{
    return g_pApp != nullptr ? g_pApp->m_pszAppName : L"";
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    // Nothing to show means nothing to wait for.
    if (m_pMainWnd == nullptr)
        AfxPostQuitMessage(0);
    return CWinThread::Run();
}

int CWinApp::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    HWND hWndTop = nullptr;
    CWnd* pOwner = CWnd::GetSafeOwner(nullptr, &hWndTop);
    // Boxes without an icon get the one that fits their buttons.
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    return ::MessageBoxW(pOwner->GetSafeHwnd(), lpszPrompt, m_pszAppName != nullptr ? m_pszAppName : L"", nType);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIconW(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const
{
    return ::LoadIconW(nullptr, lpszIconName);
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursorW(AfxGetResourceHandle(), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const
{
    return ::LoadCursorW(nullptr, lpszCursorName);
}

HCURSOR CWinApp::LoadOEMCursor(UINT nIDCursor) const
{
    return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(nIDCursor));
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    FreeText(m_pszRegistryKey);
    m_pszRegistryKey = DuplicateText(lpszRegistryKey);
    FreeText(m_pszProfileName);
    m_pszProfileName = DuplicateText(m_pszAppName != nullptr ? m_pszAppName : L"");
    SyncProfileNames();
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(static_cast<LPCTSTR>(key));
}

void CWinApp::SyncProfileNames()
{
    const CString company = m_profile.GetRegistryKeyName();
    if (m_pszRegistryKey == nullptr) {
        if (!company.IsEmpty())
            m_profile.SetRegistryKey(L"");
        return;
    }
    if (company != m_pszRegistryKey)
        m_profile.SetRegistryKey(m_pszRegistryKey);
    LPCTSTR profileName = m_pszProfileName != nullptr ? m_pszProfileName : m_pszAppName;
    if (profileName == nullptr)
        profileName = L"";
    if (m_profile.GetProfileName() != profileName)
        m_profile.SetProfileName(profileName);
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    SyncProfileNames();
    return m_profile.GetProfileInt(lpszSection, lpszEntry, nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    SyncProfileNames();
    return m_profile.WriteProfileInt(lpszSection, lpszEntry, nValue);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    SyncProfileNames();
    return m_profile.GetProfileString(lpszSection, lpszEntry, lpszDefault);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    SyncProfileNames();
    return m_profile.WriteProfileString(lpszSection, lpszEntry, lpszValue);
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
    SyncProfileNames();
    return m_profile.GetProfileBinary(lpszSection, lpszEntry, ppData, pBytes);
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    SyncProfileNames();
    return m_profile.WriteProfileBinary(lpszSection, lpszEntry, pData, nBytes);
}

HKEY CWinApp::GetAppRegistryKey()
{
    SyncProfileNames();
    return m_profile.GetAppRegistryKey();
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    SyncProfileNames();
    return m_profile.GetSectionKey(lpszSection);
}

namespace {

// Windows disabled by the outermost EnableModeless(FALSE) of this thread, enabled again by the matching TRUE.
thread_local int t_nModelessDisabled = 0;
thread_local std::vector<HWND>* t_pDisabledModeless = nullptr;
// The active window and its owners: the modal window about to run belongs to them.
thread_local std::vector<HWND>* t_pModalOwners = nullptr;

BOOL CALLBACK DisableModelessWindow(HWND hWnd, LPARAM lParam)
{
    const HWND hWndMain = reinterpret_cast<HWND>(lParam);
    const LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hWnd, GWL_EXSTYLE);
    if (hWnd == hWndMain || (style & WS_VISIBLE) == 0 || (style & WS_DISABLED) != 0 ||
        (exStyle & WS_EX_TOOLWINDOW) != 0)
        return TRUE;
    if (std::find(t_pModalOwners->begin(), t_pModalOwners->end(), hWnd) != t_pModalOwners->end())
        return TRUE;
    // Windows owned by the main window (its floating bars, its popups) are part of it, and a modal window run for
    // the main window may work on them.
    for (HWND hWndOwner = ::GetWindow(hWnd, GW_OWNER); hWndOwner != nullptr;
         hWndOwner = ::GetWindow(hWndOwner, GW_OWNER)) {
        if (hWndOwner == hWndMain)
            return TRUE;
    }
    ::EnableWindow(hWnd, FALSE);
    t_pDisabledModeless->push_back(hWnd);
    return TRUE;
}

} // namespace

void CWinApp::EnableModeless(BOOL bEnable)
{
    if (!bEnable) {
        if (t_nModelessDisabled++ > 0)
            return;
        t_pDisabledModeless = new std::vector<HWND>;
        HWND hWndMain = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
        // Only the thread that owns the main window has its modeless windows.
        if (hWndMain != nullptr && ::GetWindowThreadProcessId(hWndMain, nullptr) == ::GetCurrentThreadId()) {
            std::vector<HWND> owners;
            for (HWND hWnd = ::GetActiveWindow(); hWnd != nullptr; hWnd = ::GetWindow(hWnd, GW_OWNER))
                owners.push_back(hWnd);
            t_pModalOwners = &owners;
            ::EnumThreadWindows(::GetCurrentThreadId(), DisableModelessWindow, reinterpret_cast<LPARAM>(hWndMain));
            t_pModalOwners = nullptr;
        }
        return;
    }
    if (t_nModelessDisabled == 0 || --t_nModelessDisabled > 0)
        return;
    for (HWND hWnd : *t_pDisabledModeless) {
        if (::IsWindow(hWnd))
            ::EnableWindow(hWnd, TRUE);
    }
    delete t_pDisabledModeless;
    t_pDisabledModeless = nullptr;
}

// ---- Process entry

BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow)
{
    AfxSetInstanceHandle(hInstance);
    AfxSetResourceHandle(hInstance);
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return TRUE;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    if (pApp->m_pszExeName == nullptr) {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(hInstance, path, MAX_PATH);
        const wchar_t* name = std::wcsrchr(path, L'\\');
        name = name != nullptr ? name + 1 : path;
        std::wstring exe(name);
        const size_t dot = exe.rfind(L'.');
        if (dot != std::wstring::npos)
            exe.resize(dot);
        pApp->m_pszExeName = DuplicateText(exe.c_str());
    }
    if (pApp->m_pszAppName == nullptr) {
        CString title;
        if (title.LoadString(AFX_IDS_APP_TITLE) && !title.IsEmpty())
            pApp->m_pszAppName = DuplicateText(title);
        else
            pApp->m_pszAppName = DuplicateText(pApp->m_pszExeName);
    }
    return TRUE;
}

void AFXAPI AfxWinTerm()
{
    AfxDeleteTempMaps();
    if (g_oleInitialized) {
        g_oleInitialized = false;
        ::OleUninitialize();
    }
}

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    int nReturnCode = -1;
    CWinThread* pThread = AfxGetThread();
    CWinApp* pApp = AfxGetApp();
    if (!AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) || pThread == nullptr) {
        AfxWinTerm();
        return nReturnCode;
    }
    try {
        if (pApp != nullptr && !pApp->InitApplication()) {
            // nothing more to do
        } else if (!pThread->InitInstance()) {
            if (pThread->m_pMainWnd != nullptr && pThread->m_pMainWnd->m_hWnd != nullptr)
                pThread->m_pMainWnd->DestroyWindow();
            nReturnCode = pThread->ExitInstance();
        } else {
            nReturnCode = pThread->Run();
        }
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    AfxWinTerm();
    return nReturnCode;
}

LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::mutex lock;
    static std::set<std::wstring> names;
    HINSTANCE hInst = AfxGetInstanceHandle();
    wchar_t name[128];
    if (hCursor == nullptr && hbrBackground == nullptr && hIcon == nullptr)
        std::swprintf(name, 128, L"Afx:%p:%x", static_cast<void*>(hInst), nClassStyle);
    else
        std::swprintf(name, 128, L"Afx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle,
                      static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));

    std::lock_guard<std::mutex> guard(lock);
    auto inserted = names.insert(name);
    LPCTSTR stored = inserted.first->c_str();
    WNDCLASSW wc{};
    if (!::GetClassInfoW(hInst, stored, &wc)) {
        wc.style = nClassStyle;
        // The framework subclasses each window as it is made; the class itself does the default.
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = hInst;
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = stored;
        if (!::RegisterClassW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return nullptr;
    }
    return stored;
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxW(nullptr, lpszText, L"", nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    if (nIDHelp == static_cast<UINT>(-1))
        nIDHelp = nIDPrompt;
    return AfxMessageBox(text, nType, nIDHelp);
}

BOOL AFXAPI AfxOleInit()
{
    const HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr))
        return FALSE;
    // Every successful call counts; one is balanced when the application ends, the rest at once.
    if (g_oleInitialized)
        ::OleUninitialize();
    g_oleInitialized = true;
    return TRUE;
}

void AFXAPI AfxEnableControlContainer() {}
