#!/usr/bin/env bash
# Takes a screenshot of the About box under Xvfb: tools/screenshots/screenshot-about.sh [out.png] [label]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot about-demo "${1:-${LQ_BUILD_DIR:-$root/build}/about.png}" 420x300+10+10 MARKER ${2:+"$2"}
