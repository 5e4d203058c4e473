// What the shell's associations say and hold for the program: the default browser's program, the icon of a MIME
// type, and the web browser's context-menu entry.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"

// The default web browser's program (or command) from the http protocol's open command; empty when unset.
CString GetDefaultBrowserCommand();
// The same rules over a given command text.
CString ExtractBrowserCommand(const CString& command);

// The small icon of a MIME content type from the MIME database, owned by the caller; null when none.
HICON GetMimeTypeIcon(LPCWSTR contentType);
// "file,index": the file before the first comma and the decimal index after it (0 without a comma).
void SplitIconLocation(LPCWSTR location, CString& file, int& index);

// Creates (with the page of "Install_Dir" + "\feedscript.htm") or removes the web browser's context-menu entry.
bool RegisterBrowserMenuExtension(bool bCreate);
