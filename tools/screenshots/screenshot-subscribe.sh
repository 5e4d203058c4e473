#!/usr/bin/env bash
# Screenshots of the subscribe windows under Xvfb: tools/screenshots/screenshot-subscribe.sh [out-folder]
# "Subscribe", "Customize the Feed", "Please wait..." and the "Feed Properties" sheet on three of its pages.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/tools/screenshots/demo-screenshot.sh"
out="${1:-${LQ_BUILD_DIR:-$root/build}}"
lq_demo_screenshot subscribe-demo "$out/subscribe.png" 560x380+10+10 subscribe MARKER
lq_demo_screenshot subscribe-demo "$out/subscribe-customize.png" 560x380+10+10 customize MARKER
lq_demo_screenshot subscribe-demo "$out/subscribe-wait.png" 420x250+10+10 wait MARKER
lq_demo_screenshot subscribe-demo "$out/subscribe-properties.png" 540x480+10+10 properties MARKER
lq_demo_screenshot subscribe-demo "$out/subscribe-auth.png" 540x480+10+10 auth MARKER
lq_demo_screenshot subscribe-demo "$out/subscribe-update.png" 540x480+10+10 update MARKER
