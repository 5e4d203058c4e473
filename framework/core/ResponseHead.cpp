// The platform's option for the cap is honoured on Windows only: Wine's WinHTTP keeps every header line a server
// sends until the receive times out, and a server that never ends its headers grows the process by megabytes a
// second. So the bytes its socket reads hand over while a thread receives an answer's head are counted as well:
// WinHTTP's synchronous requests read on the calling thread, through the `recv` it imports from ws2_32. Where the
// library imports no such function (Windows), the count is never installed and the option does the work.
#include <winsock2.h>

#include "framework/core/ResponseHead.h"

#include <mutex>

namespace {

using RecvFunction = int(WSAAPI*)(SOCKET, char*, int, int);


RecvFunction g_realRecv = nullptr;

thread_local CResponseHeadCap* t_pCap = nullptr;

} // namespace

// Points winhttp.dll's import of ws2_32's recv at the count; false when it imports none.
bool CResponseHeadCap::CountLibraryReads()
{
    HMODULE library = ::GetModuleHandleW(L"winhttp.dll");
    HMODULE sockets = ::LoadLibraryW(L"ws2_32.dll");
    if (!library || !sockets)
        return false;
    const auto real = reinterpret_cast<RecvFunction>(reinterpret_cast<void*>(::GetProcAddress(sockets, "recv")));
    if (!real)
        return false;
    auto* base = reinterpret_cast<BYTE*>(library);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return false;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return false;
    bool found = false;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), "ws2_32.dll") != 0)
            continue;
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk); thunk->u1.Function;
             ++thunk) {
            if (thunk->u1.Function != reinterpret_cast<ULONG_PTR>(real))
                continue;
            DWORD protection = 0;
            if (!::VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), PAGE_READWRITE, &protection))
                continue;
            g_realRecv = real;
            InterlockedExchangePointer(reinterpret_cast<PVOID*>(&thunk->u1.Function),
                                       reinterpret_cast<PVOID>(&CountedRecv));
            ::VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), protection, &protection);
            found = true;
        }
    }
    return found;
}

int WINAPI CResponseHeadCap::CountedRecv(UINT_PTR socket, char* buffer, int length, int flags)
{
    CResponseHeadCap* cap = t_pCap;
    if (cap && cap->m_bExceeded) {
        WSASetLastError(WSAECONNABORTED);
        return SOCKET_ERROR;
    }
    const int received = g_realRecv(socket, buffer, length, flags);
    if (cap && received > 0 && (flags & MSG_PEEK) == 0) {
        if (static_cast<DWORD>(received) > cap->m_nLeft) {
            cap->m_bExceeded = true;
            shutdown(socket, SD_BOTH);
            WSASetLastError(WSAECONNABORTED);
            return SOCKET_ERROR;
        }
        cap->m_nLeft -= static_cast<DWORD>(received);
    }
    return received;
}

CResponseHeadCap::CResponseHeadCap(HINTERNET hRequest, DWORD maxHeadBytes) : m_nLeft(maxHeadBytes), m_pOuter(t_pCap)
{
    static std::once_flag once;
    std::call_once(once, [] { CountLibraryReads(); });
    DWORD limit = maxHeadBytes;
    ::WinHttpSetOption(hRequest, WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE, &limit, sizeof(limit));
    t_pCap = this;
}

CResponseHeadCap::~CResponseHeadCap()
{
    t_pCap = m_pOuter;
}

BOOL CResponseHeadCap::Check(BOOL bReceived) const
{
    if (m_bExceeded) {
        ::SetLastError(ERROR_WINHTTP_HEADER_SIZE_OVERFLOW);
        return FALSE;
    }
    return bReceived;
}
