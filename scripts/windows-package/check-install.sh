#!/usr/bin/env bash
# Checks the Windows installer the way a user meets it, under Wine in a fresh Wine prefix: it
# installs silently (/S) for the user, the installed quillorn-harvest.exe answers --help, the
# installed window starts on a display (the Windows platform plugin, under Xvfb) and ends when
# it is closed, and the uninstaller removes the program but leaves the user's files.
#
# Usage: check-install.sh <setup.exe> <work folder (created anew, left for inspection)>
set -euo pipefail
setup=$(realpath "${1:?setup.exe}")
work=${2:?work folder}

# Wine, a private X display and xwininfo, which sees the window appear.
bash "$(dirname "${BASH_SOURCE[0]}")/../install-packages.sh" wine wine64 xvfb xauth x11-utils

log() { printf '[windows-install-check] %s\n' "$*"; }
die() { printf '[windows-install-check] error: %s\n' "$*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
export WINEPREFIX="$work/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

log "initialising a Wine prefix"
timeout 600 wineboot --init >"$work/wineboot.log" 2>&1 || die "wineboot failed; see $work/wineboot.log"

# A Windows folder of the Wine user, as a Unix path.
windows_folder() {
    local folder
    folder=$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')
    winepath -u "$folder" 2>/dev/null
}

log "installing silently"
timeout 300 wine "$setup" /S >"$work/install.log" 2>&1 || die "the installer failed; see $work/install.log"
installed="$(windows_folder LOCALAPPDATA)/Programs/Quillorn"
shortcut="$(windows_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Quillorn.lnk"
for file in quillorn.exe quillorn-harvest.exe Uninstall.exe qt.conf platforms/qwindows.dll; do
    [[ -f "$installed/$file" ]] || die "not installed: $installed/$file"
done
[[ -f "$shortcut" ]] || die "no Start-menu shortcut: $shortcut"

log "running the installed quillorn-harvest.exe --help"
status=0
(cd "$work" && timeout 120 wine "$installed/quillorn-harvest.exe" --help) >"$work/help.out" 2>&1 ||
    status=$?
((status == 0)) || { cat "$work/help.out" >&2; die "quillorn-harvest.exe --help exited $status"; }
grep -q -- "--repeat" "$work/help.out" || { cat "$work/help.out" >&2; die "--help printed no options"; }

# The window: started and shown, then closed the way a user's click on the close button does
# (taskkill without /f sends WM_CLOSE to the process's top-level windows; again each second until
# the program has ended). It must
# end by itself with 0 and leave its settings saved beside it.
log "starting the installed window under Xvfb and closing it"
# A Wine server started without a display would keep the window off the new one.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
cat >"$work/window.sh" <<'SCRIPT'
set -u
installed=$1
wine "$installed/quillorn.exe" >"$WORK/window.out" 2>&1 &
window=$!
# Shown: X has a window of quillorn.exe titled "Quillorn".
shown=no
for _ in $(seq 120); do
    kill -0 "$window" 2>/dev/null || break
    if xwininfo -root -tree | grep -q '"Quillorn": ("quillorn.exe"'; then shown=yes; break; fi
    sleep 0.5
done
closed=no
if [[ "$shown" == yes ]]; then
    for _ in $(seq 60); do
        sleep 1
        kill -0 "$window" 2>/dev/null || break
        wine taskkill /im quillorn.exe >/dev/null 2>&1 && closed=yes
    done
fi
status=0
if kill -0 "$window" 2>/dev/null; then
    echo "still running" >"$WORK/window.result"
    wine taskkill /f /im quillorn.exe >/dev/null 2>&1
else
    wait "$window" || status=$?
    echo "closed=$closed status=$status" >"$WORK/window.result"
fi
wineserver -k
SCRIPT
WORK="$work" timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/window.sh" "$installed" ||
    true
result=$(cat "$work/window.result" 2>/dev/null || echo "no result")
[[ "$result" == "closed=yes status=0" ]] ||
    { cat "$work/window.out" >&2; die "the window did not start and end on close: $result"; }
[[ -f "$installed/settings.ini" ]] || die "the closed window saved no settings.ini in $installed"

log "uninstalling silently"
printf 'https://2gis.ru/moscow/firm/70000001000000001\r\n' >"$installed/urls.txt"
# _?= runs the uninstaller in place, so that Wine waits for it.
timeout 300 wine "$installed/Uninstall.exe" /S "_?=$(winepath -w "$installed")" >"$work/uninstall.log" 2>&1 ||
    die "the uninstaller failed; see $work/uninstall.log"
for file in quillorn.exe quillorn-harvest.exe qt.conf platforms/qwindows.dll; do
    [[ ! -e "$installed/$file" ]] || die "left behind by the uninstaller: $installed/$file"
done
[[ ! -e "$shortcut" ]] || die "the uninstaller left the Start-menu shortcut"
[[ -f "$installed/urls.txt" && -f "$installed/settings.ini" ]] ||
    die "the uninstaller removed the user's files"
log "installed, ran, closed and uninstalled; the user's files stayed"
