#!/usr/bin/env bash
# Screenshots of the quick filter and the search box under Xvfb: tools/screenshots/screenshot-filter.sh [out-folder]
# The "Quick Filter", "Please Wait" and "Rename Category" dialogs, the results' headline rows of the modern view, the
# results page in the classic news view, and a "Search-in" entry's search box.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
build="${LQ_BUILD_DIR:-$root/build}"
out="${1:-$build}"
lq_demo_screenshot filter-demo "$out/filter-dialog.png" 600x470+10+10 dialog MARKER
lq_demo_screenshot filter-demo "$out/filter-wait.png" 280x220+10+10 wait MARKER
lq_demo_screenshot filter-demo "$out/filter-rename.png" 480x250+10+10 rename MARKER
lq_demo_screenshot filter-demo "$out/filter-modern.png" 460x340+10+10 modern MARKER
lq_demo_screenshot filter-demo "$out/filter-searchbox.png" 320x150+10+10 searchbox MARKER

# The classic view's page: the demo writes it, the news view demo shows it.
page="$build/filter-results.rss"
(
    . "$root/tools/scripts/wine-env.sh"
    lq_wine_prepare "$build"
    trap lq_wine_stop EXIT
    lq_wine_start
    "$LQ_WINE_BIN/wine64" "$build/tools/filter-demo.exe" rss "Z:${page//\//\\}"
)
"$root/tools/screenshots/screenshot-newsview.sh" "$out/filter-classic.png" "$page"
