#!/usr/bin/env bash
# Takes a screenshot of a frame whose two toolbars are bands of its rebar, under Xvfb:
# tools/screenshot-rebar.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tools/demo-screenshot.sh"
lq_demo_screenshot rebar-demo "${1:-${LQ_BUILD_DIR:-$root/build}/rebar.png}" 640x400+0+50 MARKER
