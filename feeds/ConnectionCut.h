// Ending a TCP connection that the platform's HTTP library holds in a blocking call.
#pragma once

#include <windows.h>
#include <winhttp.h>

// The two socket addresses of one connection, as the platform stores them.
struct CConnectionEnds
{
    unsigned char local[128];
    unsigned char remote[128];
};

// The connection a sent request uses; false before it has one.
bool QueryConnectionEnds(HINTERNET hRequest, CConnectionEnds& ends);

// Shuts down both directions of this process's socket with exactly these two addresses, so that a receive
// blocked on it returns at once. False when no such socket is found.
bool CutConnection(const CConnectionEnds& ends);
