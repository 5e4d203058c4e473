// The main of every test program: crashes end the process with a fixed code, and a watchdog closes
// dialog boxes that nobody expects (Wine ignores message-box time-outs, so one would hang the run).
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>

namespace {

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info)
{
    std::fprintf(stderr, "unhandled exception 0x%08lx at %p\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), lqtest::kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnTerminate()
{
    std::fprintf(stderr, "std::terminate called\n");
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), lqtest::kCrashExitCode);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(OnUnhandledException);
    std::set_terminate(OnTerminate);
    OleInitialize(nullptr);
    lqtest::StartModalWatchdog();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
