#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt that are missing, then configures and builds
# Quillorn into build/ (or the folder given as the first argument). Safe to run again: when every
# package is in place and the build is current it takes seconds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-"$root/build"}
shift || true

missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done <"$root/packages.txt"

if ((${#missing[@]})); then
    echo "Installing missing packages: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The users' locale: the tests that depend on the numeric locale run under it, and fail without it.
if ! locale -a 2>/dev/null | grep -qx 'ru_RU.utf8'; then
    echo "Generating the ru_RU.UTF-8 locale"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi

if [[ ! -f "$build_dir/build.ninja" ]]; then
    cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build_dir" --parallel "$(nproc)"
