// Local file names of enclosures, taken from data a feed or a server supplied.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"

// An enclosure's file name as offered for saving: path separators, reserved characters and device names made
// harmless, so that the name stays one file inside the folder the user picks.
CString CleanEnclosureFileName(const CString& name);

// Whether a downloaded enclosure may be opened with the program associated with its type: an existing file (not a
// folder) at a full path whose name is one clean file name, of a type that is not run as a program.
bool IsOpenableEnclosureFile(const CString& path);
// Opens such a file, or a folder, through the shell with the path as the file to open (never as part of a
// command line); false when refused or when the shell failed (the last error then tells why).
bool OpenEnclosureFile(const CString& path);
bool OpenEnclosureFolder(const CString& folder);
// Replaces what the two calls above hand the checked path to; returns the one replaced. Null restores the shell.
// Tests use it to see what would have been opened.
typedef bool (*EnclosureLauncher)(const CString& path);
EnclosureLauncher SetEnclosureLauncher(EnclosureLauncher launcher);
