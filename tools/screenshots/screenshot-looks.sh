#!/usr/bin/env bash
# The real program's main window in every look a user can choose (View, Look): the three toolkit themes and the
# skin in its three colour schemes, each started on the seeded data folder (tools/screenshots/data, no refresh)
# in its own Wine prefix, stacked in two columns with a label per look.
#   tools/screenshots/screenshot-looks.sh [out-folder]   writes looks-mainframe.png
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
out="${1:-$build}"
mkdir -p "$out"
. "$root/tools/screenshots/demo-screenshot.sh"
command -v xwd >/dev/null || apt-get install -y x11-apps
[ -x /usr/bin/convert ] || apt-get install -y imagemagick
"$root/tools/scripts/build.sh" Lanternquill

. "$root/tools/scripts/wine-env.sh"
mkdir -p "$build/screenshot"
lq_wine_prepare "$build/screenshot"
trap lq_wine_stop EXIT
lq_wine_start

# Label, "Theme", "ColorTheme".
looks=(
    "Default|0|1"
    "Office 2003 Style|2|1"
    "XP Style|3|1"
    "Skin, blue|11|0"
    "Skin, red|11|1"
    "Skin, green|11|2"
)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
key='HKCU\Software\Lanternquill Software\Lanternquill'
data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Lanternquill"
work=$(mktemp -d)
parts=()
n=0
for look in "${looks[@]}"; do
    IFS='|' read -r label theme scheme <<<"$look"
    rm -rf "$data"
    mkdir -p "$data"
    cp "$root"/tools/screenshots/data/*.rss "$data/"
    sed "s/@PORT@/1/g" "$root/tools/screenshots/data/MainFeed.xml" >"$data/MainFeed.xml"
    for value in "FirstRun 0" "Check at startup 0" "ViewStyle 0" "HideReadChannels 0" "Theme $theme" \
        "ColorTheme $scheme"; do
        "$LQ_WINE_BIN/wine64" reg add "$key" /v "${value% *}" /t REG_DWORD /d "${value##* }" /f >/dev/null 2>&1
    done
    # The same place and size for every look.
    "$LQ_WINE_BIN/wine64" reg delete "$key\\MainFrameClassic" /f >/dev/null 2>&1 || true
    "$LQ_WINE_BIN/wine64" "$build/Lanternquill.exe" &
    pid=$!
    for _ in $(seq 1 200); do
        xwininfo -name Lanternquill -display "$DISPLAY" >/dev/null 2>&1 && break
        sleep 0.1
    done
    # Time to lay out and paint: this is a picture for people, not a test.
    sleep 3
    lq_capture_screen "$work/screen.png"
    geometry=$(xwininfo -root -tree -display "$DISPLAY" | python3 -c '
import re, sys
best = (0, "")
for line in sys.stdin:
    if "\"Lanternquill\"" not in line:
        continue
    size = re.search(r"(\d+)x(\d+)[+-]\d+[+-]\d+", line)
    origin = line.split()[-1]
    if size and int(size.group(1)) * int(size.group(2)) > best[0]:
        best = (int(size.group(1)) * int(size.group(2)), size.group(1) + "x" + size.group(2) + origin)
print(best[1])')
    shot="$work/look-$n.png"
    /usr/bin/convert "$work/screen.png" -crop "$geometry" +repage -resize 75% "$shot"
    /usr/bin/convert "$shot" -background white -gravity North -splice 0x22 -font "$font" -pointsize 14 \
        -annotate +0+3 "$label" "$shot"
    parts+=("$shot")
    n=$((n + 1))
    kill "$pid" 2>/dev/null || true
    "$LQ_WINE_BIN/wineserver" -k 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    lq_wine_start
done
/usr/bin/convert \( "${parts[@]:0:3}" -append \) \( "${parts[@]:3}" -append \) +append "$out/looks-mainframe.png"
cp "${parts[3]}" "$out/looks-skin-blue.png"
rm -rf "$work"
echo "$out/looks-mainframe.png"
