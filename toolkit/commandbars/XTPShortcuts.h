// Keyboard shortcut texts: a command's shortcut read from the frame's accelerator table and spelt with the key
// names of the user's keyboard layout (an English table when the layout names none), and the upper-casing of one
// character for access keys.
#pragma once

#include "framework/core/AfxString.h"

#include <windows.h>

class CXTPCommandBars;

// Appends the key's name and, unless bLast, a "+". Nothing for a key without a name.
void GetKeyName(CString& strText, UINT nCode, BOOL bLast);
// The shortcut text of one accelerator entry, modifiers in the order Ctrl, Shift, Alt.
CString AccelToText(const ACCEL& accel);
// Sets strShortcut from the accelerator table of the command bars' site (else the thread's main window): a plain
// key is preferred over Ctrl, Ctrl over Alt, Alt over Shift, and a current text that is one of the command's
// shortcuts stays. FALSE (and an empty text) when the command has none; FALSE (text untouched) without a table.
BOOL FindCommandShortcut(UINT nCommand, CString& strShortcut, CXTPCommandBars* pCommandBars = nullptr);
// The same from a given accelerator table.
BOOL FindCommandShortcut(UINT nCommand, CString& strShortcut, HACCEL hAccelTable);
// One character upper-cased by the platform, following the user's locale.
wchar_t MakeUpperChar(wchar_t ch);

// The key-name source (GetKeyNameTextW by default); a provider answering 0 leaves the name to the English table.
typedef int(WINAPI* XTPKeyNameProvider)(LONG lParam, LPWSTR lpString, int cchSize);
void SetKeyNameProvider(XTPKeyNameProvider pfnProvider);
