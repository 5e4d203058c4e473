#!/usr/bin/env bash
# Takes a screenshot of task panels in each look under Xvfb: tools/screenshot-taskpanel.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
out="${1:-$build/taskpanel.png}"
command -v xwd >/dev/null || apt-get install -y x11-apps
[ -x /usr/bin/convert ] || apt-get install -y imagemagick
"$root/tools/build.sh" taskpanel-demo

. "$root/tools/wine-env.sh"
lq_wine_prepare "$build"
trap lq_wine_stop EXIT
lq_wine_start

marker="$build/taskpanel-demo.painted"
rm -f "$marker"
"$LQ_WINE_BIN/wine64" "$build/tools/taskpanel-demo.exe" "Z:${marker//\//\\}" &
demo=$!
for _ in $(seq 1 300); do
    [ -e "$marker" ] && break
    sleep 0.1
done
[ -e "$marker" ] || { echo "the demo window did not paint" >&2; kill "$demo"; exit 1; }
xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- -crop 1010x560+0+0 "$out"
rm -f "$marker" # the demo closes itself when its marker is gone
wait "$demo" || true
echo "$out"
