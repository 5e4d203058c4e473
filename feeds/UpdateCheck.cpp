#include "feeds/UpdateCheck.h"

#include <atomic>

#include <shellapi.h>

#include <climits>
#include <cstdlib>
#include <cwchar>

#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/EngineMessages.h"
#include "feeds/HttpFetch.h"
#include "feeds/XmlDom.h"
#include "feeds/ui/HttpDownloadDlg.h"
#include "framework/core/FileReading.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Wnd.h"

namespace {

// Leading decimal digits; anything else counts as 0, and a number too large for an int is the largest int.
int ParseVersion(const CString& text)
{
    const wchar_t* p = text.GetString();
    while (*p == L' ' || *p == L'\t' || *p == L'\r' || *p == L'\n')
        ++p;
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        value = value * 10 + (*p - L'0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(value);
}

BOOL ShellExecuteProgram(LPCWSTR program, LPCWSTR parameters)
{
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", program, parameters, nullptr, SW_SHOW)) > 32;
}

bool StartsAsProgram(LPCWSTR path)
{
    CScopedFile file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char magic[2] = {};
    DWORD got = 0;
    const bool ok =
        ReadFile(file, magic, sizeof(magic), &got, nullptr) && got == 2 && magic[0] == 'M' && magic[1] == 'Z';
    return ok;
}

} // namespace

PFN_RUN_UPDATE_DOWNLOAD g_pfnRunUpdateDownload = RunUpdateDownloadDialog;
PFN_LAUNCH_PROGRAM g_pfnLaunchProgram = ShellExecuteProgram;

BOOL CUpdateDescription::ParseUpdateDescription()
{
    XmlDom::DocumentPtr doc = XmlDom::CreateDocument(false);
    if (!doc || !XmlDom::LoadDocument(doc.Get(), m_strPath))
        return FALSE;
    XmlDom::ElementPtr root;
    if (FAILED(doc->get_documentElement(root.Receive())) || !root)
        return FALSE;
    if (XmlDom::NodeName(root.Get()).CompareNoCase(L"UPDATE") != 0)
        return FALSE;

    CString description, file;
    int version = 0;
    long index = 0;
    for (XmlDom::NodePtr child = XmlDom::FirstChild(root.Get()); child;
         child = XmlDom::NextChild(root.Get(), child.Get(), index++)) {
        if (XmlDom::NodeType(child.Get()) != NODE_ELEMENT)
            continue;
        const CString name = XmlDom::NodeName(child.Get());
        if (name.CompareNoCase(L"VERSION") == 0) {
            version = ParseVersion(XmlDom::NodeText(child.Get()));
        } else if (name.CompareNoCase(L"DESCRIPTION") == 0) {
            description = XmlDom::NodeText(child.Get());
            description.Replace(L"\r\n", L"\n");
            description.Replace(L"\n", L"\r\n");
        } else if (name.CompareNoCase(L"FILE") == 0) {
            file = XmlDom::NodeText(child.Get());
            file.Trim();
        }
    }
    doc.Release();
    DeleteFileW(m_strPath);

    m_nVersion = version;
    const int declined = static_cast<int>(EngineProfileInt(L"", L"DontInstall", 0));
    if (version <= GetEngineContext().m_settings.nBuildNumber || version <= declined)
        return FALSE;
    // The package is fetched and run: only a web address can name it.
    CHttpUrlParts parts;
    if (!CrackHttpUrl(file, parts))
        return FALSE;
    m_strDescription = description;
    m_strFile = file;
    return TRUE;
}

CString GetUpdateDescriptionUrl()
{
    return EngineProfileString(L"URLs", L"update", GetEngineContext().m_strUpdateUrl);
}

CString GetBrandingUrl()
{
    const CString& prefix = GetEngineContext().m_strBrandingUrl;
    return prefix.IsEmpty() ? CString() : prefix + EngineProfileString(L"", L"BrandId", L"");
}

void DeclineUpdate(int version)
{
    WriteEngineProfileInt(L"", L"DontInstall", version);
}

CWinThread* StartUpdateDownload(LPCWSTR packageUrl)
{
    wchar_t* copy = _wcsdup(packageUrl ? packageUrl : L"");
    if (!copy)
        return nullptr;
    CWinThread* thread = AfxBeginThread(UpdateDownloadThreadProc, copy, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        free(copy);
        return nullptr;
    }
    thread->ResumeThread();
    return thread;
}

CString GetUpdatePackagePath()
{
    return GetEngineContext().m_strDataFolder + L"\\lqupdate.exe";
}

CString GetUpdaterProgramPath()
{
    return GetModuleFolder() + L"\\Brightpatch.exe";
}

INT_PTR RunUpdateDownloadDialog(CUpdateDownload& download)
{
    CHttpDownloadDlg dlg;
    dlg.m_strUrl = download.strUrl;
    dlg.m_strFile = download.strFile;
    dlg.UseConnectionSettings();
    const INT_PTR result = dlg.DoModal();
    // The package is measured against what the server announced before it is handed to the updater.
    download.bLengthKnown = dlg.m_bLengthKnown;
    download.nAnnounced = dlg.m_nAnnouncedLength;
    return result;
}

bool IsUpdatePackageComplete(const CUpdateDownload& download)
{
    ULONGLONG size = 0;
    if (!GetFileSizeOf(download.strFile, size) || size == 0)
        return false;
    if (download.bLengthKnown && size != download.nAnnounced)
        return false;
    return StartsAsProgram(download.strFile);
}

namespace {

// Set only by a download that passed the package checks; the main window's answer takes it.
std::atomic<bool> g_bPackageChecked{false};

} // namespace

bool TakeCheckedUpdatePackage()
{
    return g_bPackageChecked.exchange(false);
}

UINT AFX_CDECL UpdateDownloadThreadProc(LPVOID pParam)
{
    wchar_t* copy = static_cast<wchar_t*>(pParam);
    CUpdateDownload download;
    download.strUrl = copy ? copy : L"";
    free(copy);
    download.strFile = GetUpdatePackagePath();

    const INT_PTR result = g_pfnRunUpdateDownload ? g_pfnRunUpdateDownload(download) : IDCANCEL;
    // A dialog that ended well is not enough: a dropped connection also ends a transfer.
    const bool bComplete = result == IDOK && IsUpdatePackageComplete(download);
    if (!bComplete)
        DeleteFileW(download.strFile);
    g_bPackageChecked = bComplete;

    const HWND hMain = GetEngineContext().GetFrameWindow();
    if (hMain)
        SendMessageW(hMain, WM_RUN_UPDATER, 0, bComplete ? TRUE : FALSE);
    return 0;
}

BOOL RunUpdater(BOOL bComplete)
{
    if (!bComplete)
        return FALSE;
    const CString updater = GetUpdaterProgramPath();
    if (GetFileAttributesW(updater) == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    CUpdateDownload package;
    package.strFile = GetUpdatePackagePath();
    if (!IsUpdatePackageComplete(package))
        return FALSE;

    WCHAR self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(sizeof(self) / sizeof(self[0])) - 1);
    CString parameters = L"\"" + package.strFile + L"\" \"" + CString(self) + L"\"";
    return g_pfnLaunchProgram ? g_pfnLaunchProgram(updater, parameters) : FALSE;
}
