# Sourced by the tools/screenshots/screenshot-*.sh scripts, never run:
#   lq_demo_screenshot DEMO OUT.png WIDTHxHEIGHT+X+Y [ARGUMENT...]
# builds the demo DEMO (tools/demos), starts it under Xvfb with the arguments (MARKER stands for the file the demo
# writes once it has painted, and whose removal closes it) and saves the given part of the screen.
lq_demo_screenshot() {
    local demo="$1" out="$2" crop="$3"
    shift 3
    local root build
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    build="${LQ_BUILD_DIR:-$root/build}"
    command -v xwd >/dev/null || apt-get install -y x11-apps
    [ -x /usr/bin/convert ] || apt-get install -y imagemagick
    "$root/tools/scripts/build.sh" "$demo"

    . "$root/tools/scripts/wine-env.sh"
    lq_wine_prepare "$build"
    trap lq_wine_stop EXIT
    lq_wine_start

    local marker="$build/$demo.painted" args=() arg
    rm -f "$marker"
    for arg in "$@"; do
        [ "$arg" = MARKER ] && arg="Z:${marker//\//\\}"
        args+=("$arg")
    done
    "$LQ_WINE_BIN/wine64" "$build/tools/$demo.exe" "${args[@]}" &
    local pid=$!
    for _ in $(seq 1 300); do
        [ -e "$marker" ] && break
        sleep 0.1
    done
    [ -e "$marker" ] || { echo "the demo window did not paint" >&2; kill "$pid"; return 1; }
    lq_capture_screen "$build/$demo-screen.png"
    /usr/bin/convert "$build/$demo-screen.png" -crop "$crop" +repage "$out"
    rm -f "$marker"
    wait "$pid" || true
    echo "$out"
}

# lq_capture_screen OUT.png: the screen as a user sees it. Under Xvfb a capture of the root window shows Wine's
# borderless popups (menus, lists, floating bars) black, though their own windows hold what they drew; so each
# viewable top-level window is captured by itself and laid over the root, bottom window first.
lq_capture_screen() {
    local out="$1" work id geometry x y
    work=$(mktemp -d)
    xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "$out"
    # xwininfo lists the top window first.
    xwininfo -root -children -display "$DISPLAY" | awk '/^ +0x/ {print $1, $NF}' | tac >"$work/windows"
    while read -r id geometry; do
        xwininfo -id "$id" -display "$DISPLAY" 2>/dev/null | grep -q "IsViewable" || continue
        x=$(echo "$geometry" | cut -d+ -f2)
        y=$(echo "$geometry" | cut -d+ -f3)
        xwd -id "$id" -silent -display "$DISPLAY" 2>/dev/null | /usr/bin/convert xwd:- "$work/window.png" 2>/dev/null ||
            continue
        /usr/bin/convert "$out" "$work/window.png" -geometry "+$x+$y" -composite "$out"
    done <"$work/windows"
    rm -rf "$work"
}

# lq_controls_screenshot MODE OUT.png CROP: one mode of the toolkit controls demo.
lq_controls_screenshot() {
    lq_demo_screenshot controls-demo "$2" "$3" "$1" MARKER
}
