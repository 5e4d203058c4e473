// Cheap checks of how the framework's wrappers are used: a window, menu or DC wrapper called without the object it
// wraps. In a debug build a failed check reports where it stands and stops the program there; in other builds
// the checks are not compiled at all, so they cost nothing. LQ_DEBUG_CHECKS set to 1 or 0 by the build overrides
// the choice the build type makes.
#pragma once

#include <windows.h>

#ifndef LQ_DEBUG_CHECKS
#ifdef NDEBUG
#define LQ_DEBUG_CHECKS 0
#else
#define LQ_DEBUG_CHECKS 1
#endif
#endif

#if LQ_DEBUG_CHECKS

namespace DebugChecks {

// Told the failed condition and where it stands.
using FailureHandler = void (*)(const char* condition, const char* file, int line);

// Puts a handler in place of the default one, which reports to the debugger and to stderr and then breaks into
// the debugger (without one, the program ends there); null brings the default back. Answers the previous one.
FailureHandler SetFailureHandler(FailureHandler handler);

void Failed(const char* condition, const char* file, int line);

} // namespace DebugChecks

#define LQ_CHECK(condition) ((condition) ? (void)0 : ::DebugChecks::Failed(#condition, __FILE__, __LINE__))

#else

#define LQ_CHECK(condition) ((void)0)

#endif

// The wrapped object must exist.
#define LQ_CHECK_WINDOW(hWnd) LQ_CHECK(::IsWindow(hWnd))
#define LQ_CHECK_MENU(hMenu) LQ_CHECK(::IsMenu(hMenu))
#define LQ_CHECK_DC(hDC) LQ_CHECK((hDC) != nullptr)
