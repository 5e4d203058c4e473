#!/usr/bin/env bash
# Installs what the build, the program and the tests need, and only what is missing.
set -euo pipefail

# Wine with its recommended libraries (X rendering, TLS), the fonts the tests measure text in, and a CJK font that
# the HTML pane falls back on for characters its fonts lack.
packages=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine fonts-liberation fonts-wqy-microhei xvfb xauth python3
          googletest cmake ninja-build ccache)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
