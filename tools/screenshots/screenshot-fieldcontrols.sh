#!/usr/bin/env bash
# Takes a screenshot of a toolbar with a label, an edit field, combo boxes (one open), a hosted window and a list
# box control, under Xvfb: tools/screenshots/screenshot-fieldcontrols.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_demo_screenshot fieldcontrols-demo "${1:-${LQ_BUILD_DIR:-$root/build}/fieldcontrols.png}" 640x300+0+50 MARKER
