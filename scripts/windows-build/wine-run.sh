#!/usr/bin/env bash
# CTest's cross-compiling emulator for the Windows build: runs a Windows program under Wine in the
# build folder's own Wine prefix, with the dependency prefix's DLLs on its path.
#
# Usage: wine-run.sh <Wine prefix> <DLL folder> <program.exe> [arguments...]
#
# The program writes into files, passed on once it has ended: processes that Wine starts for it
# (a console host for a console program it starts, for one) inherit its output and may outlive it,
# and CTest would wait on a pipe they hold until the test's time-out. Windows programs end their
# lines with CR LF; the CRs are dropped so that CTest reads the test lists and the output as it
# does on Linux. The exit code is the program's.
set -u
export WINEPREFIX=${1:?Wine prefix}
export WINEPATH=${2:?DLL folder}
shift 2
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs if Wine ever sets the prefix up again.
export WINEDLLOVERRIDES="mscoree,mshtml="
output=$(mktemp) && errors=$(mktemp) || exit 1
trap 'rm -f "$output" "$errors"' EXIT
wine "$@" >"$output" 2>"$errors"
status=$?
# Now and then (about one start in a few thousand here) Wine ends a program at once, before it
# has printed anything. Every program run here prints (a test program names its main first), so
# such an end is not the program's: it is started once more, and the log says so.
if [ "$status" -ne 0 ] && [ ! -s "$output" ] && [ ! -s "$errors" ]; then
    echo "[wine-run] ${1##*/} ended with $status before printing anything; started again" >&2
    wine "$@" >"$output" 2>"$errors"
    status=$?
fi
tr -d '\r' <"$output"
tr -d '\r' <"$errors" >&2
exit "$status"
