// Ending a TCP connection that the platform's HTTP library holds in a blocking call.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <mutex>

// The two socket addresses of one connection, as the platform stores them.
struct CConnectionEnds
{
    unsigned char local[128];
    unsigned char remote[128];
};

// The connection of a request's latest send, recorded on the request's thread and cut from another when the
// request must end while its server holds it.
class CConnectionWatch
{
public:
    // Called once the request has gone out (the status callback's request-sent notice).
    void Record(HINTERNET hRequest);
    // Shuts down both directions of this process's socket with the recorded connection's two addresses, so that
    // a receive blocked on it returns at once; false when none is known or no such socket is found.
    bool Cut();

private:
    std::mutex m_lock;
    CConnectionEnds m_ends = {};
    bool m_bKnown = false;
};
