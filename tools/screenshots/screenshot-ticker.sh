#!/usr/bin/env bash
# Takes screenshots of the news ticker under Xvfb: tools/screenshots/screenshot-ticker.sh [out-folder]
# Writes ticker-top.png and ticker-bottom.png (the ticker docked at each edge, its first headline resting), and
# ticker-general.png, ticker-size.png and ticker-colors.png (its properties sheet on each page).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}}"
# Each shot in a subshell of its own: it starts the display and Wine and stops them again when it ends.
(lq_demo_screenshot ticker-demo "$out/ticker-top.png" 1024x60+0+0 MARKER top)
(lq_demo_screenshot ticker-demo "$out/ticker-bottom.png" 1024x60+0+708 MARKER bottom)
# The properties sheet on each of its pages, opened by the ticker's command, under the ticker.
for page in general size colors; do
    (lq_demo_screenshot ticker-demo "$out/ticker-$page.png" 520x420+0+0 MARKER "$page")
done
