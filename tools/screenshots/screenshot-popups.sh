#!/usr/bin/env bash
# Takes a screenshot of an open popup menu with a submenu in the default theme, under Xvfb:
# tools/screenshots/screenshot-popups.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot popup-demo "${1:-${LQ_BUILD_DIR:-$root/build}/popups.png}" 560x360+0+50 MARKER
