#!/usr/bin/env bash
# Takes a screenshot of one page of the first-run wizard under Xvfb: tools/screenshots/screenshot-wizard.sh [out.png]
# [page 0-3]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
page="${2:-0}"
out="${1:-${LQ_BUILD_DIR:-$root/build}/wizard-$page.png}"
tables="$root/tests/companions/fixtures"
lq_demo_screenshot wizard-demo "$out" 560x440+0+0 MARKER "$page" "Z:${tables//\//\\}"
