#include "framework/core/FileReading.h"

namespace {

void SetError(DWORD* pError, DWORD error)
{
    if (pError)
        *pError = error;
}

template <class Bytes> bool ReadBlocks(HANDLE hFile, Bytes& bytes, size_t maxBytes, DWORD* pError)
{
    bytes.clear();
    char block[65536];
    while (bytes.size() < maxBytes) {
        const size_t wanted = maxBytes - bytes.size() < sizeof(block) ? maxBytes - bytes.size() : sizeof(block);
        DWORD got = 0;
        if (!::ReadFile(hFile, block, static_cast<DWORD>(wanted), &got, nullptr)) {
            SetError(pError, ::GetLastError());
            return false;
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), block, block + got);
    }
    return true;
}

template <class Bytes> bool ReadWhole(const CString& path, Bytes& bytes, ULONGLONG maxBytes, DWORD share, DWORD* pError)
{
    bytes.clear();
    CScopedFile file = OpenFileForReading(path, share);
    if (!file) {
        SetError(pError, ::GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) {
        SetError(pError, ::GetLastError());
        return false;
    }
    if (static_cast<ULONGLONG>(size.QuadPart) > maxBytes) {
        SetError(pError, ERROR_FILE_TOO_LARGE);
        return false;
    }
    bytes.reserve(static_cast<size_t>(size.QuadPart));
    // A file that grew since it was measured still stops at the limit.
    const size_t limit = maxBytes < SIZE_MAX ? static_cast<size_t>(maxBytes) : SIZE_MAX;
    return ReadBlocks(file.Get(), bytes, limit, pError);
}

} // namespace

CScopedFile OpenFileForReading(const CString& path, DWORD share)
{
    return CScopedFile(
        ::CreateFileW(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool ReadToEnd(HANDLE hFile, std::string& bytes, size_t maxBytes, DWORD* pError)
{
    return ReadBlocks(hFile, bytes, maxBytes, pError);
}

bool ReadWholeFile(const CString& path, std::string& bytes, ULONGLONG maxBytes, DWORD share, DWORD* pError)
{
    return ReadWhole(path, bytes, maxBytes, share, pError);
}

bool ReadWholeFile(const CString& path, std::vector<BYTE>& bytes, ULONGLONG maxBytes, DWORD share, DWORD* pError)
{
    return ReadWhole(path, bytes, maxBytes, share, pError);
}

bool GetFileSizeOf(const CString& path, ULONGLONG& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.IsEmpty() || !::GetFileAttributesExW(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}
