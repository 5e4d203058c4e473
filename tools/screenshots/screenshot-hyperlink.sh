#!/usr/bin/env bash
# Takes a screenshot of toolkit hyperlinks in their states under Xvfb: tools/screenshots/screenshot-hyperlink.sh
# [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_controls_screenshot hyperlink "${1:-${LQ_BUILD_DIR:-$root/build}/hyperlink.png}" 480x270+0+0
