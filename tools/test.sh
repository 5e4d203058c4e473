#!/usr/bin/env bash
# Installs, builds and runs every test under Wine; leaves nothing running.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
"$root/tools/build.sh"

. "$root/tools/wine-env.sh"
lq_wine_prepare "$build"
trap lq_wine_stop EXIT
lq_wine_start

cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
