#!/usr/bin/env bash
# Builds Quillorn into build/ (installing what packages.txt lists, as setup.sh does) and makes the
# Debian package there; prints the path of the .deb it made.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$root/build"

# Everything but the path goes to standard error, so that deb=$(bash scripts/package.sh) works.
bash "$root/scripts/setup.sh" >&2

# Only the package of this version: an older .deb left in build/ must not be taken for it.
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build_dir/CPackConfig.cmake")
if [[ -z "$version" ]]; then
    echo "package.sh: no package version in $build_dir/CPackConfig.cmake" >&2
    exit 1
fi
deb="$build_dir/quillorn_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"

(cd "$build_dir" && cpack -G DEB) >&2
if [[ ! -f "$deb" ]]; then
    echo "package.sh: cpack ended without making $deb" >&2
    exit 1
fi
echo "$deb"
