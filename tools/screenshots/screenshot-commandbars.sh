#!/usr/bin/env bash
# Takes a screenshot of command bars in the default theme, their controls in every state, under Xvfb:
# tools/screenshots/screenshot-commandbars.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot commandbars-demo "${1:-${LQ_BUILD_DIR:-$root/build}/commandbars.png}" 640x400+0+50 MARKER
