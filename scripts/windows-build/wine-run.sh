#!/usr/bin/env bash
# CTest's cross-compiling emulator for the Windows build: runs a Windows program under Wine in the
# build folder's own Wine prefix, with the dependency prefix's DLLs on its path.
#
# Usage: wine-run.sh <Wine prefix> <DLL folder> <program.exe> [arguments...]
#
# Windows programs end their lines with CR LF; the CRs are dropped so that CTest reads the test
# lists and the output as it does on Linux. The program takes this script's process, so the exit
# code is the program's and a time-out of CTest ends the program itself.
set -u
export WINEPREFIX=${1:?Wine prefix}
export WINEPATH=${2:?DLL folder}
shift 2
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs if Wine ever sets the prefix up again.
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@" > >(tr -d '\r')
