# Sourced by the tools/screenshot-*.sh scripts of the toolkit controls, never run:
#   lq_controls_screenshot MODE OUT.png WIDTHxHEIGHT+X+Y
# builds controls-demo, shows MODE under Xvfb and saves the given part of the screen.
lq_controls_screenshot() {
    local mode="$1" out="$2" crop="$3"
    local root build
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    build="${LQ_BUILD_DIR:-$root/build}"
    command -v xwd >/dev/null || apt-get install -y x11-apps
    [ -x /usr/bin/convert ] || apt-get install -y imagemagick
    "$root/tools/build.sh" controls-demo

    . "$root/tools/wine-env.sh"
    lq_wine_prepare "$build"
    trap lq_wine_stop EXIT
    lq_wine_start

    local marker="$build/controls-demo-$mode.painted"
    rm -f "$marker"
    "$LQ_WINE_BIN/wine64" "$build/tools/controls-demo.exe" "$mode" "Z:${marker//\//\\}" &
    local demo=$!
    for _ in $(seq 1 300); do
        [ -e "$marker" ] && break
        sleep 0.1
    done
    [ -e "$marker" ] || { echo "the demo windows did not paint" >&2; kill "$demo"; return 1; }
    xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- -crop "$crop" "$out"
    rm -f "$marker" # the demo closes itself when its marker is gone
    wait "$demo" || true
    echo "$out"
}
