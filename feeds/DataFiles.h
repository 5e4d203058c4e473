// The program's folders and the files the engine names in them: channel file names, the custom list's backup and
// temporary files.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"

// The folder of the program file, without a trailing backslash; empty on failure.
CString GetModuleFolder();

// A base name for a new channel's ".rss" and ".ico" files: the title cut to 100 characters, reserved
// characters turned into "_", "&" removed, then numbered while the data folder already holds that ".rss".
CString MakeFeedFileName(LPCWSTR title);

// Copies the custom list's backup over the list; true when the backup existed and the copy succeeded.
bool RestoreCustomFeeds();

// A new empty temporary file with the prefix in the program's temporary folder; empty when none could be made.
CString MakeTempFile(LPCWSTR prefix);
