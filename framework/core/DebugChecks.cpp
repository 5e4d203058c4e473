#include "framework/core/DebugChecks.h"

#if LQ_DEBUG_CHECKS

#include <atomic>
#include <cstdio>

namespace DebugChecks {
namespace {

void Stop(const char* condition, const char* file, int line)
{
    char text[1024];
    std::snprintf(text, sizeof(text), "%s(%d): check failed: %s\n", file, line, condition);
    ::OutputDebugStringA(text);
    std::fputs(text, stderr);
    std::fflush(stderr);
    ::DebugBreak();
}

std::atomic<FailureHandler> g_handler{nullptr};

} // namespace

FailureHandler SetFailureHandler(FailureHandler handler)
{
    return g_handler.exchange(handler);
}

void Failed(const char* condition, const char* file, int line)
{
    const FailureHandler handler = g_handler.load();
    (handler != nullptr ? handler : Stop)(condition, file, line);
}

} // namespace DebugChecks

#endif
