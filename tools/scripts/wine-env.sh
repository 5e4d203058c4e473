# Sourced, never run: prepares the project's own Wine prefix and display for a run of the program or the tests.
#   lq_wine_prepare BUILD_DIR   exports the Wine variables and makes the prefix once (inside the build tree)
#   lq_wine_start               starts Xvfb when there is no display, and one persistent wineserver
#   lq_wine_stop                stops only what lq_wine_start started
# ~/.wine is never touched: WINEPREFIX always points into the build tree.

LQ_WINE_BIN=/usr/lib/wine
export PATH="$LQ_WINE_BIN:$PATH"

lq_wine_prepare() {
    local build_dir
    build_dir=$(cd "$1" && pwd)
    export WINEPREFIX="$build_dir/wineprefix"
    export WINEARCH=win64
    export WINEDEBUG=-all
    # A crash must end the process with a fixed code, never open winedbg's dialog.
    export WINEDLLOVERRIDES="winedbg.exe=d"
    # Wine's own Tahoma Bold carries the regular outlines under bold advance widths (its glyphs are byte for byte
    # those of tahoma.ttf; only small bitmap sizes are bold): bold text drew regular and spread out. Without the
    # file, Wine makes bold Tahoma from the regular face, as visibly bold as on Windows. Prefixes made before
    # this still hold the file.
    rm -f "$WINEPREFIX/drive_c/windows/Fonts/tahomabd.ttf"
    [ -f "$WINEPREFIX/.lq-ready" ] && return 0

    echo "Preparing the Wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    # No Mono or Gecko installer on a fresh prefix.
    WINEDLLOVERRIDES="winedbg.exe=d;mscoree=;mshtml=" "$LQ_WINE_BIN/wine64" wineboot -i >/dev/null 2>&1
    # Debian's Wine looks for its own fonts in the wrong folder: without them there is no Tahoma or Marlett.
    cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    rm -f "$WINEPREFIX/drive_c/windows/Fonts/tahomabd.ttf"
    local reg="$LQ_WINE_BIN/wine64 reg add"
    # Without a window manager, managed windows take 2 s to hide and get no frame.
    $reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    $reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    $reg 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d '' /f >/dev/null 2>&1
    "$LQ_WINE_BIN/wineserver" -w
    touch "$WINEPREFIX/.lq-ready"
}

lq_wine_start() {
    LQ_STARTED_XVFB=""
    if [ -z "${DISPLAY:-}" ]; then
        local fd_file
        fd_file=$(mktemp)
        Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$fd_file" 2>/dev/null &
        LQ_STARTED_XVFB=$!
        local i
        for i in $(seq 1 100); do
            [ -s "$fd_file" ] && break
            sleep 0.1
        done
        export DISPLAY=":$(head -n1 "$fd_file")"
        rm -f "$fd_file"
    fi
    # A persistent server: without it every Wine process pays a cold start of about a second. One already
    # running for this prefix (a run by hand) is used and left running.
    LQ_STARTED_WINESERVER=""
    if "$LQ_WINE_BIN/wineserver" -p </dev/null >/dev/null 2>&1; then
        LQ_STARTED_WINESERVER=1
    fi
    # The first Wine process starts the prefix's services, which inherit its output: start them here, so
    # that no test's output pipe stays open after the test ends.
    "$LQ_WINE_BIN/wine64" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

lq_wine_stop() {
    if [ -n "${LQ_STARTED_WINESERVER:-}" ]; then
        "$LQ_WINE_BIN/wineserver" -k 2>/dev/null || true
        "$LQ_WINE_BIN/wineserver" -w 2>/dev/null || true
        LQ_STARTED_WINESERVER=""
    fi
    if [ -n "${LQ_STARTED_XVFB:-}" ]; then
        kill "$LQ_STARTED_XVFB" 2>/dev/null || true
        wait "$LQ_STARTED_XVFB" 2>/dev/null || true
        LQ_STARTED_XVFB=""
    fi
}
