#!/usr/bin/env bash
# Takes a screenshot of the headline-row demo window under Xvfb: tools/screenshots/screenshot-headlines.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot headline-demo "${1:-${LQ_BUILD_DIR:-$root/build}/headlines.png}" 680x500+0+0 MARKER
