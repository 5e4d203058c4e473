#!/usr/bin/env bash
# Takes screenshots of the Customize sheet over a frame under Xvfb: tools/screenshots/screenshot-customize.sh [out-folder]
# Writes customize-toolbars.png, customize-commands.png, customize-options.png, customize-drag.png (a command held
# over the toolbar, the drop marker showing) and customize-menu.png (the context menu of a toolbar button).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}}"
crop=720x520+0+0
# Each shot in a subshell of its own: it starts the display and Wine and stops them again when it ends.
(lq_demo_screenshot customize-demo "$out/customize-toolbars.png" "$crop" MARKER 0)
(lq_demo_screenshot customize-demo "$out/customize-commands.png" "$crop" MARKER 1)
(lq_demo_screenshot customize-demo "$out/customize-options.png" "$crop" MARKER 2)
(lq_demo_screenshot customize-demo "$out/customize-drag.png" "$crop" MARKER 1 drag)
(lq_demo_screenshot customize-demo "$out/customize-menu.png" "$crop" MARKER 0 menu)
