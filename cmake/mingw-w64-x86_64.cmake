# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The posix thread model is named explicitly: Qt and std::thread need it, and the system-wide
# x86_64-w64-mingw32-g++ alternative may point at the win32 model.
#
# Optional: -DQUILLORN_WINDOWS_DEPS_PREFIX=<prefix printed by scripts/windows-deps.sh> makes the
# cross-built Qt, OpenSSL, libxlsxwriter and GoogleTest findable.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLORN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLORN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLORN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLORN_MINGW_TRIPLE}-windres)
set(CMAKE_AR /usr/bin/${QUILLORN_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${QUILLORN_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# try_compile projects re-read this file without the caller's cache: pass the prefix on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLORN_WINDOWS_DEPS_PREFIX)

# Headers and libraries come from the MinGW-w64 tree (and the dependency prefix), never from the
# Linux system; programs (moc, rcc, uic) run on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLORN_MINGW_TRIPLE})
if(QUILLORN_WINDOWS_DEPS_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH "${QUILLORN_WINDOWS_DEPS_PREFIX}")
    list(APPEND CMAKE_PREFIX_PATH "${QUILLORN_WINDOWS_DEPS_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A cross-built Qt needs the build machine's Qt tools: Debian's qt6-base-dev, same version.
if(NOT DEFINED QT_HOST_PATH)
    set(QT_HOST_PATH /usr CACHE PATH "Qt installation whose tools run on the build machine")
endif()
if(NOT DEFINED QT_HOST_PATH_CMAKE_DIR)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "CMake packages of QT_HOST_PATH")
endif()
