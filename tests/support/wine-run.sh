#!/usr/bin/env bash
# Runs one Windows program of the build under Wine, bounded in time. CTest uses it as the cross-compiling
# emulator; tools/test.sh has already prepared the prefix, the display and the wineserver.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../tools/scripts/wine-env.sh"

if [ -z "${WINEPREFIX:-}" ]; then
    # Run by hand outside tools/test.sh: use the prefix of the build tree the program lives in.
    exe_dir=$(cd "$(dirname "$1")" && pwd)
    build_dir=$exe_dir
    while [ "$build_dir" != / ] && [ ! -f "$build_dir/CMakeCache.txt" ]; do build_dir=$(dirname "$build_dir"); done
    lq_wine_prepare "$build_dir"
fi

port_file="${LQ_TEST_HTTP_PORT_FILE:-}"
if [ -n "$port_file" ] && [ -f "$port_file" ]; then
    export LQ_TEST_HTTP_PORT=$(cat "$port_file")
fi

if [ -z "${DISPLAY:-}" ]; then
    exec timeout --kill-after=10 "${LQ_TEST_TIMEOUT:-900}" xvfb-run -a "$LQ_WINE_BIN/wine64" "$@"
fi
exec timeout --kill-after=10 "${LQ_TEST_TIMEOUT:-900}" "$LQ_WINE_BIN/wine64" "$@"
