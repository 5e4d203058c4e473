#!/usr/bin/env bash
# Takes a screenshot of a frame whose two toolbars are bands of its rebar, under Xvfb:
# tools/screenshots/screenshot-rebar.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot bars-demo "${1:-${LQ_BUILD_DIR:-$root/build}/rebar.png}" 640x400+0+50 MARKER rebar
