#include "feeds/NetworkState.h"

#include <windows.h>

bool IsSystemNetworkAlive()
{
    // Loaded when first asked and kept: the program does not need the library to start.
    using PFN = BOOL(WINAPI*)(LPDWORD);
    static const PFN pfn = [] {
        HMODULE module = ::LoadLibraryW(L"sensapi.dll");
        return module ? reinterpret_cast<PFN>(reinterpret_cast<void*>(::GetProcAddress(module, "IsNetworkAlive")))
                      : nullptr;
    }();
    DWORD flags = 0;
    return !pfn || pfn(&flags) != FALSE;
}
