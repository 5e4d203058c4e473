#!/usr/bin/env bash
# Takes a screenshot of the toolkit status bar, plain and flat under Xvfb: tools/screenshots/screenshot-statusbar.sh
# [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_controls_screenshot statusbar "${1:-${LQ_BUILD_DIR:-$root/build}/statusbar.png}" 580x380+0+0
