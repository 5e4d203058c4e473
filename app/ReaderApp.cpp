// The application object. Start-up and shut-down come with the main window; the fields the engine reads start
// with the engine record's values.
#include "app/ReaderApp.h"

#include "app/AboutDlg.h"
#include "app/ChannelViewer.h"
#include "app/MainFrm.h"
#include "app/NewsTicker.h"
#include "app/PodcastManager.h"
#include "companions/FirstRunWizard.h"
#include "res/resource.h"

#include "feeds/Branding.h"
#include "feeds/DataFiles.h"
#include "feeds/FeedStore.h"
#include "feeds/HttpFetch.h"
#include "feeds/ShellAssociations.h"
#include "framework/StandardIds.h"
#include "framework/core/Archive.h"
#include "framework/core/Exceptions.h"
#include "framework/core/File.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Wnd.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>

CReaderApp::CReaderApp()
{
    SetEngineContext(this);
    // The pages the views fetch go through the same proxy as the feeds.
    UseEngineHttpForPages();
}

HWND CReaderApp::GetFrameWindow() const
{
    return m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
}

namespace {

const wchar_t kMakerName[] = L"Lanternquill Software";
const wchar_t kReadyEventName[] = L"LANTERN_QUILL_READY";
const DWORD kReadyWaitMs = 60000;

struct ProbeSearch
{
    HWND found = nullptr;
};

BOOL CALLBACK ProbeWindow(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<ProbeSearch*>(lParam);
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutW(hWnd, WM_INSTANCE_PROBE, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 2000, &answer) &&
        answer == WM_INSTANCE_PROBE) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

CString TempBaseFolder()
{
    WCHAR path[MAX_PATH + 1] = L"";
    if (::GetTempPathW(MAX_PATH + 1, path))
        return path;
    for (LPCWSTR name : {L"TEMP", L"TMP"}) {
        if (const wchar_t* value = _wgetenv(name))
            return value;
    }
    return L"C:\\";
}

CString DataFolder()
{
    WCHAR path[MAX_PATH] = L"";
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, TRUE))
        return GetModuleFolder();
    CString folder = CString(path) + L"\\Lanternquill";
    const DWORD attributes = ::GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        ::CreateDirectoryW(folder, nullptr);
    return folder;
}

CString ProgramPath()
{
    WCHAR path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

} // namespace

bool HandOverToRunningCopy(const CString& argument)
{
    ProbeSearch search;
    ::EnumWindows(ProbeWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        if (HWND tray = ::FindWindowW(nullptr, L"_LanternquillTrayWindow"))
            ::EnumChildWindows(tray, ProbeWindow, reinterpret_cast<LPARAM>(&search));
    }
    if (!search.found)
        return false;
    if (!argument.IsEmpty() && argument[0] != L'/') {
        COPYDATASTRUCT data = {};
        data.dwData = 3;
        data.cbData = static_cast<DWORD>((argument.GetLength() + 1) * sizeof(WCHAR));
        data.lpData = const_cast<LPWSTR>(argument.GetString());
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                              SMTO_BLOCK | SMTO_ABORTIFHUNG, 5000, &answer);
    }
    return true;
}

BOOL CReaderApp::InitInstance()
{
    const CString argument = __argc > 1 ? CString(__wargv[1]) : CString();
    m_hInstanceMutex = ::CreateMutexW(nullptr, FALSE, L"LANTERN_QUILL_UNIQE_INSTANCE");
    const DWORD error = ::GetLastError();
    m_hReady.Attach(::CreateEventW(nullptr, TRUE, FALSE, kReadyEventName));
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        // The first copy may still be starting (the wizard, its lists, on its way to the notification area).
        if (m_hReady)
            ::WaitForSingleObject(m_hReady.Get(), kReadyWaitMs);
        HandOverToRunningCopy(argument);
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    if (!AfxOleInit()) {
        AfxMessageBox(L"Lanternquill could not start the platform's component services.");
        return FALSE;
    }
    SetRegistryKey(kMakerName);

    m_strTempFolder = PrepareTempFolder(TempBaseFolder());
    if (m_strTempFolder.IsEmpty())
        return FALSE;
    m_strDataFolder = DataFolder();

    if (GetProfileInt(L"", L"FirstRun", 1) == 1) {
        const CString shipped = GetModuleFolder() + L"\\settings.xml";
        if (::GetFileAttributesW(shipped) != INVALID_FILE_ATTRIBUTES)
            CopyFileSafely(shipped, m_strDataFolder + L"\\settings.xml");
        LoadBranding();
        // The choices are kept whether the wizard was finished or cancelled.
        CFirstRunWizard wizard;
        wizard.DoModal();
        WriteProfileInt(L"", L"ReportStat", wizard.GetReportStat());
        WriteProfileInt(L"", L"ViewStyle", wizard.GetViewStyle());
        WriteProfileInt(L"", L"FirstRun", 0);
    }
    LoadBranding();
    // Message boxes carry the branding's caption.
    free(const_cast<LPWSTR>(m_pszAppName));
    m_pszAppName = _wcsdup(m_settings.szCaption);

    ReadSettings();
    LoadUnsubscribed();
    RegisterFeedProtocol(ProgramPath());
    RegisterBrowserMenuExtension(true);

    const bool bBackground = argument == L"/background";
    if (!argument.IsEmpty() && argument[0] != L'/' && CFeedCommands::IsFeedAddress(argument))
        m_strFeedToSubscribe = argument;

    auto* frame = new CMainFrame;
    frame->Companions().SetTicker(std::make_unique<CNewsTicker>(*frame));
    m_pMainWnd = frame;
    frame->Companions().SetPodcastManager(std::make_unique<CPodcastManager>(*frame));
    frame->Companions().SetChannelViewer(std::make_unique<CChannelViewerWindow>(*frame));
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW))
        return FALSE;
    // Started in the background, the program stays in the notification area until the user opens it.
    if (bBackground) {
        frame->TrayAndAlert().HideToTray();
    } else {
        frame->ShowWithCommandStates();
    }
    if (!m_strFeedToSubscribe.IsEmpty())
        frame->FeedCommands().AddHandedOver(m_strFeedToSubscribe);
    if (m_hReady)
        ::SetEvent(m_hReady.Get());
    return TRUE;
}

int CReaderApp::ExitInstance()
{
    EmptyFolder(m_strTempFolder);
    SaveUnsubscribed();
    if (m_hInstanceMutex) {
        ::CloseHandle(m_hInstanceMutex);
        m_hInstanceMutex = nullptr;
    }
    return CWinApp::ExitInstance();
}

BEGIN_MESSAGE_MAP(CReaderApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

void CReaderApp::OnAppAbout()
{
    CAboutDlg dialog(m_settings, m_strDataFolder, m_bLabel);
    dialog.DoModal();
}

void CReaderApp::ReadSettings()
{
    CReaderSettings& s = m_settings;
    s.nViewStyle = static_cast<int>(GetProfileInt(L"", L"ViewStyle", 0));
    s.nView = static_cast<int>(GetProfileInt(L"", L"View", 2));
    s.nLeftArrows = static_cast<int>(GetProfileInt(L"", L"LeftArrows", 1));
    s.nTimeout = static_cast<int>(GetProfileInt(L"Connection", L"Timeout", 40));
    s.nMaxConnections = ClampMaxConnections(static_cast<int>(GetProfileInt(L"Connection", L"Max", 4)));
    s.nProxyMode = static_cast<int>(GetProfileInt(L"Connection", L"Proxy", 0));
    if (s.nProxyMode == 3) {
        lstrcpynW(s.szProxyServer, GetProfileString(L"Connection", L"ProxyServer", L""), _countof(s.szProxyServer));
        lstrcpynW(s.szProxyUser, GetProfileString(L"Connection", L"ProxyUser", L""), _countof(s.szProxyUser));
        lstrcpynW(s.szProxyPass, GetProfileString(L"Connection", L"ProxyPass", L""), _countof(s.szProxyPass));
        s.nProxyPort = static_cast<int>(GetProfileInt(L"Connection", L"ProxyPort", 0));
        if (!s.szProxyServer[0])
            s.nProxyMode = 0;
    }
    s.nReportStat = s.bStatsEnabled ? static_cast<int>(GetProfileInt(L"", L"ReportStat", 1)) : 0;
    s.nHideReadChannels = static_cast<int>(GetProfileInt(L"", L"HideReadChannels", 1));
    s.nOpenInReader = static_cast<int>(GetProfileInt(L"", L"OpenInReader", 0));
    s.nPodcastMode = static_cast<int>(GetProfileInt(L"Podcasting", L"Auto", 0));
    m_bLabel = GetProfileInt(L"", L"Label", 0) != 0;
}

void CReaderApp::LoadUnsubscribed()
{
    m_unsubscribed.RemoveAll();
    CFile file;
    if (m_strDataFolder.IsEmpty() ||
        !file.Open(m_strDataFolder + L"\\unsubdump", CFile::modeRead | CFile::shareDenyWrite))
        return;
    try {
        CArchive archive(&file, CArchive::load, 4096);
        m_unsubscribed.Serialize(archive);
        archive.Close();
    } catch (CException* error) {
        // Half a list would let removed feeds back in one by one: a damaged file counts as none.
        error->Delete();
        m_unsubscribed.RemoveAll();
    }
}

BOOL CReaderApp::SaveUnsubscribed() const
{
    if (m_strDataFolder.IsEmpty())
        return FALSE;
    CMemFile memory;
    try {
        CArchive archive(&memory, CArchive::store, 4096);
        const_cast<CStringList&>(m_unsubscribed).Serialize(archive);
        archive.Close();
    } catch (CException* error) {
        error->Delete();
        return FALSE;
    }
    const size_t size = static_cast<size_t>(memory.GetLength());
    BYTE* bytes = memory.Detach();
    const bool saved = WriteFileSafely(m_strDataFolder + L"\\unsubdump", bytes, size);
    free(bytes);
    return saved;
}

CString PrepareTempFolder(const CString& baseFolder)
{
    CString folder = baseFolder;
    if (folder.IsEmpty())
        return CString();
    if (folder.Right(1) != L"\\")
        folder += L"\\";
    folder += L"LanternquillT";
    if (::CreateDirectoryW(folder, nullptr))
        return folder;
    // Only a folder that is there already will do; a file of that name is not ours to delete, and start-up fails.
    const DWORD attributes = ::GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return CString();
    // What an earlier run left behind: its files go, its subfolders stay.
    WIN32_FIND_DATAW found;
    CScopedFindHandle find(::FindFirstFileW(folder + L"\\*", &found));
    if (find) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW(folder + L"\\" + found.cFileName);
        } while (::FindNextFileW(find.Get(), &found));
    }
    return folder;
}

void EmptyFolder(const CString& folder)
{
    if (folder.IsEmpty())
        return;
    WIN32_FIND_DATAW found;
    CScopedFindHandle find(::FindFirstFileW(folder + L"\\*", &found));
    if (!find)
        return;
    do {
        const CString name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const CString path = folder + L"\\" + name;
        // A link to a folder elsewhere is removed, never followed.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            EmptyFolder(path);
            ::RemoveDirectoryW(path);
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ::RemoveDirectoryW(path);
        } else {
            ::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path);
        }
    } while (::FindNextFileW(find.Get(), &found));
}

namespace {

// Writes a string value unless it already holds exactly that text.
bool SetStringIfDifferent(HKEY key, LPCWSTR subKey, LPCWSTR name, const CString& value, int& written)
{
    CScopedRegKey opened;
    if (::RegCreateKeyExW(key, subKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, opened.Receive(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    WCHAR current[1024];
    DWORD size = sizeof(current) - sizeof(WCHAR);
    DWORD type = 0;
    if (::RegQueryValueExW(opened.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(current), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        current[size / sizeof(WCHAR)] = 0;
        if (value == current)
            return true;
    }
    const DWORD bytes = static_cast<DWORD>((value.GetLength() + 1) * sizeof(WCHAR));
    if (::RegSetValueExW(opened.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()), bytes) !=
        ERROR_SUCCESS)
        return false;
    ++written;
    return true;
}

} // namespace

int RegisterFeedProtocol(LPCWSTR programPath)
{
    // Per user, so that no administrator rights are needed and no other user's handler is taken over.
    CScopedRegKey classes;
    if (!programPath || ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\feed", 0, nullptr, 0,
                                          KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr,
                                          classes.Receive(), nullptr) != ERROR_SUCCESS)
        return -1;
    const CString program(programPath);
    int written = 0;
    const bool ok =
        SetStringIfDifferent(classes.Get(), nullptr, nullptr, L"URL:feed protocol", written) &&
        SetStringIfDifferent(classes.Get(), nullptr, L"URL Protocol", L"", written) &&
        SetStringIfDifferent(classes.Get(), L"DefaultIcon", nullptr, program, written) &&
        SetStringIfDifferent(classes.Get(), L"shell\\open\\command", nullptr, L"\"" + program + L"\" \"%1\"", written);
    return ok ? written : -1;
}

CReaderApp theApp;
