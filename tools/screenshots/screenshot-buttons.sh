#!/usr/bin/env bash
# Takes a screenshot of the toolkit buttons in their themes and states under Xvfb:
# tools/screenshots/screenshot-buttons.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_controls_screenshot buttons "${1:-${LQ_BUILD_DIR:-$root/build}/buttons.png}" 670x340+0+0
