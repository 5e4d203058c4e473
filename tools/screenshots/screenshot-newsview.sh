#!/usr/bin/env bash
# Takes a screenshot of the classic news view showing a channel under Xvfb:
# tools/screenshots/screenshot-newsview.sh [out.png] [cache.rss]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}/newsview.png}"
cache="${2:-$root/tests/views/fixtures/classic-channel.rss}"
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
lq_demo_screenshot newsview-demo "$out" 680x530+0+0 MARKER "$(winpath "$cache")" "$(winpath "$root/res/templates")"
