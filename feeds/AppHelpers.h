// Free helper functions shared by the application: quick-filter text, the default browser, the program's
// folder, channel file names, the custom list's backup, MIME icons, the browser menu entry, local time, the
// Windows version class, a gradient fill and two XML node readers.
#pragma once

#include <windows.h>
#include <msxml.h>

#include "framework/core/AfxString.h"
#include "framework/core/DateTime.h"

class CDC;

// "#AND#..#/AND##OR#..#/OR##NOT#..#/NOT#"; a list that is absent or empty is left out with its tags.
CString BuildFilterText(LPCWSTR andWords, LPCWSTR orWords, LPCWSTR notWords);
// The words of each tagged section; an output whose section is missing is left unchanged. Returns true.
bool ParseFilterTerms(LPCWSTR text, CString& andWords, CString& orWords, CString& notWords);

// The default web browser's program (or command) from the http protocol's open command; empty when unset.
CString GetDefaultBrowserCommand();
// The same rules over a given command text.
CString ExtractBrowserCommand(const CString& command);

// Whether an address may be handed to the platform to open after a user's click: an absolute http, https or
// ftp address with a host, or a mailto address, with nothing in it that the shell could read another way.
bool IsOpenableAddress(const CString& address);
// Opens such an address in the user's default browser or mail program, with the address as the file to open
// (never as part of a command line). Anything else opens nothing and returns false.
bool OpenInBrowser(const CString& address);
// Replaces what OpenInBrowser calls once the address has passed its check; returns the one replaced. Null
// restores the platform's launcher. Tests use it to see what would have been opened.
typedef bool (*BrowserLauncher)(const CString& address);
BrowserLauncher SetBrowserLauncher(BrowserLauncher launcher);

// The folder of the program file, without a trailing backslash; empty on failure.
CString GetModuleFolder();

// A base name for a new channel's ".rss" and ".ico" files: the title cut to 100 characters, reserved
// characters turned into "_", "&" removed, then numbered while the data folder already holds that ".rss".
CString MakeFeedFileName(LPCWSTR title);

// Copies the custom list's backup over the list; true when the backup existed and the copy succeeded.
bool RestoreCustomFeeds();

// The small icon of a MIME content type from the MIME database, owned by the caller; null when none.
HICON GetMimeTypeIcon(LPCWSTR contentType);
// "file,index": the file before the first comma and the decimal index after it (0 without a comma).
void SplitIconLocation(LPCWSTR location, CString& file, int& index);

// Creates (with the page of "Install_Dir" + "\feedscript.htm") or removes the web browser's context-menu entry.
bool RegisterBrowserMenuExtension(bool bCreate);

// A UTC date in local time, with the bias in force at that date (standard or daylight time). No date gives 0.
COleDateTime ToLocalTime(const COleDateTime* pUtc);
// The same in a given time zone.
COleDateTime ToLocalTime(const COleDateTime* pUtc, const TIME_ZONE_INFORMATION& zone);

// Windows version classes.
enum WindowsVersionClass
{
    WINVER_CLASS_UNKNOWN = 0,
    WINVER_CLASS_WIN32S = 1,
    WINVER_CLASS_NT_OTHER = 2,
    WINVER_CLASS_WIN95 = 3,
    WINVER_CLASS_NT4 = 4,
    WINVER_CLASS_WIN98 = 5,
    WINVER_CLASS_WINME = 6,
    WINVER_CLASS_WIN2000 = 7,
    WINVER_CLASS_WINXP = 8,
};
// The class of the running system, computed once (a failed reading is tried again on the next call).
int GetWindowsVersionClass();
// The class of given version numbers (platform id, major, minor).
int ClassifyWindowsVersion(DWORD platformId, DWORD major, DWORD minor);

// Whether the system can draw gradients: Windows 98, 2000 and later.
bool SystemDrawsGradients();
// A two-colour gradient, left to right or (bVertical) top to bottom; a solid fill in the first colour on
// systems that draw no gradients. Returns the fill's result.
BOOL FillGradientRect(CDC* pDC, const RECT& rect, COLORREF first, COLORREF second, BOOL bVertical);

// The node's name and text; empty when they cannot be read.
CString GetXmlNodeName(IXMLDOMNode* pNode);
CString GetXmlNodeText(IXMLDOMNode* pNode);
