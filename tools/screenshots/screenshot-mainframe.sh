#!/usr/bin/env bash
# The main window of the real program after a refresh at start, in its own Wine prefix: the seeded data folder
# (tools/screenshots/data: the subscription list and older cache files) and the channels' feeds and site icons
# served by the local test server (tools/screenshots/data/server, icons by tools/art/make-screenshot-icons.py).
#   tools/screenshots/screenshot-mainframe.sh [out-folder]   writes mainframe-classic.png, mainframe-modern.png and
#   mainframe-alert.png (the new-items alert: the served feeds hold items the older caches lack)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${LQ_BUILD_DIR:-$root/build}"
out="${1:-$build}"
. "$root/tools/screenshots/demo-screenshot.sh"
command -v xwd >/dev/null || apt-get install -y x11-apps
[ -x /usr/bin/convert ] || apt-get install -y imagemagick
"$root/tools/scripts/build.sh" Lanternquill

. "$root/tools/scripts/wine-env.sh"
mkdir -p "$build/screenshot"
lq_wine_prepare "$build/screenshot"

served="$build/screenshot/served"
port_file="$build/screenshot/http-server.port"
pid_file="$build/screenshot/http-server.pid"
rm -rf "$served"
mkdir -p "$served"
cp "$root"/tools/screenshots/data/server/* "$served/"
python3 "$root/tools/art/make-screenshot-icons.py" "$served"
stop_everything() {
    python3 "$root/tests/support/httpserver.py" stop --port-file "$port_file" --pid-file "$pid_file" \
        >/dev/null 2>&1 || true
    lq_wine_stop
}
trap stop_everything EXIT
python3 "$root/tests/support/httpserver.py" start --port-file "$port_file" --pid-file "$pid_file" --root "$served"
port=$(cat "$port_file")
lq_wine_start

key='HKCU\Software\Lanternquill Software\Lanternquill'
data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Lanternquill"
for name in classic modern alert; do
    style=$([ "$name" = modern ] && echo 1 || echo 0)
    rm -rf "$data"
    mkdir -p "$data"
    cp "$root"/tools/screenshots/data/*.rss "$data/"
    sed "s/@PORT@/$port/g" "$root/tools/screenshots/data/MainFeed.xml" >"$data/MainFeed.xml"
    # The classic picture shows every channel (the unreachable one with its mark), the modern one hides read ones.
    for value in "FirstRun 0" "Check at startup 1" "ViewStyle $style" "HideReadChannels $style"; do
        "$LQ_WINE_BIN/wine64" reg add "$key" /v "${value% *}" /t REG_DWORD /d "${value##* }" /f >/dev/null 2>&1
    done
    "$LQ_WINE_BIN/wine64" "$build/Lanternquill.exe" &
    pid=$!
    for _ in $(seq 1 200); do
        xwininfo -name Lanternquill -display "$DISPLAY" >/dev/null 2>&1 && break
        sleep 0.1
    done
    # The refresh at start is over when every served channel has its icon and the list is written again.
    for _ in $(seq 1 300); do
        [ -f "$data/daily.ico" ] && [ -f "$data/evening.ico" ] && [ -f "$data/tech.ico" ] &&
            [ "$data/MainFeed.xml" -nt "$data/daily.rss" ] && break
        sleep 0.1
    done
    # Time to lay out and paint: this is a picture for people, not a test.
    sleep 3
    lq_capture_screen "$build/screen.png"
    if [ "$name" = alert ]; then
        size=$(xwininfo -root -display "$DISPLAY" | awk '/geometry/ {print $2}' | cut -d+ -f1)
        geometry="420x260+$((${size%x*} - 420))+$((${size#*x} - 260))"
    else
        # The largest window of that name: the notification area's icon window carries the name too.
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
    fi
    /usr/bin/convert "$build/screen.png" -crop "$geometry" +repage "$out/mainframe-$name.png"
    echo "$out/mainframe-$name.png"
    kill "$pid" 2>/dev/null || true
    "$LQ_WINE_BIN/wineserver" -k 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    lq_wine_start
done
