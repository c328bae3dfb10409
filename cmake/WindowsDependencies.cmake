# For a Windows build against the dependency prefix of scripts/windows-deps.sh: OpenSSL is the
# static one there, and pkg-config (libxlsxwriter) reads the prefix's .pc files only, never the
# Linux system's. Kept out of the toolchain file, whose content keys the dependency cache.
if(QUILLORN_WINDOWS_DEPS_PREFIX)
    set(ENV{PKG_CONFIG_LIBDIR} "${QUILLORN_WINDOWS_DEPS_PREFIX}/lib/pkgconfig")
    set(ENV{PKG_CONFIG_PATH} "")
    set(OPENSSL_ROOT_DIR "${QUILLORN_WINDOWS_DEPS_PREFIX}")
    set(OPENSSL_USE_STATIC_LIBS TRUE)
endif()

# quillorn_windows_qt_conf(): a qt.conf beside every program of this build folder, so that the
# programs run in place (by the tests under Wine) find Qt's plugins in the dependency prefix and
# Qt's Russian catalogue in the build folder, as the packaged ones find both beside themselves.
# Called once, after every folder has made its programs.
function(quillorn_windows_qt_conf)
    if(NOT QUILLORN_WINDOWS_DEPS_PREFIX)
        return()
    endif()
    set(catalogue "/usr/share/qt6/translations/qtbase_ru.qm")
    if(EXISTS "${catalogue}")
        file(COPY "${catalogue}" DESTINATION "${CMAKE_BINARY_DIR}/translations")
    else()
        message(WARNING "${catalogue} is missing (Debian's qt6-translations-l10n): programs run "
                        "from the build folder speak English")
    endif()
    # Wine shows the Linux file system as drive Z:.
    string(CONCAT content "[Paths]\nPrefix = Z:${QUILLORN_WINDOWS_DEPS_PREFIX}\n"
                "Plugins = Z:${QUILLORN_WINDOWS_DEPS_PREFIX}/plugins\n"
                "Translations = Z:${CMAKE_BINARY_DIR}/translations\n")
    set(folders "${PROJECT_SOURCE_DIR}")
    while(folders)
        list(POP_FRONT folders folder)
        get_property(subfolders DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
        get_property(targets DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type STREQUAL "EXECUTABLE")
                get_target_property(binary ${target} RUNTIME_OUTPUT_DIRECTORY)
                if(NOT binary)
                    get_property(binary DIRECTORY "${folder}" PROPERTY BINARY_DIR)
                endif()
                file(CONFIGURE OUTPUT "${binary}/qt.conf" CONTENT "${content}")
            endif()
        endforeach()
    endwhile()
endfunction()
