# The Debian package: `cpack -G DEB` in the build folder makes quillorn_<version>_amd64.deb of the
# two programs, their /usr/bin links, the desktop entry, the icons, the systemd user units, the
# manual pages, the copyright and the changelog.

# Both programs print the version the package carries: `quillorn --version`. They are hardened as
# Debian's own packages are: their relocations are resolved at start and then made read-only (bind
# now), and they and the window's library use the checked C functions, as the components do.
foreach(program quillorn quillorn-harvest)
    target_compile_definitions(${program} PRIVATE QUILLORN_VERSION="${PROJECT_VERSION}")
    # ELF only: MinGW's linker makes Windows programs with ASLR and no-execute data by default.
    if(NOT WIN32)
        target_link_options(${program} PRIVATE LINKER:-z,relro LINKER:-z,now)
    endif()
endforeach()
foreach(target quillorn quillorn-harvest quillorn_app)
    quillorn_harden(${target})
endforeach()
# A stripped program for the package also loses the compiler's notes, as Debian's strip does.
install(CODE "set(quillorn_programs \"${QUILLORN_INSTALL_APPDIR}/quillorn;${QUILLORN_INSTALL_APPDIR}/quillorn-harvest\")
              set(quillorn_strip \"${CMAKE_STRIP}\")")
install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP AND quillorn_strip)
        foreach(program IN LISTS quillorn_programs)
            execute_process(COMMAND "${quillorn_strip}" --remove-section=.comment
                                    --remove-section=.note "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${program}"
                            RESULT_VARIABLE status)
            if(NOT status EQUAL 0)
                message(FATAL_ERROR "${quillorn_strip} could not strip ${program}")
            endif()
        endforeach()
    endif()
]])

# What Debian's policy asks of every package beside the programs: a manual page for each, and
# under share/doc/quillorn the copyright in the machine-readable format and the changelog. Pages
# and changelog go in compressed with gzip -9 and without a time stamp (-n), so that two builds of
# one version make the same package. The pages carry the project's version.
set(quillorn_man_pages)
foreach(page quillorn.1 quillorn-harvest.1)
    configure_file("${PROJECT_SOURCE_DIR}/dist/man/${page}" "${PROJECT_BINARY_DIR}/man/${page}" @ONLY)
    list(APPEND quillorn_man_pages "${PROJECT_BINARY_DIR}/man/${page}")
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/dist/copyright" DESTINATION share/doc/quillorn)
# What lintian still says of the package and why it stays: dist/quillorn.lintian-overrides.
install(FILES "${PROJECT_SOURCE_DIR}/dist/quillorn.lintian-overrides"
        DESTINATION share/lintian/overrides RENAME quillorn)
install(CODE "set(quillorn_man_pages \"${quillorn_man_pages}\")
              set(quillorn_changelog \"${PROJECT_SOURCE_DIR}/dist/changelog\")")
install(CODE [[
    set(share "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share")
    function(quillorn_install_gzipped source target)
        message(STATUS "Installing: ${target}")
        get_filename_component(folder "${target}" DIRECTORY)
        file(MAKE_DIRECTORY "${folder}")
        execute_process(COMMAND gzip -9 -n -c "${source}" OUTPUT_FILE "${target}"
                        RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "gzip could not compress ${source} into ${target}")
        endif()
        # Readable by all whatever the umask, as the files install(FILES) puts in.
        file(CHMOD "${target}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endfunction()
    foreach(page IN LISTS quillorn_man_pages)
        get_filename_component(name "${page}" NAME)
        quillorn_install_gzipped("${page}" "${share}/man/man1/${name}.gz")
    endforeach()
    quillorn_install_gzipped("${quillorn_changelog}" "${share}/doc/quillorn/changelog.gz")
]])

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
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland, qt6-translations-l10n")

include(CPack)
