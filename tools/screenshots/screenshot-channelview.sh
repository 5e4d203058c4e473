#!/usr/bin/env bash
# The channel viewer showing a channel, beside the navigation pane's weather box and a web-page box whose address
# is not a web page (it stays empty), under Xvfb:
#   tools/screenshots/screenshot-channelview.sh [out.png] [cache.rss]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}/channelview.png}"
cache="${2:-$root/tests/views/fixtures/classic-channel.rss}"
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
lq_demo_screenshot channelview-demo "$out" 880x500+0+0 MARKER "$(winpath "$cache")" "$(winpath "$root/res/templates")"
