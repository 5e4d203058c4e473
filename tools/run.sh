#!/usr/bin/env bash
# Installs, builds and starts Lanternquill under Wine (on a virtual display when there is none);
# returns when the program ends.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
"$root/tools/scripts/build.sh" Lanternquill

. "$root/tools/scripts/wine-env.sh"
# A prefix of its own: the tests' runs of the program leave settings in theirs, and a user starting Lanternquill
# must meet it as a first-time user would.
mkdir -p "$build/run"
lq_wine_prepare "$build/run"
trap lq_wine_stop EXIT
lq_wine_start

"$LQ_WINE_BIN/wine64" "$build/Lanternquill.exe" "$@"
