#include "framework/core/File.h"

#include <cstdlib>
#include <cstring>
#include <climits>
#include <cwchar>
#include <limits>
#include <string>

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)
IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)
IMPLEMENT_DYNAMIC(CFileFind, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

CString FullPath(LPCTSTR path)
{
    WCHAR buffer[MAX_PATH];
    LPWSTR filePart = nullptr;
    const DWORD length = GetFullPathNameW(path, MAX_PATH, buffer, &filePart);
    if (length == 0)
        return CString(path);
    if (length < MAX_PATH)
        return CString(buffer);
    CString big;
    const DWORD needed = GetFullPathNameW(path, length, big.GetBuffer(static_cast<int>(length)), &filePart);
    big.ReleaseBuffer(needed < length ? static_cast<int>(needed) : 0);
    return big.IsEmpty() ? CString(path) : big;
}

// The part after the last "\", "/" or ":".
CString NamePart(const CString& path)
{
    int cut = -1;
    for (int i = 0; i < path.GetLength(); ++i) {
        const WCHAR ch = path[i];
        if (ch == L'\\' || ch == L'/' || ch == L':')
            cut = i;
    }
    return path.Mid(cut + 1);
}

[[noreturn]] void ThrowLastError(const CString& fileName)
{
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), fileName);
}

void FillStatusFromFindData(const WIN32_FIND_DATAW& data, CFileStatus& rStatus)
{
    rStatus.m_ctime = data.ftCreationTime;
    rStatus.m_mtime = data.ftLastWriteTime;
    rStatus.m_atime = data.ftLastAccessTime;
    rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes & 0xFF);
    rStatus._m_padding = 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// CFile

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        Abort();
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName = FullPath(lpszFileName ? lpszFileName : L"");

    DWORD access = 0;
    switch (nOpenFlags & 3) {
    case modeRead:
        access = GENERIC_READ;
        break;
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    default:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    }
    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default: // shareCompat and shareExclusive
        break;
    }
    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, (nOpenFlags & modeNoInherit) == 0};
    DWORD disposition = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (nOpenFlags & osNoBuffer)
        flags |= FILE_FLAG_NO_BUFFERING;
    if (nOpenFlags & osWriteThrough)
        flags |= FILE_FLAG_WRITE_THROUGH;
    if (nOpenFlags & osRandomAccess)
        flags |= FILE_FLAG_RANDOM_ACCESS;
    if (nOpenFlags & osSequentialScan)
        flags |= FILE_FLAG_SEQUENTIAL_SCAN;

    const HANDLE handle = CreateFileW(m_strFileName, access, share, &security, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const LONG error = static_cast<LONG>(GetLastError());
        if (pError) {
            pError->m_lOsError = error;
            pError->m_cause = CFileException::OsErrorToException(error);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = handle;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero = {};
    LARGE_INTEGER position = {};
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LARGE_INTEGER distance;
    distance.QuadPart = lOff;
    LARGE_INTEGER position = {};
    const DWORD method = nFrom == current ? FILE_CURRENT : (nFrom == end ? FILE_END : FILE_BEGIN);
    if (!SetFilePointerEx(m_hFile, distance, &position, method))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError(m_strFileName);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError(m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    DWORD got = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &got, nullptr)) {
        if (GetLastError() == ERROR_BROKEN_PIPE)
            return 0;
        ThrowLastError(m_strFileName);
    }
    return got;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        ThrowLastError(m_strFileName);
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

void CFile::Flush()
{
    if (m_hFile != hFileNull && !FlushFileBuffers(m_hFile))
        ThrowLastError(m_strFileName);
}

void CFile::Close()
{
    BOOL ok = TRUE;
    DWORD error = 0;
    if (m_hFile != hFileNull) {
        ok = CloseHandle(m_hFile);
        error = GetLastError();
    }
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    if (!ok)
        CFileException::ThrowOsError(static_cast<LONG>(error), m_strFileName);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull)
        CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    std::memset(&rStatus, 0, sizeof(rStatus));
    lstrcpynW(rStatus.m_szFullName, m_strFileName, MAX_PATH);
    if (m_hFile == hFileNull)
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(m_hFile, &info))
        return FALSE;
    rStatus.m_ctime = info.ftCreationTime;
    rStatus.m_mtime = info.ftLastWriteTime;
    rStatus.m_atime = info.ftLastAccessTime;
    rStatus.m_size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(info.dwFileAttributes & 0xFF);
    return TRUE;
}

BOOL PASCAL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus)
{
    std::memset(&rStatus, 0, sizeof(rStatus));
    if (!lpszFileName || !*lpszFileName)
        return FALSE;
    const CString full = FullPath(lpszFileName);
    lstrcpynW(rStatus.m_szFullName, full, MAX_PATH);
    // Wildcards would make the search match some other file.
    if (wcspbrk(lpszFileName, L"*?"))
        return FALSE;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(lpszFileName, &data);
    if (find == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(find);
    FillStatusFromFindData(data, rStatus);
    return TRUE;
}

CString CFile::GetFileName() const
{
    return NamePart(m_strFileName);
}

CString CFile::GetFileTitle() const
{
    CString name = NamePart(m_strFileName);
    const int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

CString CFile::GetFilePath() const
{
    return m_strFileName;
}

void CFile::SetFilePath(LPCTSTR lpszNewName)
{
    m_strFileName = lpszNewName;
}

void PASCAL CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    if (!MoveFileW(lpszOldName, lpszNewName))
        ThrowLastError(lpszOldName);
}

void PASCAL CFile::Remove(LPCTSTR lpszFileName)
{
    if (!DeleteFileW(lpszFileName))
        ThrowLastError(lpszFileName);
}

// ---------------------------------------------------------------------------------------------------------------
// CMemFile

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(nullptr),
      m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
    : m_nGrowBytes(0), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(nullptr), m_bAutoDelete(FALSE)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = lpBuffer;
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_nBufferSize = lpBuffer ? nBufferSize : 0;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nFileSize = 0;
    m_nBufferSize = 0;
    m_nPosition = 0;
    return buffer;
}

BYTE* CMemFile::Alloc(SIZE_T nBytes)
{
    return static_cast<BYTE*>(std::malloc(nBytes));
}

BYTE* CMemFile::Realloc(BYTE* lpMem, SIZE_T nBytes)
{
    return static_cast<BYTE*>(std::realloc(lpMem, nBytes));
}

void CMemFile::Free(BYTE* lpMem)
{
    std::free(lpMem);
}

void CMemFile::GrowFile(SIZE_T dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    SIZE_T newSize = m_nBufferSize;
    while (newSize < dwNewLen) {
        if (newSize > std::numeric_limits<SIZE_T>::max() - m_nGrowBytes)
            AfxThrowMemoryException();
        newSize += m_nGrowBytes;
    }
    BYTE* grown = m_lpBuffer ? Realloc(m_lpBuffer, newSize) : Alloc(newSize);
    if (!grown)
        AfxThrowMemoryException();
    m_lpBuffer = grown;
    m_nBufferSize = newSize;
}

ULONGLONG CMemFile::GetPosition() const
{
    return m_nPosition;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG base = 0;
    if (nFrom == current)
        base = static_cast<LONGLONG>(m_nPosition);
    else if (nFrom == end)
        base = static_cast<LONGLONG>(m_nFileSize);
    if ((lOff < 0 && base + lOff < 0) || (lOff > 0 && base > std::numeric_limits<LONGLONG>::max() - lOff))
        AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
    m_nPosition = static_cast<SIZE_T>(base + lOff);
    return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > std::numeric_limits<SIZE_T>::max())
        AfxThrowMemoryException();
    const SIZE_T length = static_cast<SIZE_T>(dwNewLen);
    if (length > m_nBufferSize)
        GrowFile(length);
    if (length > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, length - m_nFileSize);
    if (length < m_nPosition)
        m_nPosition = length;
    m_nFileSize = length;
}

ULONGLONG CMemFile::GetLength() const
{
    return m_nFileSize;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize || nCount == 0)
        return 0;
    const SIZE_T available = m_nFileSize - m_nPosition;
    const UINT take = available < nCount ? static_cast<UINT>(available) : nCount;
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, take);
    m_nPosition += take;
    return take;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (m_nPosition > std::numeric_limits<SIZE_T>::max() - nCount)
        AfxThrowMemoryException();
    const SIZE_T end = m_nPosition + nCount;
    if (end > m_nBufferSize)
        GrowFile(end);
    // A gap left by seeking past the end reads as zeros.
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = end;
    if (end > m_nFileSize)
        m_nFileSize = end;
}

void CMemFile::Flush() {}

void CMemFile::Close()
{
    m_nGrowBytes = 0;
    m_nPosition = 0;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

void CMemFile::Abort()
{
    Close();
}

// ---------------------------------------------------------------------------------------------------------------
// CSharedFile

CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes)
    : CMemFile(nGrowBytes), m_nAllocFlags(nAllocFlags), m_hGlobalMemory(nullptr), m_bAllowGrow(TRUE)
{
}

CSharedFile::~CSharedFile()
{
    // The base destructor cannot reach our Free any more.
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
}

BYTE* CSharedFile::Alloc(SIZE_T nBytes)
{
    m_hGlobalMemory = GlobalAlloc(m_nAllocFlags, nBytes);
    return m_hGlobalMemory ? static_cast<BYTE*>(GlobalLock(m_hGlobalMemory)) : nullptr;
}

BYTE* CSharedFile::Realloc(BYTE*, SIZE_T nBytes)
{
    if (!m_bAllowGrow)
        return nullptr;
    GlobalUnlock(m_hGlobalMemory);
    const HGLOBAL grown = GlobalReAlloc(m_hGlobalMemory, nBytes, m_nAllocFlags);
    if (!grown) {
        // The old block is still ours and still holds the data; lock it again for the caller.
        m_lpBuffer = static_cast<BYTE*>(GlobalLock(m_hGlobalMemory));
        return nullptr;
    }
    m_hGlobalMemory = grown;
    return static_cast<BYTE*>(GlobalLock(m_hGlobalMemory));
}

void CSharedFile::Free(BYTE*)
{
    if (m_hGlobalMemory) {
        GlobalUnlock(m_hGlobalMemory);
        GlobalFree(m_hGlobalMemory);
    }
    m_hGlobalMemory = nullptr;
}

HGLOBAL CSharedFile::Detach()
{
    const HGLOBAL memory = m_hGlobalMemory;
    if (memory)
        GlobalUnlock(memory);
    m_hGlobalMemory = nullptr;
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    return memory;
}

void CSharedFile::SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow)
{
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_hGlobalMemory = hGlobalMemory;
    m_lpBuffer = hGlobalMemory ? static_cast<BYTE*>(GlobalLock(hGlobalMemory)) : nullptr;
    m_nBufferSize = m_lpBuffer ? GlobalSize(hGlobalMemory) : 0;
    m_nFileSize = m_nBufferSize;
    m_nPosition = 0;
    m_bAllowGrow = bAllowGrow;
    m_bAutoDelete = FALSE;
}

// ---------------------------------------------------------------------------------------------------------------
// CStdioFile

namespace {

const UINT kReadAhead = 4096;

// One narrow character from the C runtime's multibyte conversion; '?' when it has none.
void AppendNarrow(std::string& out, wchar_t ch, std::mbstate_t& state)
{
    char bytes[MB_LEN_MAX];
    const size_t n = std::wcrtomb(bytes, ch, &state);
    if (n == static_cast<size_t>(-1)) {
        state = std::mbstate_t();
        out += '?';
        return;
    }
    out.append(bytes, n);
}

// Feeds one byte to the C runtime's conversion; true when a wide character came out.
bool FeedByte(char byte, wchar_t& ch, std::mbstate_t& state)
{
    const size_t n = std::mbrtowc(&ch, &byte, 1, &state);
    if (n == static_cast<size_t>(-2))
        return false;
    if (n == static_cast<size_t>(-1)) {
        // A byte the conversion rejects is kept as the character of the same value.
        state = std::mbstate_t();
        ch = static_cast<wchar_t>(static_cast<unsigned char>(byte));
    }
    return true;
}

} // namespace

CStdioFile::CStdioFile() : m_bText(TRUE), m_pReadBuf(nullptr), m_nReadPos(0), m_nReadLen(0) {}

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags)
    : m_bText(TRUE), m_pReadBuf(nullptr), m_nReadPos(0), m_nReadLen(0)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    delete[] m_pReadBuf;
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    m_nReadPos = m_nReadLen = 0;
    m_bText = (nOpenFlags & typeBinary) == 0;
    return CFile::Open(lpszFileName, nOpenFlags & ~static_cast<UINT>(typeText | typeBinary), pError);
}

void CStdioFile::DropReadAhead()
{
    if (m_nReadLen > m_nReadPos)
        CFile::Seek(-static_cast<LONGLONG>(m_nReadLen - m_nReadPos), current);
    m_nReadPos = m_nReadLen = 0;
}

int CStdioFile::ReadByte()
{
    auto raw = [this]() -> int {
        if (m_nReadPos == m_nReadLen) {
            if (!m_pReadBuf)
                m_pReadBuf = new BYTE[kReadAhead];
            m_nReadPos = 0;
            m_nReadLen = CFile::Read(m_pReadBuf, kReadAhead);
            if (m_nReadLen == 0)
                return -1;
        }
        return m_pReadBuf[m_nReadPos++];
    };
    const int byte = raw();
    if (byte != '\r' || !m_bText)
        return byte;
    const int next = raw();
    if (next == '\n')
        return '\n';
    if (next != -1)
        --m_nReadPos; // the byte is still in the buffer: raw() only refills when it is empty
    return '\r';
}

ULONGLONG CStdioFile::GetPosition() const
{
    return CFile::GetPosition() - (m_nReadLen - m_nReadPos);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    DropReadAhead();
    return CFile::Seek(lOff, nFrom);
}

void CStdioFile::SetLength(ULONGLONG dwNewLen)
{
    DropReadAhead();
    CFile::SetLength(dwNewLen);
}

ULONGLONG CStdioFile::GetLength() const
{
    return CFile::GetLength();
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const int byte = ReadByte();
        if (byte < 0)
            break;
        out[done++] = static_cast<BYTE>(byte);
    }
    return done;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    DropReadAhead();
    if (!m_bText) {
        CFile::Write(lpBuf, nCount);
        return;
    }
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    std::string translated;
    translated.reserve(nCount + nCount / 16 + 2);
    for (UINT i = 0; i < nCount; ++i) {
        if (in[i] == '\n')
            translated += '\r';
        translated += static_cast<char>(in[i]);
    }
    CFile::Write(translated.data(), static_cast<UINT>(translated.size()));
}

void CStdioFile::WriteString(LPCTSTR lpsz)
{
    if (!lpsz)
        AfxThrowFileException(CFileException::genericException, -1, m_strFileName);
    std::string narrow;
    std::mbstate_t state = std::mbstate_t();
    for (const wchar_t* p = lpsz; *p; ++p)
        AppendNarrow(narrow, *p, state);
    Write(narrow.data(), static_cast<UINT>(narrow.size()));
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    std::wstring line;
    std::mbstate_t state = std::mbstate_t();
    bool any = false;
    for (;;) {
        const int byte = ReadByte();
        if (byte < 0)
            break;
        any = true;
        if (byte == '\n')
            break;
        wchar_t ch = 0;
        if (FeedByte(static_cast<char>(byte), ch, state))
            line += ch;
    }
    rString = CString(line.data(), static_cast<int>(line.size()));
    return any ? TRUE : FALSE;
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax)
{
    if (!lpsz || nMax == 0)
        return nullptr;
    UINT count = 0;
    std::mbstate_t state = std::mbstate_t();
    bool any = false;
    while (count + 1 < nMax) {
        const int byte = ReadByte();
        if (byte < 0)
            break;
        any = true;
        wchar_t ch = 0;
        if (FeedByte(static_cast<char>(byte), ch, state))
            lpsz[count++] = ch;
        if (byte == '\n')
            break;
    }
    lpsz[count] = L'\0';
    return any ? lpsz : nullptr;
}

void CStdioFile::Flush()
{
    CFile::Flush();
}

void CStdioFile::Close()
{
    m_nReadPos = m_nReadLen = 0;
    CFile::Close();
}

void CStdioFile::Abort()
{
    m_nReadPos = m_nReadLen = 0;
    CFile::Abort();
}

// ---------------------------------------------------------------------------------------------------------------
// CFileFind

CFileFind::CFileFind() : m_hContext(INVALID_HANDLE_VALUE), m_bHasFound(FALSE), m_bHasNext(FALSE)
{
    std::memset(&m_found, 0, sizeof(m_found));
    std::memset(&m_next, 0, sizeof(m_next));
}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hContext != INVALID_HANDLE_VALUE)
        FindClose(m_hContext);
    m_hContext = INVALID_HANDLE_VALUE;
    m_bHasFound = m_bHasNext = FALSE;
    m_strRoot.Empty();
}

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD)
{
    Close();
    const CString pattern = pstrName && *pstrName ? CString(pstrName) : CString(L"*.*");
    m_hContext = FindFirstFileW(pattern, &m_next);
    if (m_hContext == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHasNext = TRUE;
    const CString full = FullPath(pattern);
    int cut = -1;
    for (int i = 0; i < full.GetLength(); ++i) {
        if (full[i] == L'\\' || full[i] == L'/')
            cut = i;
    }
    // Keep the separator of a drive root ("C:\"), drop it elsewhere.
    m_strRoot = cut < 0 ? CString() : (cut > 0 && full[cut - 1] == L':' ? full.Left(cut + 1) : full.Left(cut));
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHasNext)
        return FALSE;
    m_found = m_next;
    m_bHasFound = TRUE;
    m_bHasNext = ::FindNextFileW(m_hContext, &m_next);
    return m_bHasNext;
}

ULONGLONG CFileFind::GetLength() const
{
    return m_bHasFound ? (static_cast<ULONGLONG>(m_found.nFileSizeHigh) << 32) | m_found.nFileSizeLow : 0;
}

CString CFileFind::GetFileName() const
{
    return m_bHasFound ? CString(m_found.cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    if (!m_bHasFound)
        return CString();
    CString path = m_strRoot;
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\' && path[path.GetLength() - 1] != L'/')
        path += L'\\';
    return path + m_found.cFileName;
}

CString CFileFind::GetFileTitle() const
{
    CString name = GetFileName();
    const int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

CString CFileFind::GetFileURL() const
{
    return m_bHasFound ? CString(L"file://") + GetFilePath() : CString();
}

CString CFileFind::GetRoot() const
{
    return m_strRoot;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const
{
    if (!m_bHasFound || !pTimeStamp)
        return FALSE;
    *pTimeStamp = m_found.ftLastWriteTime;
    return TRUE;
}

BOOL CFileFind::GetLastAccessTime(FILETIME* pTimeStamp) const
{
    if (!m_bHasFound || !pTimeStamp)
        return FALSE;
    *pTimeStamp = m_found.ftLastAccessTime;
    return TRUE;
}

BOOL CFileFind::GetCreationTime(FILETIME* pTimeStamp) const
{
    if (!m_bHasFound || !pTimeStamp)
        return FALSE;
    *pTimeStamp = m_found.ftCreationTime;
    return TRUE;
}

BOOL CFileFind::IsDots() const
{
    if (!m_bHasFound)
        return FALSE;
    const wchar_t* name = m_found.cFileName;
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_bHasFound && (m_found.dwFileAttributes & dwMask) != 0;
}
