# Helpers that give every folder the same shape: a component library from the folder's sources,
# one test program per component, one program per benchmark and per fuzz target.

# quillorn_harden(<target>): the C library's checked string and memory functions where the
# compiler can see the sizes (_FORTIFY_SOURCE, which needs optimisation), as Debian builds its own
# packages; not under the sanitizers, which check those calls themselves.
# MinGW's checked functions live in libssp, which the programs would then have to ship: not there.
function(quillorn_harden target)
    if(NOT QUILLORN_SANITIZE AND NOT QUILLORN_FUZZ AND NOT WIN32)
        target_compile_definitions(${target} PRIVATE
            $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
    endif()
endfunction()

# quillorn_sources(<variable> <glob>...): the files the globs match, for this platform. A file
# that differs on Windows has a twin beside it: Foo_win.cpp takes the place of Foo.cpp in a Windows
# build and is left out of any other; a Foo_posix.cpp has no Windows twin and is left out there.
function(quillorn_sources variable)
    file(GLOB found CONFIGURE_DEPENDS ${ARGN})
    set(chosen)
    foreach(file IN LISTS found)
        get_filename_component(directory "${file}" DIRECTORY)
        get_filename_component(name "${file}" NAME_WE)
        get_filename_component(extension "${file}" LAST_EXT)
        if(WIN32)
            if(name MATCHES "_posix$" OR EXISTS "${directory}/${name}_win${extension}")
                continue()
            endif()
        elseif(name MATCHES "_win$")
            continue()
        endif()
        list(APPEND chosen "${file}")
    endforeach()
    set(${variable} ${chosen} PARENT_SCOPE)
endfunction()

# quillorn_component(<target> [DEPENDS <libs>...]): a static library of the folder's *.cpp files
# (an interface library while the folder holds headers only).
function(quillorn_component target)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    quillorn_sources(sources "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    if(sources)
        add_library(${target} STATIC ${sources} ${headers})
        target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
        target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
        quillorn_harden(${target})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE "${PROJECT_SOURCE_DIR}")
        target_link_libraries(${target} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()

# quillorn_test_program(<target> LIBS <libs>...): GoogleTest program of the folder's *.cpp files,
# its tests discovered into CTest. Widgets run offscreen; QUILLORN_SOURCE_DIR lets a test find the
# fixtures kept in the source tree.
function(quillorn_test_program target)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    quillorn_sources(sources "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    if(NOT sources)
        return()
    endif()
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    target_compile_options(${target} PRIVATE -include "${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h")
    # A cross-built program lists its tests under the emulator when CTest runs, not during the
    # build: the build then needs no Wine, and the listing runs where the tests do.
    set(discovery_mode POST_BUILD)
    if(CMAKE_CROSSCOMPILING)
        set(discovery_mode PRE_TEST)
    endif()
    gtest_discover_tests(${target}
        DISCOVERY_MODE ${discovery_mode}
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUILLORN_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
                   TIMEOUT 300)
endfunction()

# Where an installation puts the programs: a folder of their own, which also holds their files when
# the user may write there (otherwise they go to ~/.local/share/Quillorn).
set(QUILLORN_INSTALL_APPDIR "lib/quillorn" CACHE STRING
    "Folder, relative to the prefix, that holds the executables and, when writable, their files")

# quillorn_install_program(<target>): the program into <prefix>/${QUILLORN_INSTALL_APPDIR} and
# <prefix>/bin/<target> as a relative link to it. Later install code of the folder finds the
# folder in quillorn_appdir.
function(quillorn_install_program target)
    install(TARGETS ${target} RUNTIME DESTINATION "${QUILLORN_INSTALL_APPDIR}")
    install(CODE "set(quillorn_program \"${target}\")
                  set(quillorn_appdir \"${QUILLORN_INSTALL_APPDIR}\")")
    install(CODE [[
        set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
        message(STATUS "Installing: ${root}/bin/${quillorn_program}")
        file(MAKE_DIRECTORY "${root}/bin")
        file(RELATIVE_PATH link "${root}/bin" "${root}/${quillorn_appdir}/${quillorn_program}")
        file(CREATE_LINK "${link}" "${root}/bin/${quillorn_program}" SYMBOLIC)
    ]])
endfunction()
