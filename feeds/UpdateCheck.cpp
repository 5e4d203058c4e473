#include "feeds/UpdateCheck.h"

#include <atomic>
#include <mutex>

#include <shellapi.h>
#include <wincrypt.h>

#include <climits>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <new>

#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/EngineMessages.h"
#include "feeds/HttpFetch.h"
#include "feeds/XmlDom.h"
#include "feeds/ui/HttpDownloadDlg.h"
#include "framework/core/FileReading.h"
#include "framework/core/ScopedHandles.h"
#include "framework/core/TextHelpers.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "res/resource.h"

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

void ShowUpdateMessage(UINT nID)
{
    AfxMessageBox(nID, MB_OK | MB_ICONEXCLAMATION);
}

// 64 hexadecimal digits in lower case, or empty.
CString NormalDigest(CString digest)
{
    digest.Trim();
    digest.MakeLower();
    if (digest.GetLength() != 64)
        return CString();
    for (int i = 0; i < digest.GetLength(); ++i) {
        const wchar_t c = digest[i];
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')))
            return CString();
    }
    return digest;
}

class CCryptHash
{
public:
    CCryptHash()
    {
        if (::CryptAcquireContextW(&m_provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) &&
            !::CryptCreateHash(m_provider, CALG_SHA_256, 0, 0, &m_hash))
            m_hash = 0;
    }
    ~CCryptHash()
    {
        if (m_hash)
            ::CryptDestroyHash(m_hash);
        if (m_provider)
            ::CryptReleaseContext(m_provider, 0);
    }
    CCryptHash(const CCryptHash&) = delete;
    CCryptHash& operator=(const CCryptHash&) = delete;

    HCRYPTHASH Get() const { return m_hash; }

private:
    HCRYPTPROV m_provider = 0;
    HCRYPTHASH m_hash = 0;
};

} // namespace

PFN_RUN_UPDATE_DOWNLOAD g_pfnRunUpdateDownload = RunUpdateDownloadDialog;
PFN_LAUNCH_PROGRAM g_pfnLaunchProgram = ShellExecuteProgram;
PFN_UPDATE_MESSAGE g_pfnUpdateMessage = ShowUpdateMessage;

CString FileSha256(LPCWSTR path)
{
    CCryptHash hash;
    CScopedFile file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!hash.Get() || !file)
        return CString();
    BYTE buffer[65536];
    DWORD got = 0;
    do {
        if (!ReadFile(file, buffer, sizeof(buffer), &got, nullptr) || !CryptHashData(hash.Get(), buffer, got, 0))
            return CString();
    } while (got != 0);
    BYTE digest[32];
    DWORD length = sizeof(digest);
    if (!CryptGetHashParam(hash.Get(), HP_HASHVAL, digest, &length, 0) || length != sizeof(digest))
        return CString();
    CString text;
    for (BYTE b : digest) {
        text += static_cast<wchar_t>(UpperHexDigit(b >> 4));
        text += static_cast<wchar_t>(UpperHexDigit(b));
    }
    // Digests from the version file are compared in lower case.
    text.MakeLower();
    return text;
}

bool IsTrustedPackageUrl(LPCWSTR packageUrl)
{
    CHttpUrlParts package, description;
    const CString descriptionUrl = GetUpdateDescriptionUrl();
    return packageUrl && CrackHttpUrl(packageUrl, package) && CrackHttpUrl(descriptionUrl, description) &&
           package.bSecure && description.bSecure && package.nPort == description.nPort &&
           package.strHost.CompareNoCase(description.strHost) == 0;
}

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

    CString description, file, digest;
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
        } else if (name.CompareNoCase(L"SHA256") == 0) {
            digest = NormalDigest(XmlDom::NodeText(child.Get()));
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
    m_strDigest = digest;
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

CWinThread* StartUpdateDownload(LPCWSTR packageUrl, LPCWSTR digest)
{
    auto* order = new (std::nothrow) CUpdatePackageOrder;
    if (!order)
        return nullptr;
    order->strUrl = packageUrl ? packageUrl : L"";
    order->strDigest = digest ? digest : L"";
    CWinThread* thread = AfxBeginThread(UpdateDownloadThreadProc, order, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        delete order;
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

// Set only by a download that passed the package checks; the main window's answer takes it. The digest it verified
// stays for the updater's start, which checks the file once more.
std::atomic<bool> g_bPackageChecked{false};
std::mutex g_verifiedLock;
CString g_strVerifiedDigest;

void SetVerifiedDigest(const CString& digest)
{
    std::lock_guard<std::mutex> lock(g_verifiedLock);
    g_strVerifiedDigest = digest;
}

CString VerifiedDigest()
{
    std::lock_guard<std::mutex> lock(g_verifiedLock);
    return g_strVerifiedDigest;
}

} // namespace

bool TakeCheckedUpdatePackage()
{
    return g_bPackageChecked.exchange(false);
}

UINT AFX_CDECL UpdateDownloadThreadProc(LPVOID pParam)
{
    std::unique_ptr<CUpdatePackageOrder> order(static_cast<CUpdatePackageOrder*>(pParam));
    CUpdateDownload download;
    download.strUrl = order ? order->strUrl : CString();
    download.strFile = GetUpdatePackagePath();
    const CString digest = order ? NormalDigest(order->strDigest) : CString();
    SetVerifiedDigest(CString());
    g_bPackageChecked = false;

    bool bVerified = false;
    // A package from anywhere else, or without a digest to check it against, is not even fetched.
    if (!digest.IsEmpty() && IsTrustedPackageUrl(download.strUrl)) {
        const INT_PTR result = g_pfnRunUpdateDownload ? g_pfnRunUpdateDownload(download) : IDCANCEL;
        // A dialog that ended well is not enough: a dropped connection also ends a transfer.
        const bool bComplete = result == IDOK && IsUpdatePackageComplete(download);
        bVerified = bComplete && FileSha256(download.strFile) == digest;
        if (!bVerified)
            DeleteFileW(download.strFile);
        // A cancelled or failed download has said so itself.
        if (bComplete && !bVerified && g_pfnUpdateMessage)
            g_pfnUpdateMessage(IDS_UPDATE_NOT_VERIFIED);
    } else if (g_pfnUpdateMessage) {
        g_pfnUpdateMessage(IDS_UPDATE_NOT_VERIFIED);
    }
    if (bVerified)
        SetVerifiedDigest(digest);
    g_bPackageChecked = bVerified;

    const HWND hMain = GetEngineContext().GetFrameWindow();
    if (hMain)
        SendMessageW(hMain, WM_RUN_UPDATER, 0, bVerified ? TRUE : FALSE);
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
    // The file may have been replaced since its download was checked.
    const CString digest = VerifiedDigest();
    if (!IsUpdatePackageComplete(package) || digest.IsEmpty() || FileSha256(package.strFile) != digest)
        return FALSE;

    WCHAR self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(sizeof(self) / sizeof(self[0])) - 1);
    CString parameters = L"\"" + package.strFile + L"\" \"" + CString(self) + L"\"";
    return g_pfnLaunchProgram ? g_pfnLaunchProgram(updater, parameters) : FALSE;
}
