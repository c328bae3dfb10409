#!/usr/bin/env bash
# Installs the Debian packages that are missing among those named: package names, and files that
# list one package a line (blank lines and # comments left out). Installs nothing, and asks the
# archive nothing, when every package is in place.
#
# Usage: scripts/install-packages.sh <package or list file>...
set -euo pipefail

wanted=()
for item in "$@"; do
    if [[ -f "$item" ]]; then
        while read -r pkg; do
            [[ -z "$pkg" || "$pkg" == \#* ]] || wanted+=("$pkg")
        done <"$item"
    else
        wanted+=("$item")
    fi
done

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
((${#missing[@]})) || exit 0

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
echo "Installing missing packages: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
