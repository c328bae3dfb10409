#!/usr/bin/env bash
# Cross-builds the Windows programs and the test programs into build-win/ (or the folder given as
# the first argument; any further arguments go to CMake when it configures), then runs the suite
# under Wine: CTest with Wine as the cross-compiling emulator, on a private X display.
#
#   scripts/windows-build.sh [--no-tests] [--jobs N] [build folder] [CMake arguments...] [-- CTest arguments...]
#
#   --no-tests   build only
#   --jobs N     N compilers and N tests at a time (default: the number of processors)
#   -- ...       the rest goes to CTest (-R, -E, --timeout...)
#
# Installs the Debian packages it needs (packages.txt for the build tools, and through
# scripts/windows-deps.sh the cross compiler, Wine and Xvfb) and builds the Windows dependencies
# into their cache the first time (QUILLORN_WINDOWS_DEPS chooses another cache folder, and
# QUILLORN_WINDOWS_DEPS_PREFIX a dependency prefix already built). The Wine
# prefix the tests run in is made once and kept in the build folder (wine/).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
here="$root/scripts/windows-build"

usage() {
    echo "usage: $0 [--no-tests] [--jobs N] [build folder] [CMake arguments...] [-- CTest arguments...]" >&2
    exit 2
}
log() { printf '[windows-build] %s\n' "$*"; }
die() { printf '[windows-build] error: %s\n' "$*" >&2; exit 1; }

tests=yes
jobs=$(nproc)
arguments=()
ctest_arguments=()
while (($#)); do
    case "$1" in
        --)
            shift
            ctest_arguments=("$@")
            break
            ;;
        --no-tests) tests=no ;;
        --jobs)
            [[ "${2:-}" =~ ^[1-9][0-9]*$ ]] || usage
            jobs=$2
            shift
            ;;
        --jobs=*)
            jobs=${1#--jobs=}
            [[ "$jobs" =~ ^[1-9][0-9]*$ ]] || usage
            ;;
        -h | --help) usage ;;
        *) arguments+=("$1") ;;
    esac
    shift
done
set -- "${arguments[@]}"
build_dir=${1:-"$root/build-win"}
shift || true
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

started=$SECONDS
bash "$root/scripts/install-packages.sh" "$root/packages.txt"
# scripts/windows-deps.sh installs the cross compiler, Wine and Xvfb and prints the dependency
# prefix last: a fraction of a second when the cache is built. QUILLORN_WINDOWS_DEPS_PREFIX names a
# built prefix instead (one whose recipe key differs from this clone's, say).
if [[ -n "${QUILLORN_WINDOWS_DEPS_PREFIX:-}" ]]; then
    deps=$QUILLORN_WINDOWS_DEPS_PREFIX
    bash "$root/scripts/install-packages.sh" g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth
else
    deps=$(bash "$root/scripts/windows-deps.sh" | tail -n 1)
fi
[[ -f "$deps/bin/Qt6Core.dll" ]] || die "no Windows dependency prefix at '$deps'"

wine_prefix="$build_dir/wine"
# CTest runs every test program, and lists its tests, through this.
emulator="$here/wine-run.sh;$wine_prefix;$deps/bin"

if [[ ! -f "$build_dir/build.ninja" ]]; then
    cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DQUILLORN_WINDOWS_DEPS_PREFIX="$deps" -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
        -DQUILLORN_TESTS=ON -DQUILLORN_BENCH=OFF "$@"
else
    # A rebuilt cache may sit under another key: the folder follows it.
    cmake -S "$root" -B "$build_dir" -DQUILLORN_WINDOWS_DEPS_PREFIX="$deps" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" "$@" >/dev/null
fi
cmake --build "$build_dir" --parallel "$jobs"
log "built into $build_dir in $((SECONDS - started)) s"
[[ "$tests" == yes ]] || exit 0

# The suite runs on the users' Windows, a Russian one: Wine takes the system's and the user's
# locale (ANSI code page 1251, the decimal comma, Qt's texts in Russian) from the Linux locale.
if ! locale -a 2>/dev/null | grep -qx 'ru_RU.utf8'; then
    log "generating the ru_RU.UTF-8 locale"
    bash "$root/scripts/install-packages.sh" locales
    "${sudo_cmd[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
export LANG=ru_RU.UTF-8
unset LC_ALL LC_CTYPE LC_NUMERIC LC_MESSAGES
export WINEPREFIX="$wine_prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f "$wine_prefix/system.reg" ]]; then
    log "making the Wine prefix $wine_prefix"
    rm -rf "$wine_prefix"
    (unset DISPLAY && timeout 600 wineboot --init) >"$build_dir/wineboot.log" 2>&1 ||
        die "wineboot failed; see $build_dir/wineboot.log"
fi
# Wine keeps QT_* variables away from Windows programs, so the test programs' platform lives in the
# prefix's registry: the Windows one (the offscreen one finds no fonts under Wine). A qt.conf beside
# each program points Qt at the dependency prefix's plugins.
set_wine_registry() {
    wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1 ||
        die "cannot set $2 under $1 in the registry of $wine_prefix"
}
set_wine_registry 'HKCU\Environment' QT_QPA_PLATFORM windows
# Xvfb has no window manager: Wine would wait two seconds at every hidden window for one to
# confirm it, so the windows go to X unmanaged.
set_wine_registry 'HKCU\Software\Wine\X11 Driver' Managed N

# A full disk for real: Windows cannot limit the size of a process's files, so the full-disk test
# fills a small file system of its own (tests/support/FullDisk.h).
full_disk="$build_dir/full-disk"
mkdir -p "$full_disk"
if ! mountpoint -q "$full_disk"; then
    "${sudo_cmd[@]}" mount -t tmpfs -o size=2m,mode=1777 quillorn-full-disk "$full_disk" ||
        die "cannot mount the small file system of the full-disk test at $full_disk"
fi
trap '"${sudo_cmd[@]}" umount "$full_disk" 2>/dev/null || true' EXIT
export QUILLORN_FULL_DISK
QUILLORN_FULL_DISK=$(winepath -w "$full_disk" 2>/dev/null)
# The Wine server these commands started has no display: windows shown through it would never
# reach Xvfb, and would not close as windows do. It goes before the suite starts its own.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

log "running the suite under Wine"
results="$build_dir/windows-tests.log"
tested=$SECONDS
status=0
# The first Windows program of a Wine session starts Wine's own processes (services.exe and the
# rest, and the desktop, explorer.exe), which inherit that program's output and keep it open as
# long as they live: CTest would wait on that test, or on a test program's listing, until its
# time-out. A program run first, with its output nowhere, starts them outside every test's pipes.
# The Wine server goes before Xvfb does, or it would hang on to the display that went away.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
    'wineserver -p && wine cmd /c exit </dev/null >/dev/null 2>&1
     ctest --test-dir "$@" --output-on-failure; rc=$?; wineserver -k; exit "$rc"' \
    windows-tests "$build_dir" --parallel "$jobs" "${ctest_arguments[@]}" 2>&1 | tee "$results" || status=$?

summary=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$results" | tail -n 1 || true)
if [[ "$summary" =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=${BASH_REMATCH[1]} total=${BASH_REMATCH[2]}
    log "Wine: $total tests run, $((total - failed)) passed, $failed failed in $((SECONDS - tested)) s" \
        "(log: $results)"
else
    log "Wine: CTest ran no tests (log: $results)"
    status=${status:-1}
    ((status)) || status=1
fi
exit "$status"
