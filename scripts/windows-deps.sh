#!/usr/bin/env bash
# Builds the Windows dependencies (Qt, OpenSSL, libxlsxwriter, GoogleTest, cross-built with
# MinGW-w64 from Debian's source packages) once per machine, into a cache outside the clone:
#   ${QUILLORN_WINDOWS_DEPS:-/var/cache/quillorn}/windows-deps-<key>/prefix
# The key hashes the build recipe (scripts/windows-deps/build.sh, its patch, the pinned versions,
# cmake/mingw-w64-x86_64.cmake) and the installed cross compiler and host Qt: an unchanged recipe
# finds its prefix in a second, a changed one rebuilds (about 36 CPU-minutes, most of it Qt).
# Prints the prefix last and writes it to <cache root>/windows-deps.current.
#
# Usage: scripts/windows-deps.sh [--check]   (--check runs the sanity check again on a warm cache)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
here="$root/scripts/windows-deps"
cache_root=${QUILLORN_WINDOWS_DEPS:-/var/cache/quillorn}
suite=bookworm
recheck=false
case "${1:-}" in
    "") ;;
    --check) recheck=true ;;
    *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

log() { printf '[windows-deps] %s\n' "$*"; }
die() { printf '[windows-deps] error: %s\n' "$*" >&2; exit 1; }

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

# The cross toolchain, Wine and NSIS (for the later steps), the host Qt whose tools the cross-built
# Qt uses, what building from source packages takes, and Python's zipfile for the check.
packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev wine wine64 nsis
    qt6-base-dev cmake ninja-build perl make patch dpkg-dev xvfb xauth python3)
missing=()
for pkg in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
if ((${#missing[@]})); then
    log "installing missing packages: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# "package version" pairs from the versions file, comments and blank lines left out.
pinned() { grep -Ev '^[[:space:]]*(#|$)' "$here/versions"; }

cache_key() {
    (
        cd "$root"
        sha256sum scripts/windows-deps/build.sh scripts/windows-deps/versions \
            scripts/windows-deps/*.patch cmake/mingw-w64-x86_64.cmake
        dpkg-query -W g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev qt6-base-dev
    ) | sha256sum | cut -c1-16
}

key=$(cache_key)
dir="$cache_root/windows-deps-$key"
prefix="$dir/prefix"
stamp="$dir/complete"
current="$cache_root/windows-deps.current"

# A few files that every complete prefix holds: a stamp over a prefix someone emptied by hand
# would otherwise send the next step into confusing link errors.
prefix_intact() {
    local file
    for file in bin/Qt6Core.dll bin/Qt6Widgets.dll bin/Qt6Network.dll bin/Qt6Test.dll \
        plugins/platforms/qwindows.dll lib/libssl.a lib/libcrypto.a bin/libxlsxwriter.dll \
        lib/libgtest.a lib/libgmock.a bin/libstdc++-6.dll lib/cmake/Qt6/Qt6Config.cmake; do
        [[ -f "$prefix/$file" ]] || return 1
    done
}

publish() {
    if [[ ! -f "$current" || "$(cat "$current")" != "$prefix" ]]; then
        printf '%s\n' "$prefix" >"$current.tmp"
        mv "$current.tmp" "$current"
    fi
    log "prefix (also in $current):"
    printf '%s\n' "$prefix"
}

run_check() {
    local work="$dir/check"
    rm -rf "$work"
    nice -n 19 bash "$here/check.sh" "$prefix" "$work"
    rm -rf "$work"
}

if [[ -f "$stamp" ]] && prefix_intact; then
    $recheck && run_check
    publish
    exit 0
fi

mkdir -p "$cache_root"
# One build at a time on the machine: the others wait and then find the cache warm.
exec 9>"$cache_root/windows-deps.lock"
if ! flock -n 9; then
    log "another build of the Windows dependencies is running; waiting for it"
    flock 9
fi
if [[ -f "$stamp" ]] && prefix_intact; then
    publish
    exit 0
fi
rm -f "$stamp"

# The mirror this machine already uses for $suite, from its apt sources (one-line or deb822).
system_mirror() {
    {
        if [[ -f /etc/apt/sources.list ]]; then
            sed -E 's/\[[^]]*\]//' /etc/apt/sources.list |
                awk -v suite="$suite" '$1 == "deb" && $3 == suite { print $2 }'
        fi
        local f
        for f in /etc/apt/sources.list.d/*.sources; do
            [[ -f "$f" ]] || continue
            awk -v suite="$suite" 'BEGIN { RS = ""; FS = "\n" }
                {
                    uris = ""; suites = ""; enabled = 1
                    for (i = 1; i <= NF; i++) {
                        if ($i ~ /^URIs:/) { sub(/^URIs:[ \t]*/, "", $i); uris = $i }
                        if ($i ~ /^Suites:/) { sub(/^Suites:[ \t]*/, "", $i); suites = " " $i " " }
                        if ($i ~ /^Enabled:[ \t]*no/) enabled = 0
                    }
                    if (enabled && uris != "" && suites ~ (" " suite " ")) { split(uris, u, " "); print u[1] }
                }' "$f"
        done
    } | head -n 1
}

# Downloads the pinned source packages with a private apt configuration: the system's sources,
# lists and package cache stay untouched. apt checks the archive's signature and every file's hash
# as it does by default.
fetch_sources() {
    local dest=$1 mirror apt_dir pins=() package version
    mirror=$(system_mirror)
    [[ -n "$mirror" ]] || die "no '$suite' entry in /etc/apt/sources.list or /etc/apt/sources.list.d/*.sources"
    apt_dir=$(mktemp -d)
    mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/download"
    printf 'deb-src %s %s main\n' "$mirror" "$suite" >"$apt_dir/sources.list"
    local opts=(-o Dir::Etc::sourcelist="$apt_dir/sources.list" -o Dir::Etc::sourceparts="$apt_dir/parts"
        -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache")
    # apt downloads as its unprivileged user when it can write the folder.
    if [[ $(id -u) -eq 0 ]] && id _apt >/dev/null 2>&1; then
        chmod 755 "$apt_dir"
        chown _apt "$apt_dir/download"
    fi
    apt-get "${opts[@]}" -qq update
    while read -r package version; do
        pins+=("$package=$version")
    done < <(pinned)
    # Quiet: apt's notes about the packaging repositories are noise here; errors go to stderr.
    if ! (cd "$apt_dir/download" && apt-get "${opts[@]}" -qq source --download-only "${pins[@]}" >/dev/null); then
        for package in $(pinned | cut -d' ' -f1); do
            log "the archive serves $package $(apt-cache "${opts[@]}" showsrc "$package" |
                awk '/^Version:/ { print $2 }' | tr '\n' ' ')"
        done
        rm -rf "$apt_dir"
        die "fetching the pinned source packages failed; if a version above differs, update $here/versions"
    fi
    mkdir -p "$dest"
    mv "$apt_dir"/download/* "$dest/"
    rm -rf "$apt_dir"
}

started=$SECONDS
mkdir -p "$dir"
if [[ ! -f "$dir/sources/fetched" ]]; then
    log "fetching source packages"
    rm -rf "$dir/sources"
    fetch_sources "$dir/sources"
    touch "$dir/sources/fetched"
fi

# Polite on a shared machine: every compiler runs at the lowest priority.
log "building into $prefix (about 36 CPU-minutes)"
nice -n 19 bash "$here/build.sh" "$dir/sources" "$dir/work" "$prefix"

run_check

# Written last: a folder without it is an interrupted build and is never taken as done.
{
    echo "key $key"
    pinned
    dpkg-query -W g++-mingw-w64-x86-64-posix qt6-base-dev
    date -u '+built %Y-%m-%dT%H:%M:%SZ'
} >"$stamp.tmp"
mv "$stamp.tmp" "$stamp"

# The build folders are large and no longer needed; the logs stay beside the prefix.
mkdir -p "$dir/logs"
cp "$dir"/work/*.log "$dir/logs/" 2>/dev/null || true
rm -rf "$dir/work" "$dir/sources"

# Earlier keys' folders are dead weight once this one is complete.
for old in "$cache_root"/windows-deps-*/; do
    old=${old%/}
    [[ "$old" == "$dir" ]] && continue
    log "removing the outdated $old"
    rm -rf "$old"
done

log "done in $((SECONDS - started)) s"
publish
