#!/usr/bin/env bash
# Takes a screenshot of the toolkit splitters under Xvfb: tools/screenshots/screenshot-splitter.sh [out.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
lq_controls_screenshot splitter "${1:-${LQ_BUILD_DIR:-$root/build}/splitter.png}" 830x510+0+0
