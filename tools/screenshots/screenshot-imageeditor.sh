#!/usr/bin/env bash
# Takes screenshots of the Button Editor under Xvfb: tools/screenshots/screenshot-imageeditor.sh [out-folder]
# Writes imageeditor.png (a house drawn on a blank button, red selected, the line tool on) and
# imageeditor-alpha.png (the same drawn over a 32-bit image with soft edges).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}}"
crop=420x360+0+0
# Each shot in a subshell of its own: it starts the display and Wine and stops them again when it ends.
(lq_demo_screenshot imageeditor-demo "$out/imageeditor.png" "$crop" MARKER)
(lq_demo_screenshot imageeditor-demo "$out/imageeditor-alpha.png" "$crop" MARKER alpha)
