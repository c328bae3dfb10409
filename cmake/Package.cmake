# The Debian package: `cpack -G DEB` in the build folder makes quillorn_<version>_amd64.deb of the
# two programs, their /usr/bin links, the desktop entry, the icons and the systemd user units.

# Both programs print the version the package carries: `quillorn --version`.
foreach(program quillorn quillorn-harvest)
    target_compile_definitions(${program} PRIVATE QUILLORN_VERSION="${PROJECT_VERSION}")
endforeach()

set(QUILLORN_PACKAGE_CONTACT "Quillorn maintainers <maintainers@quillorn.invalid>" CACHE STRING
    "Maintainer line of the Debian package: a name and an address in angle brackets")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillorn)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${QUILLORN_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "harvests the public reviews of firms in the 2GIS city directory")
set(CPACK_PACKAGE_DESCRIPTION [[
Quillorn takes a list of firm card URLs of the 2GIS city directory, downloads
every card page, reads the firm's profile and the key of its reviews feed out
of it, pages through the reviews fifty at a time and writes every review it
has not delivered before into a tab-separated UTF-8 file and an xlsx workbook.
.
The package holds the desktop program (quillorn), its menu entry, and
quillorn-harvest, the same harvest without a window, with systemd user units
that run it on a schedule.]])

# The install code of the programs writes the installed paths into the desktop entry and the
# service unit; with DESTDIR staging they see /usr, not CPack's staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the linker cannot see: xdg-open opens the results and their folder; the Wayland platform
# plugin lets the window run natively on Wayland (the X11 one comes with Qt's GUI library).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")

include(CPack)
