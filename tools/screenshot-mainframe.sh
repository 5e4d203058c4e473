#!/usr/bin/env bash
# The main window of the real program on a seeded data folder (tools/screenshot-data), in its own Wine prefix:
#   tools/screenshot-mainframe.sh [out-folder]   writes mainframe-classic.png, mainframe-modern.png and
#   mainframe-alert.png (the new-items alert of a start whose cached channel holds new items)
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
for pass in classic modern alert; do
    name=$pass
    style=$([ "$pass" = modern ] && echo 1 || echo 0)
    rm -rf "$data"
    mkdir -p "$data"
    cp "$root"/tools/screenshot-data/* "$data/"
    check=0
    if [ "$pass" = alert ]; then
        # Two channels served with items their caches do not hold: the refresh at start finds them new.
        feeds="$build/alert-feeds"
        rm -rf "$feeds" && mkdir -p "$feeds"
        for channel in daily tech; do
            python3 - "$root/tools/screenshot-data/$channel.rss" "$feeds/$channel" "$channel" <<'PY'
import sys
source, target, name = sys.argv[1:]
text = open(source, encoding='utf-8').read()
extra = ''.join('<item><title>Fresh %s story %d</title><link>http://127.0.0.1:1/%s/%d</link>'
                '<description>Just in.</description></item>' % (name, n, name, n) for n in range(1, 4 if name == 'daily' else 2))
open(target, 'w', encoding='utf-8').write(text.replace('<item>', extra + '<item>', 1))
PY
        done
        port=8765
        python3 -m http.server "$port" --bind 127.0.0.1 --directory "$feeds" >/dev/null 2>&1 &
        server=$!
        sed -i "s|http://127.0.0.1:1/daily|http://127.0.0.1:$port/daily|; s|http://127.0.0.1:1/tech|http://127.0.0.1:$port/tech|" "$data/MainFeed.xml"
        check=1
    fi
    for value in "FirstRun 0" "Check at startup $check" "ViewStyle $style"; do
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
    if [ "$pass" = alert ]; then
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
    [ "$pass" = alert ] && kill "$server" 2>/dev/null
    kill "$pid" 2>/dev/null || true
    "$LQ_WINE_BIN/wineserver" -k 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    lq_wine_start
done
