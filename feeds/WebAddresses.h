// The addresses that may leave the program, and opening them in the user's browser.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"

// Whether an address is a web page's: it begins with "http://" or "https://" (letters of either case). Pages
// named by data from the network (the branding's home page, help and service addresses) must be.
bool IsWebAddress(LPCWSTR address);

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
