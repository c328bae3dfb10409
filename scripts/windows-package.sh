#!/usr/bin/env bash
# Makes what a Windows user receives from a Windows build folder (scripts/windows-build.sh):
#   <build>/Quillorn-<version>-win64.zip    a portable folder: the two programs, every DLL they
#                                           load that Windows does not bring, Qt's plugins and
#                                           Russian texts; unpacked anywhere and run
#   <build>/Quillorn-<version>-setup.exe    an NSIS installer of the same files (per user, no
#                                           administrator rights, Start-menu shortcut, uninstaller)
# The DLLs are found by following the programs' imports, so a new dependency cannot be forgotten;
# an import that is neither in the dependency prefix nor a Windows system DLL stops the script.
#
# Usage: scripts/windows-package.sh [build folder, default build-win]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build-win}" && pwd)

# The MinGW binary tools (imports, strip), zip, NSIS and Qt's Russian texts.
bash "$root/scripts/install-packages.sh" binutils-mingw-w64-x86-64 zip nsis qt6-translations-l10n

log() { printf '[windows-package] %s\n' "$*"; }
die() { printf '[windows-package] error: %s\n' "$*" >&2; exit 1; }

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
[[ -f "$build/CMakeCache.txt" ]] || die "$build is not a configured build folder"
prefix=$(cache_value QUILLORN_WINDOWS_DEPS_PREFIX)
version=$(cache_value CMAKE_PROJECT_VERSION)
[[ -d "$prefix/bin" ]] || die "no dependency prefix in $build (QUILLORN_WINDOWS_DEPS_PREFIX)"
[[ -n "$version" ]] || die "no project version in $build/CMakeCache.txt"
for program in quillorn.exe quillorn-harvest.exe; do
    [[ -f "$build/$program" ]] || die "$build/$program is missing: build first"
done

name="Quillorn-$version-win64"
stage="$build/package"
folder="$stage/$name"
rm -rf "$stage"
mkdir -p "$folder/platforms" "$folder/styles" "$folder/translations"

# Windows' own DLLs, never shipped: the API sets, and those Wine carries as Windows programs.
system_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
is_system_dll() {
    [[ "${1,,}" == api-ms-win-* || "${1,,}" == ext-ms-* ]] ||
        [[ -n $(find "$system_dlls" -maxdepth 1 -iname "$1" -print -quit) ]]
}

# Copies the DLLs a PE file imports into the folder, and theirs in turn (objdump in English: its
# headings are translated in other locales).
deploy_imports() {
    local dll
    for dll in $(LC_ALL=C x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
        [[ -f "$folder/$dll" ]] && continue
        if [[ -f "$prefix/bin/$dll" ]]; then
            cp "$prefix/bin/$dll" "$folder/"
            deploy_imports "$folder/$dll"
        elif ! is_system_dll "$dll"; then
            die "$1 imports $dll, which is neither in $prefix/bin nor part of Windows"
        fi
    done
}

cp "$build/quillorn.exe" "$build/quillorn-harvest.exe" "$folder/"
cp "$prefix/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
for pe in "$folder"/*.exe "$folder"/platforms/*.dll "$folder"/styles/*.dll; do
    deploy_imports "$pe"
done
# The debugging symbols stay in the build folder: they would triple the download.
find "$folder" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded
# Qt's own texts (buttons of message boxes, the context menus of text fields) in Russian; the
# programs' own catalogue is compiled in.
cp /usr/share/qt6/translations/qtbase_ru.qm "$folder/translations/"
# Qt looks for its plugins and translations beside the programs, not where it was built.
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$folder/qt.conf"
cp "$root/dist/copyright" "$folder/copyright.txt"

log "portable folder: $(find "$folder" -type f | wc -l) files, $(du -sh "$folder" | cut -f1)"

zip="$build/$name.zip"
rm -f "$zip"
(cd "$stage" && zip -qr -9 "$zip" "$name")
log "made $zip"

# The installer installs and uninstalls exactly the portable folder's files.
lists="$stage/lists"
mkdir -p "$lists"
: >"$lists/install-files.nsh"
: >"$lists/uninstall-files.nsh"
(cd "$folder" && find . -type d | sort) | while read -r dir; do
    dir=${dir#./}
    windir=${dir//\//\\}
    if [[ "$dir" == . ]]; then
        printf 'SetOutPath "$INSTDIR"\n' >>"$lists/install-files.nsh"
        src="$folder"
    else
        printf 'SetOutPath "$INSTDIR\\%s"\n' "$windir" >>"$lists/install-files.nsh"
        src="$folder/$dir"
    fi
    find "$src" -maxdepth 1 -type f -printf '%f\n' | sort | while read -r file; do
        printf 'File "%s/%s"\n' "$src" "$file" >>"$lists/install-files.nsh"
        if [[ "$dir" == . ]]; then
            printf 'Delete "$INSTDIR\\%s"\n' "$file" >>"$lists/uninstall-files.nsh"
        else
            printf 'Delete "$INSTDIR\\%s\\%s"\n' "$windir" "$file" >>"$lists/uninstall-files.nsh"
        fi
    done
done
# Subfolders go once empty, deepest first; the program's own folder is left to the script.
(cd "$folder" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
    dir=${dir#./}
    printf 'RMDir "$INSTDIR\\%s"\n' "${dir//\//\\}" >>"$lists/uninstall-files.nsh"
done

setup="$build/Quillorn-$version-setup.exe"
rm -f "$setup"
makensis -V2 -DVERSION="$version" -DSOURCE="$folder" -DLISTS="$lists" \
    -DICON="$root/dist/windows/quillorn.ico" -DOUTFILE="$setup" "$root/dist/windows/Quillorn.nsi"
[[ -f "$setup" ]] || die "makensis made no $setup"
log "made $setup"
