#!/usr/bin/env bash
# Takes screenshots of the colour dialog's pages under Xvfb: tools/screenshots/screenshot-colour.sh [out-folder]
# Writes colour-standard.png (a blue picked), colour-white.png (white: both white cells outlined, the honeycomb
# focused), colour-custom.png (an orange) and colour-custom-focus.png (the spectrum focused).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}}"
crop=340x340+0+0
# Each shot in a subshell of its own: it starts the display and Wine and stops them again when it ends.
(lq_demo_screenshot colour-demo "$out/colour-standard.png" "$crop" MARKER 0 3399FF)
(lq_demo_screenshot colour-demo "$out/colour-white.png" "$crop" MARKER 0 FFFFFF focus)
(lq_demo_screenshot colour-demo "$out/colour-custom.png" "$crop" MARKER 1 C85028)
(lq_demo_screenshot colour-demo "$out/colour-custom-focus.png" "$crop" MARKER 1 2060C0 focus)
