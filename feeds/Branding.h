// The branding file (settings.xml): the caption, links, user agent, logo, bookmarking target and statistics
// switch that every part of the program reads from the settings record.
#pragma once

#include <windows.h>

struct CReaderSettings;

// Reads the branding from the file, or from the data folder's "settings.xml" when no path is given, into the
// engine's settings record. Returns TRUE when the branding was taken; FALSE, with nothing changed, when the file
// does not exist, does not parse or no XML parser could be made.
BOOL LoadBranding(LPCWSTR path = nullptr);
// The same into any settings record.
BOOL LoadBranding(CReaderSettings& settings, LPCWSTR path);
