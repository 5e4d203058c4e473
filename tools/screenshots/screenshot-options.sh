#!/usr/bin/env bash
# Takes a screenshot of one page of the options sheet under Xvfb: tools/screenshots/screenshot-options.sh [out.png]
# [page 0-6: General, View Style, Channel View, Connection Settings, Color Themes, Podcasting, Glowmark]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
page="${2:-0}"
out="${1:-${LQ_BUILD_DIR:-$root/build}/options-$page.png}"
tables="$root/res/tables"
lq_demo_screenshot options-demo "$out" 478x494+0+0 MARKER "$page" "Z:${tables//\//\\}"
