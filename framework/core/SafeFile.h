// The safe writer: a file is replaced whole or left as it was.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"

// Replaces the file at the path with the bytes, or leaves it as it was: the bytes go to a temporary "lqs*.tmp"
// file in the same folder, every write checked and flushed to the disk, which then takes the file's place. On any
// failure the temporary file is gone and FALSE comes back. Temporary files that earlier saves in the folder left
// behind (killed mid-way) are removed first; those still open for another save stay.
bool WriteFileSafely(const CString& path, const void* data, size_t size);

// Copies a file through WriteFileSafely: the target is either the whole source or as it was.
bool CopyFileSafely(const CString& source, const CString& target);

// Called with "#write" before each block written to the disk, with "#flush", and with "#rename" before each attempt
// to put the file in place (a reader holding the target open makes an attempt fail; the next comes shortly); a
// failure code makes that step fail. Only tests set one: a full disk cannot be had otherwise.
using SafeWriteStepHook = HRESULT (*)(LPCWSTR step);
void SetSafeWriteStepHook(SafeWriteStepHook hook);
