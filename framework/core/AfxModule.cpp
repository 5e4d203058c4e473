#include "framework/core/AfxModule.h"

#include <atomic>

namespace {

// Process-wide: worker threads load strings from the same module as the user-interface thread.
std::atomic<HINSTANCE> g_instance{nullptr};
std::atomic<HINSTANCE> g_resource{nullptr};

HINSTANCE OrExecutable(HINSTANCE handle)
{
    return handle ? handle : GetModuleHandleW(nullptr);
}

} // namespace

HINSTANCE AfxGetInstanceHandle()
{
    return OrExecutable(g_instance.load());
}

void AfxSetInstanceHandle(HINSTANCE instance)
{
    g_instance.store(instance);
}

HINSTANCE AfxGetResourceHandle()
{
    return OrExecutable(g_resource.load());
}

void AfxSetResourceHandle(HINSTANCE resource)
{
    g_resource.store(resource);
}
