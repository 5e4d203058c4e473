// Wine's WinHTTP neither caps the response headers it accepts nor lets a closed request handle end a blocking
// receive, so a server that never finishes its headers would hold a fetch (and grow its memory) for as long as it
// likes. Shutting the request's socket down is the one thing that makes that receive return. The socket is found
// among the process's handles by its two addresses, which name one connection alone.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "feeds/ConnectionCut.h"

#include <cstring>

namespace {

// Socket handles are handed out from the bottom of the handle table; the search stops long before a table this
// size is walked, and bounds the cost when the connection is already gone (about 35 us a handle under Wine).
const UINT_PTR kLastHandleSearched = 0x10000;

bool SameAddress(const SOCKADDR_STORAGE& a, const SOCKADDR_STORAGE& b)
{
    if (a.ss_family != b.ss_family)
        return false;
    if (a.ss_family == AF_INET) {
        const auto& x = reinterpret_cast<const sockaddr_in&>(a);
        const auto& y = reinterpret_cast<const sockaddr_in&>(b);
        return x.sin_port == y.sin_port && x.sin_addr.s_addr == y.sin_addr.s_addr;
    }
    if (a.ss_family == AF_INET6) {
        const auto& x = reinterpret_cast<const sockaddr_in6&>(a);
        const auto& y = reinterpret_cast<const sockaddr_in6&>(b);
        return x.sin6_port == y.sin6_port && std::memcmp(&x.sin6_addr, &y.sin6_addr, sizeof(x.sin6_addr)) == 0;
    }
    return false;
}

static_assert(sizeof(SOCKADDR_STORAGE) == sizeof(CConnectionEnds::local), "a socket address fits its room");

// The connection a sent request uses; false before it has one.
bool QueryConnectionEnds(HINTERNET hRequest, CConnectionEnds& ends)
{
    WINHTTP_CONNECTION_INFO connection = {};
    connection.cbSize = sizeof(connection);
    DWORD size = sizeof(connection);
    if (!WinHttpQueryOption(hRequest, WINHTTP_OPTION_CONNECTION_INFO, &connection, &size))
        return false;
    std::memcpy(ends.local, &connection.LocalAddress, sizeof(ends.local));
    std::memcpy(ends.remote, &connection.RemoteAddress, sizeof(ends.remote));
    return true;
}

bool CutConnection(const CConnectionEnds& ends)
{
    WINHTTP_CONNECTION_INFO connection = {};
    std::memcpy(&connection.LocalAddress, ends.local, sizeof(ends.local));
    std::memcpy(&connection.RemoteAddress, ends.remote, sizeof(ends.remote));
    if (connection.LocalAddress.ss_family != AF_INET && connection.LocalAddress.ss_family != AF_INET6)
        return false;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    bool cut = false;
    for (UINT_PTR value = 4; value < kLastHandleSearched && !cut; value += 4) {
        const SOCKET socket = static_cast<SOCKET>(value);
        SOCKADDR_STORAGE local = {};
        int length = sizeof(local);
        if (getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
            !SameAddress(local, connection.LocalAddress))
            continue;
        SOCKADDR_STORAGE remote = {};
        length = sizeof(remote);
        if (getpeername(socket, reinterpret_cast<sockaddr*>(&remote), &length) != 0 ||
            !SameAddress(remote, connection.RemoteAddress))
            continue;
        // A receive already waiting on a silent server sees neither the shutdown nor the close under Wine;
        // cancelling the socket's pending I/O ends it.
        cut = shutdown(socket, SD_BOTH) == 0;
        CancelIoEx(reinterpret_cast<HANDLE>(socket), nullptr);
    }
    WSACleanup();
    return cut;
}

} // namespace

void CConnectionWatch::Record(HINTERNET hRequest)
{
    CConnectionEnds ends = {};
    const bool bKnown = QueryConnectionEnds(hRequest, ends);
    std::lock_guard<std::mutex> lock(m_lock);
    m_ends = ends;
    m_bKnown = bKnown;
}

bool CConnectionWatch::Cut()
{
    CConnectionEnds ends;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_bKnown)
            return false;
        ends = m_ends;
    }
    return CutConnection(ends);
}
