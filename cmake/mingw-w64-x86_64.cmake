# Cross-build for 64-bit Windows with mingw-w64 (posix thread model: the win32 one has no std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LQ_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LQ_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LQ_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LQ_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LQ_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every Windows binary runs under Wine through one wrapper (timeout, prefix, display).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/support/wine-run.sh)
