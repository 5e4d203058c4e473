#!/usr/bin/env bash
# The main window of the real program on a seeded data folder (tools/screenshot-data), in its own Wine prefix:
#   tools/screenshot-mainframe.sh [out-folder]   writes mainframe-classic.png and mainframe-modern.png
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
out="${1:-$build}"
. "$root/tools/demo-screenshot.sh"
command -v xwd >/dev/null || apt-get install -y x11-apps
[ -x /usr/bin/convert ] || apt-get install -y imagemagick
"$root/tools/build.sh" Lanternquill

. "$root/tools/wine-env.sh"
mkdir -p "$build/screenshot"
lq_wine_prepare "$build/screenshot"
trap lq_wine_stop EXIT
lq_wine_start

key='HKCU\Software\Lanternquill Software\Lanternquill'
data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Lanternquill"
for style in 0 1; do
    name=$([ "$style" = 0 ] && echo classic || echo modern)
    rm -rf "$data"
    mkdir -p "$data"
    cp "$root"/tools/screenshot-data/* "$data/"
    for value in "FirstRun 0" "Check at startup 0" "ViewStyle $style"; do
        "$LQ_WINE_BIN/wine64" reg add "$key" /v "${value% *}" /t REG_DWORD /d "${value##* }" /f >/dev/null 2>&1
    done
    "$LQ_WINE_BIN/wine64" "$build/Lanternquill.exe" &
    pid=$!
    for _ in $(seq 1 200); do
        xwininfo -name Lanternquill -display "$DISPLAY" >/dev/null 2>&1 && break
        sleep 0.1
    done
    # Time to lay out and paint: this is a picture for people, not a test.
    sleep 3
    lq_capture_screen "$build/screen.png"
    geometry=$(xwininfo -name Lanternquill -display "$DISPLAY" | awk '/geometry/ {print $2}')
    /usr/bin/convert "$build/screen.png" -crop "$geometry" +repage "$out/mainframe-$name.png"
    echo "$out/mainframe-$name.png"
    kill "$pid" 2>/dev/null || true
    "$LQ_WINE_BIN/wineserver" -k 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    lq_wine_start
done
