#!/usr/bin/env bash
# Takes a screenshot of the podcast manager under Xvfb: tools/screenshots/screenshot-podcast.sh [out.png]
# [empty|page|feeds] (rows in each state by default; "empty" the empty list; "page" the "Podcasting Settings" sheet;
# "feeds" the "Select Feeds" dialog).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot podcast-demo "${1:-${LQ_BUILD_DIR:-$root/build}/podcast${2:+-$2}.png}" 640x470+10+10 MARKER ${2:+"$2"}
