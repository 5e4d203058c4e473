#!/usr/bin/env bash
# Takes a screenshot of the HTML pane demo window under Xvfb: tools/screenshot-htmlpane.sh [out.png] [news [cache.rss]]
# With "news" the pane shows a channel's cache file (tests/feeds/net/cache.rss unless given) rendered through
# res/templates/feeds.xsl, with the template's own state images; otherwise the demo's sample page.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
out="${1:-$build/htmlpane.png}"
mode="${2:-sample}"
cache="${3:-$root/tests/feeds/net/cache.rss}"
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
command -v xwd >/dev/null || apt-get install -y x11-apps
[ -x /usr/bin/convert ] || apt-get install -y imagemagick
"$root/tools/build.sh" htmlpanedemo

. "$root/tools/wine-env.sh"
lq_wine_prepare "$build"
trap lq_wine_stop EXIT
lq_wine_start

marker="$build/htmlpanedemo.painted"
rm -f "$marker"
args=("Z:${marker//\//\\}")
if [ "$mode" = news ]; then
    args+=("$(winpath "$cache")" "$(winpath "$root/res/templates/feeds.xsl")" "$(winpath "$root/res/templates")")
fi
"$LQ_WINE_BIN/wine64" "$build/tools/htmlpanedemo.exe" "${args[@]}" &
demo=$!
for _ in $(seq 1 300); do
    [ -e "$marker" ] && break
    sleep 0.1
done
[ -e "$marker" ] || { echo "the demo window did not paint" >&2; kill "$demo"; exit 1; }
xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- -crop 680x500+0+0 "$out"
rm -f "$marker" # the demo closes itself when its marker is gone
wait "$demo" || true
echo "$out"
