#!/usr/bin/env bash
# Installs, builds and runs every test under Wine; leaves nothing running.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
# An #include that points up the layer order fails the run before anything is built.
python3 "$root/tools/scripts/check-layers.py" "$root"
"$root/tools/scripts/build.sh"

. "$root/tools/scripts/wine-env.sh"
lq_wine_prepare "$build"
stop_everything() {
    # CTest's cleanup fixture does not run when the run is interrupted: stop the HTTP server here too.
    python3 "$root/tests/support/httpserver.py" stop --port-file "$build/tests/http-server.port" \
        --pid-file "$build/tests/http-server.pid" >/dev/null 2>&1 || true
    lq_wine_stop
}
trap stop_everything EXIT
lq_wine_start

cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
