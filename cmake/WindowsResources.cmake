# quillorn_windows_resources(<target> <description>): on Windows, the program's icon and version
# information as a resource of the executable; nothing elsewhere.
function(quillorn_windows_resources target description)
    if(NOT WIN32)
        return()
    endif()
    set(QUILLORN_RC_NAME "${target}")
    set(QUILLORN_RC_FILE "${target}.exe")
    set(QUILLORN_RC_DESCRIPTION "${description}")
    set(QUILLORN_RC_ICON "${PROJECT_SOURCE_DIR}/dist/windows/quillorn.ico")
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
    configure_file("${PROJECT_SOURCE_DIR}/dist/windows/program.rc.in" "${rc}" @ONLY)
    target_sources(${target} PRIVATE "${rc}")
endfunction()
