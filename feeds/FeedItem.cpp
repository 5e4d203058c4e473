// Feed item records.
#include "feeds/FeedItem.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "framework/win/Wnd.h"

#include <cwchar>

namespace {

bool IsDeviceName(LPCWSTR name, size_t length)
{
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : devices) {
        if (wcslen(device) == length && _wcsnicmp(name, device, length) == 0)
            return true;
    }
    // COM1..COM9 and LPT1..LPT9, also with the superscript digits the platform accepts.
    if (length == 4 && (_wcsnicmp(name, L"COM", 3) == 0 || _wcsnicmp(name, L"LPT", 3) == 0)) {
        wchar_t digit = name[3];
        return (digit >= L'1' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

// Whether the file system path (as given, not yet resolved) lies inside the folder. The path is resolved the
// way the platform opens it ("..", "." and doubled separators folded) and compared without regard to case.
bool IsInsideFolder(const CString& path, const CString& folder)
{
    if (folder.IsEmpty() || path.GetLength() < 3 || path.Left(2) == L"\\\\" || path.Left(2) == L"//")
        return false;
    // A drive-relative path ("C:name") or a stream (":") past the drive means another place.
    if (path.GetAt(1) != L':' || (path.GetAt(2) != L'\\' && path.GetAt(2) != L'/') || path.Find(L':', 2) >= 0)
        return false;
    WCHAR resolvedPath[MAX_PATH * 2];
    WCHAR resolvedFolder[MAX_PATH * 2];
    DWORD pathLength = GetFullPathNameW(path, MAX_PATH * 2, resolvedPath, nullptr);
    DWORD folderLength = GetFullPathNameW(folder, MAX_PATH * 2, resolvedFolder, nullptr);
    if (pathLength == 0 || pathLength >= MAX_PATH * 2 || folderLength == 0 || folderLength >= MAX_PATH * 2)
        return false;
    while (folderLength > 0 && resolvedFolder[folderLength - 1] == L'\\')
        resolvedFolder[--folderLength] = 0;
    if (pathLength <= folderLength + 1 || _wcsnicmp(resolvedPath, resolvedFolder, folderLength) != 0 ||
        resolvedPath[folderLength] != L'\\')
        return false;
    // Every name below the folder must itself be harmless.
    CString rest(resolvedPath + folderLength + 1);
    int start = 0;
    while (start <= rest.GetLength()) {
        int end = rest.Find(L'\\', start);
        if (end < 0)
            end = rest.GetLength();
        if (!IsSafeFeedFileName(rest.Mid(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

CString DataFolderFile(const CString& name, LPCWSTR extension)
{
    CString path;
    const CString& folder = GetEngineContext().m_strDataFolder;
    if (!name.IsEmpty() && !folder.IsEmpty() && IsSafeFeedFileName(name))
        path = folder + L"\\" + name + extension;
    return path;
}

} // namespace

bool IsSafeFeedFileName(LPCWSTR name)
{
    if (!name || !*name)
        return false;
    size_t length = wcslen(name);
    // ".", ".." and their like name the folder itself or its parent once the platform drops trailing dots.
    if (wcsspn(name, L". ") == length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        wchar_t c = name[i];
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c))
            return false;
    }
    // The platform drops trailing dots and blanks and opens "CON.rss" as the console: judge the name as
    // the platform reads it, up to its first dot.
    size_t stem = wcscspn(name, L".");
    while (stem > 0 && name[stem - 1] == L' ')
        --stem;
    return !IsDeviceName(name, stem);
}

CFeedItem::CFeedItem()
    : m_nKind(FEED_KIND_ITEM), m_nReadState(FEED_STATE_NEW), m_nUpdateInterval(120), m_nCountdown(0),
      m_nEnclosureLength(0), m_nEnclosureState(0), m_pAttachedObject(nullptr), m_hEnclosureIcon(nullptr),
      m_rcLast(0, 0, 0, 0), m_pChannel(nullptr), m_nNewCount(0), m_nUnreadCount(0), m_nReadCount(0), m_nImageIndex(-1),
      m_nHeadlineWidth(0), m_nHeadlineHeight(0), m_bUpdateFailed(false), m_bHttpAuth(true), m_bMayUnsubscribe(true),
      m_pNavControl(nullptr), m_pAttachedWnd(nullptr), m_pLinkedItem(nullptr), m_bUpdating(false),
      m_bEnclosureJob(false), m_bKeep(true), m_dwOwnerThreadId(0), m_pThread(nullptr), m_nDownloadResult(0),
      m_hStopEvent(nullptr)
{
    m_dtDate.m_dt = 0.0;
    m_dtDate.SetStatus(COleDateTime::null);
}

CFeedItem::CFeedItem(const CFeedItem& source) : CFeedItem()
{
    CopyFrom(source);
}

CFeedItem::~CFeedItem()
{
    delete m_pChannel;
    delete m_pAttachedObject;
    if (m_hEnclosureIcon)
        DestroyIcon(m_hEnclosureIcon);
    if (m_pAttachedWnd && ::IsWindow(m_pAttachedWnd->GetSafeHwnd()))
        m_pAttachedWnd->DestroyWindow();
}

void CFeedItem::CopyFrom(const CFeedItem& source)
{
    m_strTitleText = source.m_strTitleText;
    m_strTitle = source.m_strTitle;
    m_nKind = source.m_nKind;
    m_strAuthor = source.m_strAuthor;
    m_strCategory = source.m_strCategory;
    m_strDescriptionText = source.m_strDescriptionText;
    m_strImageText = source.m_strImageText;
    m_strLinkText = source.m_strLinkText;
    m_strDescription = source.m_strDescription;
    m_strImage = source.m_strImage;
    m_strLink = source.m_strLink;
    m_strDate = source.m_strDate;
    m_strSubject = source.m_strSubject;
    m_strExtra = source.m_strExtra;
    m_strAccountName = source.m_strAccountName;
    m_strPassword = source.m_strPassword;
    m_strInput = source.m_strInput;
    m_strButtonText = source.m_strButtonText;
    m_nImageIndex = source.m_nImageIndex;
    m_nReadState = source.m_nReadState;
    m_nUpdateInterval = source.m_nUpdateInterval;
    m_nCountdown = source.m_nCountdown;
    m_bKeep = source.m_bKeep;
    m_bHttpAuth = source.m_bHttpAuth;
    m_strEnclosureUrl = source.m_strEnclosureUrl;
    m_strEnclosureType = source.m_strEnclosureType;
    m_nEnclosureLength = source.m_nEnclosureLength;
    m_nEnclosureState = source.m_nEnclosureState;
    m_dtDate = source.m_dtDate;
}

int CFeedItem::GetChannelItemCount() const
{
    if (m_pChannel)
        return static_cast<int>(m_pChannel->m_items.GetCount());
    return m_bItemsPending ? m_nNewCount + m_nUnreadCount + m_nReadCount : 0;
}

int CFeedItem::CountNews()
{
    int newCount = m_nNewCount;
    if (!m_bItemsPending || m_pChannel) {
        m_nNewCount = m_nUnreadCount = m_nReadCount = 0;
        if (!m_pChannel || m_pChannel->m_items.IsEmpty())
            return 0;
        newCount = 0;
        int unreadCount = 0;
        int readCount = 0;
        for (POSITION pos = m_pChannel->m_items.GetHeadPosition(); pos;) {
            const CFeedItem* item = m_pChannel->m_items.GetNext(pos);
            if (item->m_nReadState == FEED_STATE_READ)
                ++readCount;
            else if (item->m_nReadState == FEED_STATE_UNREAD)
                ++unreadCount;
            else
                ++newCount;
        }
        // The counts are 16-bit: a huge channel shows the largest count rather than a wrapped one.
        m_nNewCount = static_cast<WORD>(newCount > 0xFFFF ? 0xFFFF : newCount);
        m_nUnreadCount = static_cast<WORD>(unreadCount > 0xFFFF ? 0xFFFF : unreadCount);
        m_nReadCount = static_cast<WORD>(readCount > 0xFFFF ? 0xFFFF : readCount);
    }
    if (newCount > 0) {
        CString label;
        label.Format(L"%s%3d", m_strTitleText.GetString(), newCount);
        CStringList& labels = GetEngineContext().m_newsLabels;
        if (!labels.Find(label))
            labels.AddTail(label);
    }
    return newCount;
}

CString CFeedItem::GetCacheFileName() const
{
    if (m_nKind == FEED_KIND_FEED)
        return DataFolderFile(m_strFile, L".rss");
    if ((m_nKind == FEED_KIND_SEARCH_RESULT || m_nKind == FEED_KIND_FILTER_RESULT) && m_pChannel)
        return m_pChannel->m_strPath;
    return CString();
}

CString CFeedItem::GetIconFileName() const
{
    if (m_nKind != FEED_KIND_NOTICE)
        return DataFolderFile(m_strFile, L".ico");
    // A Notice's page is a full path, which comes from files and servers: it must stay in the data folder.
    // A bare name (as the icon fetch gives a new Notice) means that name in the data folder.
    if (IsSafeFeedFileName(m_strFile))
        return DataFolderFile(m_strFile, L"");
    return IsInsideFolder(m_strFile, GetEngineContext().m_strDataFolder) ? m_strFile : CString();
}
