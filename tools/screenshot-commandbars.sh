#!/usr/bin/env bash
# Takes a screenshot of command bars in the default theme, their controls in every state, under Xvfb:
# tools/screenshot-commandbars.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
out="${1:-$build/commandbars.png}"
command -v xwd >/dev/null || apt-get install -y x11-apps
[ -x /usr/bin/convert ] || apt-get install -y imagemagick
"$root/tools/build.sh" commandbars-demo

. "$root/tools/wine-env.sh"
lq_wine_prepare "$build"
trap lq_wine_stop EXIT
lq_wine_start

marker="$build/commandbars-demo.painted"
rm -f "$marker"
"$LQ_WINE_BIN/wine64" "$build/tools/commandbars-demo.exe" "Z:${marker//\//\\}" &
demo=$!
for _ in $(seq 1 300); do
    [ -e "$marker" ] && break
    sleep 0.1
done
[ -e "$marker" ] || { echo "the demo window did not paint" >&2; kill "$demo"; exit 1; }
xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- -crop 640x400+0+50 "$out"
rm -f "$marker" # the demo closes itself when its marker is gone
wait "$demo" || true
echo "$out"
