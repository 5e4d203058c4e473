#!/usr/bin/env bash
# Takes a screenshot of a frame with its menu bar and two toolbars, one of them floating, under Xvfb:
# tools/screenshots/screenshot-bars.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot bars-demo "${1:-${LQ_BUILD_DIR:-$root/build}/bars.png}" 640x400+0+50 MARKER
