#!/usr/bin/env bash
# Cross-builds Qt, OpenSSL, libxlsxwriter and GoogleTest for 64-bit Windows from Debian source
# packages into one prefix. Called by scripts/windows-deps.sh, whose cache key hashes this file:
# any change here rebuilds everything.
#
# Usage: build.sh <folder holding the .dsc files> <work folder> <prefix>
# A component whose work/<name>.done marker exists is skipped, so an interrupted build resumes
# where it stopped (the caller only reuses a work folder under the same key).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sources=${1:?folder holding the .dsc files}
work=${2:?work folder}
prefix=${3:?install prefix}

triple=x86_64-w64-mingw32
jobs=$(nproc)
toolchain="$prefix/share/quillorn/mingw-w64-x86_64.cmake"

log() { printf '[windows-deps] %s\n' "$*"; }
die() { printf '[windows-deps] error: %s\n' "$*" >&2; exit 1; }

# Unpacks a source package (dpkg-source checks the files against the .dsc and applies Debian's
# patches) into work/src/<package>; prints the folder.
unpack() {
    local package=$1 dsc dir
    dsc=$(compgen -G "$sources/${package}_*.dsc" | head -n 1) || true
    [[ -n "$dsc" ]] || die "no ${package} .dsc in $sources"
    dir="$work/src/$package"
    if [[ ! -d "$dir" ]]; then
        rm -rf "$dir.partial"
        dpkg-source --no-copy -x "$dsc" "$dir.partial" >&2
        mv "$dir.partial" "$dir"
    fi
    printf '%s\n' "$dir"
}

# The prefix carries its own copy of the toolchain file, so that what Qt records about the
# toolchain points into the cache and not into whichever clone ran the build.
prepare_prefix() {
    mkdir -p "$prefix/bin" "$prefix/lib" "$prefix/include" "$prefix/share/quillorn"
    cp "$here/../../cmake/mingw-w64-x86_64.cmake" "$toolchain"
}

cmake_cross() {
    cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
}

build_openssl() {
    local src build
    src=$(unpack openssl)
    build="$work/build-openssl"
    rm -rf "$build" && mkdir -p "$build"
    # Static, so Quillorn's executables carry their TLS with them; no engines or providers as
    # separate modules, nothing but the libraries and headers installed. The folders compiled in
    # (openssl.cnf, engines, modules) are OpenSSL's Windows defaults under Program Files, which
    # only an administrator can write to: the MinGW recipe would compile in this machine's prefix,
    # a folder any Windows user could create and plant an openssl.cnf in.
    local windows_dirs=("OPENSSLDIR=C:/Program Files/Common Files/SSL"
        "ENGINESDIR=C:/Program Files/OpenSSL/lib/engines-3"
        "MODULESDIR=C:/Program Files/OpenSSL/lib/ossl-modules")
    (cd "$build" &&
        CC="$triple-gcc-posix" AR="$triple-gcc-ar-posix" RANLIB="$triple-gcc-ranlib-posix" \
            RC="$triple-windres" \
            perl "$src/Configure" mingw64 no-shared no-tests no-module \
            --prefix="$prefix" --libdir=lib &&
        make -j"$jobs" "${windows_dirs[@]}" build_libs &&
        make "${windows_dirs[@]}" install_dev)
}

build_googletest() {
    local src build
    src=$(unpack googletest)
    build="$work/build-googletest"
    rm -rf "$build"
    # Windows threads rather than winpthreads: gtest's own Windows code path.
    cmake_cross -S "$src" -B "$build" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON \
        -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON
    cmake --build "$build" --parallel "$jobs"
    cmake --install "$build"
}

build_libxlsxwriter() {
    local src build
    src=$(unpack libxlsxwriter)
    build="$work/build-libxlsxwriter"
    rm -rf "$build"
    # Its bundled minizip; zlib linked in statically from libz-mingw-w64-dev so the DLL needs
    # no zlib1.dll beside it.
    cmake_cross -S "$src" -B "$build" -DBUILD_SHARED_LIBS=ON -DUSE_SYSTEM_MINIZIP=OFF \
        -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
        -DZLIB_INCLUDE_DIR="/usr/$triple/include" -DZLIB_LIBRARY="/usr/$triple/lib/libz.a"
    cmake --build "$build" --parallel "$jobs"
    cmake --install "$build"
}

build_qt() {
    local src build
    src=$(unpack qt6-base)
    if [[ ! -f "$src/.quillorn-patched" ]]; then
        patch -p1 -d "$src" --forward <"$here/qt6-base-windows-plugin-without-opengl.patch"
        touch "$src/.quillorn-patched"
    fi
    build="$work/build-qt6-base"
    rm -rf "$build"
    # Only the modules Quillorn uses (Core, Gui, Widgets, Network, Test). No ICU (code pages go
    # through the Windows API), no OpenSSL backend (Quillorn does its own TLS), no OpenGL, D-Bus,
    # SQL or printing. Debian's tarball drops the tablet library, hence no tablet events. The
    # third-party libraries Qt bundles are used rather than any found in the MinGW tree.
    cmake_cross -S "$src" -B "$build" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_icu=OFF -DFEATURE_openssl=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_doubleconversion=OFF
    cmake --build "$build" --parallel "$jobs"
    cmake --install "$build"
    for module in Core Gui Widgets Network Test; do
        [[ -f "$prefix/bin/Qt6$module.dll" ]] || die "Qt6$module.dll was not installed"
    done
    [[ -f "$prefix/plugins/platforms/qwindows.dll" ]] || die "the Windows platform plugin was not installed"
}

# The MinGW runtime every C++ DLL and program here needs, beside the DLLs in bin/.
copy_runtime() {
    local dll path
    for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
        path=$("$triple-g++-posix" -print-file-name="$dll")
        [[ -f "$path" ]] || die "the MinGW runtime $dll was not found"
        cp "$path" "$prefix/bin/"
    done
}

step() {
    local name=$1 started
    if [[ -f "$work/$name.done" ]]; then
        log "$name: already built"
        return
    fi
    log "$name: building (log: $work/$name.log)"
    started=$SECONDS
    if ! "build_$name" >"$work/$name.log" 2>&1; then
        tail -n 40 "$work/$name.log" >&2
        die "$name failed; the whole log is $work/$name.log"
    fi
    touch "$work/$name.done"
    log "$name: done in $((SECONDS - started)) s"
}

mkdir -p "$work/src"
prepare_prefix
step qt
step openssl
step googletest
step libxlsxwriter
copy_runtime
