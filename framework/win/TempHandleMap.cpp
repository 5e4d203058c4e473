#include "framework/win/TempHandleMap.h"

#include <mutex>

namespace {

struct Kind
{
    void (*cleanup)();
    size_t (*count)();
};

std::mutex g_kindsLock;

std::vector<Kind>& Kinds()
{
    static std::vector<Kind> kinds;
    return kinds;
}

std::vector<Kind> CopyKinds()
{
    std::lock_guard<std::mutex> lock(g_kindsLock);
    return Kinds();
}

} // namespace

void afxdetail::RegisterTempMapCleanup(void (*cleanup)(), size_t (*count)())
{
    std::lock_guard<std::mutex> lock(g_kindsLock);
    Kinds().push_back(Kind{cleanup, count});
}

void AfxDeleteTempGraphicsMaps()
{
    for (const Kind& kind : CopyKinds())
        kind.cleanup();
}

size_t AfxGetTempGraphicsCount()
{
    size_t total = 0;
    for (const Kind& kind : CopyKinds())
        total += kind.count();
    return total;
}
