// The download thread of a channel refresh and the site-icon fetch.
#include "feeds/FeedDownload.h"

#include <objbase.h>

#include <map>
#include <mutex>
#include <string>

#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedStore.h"
#include "feeds/FetchedFeeds.h"
#include "feeds/HttpFetch.h"
#include "feeds/ui/HttpDownloadDlg.h"
#include "framework/core/FileReading.h"
#include "framework/core/ScopedHandles.h"
#include "framework/core/UrlEncoding.h"

namespace {

bool IsSignalled(HANDLE hEvent)
{
    return hEvent && WaitForSingleObject(hEvent, 0) == WAIT_OBJECT_0;
}

} // namespace

namespace {

// Fetches the address into a temporary file and puts it in the target's place only when the whole body came.
bool FetchWholeFile(const CString& url, const CString& target, HANDLE hStopEvent)
{
    const CString temp = MakeTempFile(L"lqdi");
    if (temp.IsEmpty())
        return false;
    const bool kept = DownloadUrlToFile(url, temp, nullptr, FALSE, nullptr, nullptr, hStopEvent) == HTTP_FETCH_DONE &&
                      CopyFileSafely(temp, target);
    ::DeleteFileW(temp);
    return kept;
}

// The size of an existing file, or -1.
LONGLONG FileSize(const CString& path)
{
    ULONGLONG size = 0;
    return GetFileSizeOf(path, size) ? static_cast<LONGLONG>(size) : -1;
}

// Icon sources that had nothing to give, and when they were last asked: a site without an icon is asked again
// once a day at most, not at every refresh.
const ULONGLONG kIconRetryMs = 24ull * 60 * 60 * 1000;
std::mutex g_iconLock;
std::map<std::wstring, ULONGLONG> g_missingIcons;

bool IconRecentlyMissing(const CString& source)
{
    std::lock_guard<std::mutex> guard(g_iconLock);
    const auto found = g_missingIcons.find(source.GetString());
    if (found == g_missingIcons.end())
        return false;
    if (GetTickCount64() - found->second < kIconRetryMs)
        return true;
    g_missingIcons.erase(found);
    return false;
}

void NoteIconMissing(const CString& source)
{
    std::lock_guard<std::mutex> guard(g_iconLock);
    g_missingIcons[source.GetString()] = GetTickCount64();
}

// The downloaded feed read here, on the download's own thread, so that however large or slow to parse it is, the
// frame only merges what was read. Null when the file is no feed or a stop came.
CFeedChannel* LoadDownloadedFeed(const CString& path, HANDLE hStopEvent)
{
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto* channel = new CFeedChannel;
    if (!channel->LoadFile(path, hStopEvent, CFeedChannel::LOAD_FEED)) {
        delete channel;
        channel = nullptr;
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return channel;
}

bool ThreadIsAlive(DWORD threadId)
{
    CScopedKernelHandle thread(OpenThread(SYNCHRONIZE, FALSE, threadId));
    return thread && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
}

} // namespace

CString DefaultIconUrl(const CString& link)
{
    URL_COMPONENTS components;
    ZeroMemory(&components, sizeof(components));
    components.dwStructSize = sizeof(components);
    components.dwHostNameLength = static_cast<DWORD>(-1);
    components.dwUrlPathLength = static_cast<DWORD>(-1);
    components.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (link.IsEmpty() || !WinHttpCrackUrl(link, 0, 0, &components) || !components.lpszHostName ||
        components.dwHostNameLength == 0)
        return CString();
    const LPCWSTR end = components.lpszUrlPath && components.dwUrlPathLength ? components.lpszUrlPath
                        : components.lpszExtraInfo && components.dwExtraInfoLength
                            ? components.lpszExtraInfo
                            : link.GetString() + link.GetLength();
    const CString host(components.lpszHostName, static_cast<int>(end - components.lpszHostName));
    return L"http://" + host + L"/favicon.ico";
}

namespace {

void RunEnclosureJob(CFeedItem* pEntry)
{
    CEnclosureDownload download;
    download.strUrl = pEntry->m_strEnclosureUrl;
    download.strFile = pEntry->m_strEnclosureFile;
    download.strUserName = pEntry->m_strAccountName;
    download.strPassword = pEntry->m_strPassword;
    const LONGLONG held = FileSize(pEntry->m_strEnclosureFile);
    if (pEntry->m_nEnclosureState == 2 && held > 0) {
        download.nResumeOffset = static_cast<ULONGLONG>(held);
        download.bAskBeforeReplacing = false;
    }
    if (RunEnclosureDownloadDialog(download) == IDOK)
        pEntry->m_nEnclosureState = 1;
    else
        pEntry->m_nEnclosureState = FileSize(pEntry->m_strEnclosureFile) > 0 ? 2 : 0;
}

void ReportDone(CFeedItem* pEntry)
{
    const DWORD owner = pEntry->m_dwOwnerThreadId;
    if (owner == 0)
        return;
    Sleep(0);
    // A full queue empties again; a worker that has ended never takes the report.
    while (!PostThreadMessageW(owner, WM_WORKER_FEED_DONE, reinterpret_cast<WPARAM>(pEntry),
                               static_cast<LPARAM>(GetCurrentThreadId()))) {
        if (GetLastError() == ERROR_INVALID_THREAD_ID && !ThreadIsAlive(owner))
            return;
        Sleep(10);
    }
}

} // namespace

CString AppendFeedCredentials(const CString& link, const CString& accountName, const CString& password)
{
    if (accountName.IsEmpty())
        return link;
    // Unescaped, an "&" or "#" in a password would cut it short or add parameters of its own.
    CString url = link;
    url += link.Find(L'?') >= 0 ? L"&username=" : L"?username=";
    url += PercentEncode(accountName);
    url += L"&password=";
    url += PercentEncode(password);
    return url;
}

bool DownloadFavicon(CFeedItem* pEntry)
{
    if (!pEntry)
        return false;
    if (pEntry->m_nKind == FEED_KIND_FEED) {
        // The icon path is empty unless the entry's file name stays inside the data folder.
        const CString iconFile = pEntry->GetIconFileName();
        if (!iconFile.IsEmpty() && GetFileAttributesW(iconFile) != INVALID_FILE_ATTRIBUTES)
            return true;
        const CString source =
            pEntry->m_strImageText.IsEmpty() ? DefaultIconUrl(pEntry->m_strLinkText) : pEntry->m_strImageText;
        // Fetched beside, kept only when whole: an icon file that exists is never fetched again.
        if (iconFile.IsEmpty() || source.IsEmpty() || IconRecentlyMissing(source)) {
            pEntry->m_nImageIndex = 0;
            return false;
        }
        if (!FetchWholeFile(source, iconFile, pEntry->m_hStopEvent)) {
            if (!IsSignalled(pEntry->m_hStopEvent))
                NoteIconMissing(source);
            pEntry->m_nImageIndex = 0;
            return false;
        }
        return true;
    }
    if (pEntry->m_nKind == FEED_KIND_NOTICE) {
        if (pEntry->m_strImageText.IsEmpty())
            return false;
        const CString temp = MakeTempFile(L"lqdi");
        const bool fetched = !temp.IsEmpty() && DownloadUrlToFile(pEntry->m_strImageText, temp, nullptr, FALSE, nullptr,
                                                                  nullptr, pEntry->m_hStopEvent) == HTTP_FETCH_DONE;
        bool kept = false;
        if (fetched) {
            if (pEntry->m_strFile.IsEmpty())
                pEntry->m_strFile = MakeFeedFileName(pEntry->m_strTitleText);
            const CString iconFile = pEntry->GetIconFileName();
            kept = !iconFile.IsEmpty() && CopyFileSafely(temp, iconFile);
        }
        if (!temp.IsEmpty())
            ::DeleteFileW(temp);
        return kept;
    }
    pEntry->m_strImageText.Empty();
    return false;
}

UINT AFX_CDECL FeedRefreshThreadProc(LPVOID pParam)
{
    CFeedItem* pEntry = static_cast<CFeedItem*>(pParam);
    if (!pEntry)
        return 0;
    if (pEntry->m_nKind == FEED_KIND_FEED) {
        const CString url =
            AppendFeedCredentials(pEntry->m_strLinkText, pEntry->m_strAccountName, pEntry->m_strPassword);
        const CString temp = MakeTempFile(L"tmdf");
        // The temporary file lives only as long as the download: what a stop or a failure leaves goes at once.
        auto dropTemp = [&temp] {
            if (!temp.IsEmpty())
                ::DeleteFileW(temp);
        };
        if (IsSignalled(pEntry->m_hStopEvent)) {
            dropTemp();
            return 0;
        }
        int result;
        if (!pEntry->m_strAccountName.IsEmpty() || !pEntry->m_strPassword.IsEmpty())
            result = DownloadUrlToFile(url, temp, nullptr, pEntry->m_bHttpAuth, pEntry->m_strAccountName,
                                       pEntry->m_strPassword, pEntry->m_hStopEvent);
        else
            result = DownloadUrlToFile(url, temp, nullptr, FALSE, nullptr, nullptr, pEntry->m_hStopEvent);
        pEntry->m_nDownloadResult = result;
        if (result == HTTP_FETCH_DONE) {
            CFeedChannel* fetched = LoadDownloadedFeed(temp, pEntry->m_hStopEvent);
            PutFetchedChannel(pEntry, fetched);
            // Read once and done with: the channel names the file it came from, which is gone.
            dropTemp();
            if (!fetched && IsSignalled(pEntry->m_hStopEvent))
                return 0;
            // A body that is no feed (a cut-off or refused one) is a failed refresh: the channel keeps its items.
            pEntry->m_bUpdateFailed = fetched == nullptr;
            if (fetched) {
                pEntry->m_strDownloadFile = temp;
                pEntry->m_dtDate = COleDateTime::GetCurrentTime();
            }
        } else if (result == HTTP_FETCH_NOT_MODIFIED) {
            dropTemp();
            pEntry->m_bUpdateFailed = false;
            pEntry->m_dtDate = COleDateTime::GetCurrentTime();
        } else if (result == HTTP_FETCH_STOPPED) {
            dropTemp();
            return 0;
        } else {
            dropTemp();
            pEntry->m_bUpdateFailed = true;
        }
    }
    if (pEntry->m_bEnclosureJob)
        RunEnclosureJob(pEntry);
    else
        DownloadFavicon(pEntry);
    ReportDone(pEntry);
    return 0;
}

INT_PTR RunEnclosureDownloadDialog(const CEnclosureDownload& download)
{
    CHttpDownloadDlg dlg;
    dlg.m_strUrl = download.strUrl;
    dlg.m_strFile = download.strFile;
    dlg.m_strUserName = download.strUserName;
    dlg.m_strPassword = download.strPassword;
    dlg.UseConnectionSettings();
    // The dialog's offset is 32-bit: a larger partial file starts over rather than resuming at a wrong place.
    dlg.m_dwResumeOffset = download.nResumeOffset <= 0xFFFFFFFFull ? static_cast<DWORD>(download.nResumeOffset) : 0;
    dlg.m_bAskBeforeReplacing = download.bAskBeforeReplacing ? TRUE : FALSE;
    return dlg.DoModal();
}
