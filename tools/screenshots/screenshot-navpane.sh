#!/usr/bin/env bash
# Screenshots of the navigation pane under Xvfb: tools/screenshots/screenshot-navpane.sh [out-folder]
# navpane-modern.png, navpane-classic.png and navpane-dropdown.png (the headline drop-down open), and
# navpane-hot-<theme>.png with the first group caption hot in the default, Office 2003 and XP themes.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}}"
lq_demo_screenshot navpane-demo "$out/navpane-modern.png" 272x560+0+0 modern MARKER
lq_demo_screenshot navpane-demo "$out/navpane-classic.png" 272x560+0+0 classic MARKER
lq_demo_screenshot navpane-demo "$out/navpane-dropdown.png" 900x560+0+0 dropdown MARKER
for theme in default office2003 xp; do
    lq_demo_screenshot navpane-demo "$out/navpane-hot-$theme.png" 272x200+0+0 "hot-$theme" MARKER
done
