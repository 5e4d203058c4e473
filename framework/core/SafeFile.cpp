// One writer for every file that must be either whole or as it was.
#include "framework/core/SafeFile.h"

#include <algorithm>
#include <vector>

#include "framework/core/ScopedHandles.h"

namespace {

SafeWriteStepHook g_stepHook = nullptr;

HRESULT Step(LPCWSTR name)
{
    return g_stepHook ? g_stepHook(name) : S_OK;
}

CString FolderOf(const CString& path)
{
    const int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return slash >= 0 ? path.Left(slash + 1) : CString(L".\\");
}

// A save killed between creating its temporary file and renaming it leaves the file behind. Another thread's save
// in the same folder (download threads store icons and caches side by side) has its file closed for a moment
// between writing and renaming: only files untouched for ten minutes, far longer than any save, are stale.
void RemoveStaleTempFiles(const CString& folder)
{
    WIN32_FIND_DATAW found;
    CScopedFindHandle find(::FindFirstFileW(folder + L"lqs*.tmp", &found));
    if (!find)
        return;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG kStaleAge = 10ull * 60 * 10000000; // in 100-ns units
    const ULONGLONG nowTicks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    do {
        const ULONGLONG written =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && nowTicks > written + kStaleAge)
            ::DeleteFileW(folder + found.cFileName);
    } while (::FindNextFileW(find.Get(), &found));
}

bool WriteAll(HANDLE file, const BYTE* data, size_t size)
{
    const size_t kBlock = 64 * 1024;
    while (size) {
        const DWORD chunk = static_cast<DWORD>(std::min(size, kBlock));
        DWORD written = 0;
        if (FAILED(Step(L"#write")) || !::WriteFile(file, data, chunk, &written, nullptr) || written != chunk)
            return false;
        data += chunk;
        size -= chunk;
    }
    return SUCCEEDED(Step(L"#flush")) && ::FlushFileBuffers(file);
}

// Puts the written file in the target's place. A reader that holds the target open without sharing its deletion
// (an indexer, a virus scanner, a test polling the file) makes the rename fail for as long as it reads: the rename
// is tried again for a while before the save counts as failed.
bool ReplaceWith(const wchar_t* temp, const CString& path)
{
    for (int attempt = 0;; ++attempt) {
        if (FAILED(Step(L"#rename")))
            return false;
        if (::MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        if (attempt >= 40 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            return false;
        ::Sleep(25);
    }
}

} // namespace

void SetSafeWriteStepHook(SafeWriteStepHook hook)
{
    g_stepHook = hook;
}

bool WriteFileSafely(const CString& path, const void* data, size_t size)
{
    // A read-only file is refused, as writing it in place would be; not every platform's rename refuses it.
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    const CString folder = FolderOf(path);
    RemoveStaleTempFiles(folder);
    WCHAR temp[MAX_PATH];
    if (!::GetTempFileNameW(folder, L"lqs", 0, temp))
        return false;
    bool written;
    {
        CScopedFile file(::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && WriteAll(file.Get(), static_cast<const BYTE*>(data), size);
    }
    if (written && ReplaceWith(temp, path))
        return true;
    ::DeleteFileW(temp);
    return false;
}

bool CopyFileSafely(const CString& source, const CString& target)
{
    std::vector<BYTE> bytes;
    {
        CScopedFile file(::CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size;
        if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart > MAXDWORD)
            return false;
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!bytes.empty() &&
            (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
             read != bytes.size()))
            return false;
    }
    return WriteFileSafely(target, bytes.data(), bytes.size());
}
