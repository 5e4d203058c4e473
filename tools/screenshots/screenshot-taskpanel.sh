#!/usr/bin/env bash
# Takes a screenshot of task panels in each look under Xvfb: tools/screenshots/screenshot-taskpanel.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot taskpanel-demo "${1:-${LQ_BUILD_DIR:-$root/build}/taskpanel.png}" 1010x560+0+0 MARKER
