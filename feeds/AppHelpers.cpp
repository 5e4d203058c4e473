// Free helper functions shared by the application.
#include "feeds/AppHelpers.h"
#include "res/resource.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedStore.h"
#include "feeds/FeedText.h"
#include "feeds/XmlDom.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Dc.h"

#include <shellapi.h>

#include <cwchar>
#include <cstdlib>

namespace {

const WCHAR kMenuExtensionKey[] = L"Software\\Microsoft\\Internet Explorer\\MenuExt\\";
const int kFeedFileNameLength = 100;

// The default value of a key under a root, or FALSE. The buffer counts characters.
BOOL ReadDefaultValue(HKEY root, LPCWSTR subKey, LPCWSTR valueName, WCHAR* buffer, DWORD chars)
{
    CScopedRegKey key;
    if (RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    DWORD type = 0;
    DWORD bytes = (chars - 1) * sizeof(WCHAR);
    ZeroMemory(buffer, chars * sizeof(WCHAR));
    const LONG result = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    buffer[chars - 1] = 0;
    return result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
}

// The words between the first opening tag and the first closing tag after it.
void ReadSection(const CString& text, LPCWSTR open, LPCWSTR close, CString& words)
{
    const int start = text.Find(open);
    if (start < 0)
        return;
    const int first = start + static_cast<int>(wcslen(open));
    const int end = text.Find(close, first);
    if (end < 0)
        return;
    words = text.Mid(first, end - first);
}

void AppendSection(CString& text, LPCWSTR words, LPCWSTR open, LPCWSTR close)
{
    if (words && *words) {
        text += open;
        text += words;
        text += close;
    }
}

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

CString MenuExtensionKey()
{
    CString caption;
    caption.LoadString(IDS_SUBSCRIBE_TO);
    return CString(kMenuExtensionKey) + caption;
}

} // namespace

CString BuildFilterText(LPCWSTR andWords, LPCWSTR orWords, LPCWSTR notWords)
{
    CString text;
    AppendSection(text, andWords, L"#AND#", L"#/AND#");
    AppendSection(text, orWords, L"#OR#", L"#/OR#");
    AppendSection(text, notWords, L"#NOT#", L"#/NOT#");
    return text;
}

bool ParseFilterTerms(LPCWSTR text, CString& andWords, CString& orWords, CString& notWords)
{
    const CString all(text ? text : L"");
    ReadSection(all, L"#AND#", L"#/AND#", andWords);
    ReadSection(all, L"#OR#", L"#/OR#", orWords);
    ReadSection(all, L"#NOT#", L"#/NOT#", notWords);
    return true;
}

CString ExtractBrowserCommand(const CString& value)
{
    CString command = value;
    if (command.IsEmpty())
        return command;
    command.Replace(L" \"%1\"", L"");
    if (command.Find(L'"') < 0) {
        // An unquoted program path ends at the first blank after its last folder.
        const int slash = command.ReverseFind(L'\\');
        if (slash > 0) {
            const int blank = command.Find(L' ', slash);
            if (blank >= 0)
                command = command.Left(blank);
        }
    } else {
        const int first = command.Find(L'"');
        const int last = command.ReverseFind(L'"');
        if (first != last)
            command = command.Mid(first + 1, last - first - 1);
    }
    return command;
}

CString GetDefaultBrowserCommand()
{
    WCHAR value[MAX_PATH * 2];
    if (!ReadDefaultValue(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", nullptr, value, MAX_PATH * 2))
        return CString();
    return ExtractBrowserCommand(CString(value));
}

namespace {
bool LaunchWithShell(const CString& address)
{
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

BrowserLauncher g_browserLauncher = LaunchWithShell;

// Controls, blanks and the characters that show as nothing: an address holding one is not what the user saw.
bool IsBlankOrInvisible(wchar_t ch)
{
    return ch <= L' ' || (ch >= 0x7F && ch <= 0xA0) || ch == 0xAD || ch == 0x1680 || (ch >= 0x2000 && ch <= 0x200F) ||
           (ch >= 0x2028 && ch <= 0x202F) || (ch >= 0x205F && ch <= 0x206F) || ch == 0x3000 || ch == 0xFEFF ||
           ch >= 0xFFF0;
}
} // namespace

bool IsOpenableAddress(const CString& address)
{
    // The platform's own limit for an address; longer ones are no address a user clicked.
    if (address.IsEmpty() || address.GetLength() > 2083 || !IsSafeLink(address))
        return false;
    for (int i = 0; i < address.GetLength(); ++i) {
        if (IsBlankOrInvisible(address[i]) || address[i] == L'"')
            return false;
    }
    const int colon = address.Find(L':');
    if (colon <= 0)
        return false;
    const CString scheme = address.Left(colon).MakeLower();
    const CString rest = address.Mid(colon + 1);
    if (scheme == L"mailto")
        return !rest.IsEmpty();
    if (scheme != L"http" && scheme != L"https" && scheme != L"ftp")
        return false;
    if (rest.GetLength() < 3 || rest[0] != L'/' || rest[1] != L'/')
        return false;
    const wchar_t first = rest[2];
    return first != L'/' && first != L'\\' && first != L'?' && first != L'#' && first != L':' && first != L'@';
}

bool OpenInBrowser(const CString& address)
{
    if (!IsOpenableAddress(address))
        return false;
    return g_browserLauncher(address);
}

BrowserLauncher SetBrowserLauncher(BrowserLauncher launcher)
{
    BrowserLauncher previous = g_browserLauncher;
    g_browserLauncher = launcher != nullptr ? launcher : LaunchWithShell;
    return previous;
}

CString GetModuleFolder()
{
    WCHAR path[MAX_PATH + 1] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return CString();
    CString folder(path);
    const int slash = folder.ReverseFind(L'\\');
    return slash < 0 ? CString() : folder.Left(slash);
}

CString MakeFeedFileName(LPCWSTR title)
{
    CString name(title ? title : L"");
    if (name.GetLength() > kFeedFileNameLength) {
        int cut = kFeedFileNameLength;
        // Never keep half of a surrogate pair.
        if (IS_HIGH_SURROGATE(name[cut - 1]))
            --cut;
        name = name.Left(cut);
    }
    for (int i = 0; i < name.GetLength(); ++i) {
        const WCHAR c = name[i];
        // Control characters (a line feed in a display title) cannot stand in a file name either.
        if (wcschr(L"*\\:<>?/|\"'", c) || c < 0x20)
            name.SetAt(i, L'_');
    }
    name.Remove(L'&');
    // An empty title, dots alone or a device name ("CON", "con.rss", "AUX .txt") would give a file the platform
    // cannot keep. The mark goes where the platform ends the name it judges, before the first dot and any blanks
    // ahead of it: after the whole name, "con.rss_" would still open the console.
    if (!IsSafeFeedFileName(name)) {
        int stem = name.SpanIncluding(L". ").GetLength() == name.GetLength() ? -1 : name.Find(L'.');
        if (stem < 0)
            stem = name.GetLength();
        while (stem > 0 && name[stem - 1] == L' ')
            --stem;
        name.Insert(stem, L'_');
    }

    const CString folder = GetEngineContext().m_strDataFolder + L"\\";
    if (!Exists(folder + name + L".rss"))
        return name;
    for (unsigned counter = 0;; ++counter) {
        CString candidate;
        candidate.Format(L"%s%u", name.GetString(), counter);
        if (!Exists(folder + candidate + L".rss"))
            return candidate;
    }
}

bool RestoreCustomFeeds()
{
    const CString backup = GetEngineContext().m_strDataFolder + L"\\CustomFeed.bak";
    if (!Exists(backup))
        return false;
    return CopyFileSafely(backup, GetEngineContext().m_strDataFolder + L"\\CustomFeed.xml");
}

void SplitIconLocation(LPCWSTR location, CString& file, int& index)
{
    const CString text(location ? location : L"");
    const int comma = text.Find(L',');
    if (comma < 0) {
        file = text;
        index = 0;
        return;
    }
    file = text.Left(comma);
    index = static_cast<int>(_wtol(text.GetString() + comma + 1));
}

HICON GetMimeTypeIcon(LPCWSTR contentType)
{
    if (!contentType || !*contentType)
        return nullptr;
    WCHAR extension[10];
    if (!ReadDefaultValue(HKEY_CLASSES_ROOT, CString(L"MIME\\Database\\Content Type\\") + contentType, L"Extension",
                          extension, 10))
        return nullptr;
    WCHAR fileClass[MAX_PATH];
    if (!extension[0] || !ReadDefaultValue(HKEY_CLASSES_ROOT, extension, nullptr, fileClass, MAX_PATH))
        return nullptr;
    WCHAR location[MAX_PATH];
    if (!fileClass[0] ||
        !ReadDefaultValue(HKEY_CLASSES_ROOT, CString(fileClass) + L"\\DefaultIcon", nullptr, location, MAX_PATH))
        return nullptr;
    CString file;
    int index = 0;
    SplitIconLocation(location, file, index);
    HICON icon = nullptr;
    if (ExtractIconExW(file, index, nullptr, &icon, 1) == 0)
        return nullptr;
    return icon;
}

bool RegisterBrowserMenuExtension(bool bCreate)
{
    const CString keyName = MenuExtensionKey();
    if (!bCreate) {
        RegDeleteKeyW(HKEY_CURRENT_USER, keyName);
        return true;
    }
    CScopedRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    const CString page = EngineProfileString(L"", L"Install_Dir", L"") + L"\\feedscript.htm";
    const LONG result = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(page.GetString()),
                                       static_cast<DWORD>((page.GetLength() + 1) * sizeof(WCHAR)));
    return result == ERROR_SUCCESS;
}

COleDateTime ToLocalTime(const COleDateTime* pUtc, const TIME_ZONE_INFORMATION& zone)
{
    if (!pUtc)
        return COleDateTime(0.0);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    // The bias of the date's own season: a winter date read in summer is not an hour off.
    if (pUtc->GetAsSystemTime(utc) &&
        SystemTimeToTzSpecificLocalTime(const_cast<TIME_ZONE_INFORMATION*>(&zone), &utc, &local))
        return COleDateTime(local);
    // Dates the conversion cannot take (before 1601) keep the zone's standard bias.
    const LONG bias = zone.Bias + zone.StandardBias;
    COleDateTimeSpan span;
    span.SetDateTimeSpan(0, 0, static_cast<int>(bias), 0);
    return *pUtc - span;
}

COleDateTime ToLocalTime(const COleDateTime* pUtc)
{
    TIME_ZONE_INFORMATION zone;
    ZeroMemory(&zone, sizeof(zone));
    GetTimeZoneInformation(&zone);
    return ToLocalTime(pUtc, zone);
}

int ClassifyWindowsVersion(DWORD platformId, DWORD major, DWORD minor)
{
    if (platformId == VER_PLATFORM_WIN32s)
        return WINVER_CLASS_WIN32S;
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (major == 4)
            return WINVER_CLASS_NT4;
        if (major == 5 && minor == 0)
            return WINVER_CLASS_WIN2000;
        if (major == 5 && minor == 1)
            return WINVER_CLASS_WINXP;
        return WINVER_CLASS_NT_OTHER;
    }
    if (major == 4 && minor == 10)
        return WINVER_CLASS_WIN98;
    if (major == 4 && minor == 90)
        return WINVER_CLASS_WINME;
    return WINVER_CLASS_WIN95;
}

int GetWindowsVersionClass()
{
    static volatile LONG s_class = WINVER_CLASS_UNKNOWN;
    if (s_class != WINVER_CLASS_UNKNOWN)
        return s_class;
    OSVERSIONINFOW info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExW(&info);
#pragma GCC diagnostic pop
    if (!ok)
        return WINVER_CLASS_UNKNOWN;
    InterlockedExchange(&s_class, ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion));
    return s_class;
}

bool SystemDrawsGradients()
{
    const int versionClass = GetWindowsVersionClass();
    if (versionClass != WINVER_CLASS_NT_OTHER)
        return versionClass >= WINVER_CLASS_WIN98;
    // That class holds NT 3.x as well as every NT after XP, which all draw gradients.
    OSVERSIONINFOW info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&info) && info.dwMajorVersion >= 5;
#pragma GCC diagnostic pop
}

BOOL FillGradientRect(CDC* pDC, const RECT& rect, COLORREF first, COLORREF second, BOOL bVertical)
{
    if (!pDC)
        return FALSE;
    if (!SystemDrawsGradients()) {
        pDC->FillSolidRect(&rect, first);
        return TRUE;
    }
    TRIVERTEX vertices[2];
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[0].Red = static_cast<COLOR16>(GetRValue(first) << 8);
    vertices[0].Green = static_cast<COLOR16>(GetGValue(first) << 8);
    vertices[0].Blue = static_cast<COLOR16>(GetBValue(first) << 8);
    vertices[0].Alpha = 0;
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    vertices[1].Red = static_cast<COLOR16>(GetRValue(second) << 8);
    vertices[1].Green = static_cast<COLOR16>(GetGValue(second) << 8);
    vertices[1].Blue = static_cast<COLOR16>(GetBValue(second) << 8);
    vertices[1].Alpha = 0;
    GRADIENT_RECT gradient = {0, 1};
    return GradientFill(pDC->GetSafeHdc(), vertices, 2, &gradient, 1,
                        bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

CString GetXmlNodeName(IXMLDOMNode* pNode)
{
    return XmlDom::NodeName(pNode);
}

CString GetXmlNodeText(IXMLDOMNode* pNode)
{
    return XmlDom::NodeText(pNode);
}
