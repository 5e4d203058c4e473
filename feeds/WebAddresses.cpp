#include "feeds/WebAddresses.h"

#include "feeds/FeedText.h"
#include "framework/core/TextHelpers.h"

#include <shellapi.h>

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

bool IsWebAddress(LPCWSTR address)
{
    return StartsWithNoCase(address, L"http://") || StartsWithNoCase(address, L"https://");
}

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
