#!/usr/bin/env bash
# Takes a screenshot of the HTML pane demo window under Xvfb:
#   tools/screenshots/screenshot-htmlpane.sh [out.png] [news [cache.rss]]
# With "news" the pane shows a channel's cache file (tests/feeds/net/cache.rss unless given) rendered through
# res/templates/feeds.xsl, with the template's own state images; otherwise the demo's sample page.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}/htmlpane.png}"
mode="${2:-sample}"
cache="${3:-$root/tests/feeds/net/cache.rss}"
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
args=(MARKER)
if [ "$mode" = news ]; then
    args+=("$(winpath "$cache")" "$(winpath "$root/res/templates/feeds.xsl")" "$(winpath "$root/res/templates")")
fi
lq_demo_screenshot htmlpanedemo "$out" 680x500+0+0 "${args[@]}"
