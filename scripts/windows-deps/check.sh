#!/usr/bin/env bash
# Sanity check of a Windows dependency prefix: cross-builds the programs in check/ with the
# project's toolchain file and runs them under Wine in a fresh Wine prefix. Fails unless each prints
# what it should, and unless a failing GoogleTest test comes back as a failing exit code.
#
# Usage: check.sh <dependency prefix> <work folder (created, left for inspection)>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
prefix=${1:?dependency prefix}
work=${2:?work folder}

log() { printf '[windows-deps check] %s\n' "$*"; }
die() { printf '[windows-deps check] error: %s\n' "$*" >&2; exit 1; }

# Upstream version of a pinned package: "6.4.2+dfsg-10" -> "6.4.2".
upstream_version() {
    awk -v p="$1" '$1 == p { print $2 }' "$here/versions" | sed -E 's/^[0-9]+://; s/[+~-].*$//'
}

build="$work/build"
run="$work/run"
mkdir -p "$work" "$run"

log "cross-building the check programs"
if ! { cmake -S "$here/check" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DQUILLORN_WINDOWS_DEPS_PREFIX="$prefix" &&
    cmake --build "$build"; } >"$work/build.log" 2>&1; then
    tail -n 30 "$work/build.log" >&2
    die "the check programs did not build; see $work/build.log"
fi

# What a deployed Quillorn carries beside its executables, and nothing from the Linux side.
cp "$build"/*.exe "$run/"
for dll in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libxlsxwriter.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$prefix/bin/$dll" "$run/"
done
mkdir -p "$run/platforms"
cp "$prefix/plugins/platforms/qwindows.dll" "$run/platforms/"

export WINEPREFIX="$work/wine"
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs during the first start; console programs need no display.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
# Stops the Wine server of this Wine prefix only.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

log "initialising a Wine prefix"
timeout 600 wineboot --init >"$work/wineboot.log" 2>&1 || die "wineboot failed; see $work/wineboot.log"

# Runs a program under Wine in the run folder; its standard output, without Windows line ends,
# goes to $work/<label>.out and its exit code into $status.
status=0
run_exe() {
    local label=$1
    shift
    status=0
    # pipefail: the pipeline fails with wine's exit code.
    (cd "$run" && timeout 120 wine "$@" 2>"$work/$label.err") | tr -d '\r' >"$work/$label.out" || status=$?
}

# The same on a private X display, for the Windows platform plugin. The Wine server is stopped
# before Xvfb ends, or it would hang on to the display that went away.
run_exe_on_display() {
    local label=$1
    shift
    status=0
    (cd "$run" && xvfb-run -a -s "-screen 0 1280x1024x24" \
        bash -c 'timeout 120 wine "$@"; rc=$?; wineserver -k; exit "$rc"' wine-on-display "$@" \
        2>"$work/$label.err") | tr -d '\r' >"$work/$label.out" || status=$?
}

expect_line() {
    local label=$1 pattern=$2
    grep -Eqx -- "$pattern" "$work/$label.out" || {
        cat "$work/$label.out" "$work/$label.err" >&2
        die "$label: no line matching: $pattern"
    }
}

expect_status() {
    local label=$1 wanted=$2
    if [[ "$wanted" == nonzero ]]; then
        ((status != 0)) || die "$label: exit code 0, a failure was expected"
    elif ((status != wanted)); then
        cat "$work/$label.out" "$work/$label.err" >&2
        die "$label: exit code $status, expected $wanted"
    fi
}

qt=$(upstream_version qt6-base)
openssl=$(upstream_version openssl)
xlsxwriter=$(upstream_version libxlsxwriter)
sha_abc=ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad

log "running qt_core_check.exe"
run_exe qt qt_core_check.exe
expect_status qt 0
expect_line qt "Qt ${qt//./\\.}"
expect_line qt "SHA-256 of abc: $sha_abc"
expect_line qt "Cyrillic file name: written, listed and read back"
expect_line qt "event loop exit code: 7"

# The Windows platform plugin, as Quillorn will ship it: it draws with the fonts Wine provides.
log "running widgets_check.exe under Xvfb"
run_exe_on_display widgets widgets_check.exe
expect_status widgets 0
expect_line widgets "platform: windows"
expect_line widgets "Cyrillic glyphs: present"
expect_line widgets "label text: drawn"

log "running gtest_check.exe"
run_exe gtest-pass gtest_check.exe --gtest_filter=Cross.Passes
expect_status gtest-pass 0
expect_line gtest-pass '\[  PASSED  \] 1 test\.'
run_exe gtest-fail gtest_check.exe --gtest_filter=Cross.FailsOnPurpose
expect_status gtest-fail nonzero
expect_line gtest-fail '\[  FAILED  \] Cross\.FailsOnPurpose'

log "running libs_check.exe"
rm -f "$run/check.xlsx"
run_exe libs libs_check.exe check.xlsx
expect_status libs 0
expect_line libs "OpenSSL ${openssl//./\\.} .*: TLS context, random bytes and SHA-256 work"
expect_line libs 'OPENSSLDIR: "C:/Program Files/Common Files/SSL"'
expect_line libs "libxlsxwriter ${xlsxwriter//./\\.}: workbook written"
python3 -m zipfile -t "$run/check.xlsx" >/dev/null || die "check.xlsx is not a sound zip file"

log "the prefix builds and runs Qt, GoogleTest, OpenSSL and libxlsxwriter programs under Wine"
