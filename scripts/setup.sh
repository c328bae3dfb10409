#!/usr/bin/env bash
# Sets Quillorn up on Debian 12 and builds it into build/ (or the folder given as the first
# argument; any further arguments go to CMake when it configures).
#
#   scripts/setup.sh           installs the packages of packages.txt that are missing and builds the
#                              programs only (quillorn, quillorn-harvest): the window in minutes
#   scripts/setup.sh --tests   installs those of packages-tests.txt as well and builds everything:
#                              the tests, the benchmarks, the demo, and the fuzz targets when
#                              configured for them
#
# Both share one build folder and run one after the other in either order: the folder is configured
# for the tests the first time --tests meets it without them. Safe to run again: when every package
# is in place and the build is current it takes seconds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

tests=no
arguments=()
for argument in "$@"; do
    if [[ "$argument" == --tests ]]; then
        tests=yes
    else
        arguments+=("$argument")
    fi
done
set -- "${arguments[@]}"
build_dir=${1:-"$root/build"}
shift || true

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

lists=("$root/packages.txt")
[[ "$tests" == no ]] || lists+=("$root/packages-tests.txt")
bash "$root/scripts/install-packages.sh" "${lists[@]}"

# The users' locale: the tests that depend on the numeric locale run under it, and fail without it.
if [[ "$tests" == yes ]] && ! locale -a 2>/dev/null | grep -qx 'ru_RU.utf8'; then
    echo "Generating the ru_RU.UTF-8 locale"
    "${sudo_cmd[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi

# Whether the arguments set a CMake switch themselves.
set_by_arguments() {
    local switch=$1 argument
    shift
    for argument in "$@"; do
        [[ "$argument" == "-D$switch="* || "$argument" == "-D$switch:"* ]] && return 0
    done
    return 1
}
cached_off() {
    grep -qx "$1:BOOL=OFF" "$build_dir/CMakeCache.txt" 2>/dev/null
}

# The programs alone need neither GoogleTest nor Google Benchmark, which CMake looks for when it
# configures the tests and benchmarks: a folder the start command configures first leaves them
# out, and --tests turns them on when it finds them off.
switches=()
turn_on=()
for switch in QUILLORN_TESTS QUILLORN_BENCH; do
    set_by_arguments "$switch" "$@" && continue
    if [[ "$tests" == yes ]]; then
        switches+=("-D$switch=ON")
        if cached_off "$switch"; then turn_on+=("-D$switch=ON"); fi
    else
        switches+=("-D$switch=OFF")
    fi
done
if [[ ! -f "$build_dir/build.ninja" ]]; then
    cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${switches[@]}" "$@"
elif ((${#turn_on[@]})); then
    cmake -S "$root" -B "$build_dir" "${turn_on[@]}"
fi

if [[ "$tests" == yes ]]; then
    cmake --build "$build_dir" --parallel "$(nproc)"
else
    cmake --build "$build_dir" --parallel "$(nproc)" --target quillorn quillorn-harvest
fi
