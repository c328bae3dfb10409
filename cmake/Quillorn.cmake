# Helpers that give every folder the same shape: a component library from the folder's sources,
# one test program per component, one program per benchmark and per fuzz target.

# quillorn_component(<target> [DEPENDS <libs>...]): a static library of the folder's *.cpp files
# (an interface library while the folder holds headers only).
function(quillorn_component target)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    if(sources)
        add_library(${target} STATIC ${sources} ${headers})
        target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
        target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
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
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    if(NOT sources)
        return()
    endif()
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    target_compile_options(${target} PRIVATE -include "${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h")
    gtest_discover_tests(${target}
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUILLORN_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
                   TIMEOUT 300)
endfunction()
