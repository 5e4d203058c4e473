// Reading files whole, and the size of a file.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/AfxString.h"
#include "framework/core/ScopedHandles.h"

// Opens an existing file for reading; others may open it as `share` allows. Invalid when it does not open.
CScopedFile OpenFileForReading(const CString& path, DWORD share = FILE_SHARE_READ);

// Reads from the handle's position to the end of the file, keeping at most maxBytes: a longer file is cut there.
// False when a read fails; pError, when given, then receives the platform's error.
bool ReadToEnd(HANDLE hFile, std::string& bytes, size_t maxBytes = SIZE_MAX, DWORD* pError = nullptr);

// Opens the file (as OpenFileForReading) and reads it whole. False when it does not open, a read fails, or it
// holds more than maxBytes, in which case nothing is read (error ERROR_FILE_TOO_LARGE). pError, when given,
// receives the platform's error on failure.
bool ReadWholeFile(const CString& path, std::string& bytes, ULONGLONG maxBytes, DWORD share = FILE_SHARE_READ,
                   DWORD* pError = nullptr);
bool ReadWholeFile(const CString& path, std::vector<BYTE>& bytes, ULONGLONG maxBytes, DWORD share = FILE_SHARE_READ,
                   DWORD* pError = nullptr);

// The size of an existing file; false for a path that names nothing or a folder.
bool GetFileSizeOf(const CString& path, ULONGLONG& size);
