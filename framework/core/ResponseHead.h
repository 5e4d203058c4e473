// Receiving an HTTP answer's status line and headers with a cap on the bytes they may take.
#pragma once

#include <windows.h>
#include <winhttp.h>

// Real servers send a few kilobytes of headers.
const DWORD kMaxResponseHeadBytes = 64 * 1024;

// While it lives, what a synchronous request's answer may take before its headers end: armed before
// WinHttpSendRequest (the platform may read the answer's head inside the send) on the thread that then receives.
// Past the cap the connection is shut down and the receive fails, as a server sending header lines without end
// would have it.
class CResponseHeadCap
{
public:
    explicit CResponseHeadCap(HINTERNET hRequest, DWORD maxHeadBytes = kMaxResponseHeadBytes);
    ~CResponseHeadCap();
    CResponseHeadCap(const CResponseHeadCap&) = delete;
    CResponseHeadCap& operator=(const CResponseHeadCap&) = delete;

    // What the send and the receive returned, unless the cap was passed: then FALSE with
    // ERROR_WINHTTP_HEADER_SIZE_OVERFLOW (a failed read can pass for the end of the headers).
    BOOL Check(BOOL bReceived) const;

private:
    DWORD m_nLeft;
    bool m_bExceeded = false;
    CResponseHeadCap* m_pOuter;

    // The platform library's socket reads, counted against the cap of the thread's innermost live object.
    static int WINAPI CountedRecv(UINT_PTR socket, char* buffer, int length, int flags);
    static bool CountLibraryReads();
};
