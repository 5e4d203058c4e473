#!/usr/bin/env bash
# Builds and runs the full-refresh benchmark under Wine against the local test server, which it starts and stops.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
"$root/tools/scripts/build.sh" bench_feedrefresh

. "$root/tools/scripts/wine-env.sh"
lq_wine_prepare "$build"
port_file="$build/bench-http-server.port"
pid_file="$build/bench-http-server.pid"
stop_everything() {
    python3 "$root/tests/support/httpserver.py" stop --port-file "$port_file" --pid-file "$pid_file" \
        >/dev/null 2>&1 || true
    lq_wine_stop
}
trap stop_everything EXIT
python3 "$root/tests/support/httpserver.py" start --port-file "$port_file" --pid-file "$pid_file" \
    --root "$root/tests"
lq_wine_start
"$LQ_WINE_BIN/wine64" "$build/bench/bench_feedrefresh.exe" "$(cat "$port_file")"
