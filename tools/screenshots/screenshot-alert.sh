#!/usr/bin/env bash
# Takes a screenshot of the desktop alert in each of its themes under Xvfb: tools/screenshots/screenshot-alert.sh
# [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_controls_screenshot alert "${1:-${LQ_BUILD_DIR:-$root/build}/alert.png}" 900x300+0+0
