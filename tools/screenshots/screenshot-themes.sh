#!/usr/bin/env bash
# Pictures every command-bar theme and colour scheme side by side, as a user choosing a look would compare them:
# the bars demo (a frame with its docks, menu bar and toolbars) and the command bars demo (controls in every state,
# a popup menu), each under Xvfb once per look, stacked with a label per look.
#   tools/screenshots/screenshot-themes.sh [out-folder]   writes themes-bars.png and themes-commandbars.png
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
out="${1:-$build}"
mkdir -p "$out"
. "$root/tools/screenshots/demo-screenshot.sh"

# Label, theme number, colour scheme (0 none, 1 blue, 2 olive, 3 silver).
looks=(
    "Default|0|0"
    "Standard|1|0"
    "Office 2003 (system colours)|2|0"
    "Office 2003, blue|2|1"
    "Office 2003, olive|2|2"
    "Office 2003, silver|2|3"
    "XP Style|3|0"
)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for demo in bars-demo commandbars-demo; do
    parts=()
    n=0
    for look in "${looks[@]}"; do
        IFS='|' read -r label theme scheme <<<"$look"
        shot="$work/$demo-$n.png"
        # A subshell of its own: the screenshot's exit trap stops the display and Wine it started.
        (lq_demo_screenshot "$demo" "$shot" 640x400+0+50 MARKER "$theme" "$scheme" >/dev/null)
        /usr/bin/convert "$shot" -background white -gravity North -splice 0x22 -font "$font" -pointsize 14 \
            -annotate +0+3 "$label" "$shot"
        parts+=("$shot")
        n=$((n + 1))
    done
    name=${demo%-demo}
    # Two columns: the first four looks down the left, the rest down the right.
    /usr/bin/convert \( "${parts[@]:0:4}" -append \) \( "${parts[@]:4}" -append \) +append "$out/themes-$name.png"
    echo "$out/themes-$name.png"
done
