#include "framework/core/Exceptions.h"

#include <cerrno>
#include <cwchar>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(COleException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

BOOL CopyMessage(LPCWSTR text, LPTSTR lpszError, UINT nMaxError)
{
    if (!lpszError || nMaxError == 0)
        return FALSE;
    lstrcpynW(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

// "text" with "%1" replaced by the file name (or by "an unnamed file").
BOOL CopyFileMessage(LPCWSTR text, const CString& fileName, LPTSTR lpszError, UINT nMaxError)
{
    CString message(text);
    message.Replace(L"%1", fileName.IsEmpty() ? L"an unnamed file" : fileName.GetString());
    return CopyMessage(message, lpszError, nMaxError);
}

} // namespace

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

CException::~CException() = default;

void CException::Delete()
{
    if (m_bAutoDelete > 0)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError > 0)
        *lpszError = L'\0';
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    WCHAR text[512];
    CString message;
    if (GetErrorMessage(text, _countof(text)))
        message = text;
    else if (nMessageID != 0)
        message.LoadString(nMessageID);
    if (message.IsEmpty())
        message = L"An unsupported operation was attempted.";
    return MessageBoxW(GetActiveWindow(), message, nullptr, nType);
}

CMemoryException::CMemoryException(BOOL bAutoDelete) : CException(bAutoDelete) {}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    return CopyMessage(L"Out of memory.", lpszError, nMaxError);
}

CNotSupportedException::CNotSupportedException(BOOL bAutoDelete) : CException(bAutoDelete) {}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    return CopyMessage(L"An unsupported operation was attempted.", lpszError, nMaxError);
}

CResourceException::CResourceException(BOOL bAutoDelete) : CException(bAutoDelete) {}

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    return CopyMessage(L"A required resource was unavailable.", lpszError, nMaxError);
}

CUserException::CUserException(BOOL bAutoDelete) : CException(bAutoDelete) {}

COleException::COleException(SCODE sc) : m_sc(sc) {}

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    LPWSTR system = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(m_sc), 0, reinterpret_cast<LPWSTR>(&system), 0, nullptr);
    CString message;
    if (length > 0 && system) {
        message = system;
        message.TrimRight();
    } else {
        message.Format(L"OLE error 0x%08lX.", static_cast<unsigned long>(m_sc));
    }
    if (system)
        LocalFree(system);
    return CopyMessage(message, lpszError, nMaxError);
}

SCODE PASCAL COleException::Process(const CException* pAnyException)
{
    if (!pAnyException)
        return S_OK;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(COleException)))
        return static_cast<const COleException*>(pAnyException)->m_sc;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CMemoryException)))
        return E_OUTOFMEMORY;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CNotSupportedException)))
        return E_NOTIMPL;
    return E_UNEXPECTED;
}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    static const LPCWSTR texts[] = {
        L"No error occurred.",
        L"An unknown error occurred while accessing %1.",
        L"%1 was not found.",
        L"%1 contains an invalid path.",
        L"%1 could not be opened because there are too many open files.",
        L"Access to %1 was denied.",
        L"An invalid file handle was associated with %1.",
        L"%1 could not be removed because it is the current directory.",
        L"%1 could not be created because the directory is full.",
        L"Seek failed on %1.",
        L"A hardware I/O error was reported while accessing %1.",
        L"A sharing violation occurred while accessing %1.",
        L"A locking violation occurred while accessing %1.",
        L"Disk full while accessing %1.",
        L"An attempt was made to access %1 past its end.",
    };
    const int cause = m_cause >= 0 && m_cause < static_cast<int>(_countof(texts)) ? m_cause : genericException;
    return CopyFileMessage(texts[cause], m_strFileName, lpszError, nMaxError);
}

int PASCAL CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_WRITE_PROTECT:
    case ERROR_CANNOT_MAKE:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_NO_MORE_FILES:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

int PASCAL CFileException::ErrnoToException(int nErrno)
{
    switch (nErrno) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case EINVAL:
        return badPath;
    case EMFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EEXIST:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case ENOSPC:
        return diskFull;
    case EIO:
        return hardIO;
    default:
        return genericException;
    }
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
    AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void PASCAL CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName)
{
    AfxThrowFileException(ErrnoToException(nErrno), nErrno, lpszFileName);
}

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    static const LPCWSTR texts[] = {
        L"No error occurred.",
        L"An unexpected error occurred while reading %1.",
        L"An attempt was made to write to %1 while it was being read.",
        L"An unexpected end of file was reached while reading %1.",
        L"An attempt was made to read from %1 while it was being written.",
        L"%1 has an invalid format.",
        L"%1 contains an unexpected object.",
        L"%1 contains an incorrect schema.",
    };
    const int cause = m_cause >= 0 && m_cause < static_cast<int>(_countof(texts)) ? m_cause : genericException;
    return CopyFileMessage(texts[cause], m_strFileName, lpszError, nMaxError);
}

void AFXAPI AfxThrowMemoryException()
{
    // Shared and never freed: reporting exhausted memory must not need memory.
    static CMemoryException memoryException(FALSE);
    throw &memoryException;
}

void AFXAPI AfxThrowNotSupportedException()
{
    throw new CNotSupportedException;
}

void AFXAPI AfxThrowResourceException()
{
    throw new CResourceException;
}

void AFXAPI AfxThrowUserException()
{
    throw new CUserException;
}

void AFXAPI AfxThrowOleException(SCODE sc)
{
    throw new COleException(sc);
}

void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AFXAPI AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}
