#!/usr/bin/env bash
# CI: makes the Debian package, checks what it holds and depends on and what lintian says of it,
# installs it, starts the installed window and quillorn-harvest as an ordinary user with a fresh
# home, and removes it again.
# Leaves the machine as it found it: the package removed, the temporary home deleted.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

fail() {
    echo "check-package: $*" >&2
    exit 1
}

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
user=nobody
group=nogroup
appdir=/usr/lib/quillorn

# A quillorn installed before would be removed by this check: refuse rather than lose it.
if dpkg-query -W -f='${Status}' quillorn 2>/dev/null | grep -q 'installed'; then
    fail "the quillorn package is installed already; remove it before running this check"
fi
[[ ! -e "$appdir" ]] || fail "$appdir exists already; this check would mix its files with the package's"

work=$(mktemp -d)
window_pid=
installed=no
cleanup() {
    if [[ -n "$window_pid" ]]; then
        "${sudo_cmd[@]}" kill -KILL "$window_pid" 2>/dev/null || true
    fi
    if [[ "$installed" == yes ]]; then
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq quillorn >/dev/null || true
    fi
    "${sudo_cmd[@]}" rm -rf "$work"
}
trap cleanup EXIT

for tool in lintian desktop-file-validate; do
    command -v "$tool" >/dev/null || fail "$tool is missing: bash scripts/setup.sh --tests installs it"
done

echo "-- making the package"
deb=$(bash scripts/package.sh)
[[ -f "$deb" ]] || fail "scripts/package.sh printed '$deb', which is no file"
echo "$deb ($(stat -c %s "$deb") bytes)"

echo "-- contents"
{
    printf '%s\n' ./usr/lib/quillorn/quillorn ./usr/lib/quillorn/quillorn-harvest \
        './usr/bin/quillorn -> ../lib/quillorn/quillorn' \
        './usr/bin/quillorn-harvest -> ../lib/quillorn/quillorn-harvest' \
        ./usr/share/applications/io.github.quillorn.Quillorn.desktop \
        ./usr/share/systemd/user/quillorn-harvest.service \
        ./usr/share/systemd/user/quillorn-harvest.timer \
        ./usr/share/man/man1/quillorn.1.gz ./usr/share/man/man1/quillorn-harvest.1.gz \
        ./usr/share/doc/quillorn/copyright ./usr/share/doc/quillorn/changelog.gz \
        ./usr/share/lintian/overrides/quillorn
    (cd dist && find icons -type f -printf './usr/share/%p\n')
} | sort >"$work/expected"
# Every entry but the folders, as "path" or "path -> target".
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' |
    sort >"$work/actual"
if ! diff -u "$work/expected" "$work/actual"; then
    fail "the package's files differ from the expected ones (- missing, + unexpected)"
fi
# A folder holding none of those files would be a stray one.
while read -r folder; do
    grep -qF -- "$folder" "$work/actual" || fail "the package holds the empty folder $folder"
done < <(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ { print $6 }')

echo "-- control"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6core6 libssl3 libxlsxwriter; do
    grep -Eq "(^|, )${lib}[0-9a-z.+-]* " <<<"$depends, " || fail "Depends does not name $lib"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "Recommends: $recommends"
grep -q 'xdg-utils' <<<"$recommends" || fail "Recommends does not name xdg-utils"
version=$(dpkg-deb -f "$deb" Version)

echo "-- lintian"
# Every remark fails the check, down to the pedantic ones, except those the package overrides
# (dist/quillorn.lintian-overrides, each with its reason).
lintian --fail-on error,warning,info,pedantic --display-info --pedantic "$deb" 2> >(grep -v 'root privileges' >&2) ||
    fail "lintian has remarks on $deb"

echo "-- copyright and changelog"
dpkg-deb -x "$deb" "$work/unpacked"
doc="$work/unpacked/usr/share/doc/quillorn"
# The machine-readable format: its header, and a copyright and a licence in every files paragraph,
# each licence named with its text or with a paragraph of its own.
awk '
BEGIN { RS = "" }
NR == 1 && $0 !~ /^Format: https:\/\/www\.debian\.org\/doc\/packaging-manuals\/copyright-format\/1\.0\/\n/ {
    print "no Format line in the header"; bad = 1 }
/^Files:/ && ($0 !~ /\nCopyright:/ || $0 !~ /\nLicense:/) { print "a Files paragraph lacks Copyright or License"; bad = 1 }
match($0, /(^|\n)License: [^\n]*/) {
    name = substr($0, RSTART, RLENGTH); sub(/^\n?License: /, "", name)
    if (substr($0, RSTART + RLENGTH, 2) == "\n ") texts[name] = 1; else named[name] = 1 }
END { for (n in named) if (!(n in texts)) { print "no text for the licence " n; bad = 1 }; exit bad }
' "$doc/copyright" || fail "$doc/copyright is not in the machine-readable format"
zcat "$doc/changelog.gz" | head -n 1 | grep -qF "quillorn ($version) " ||
    fail "the changelog's latest entry is not of version $version"

echo "-- installing"
# Without the recommended packages, so that removing quillorn leaves the machine as it was.
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$deb" >/dev/null ||
    fail "apt-get could not install $deb"
installed=yes
[[ -x /usr/bin/quillorn && -x /usr/bin/quillorn-harvest ]] || fail "/usr/bin links missing after installing"
grep -qx 'Exec="/usr/lib/quillorn/quillorn"' /usr/share/applications/io.github.quillorn.Quillorn.desktop ||
    fail "the desktop entry does not start /usr/lib/quillorn/quillorn"
hints=$(desktop-file-validate /usr/share/applications/io.github.quillorn.Quillorn.desktop) ||
    fail "desktop-file-validate rejects the desktop entry: $hints"
[[ -z "$hints" ]] || fail "desktop-file-validate has remarks on the desktop entry: $hints"
grep -qx 'ExecStart="/usr/lib/quillorn/quillorn-harvest"' \
    /usr/share/systemd/user/quillorn-harvest.service ||
    fail "the service does not start /usr/lib/quillorn/quillorn-harvest"
if command -v systemd-analyze >/dev/null; then
    mkdir -m 700 "$work/runtime-root"
    # A setting systemd cannot parse (a retry delay, a start limit) is only a remark to it, and
    # would be ignored by the user's systemd: any remark fails.
    remarks=$(XDG_RUNTIME_DIR="$work/runtime-root" systemd-analyze verify --user \
        /usr/share/systemd/user/quillorn-harvest.service /usr/share/systemd/user/quillorn-harvest.timer 2>&1) ||
        fail "systemd-analyze rejects the installed units: $remarks"
    [[ -z "$remarks" ]] || fail "systemd-analyze has remarks on the installed units: $remarks"
fi
for program in quillorn quillorn-harvest; do
    man -w "$program" >/dev/null 2>&1 || fail "man finds no page for $program"
done
appdir_before=$(ls -A "$appdir")

echo "-- the installed window, as $user with a fresh home"
home="$work/home"
mkdir -m 700 "$home" "$work/runtime"
"${sudo_cmd[@]}" chown "$user:$group" "$home" "$work/runtime"
chmod 755 "$work"
lang=C.UTF-8
locale -a 2>/dev/null | grep -qx 'ru_RU.utf8' && lang=ru_RU.UTF-8
as_user=(setpriv --reuid="$user" --regid="$group" --clear-groups
    env -i HOME="$home" PATH=/usr/bin:/bin LANG="$lang" XDG_RUNTIME_DIR="$work/runtime")

# The shell in front writes the process id the window will have (each program after it replaces
# the one before), which sudo's own would hide.
# shellcheck disable=SC2016
"${sudo_cmd[@]}" sh -c 'echo $$ >"$0" && exec "$@"' "$work/window.pid" "${as_user[@]}" \
    QT_QPA_PLATFORM=offscreen /usr/bin/quillorn >"$work/window.log" 2>&1 &
job=$!
window_failed() {
    cat "$work/window.log" >&2
    fail "$@"
}
for ((i = 0; i < 100; i++)); do
    [[ -s "$work/window.pid" ]] && break
    sleep 0.1
done
window_pid=$(cat "$work/window.pid" 2>/dev/null) || window_failed "the window's process did not start"
alive() {
    local state
    state=$(awk '/^State:/ { print $2 }' "/proc/$window_pid/status" 2>/dev/null) || return 1
    [[ -n "$state" && "$state" != Z ]]
}
# Up once the program catches SIGTERM: it installs its handler just before it shows the window,
# and from then on a SIGTERM closes the window, which saves its files.
catches_term() {
    local mask
    [[ "$(cat "/proc/$window_pid/comm" 2>/dev/null)" == quillorn ]] || return 1
    mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$window_pid/status" 2>/dev/null) || return 1
    [[ -n "$mask" ]] && (((0x$mask >> 14) & 1))
}
for ((i = 0; i < 100; i++)); do
    catches_term && break
    alive || window_failed "the window ended by itself"
    sleep 0.1
done
catches_term || window_failed "the window was not up after 10 s"
"${sudo_cmd[@]}" kill -TERM "$window_pid"
for ((i = 0; i < 150; i++)); do
    alive || break
    sleep 0.1
done
alive && window_failed "the window did not end within 15 s of SIGTERM"
window_pid=
status=0
wait "$job" || status=$?
((status == 0)) || window_failed "the window ended with status $status after SIGTERM"
files="$home/.local/share/Quillorn"
for file in settings.ini urls.txt; do
    [[ -f "$files/$file" ]] || window_failed "the window saved no $files/$file"
done
[[ "$(ls -A "$appdir")" == "$appdir_before" ]] || fail "the window wrote into $appdir"

echo "-- versions"
# No display needed, and the version of the package.
for program in quillorn quillorn-harvest; do
    printed=$(timeout 30 "${sudo_cmd[@]}" "${as_user[@]}" "/usr/bin/$program" --version) ||
        fail "$program --version failed"
    [[ "$printed" == "$program $version" ]] || fail "$program --version printed '$printed', not '$program $version'"
done

echo "-- the installed quillorn-harvest, as $user"
timeout 30 "${sudo_cmd[@]}" "${as_user[@]}" /usr/bin/quillorn-harvest --help >"$work/help.txt" ||
    fail "quillorn-harvest --help failed"
grep -q -- '--dir' "$work/help.txt" || fail "quillorn-harvest --help does not describe --dir"
# Without --dir it reads the window's folder. The window saved its sample cards there, which would
# send it to the real directory: with the list emptied it refuses with 2 and says where the list
# belongs.
# shellcheck disable=SC2016
"${sudo_cmd[@]}" "${as_user[@]}" sh -c ': >"$0"' "$files/urls.txt"
status=0
timeout 30 "${sudo_cmd[@]}" "${as_user[@]}" /usr/bin/quillorn-harvest >"$work/harvest.out" 2>"$work/harvest.err" ||
    status=$?
((status == 2)) || { cat "$work/harvest.err" >&2; fail "quillorn-harvest on an empty list ended with $status, not 2"; }
grep -qF "$files/urls.txt" "$work/harvest.err" ||
    { cat "$work/harvest.err" >&2; fail "quillorn-harvest did not read the window's folder $files"; }
[[ "$(ls -A "$appdir")" == "$appdir_before" ]] || fail "quillorn-harvest wrote into $appdir"

echo "-- removing"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq quillorn >/dev/null ||
    fail "apt-get could not remove quillorn"
installed=no
[[ ! -e "$appdir" ]] || fail "$appdir is left after removing the package"
[[ ! -e /usr/bin/quillorn && ! -L /usr/bin/quillorn ]] || fail "/usr/bin/quillorn is left after removing the package"
echo "check-package: the package installs, runs and removes cleanly"
