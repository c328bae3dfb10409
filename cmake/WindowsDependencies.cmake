# For a Windows build against the dependency prefix of scripts/windows-deps.sh: OpenSSL is the
# static one there, and pkg-config (libxlsxwriter) reads the prefix's .pc files only, never the
# Linux system's. Kept out of the toolchain file, whose content keys the dependency cache.
if(QUILLORN_WINDOWS_DEPS_PREFIX)
    set(ENV{PKG_CONFIG_LIBDIR} "${QUILLORN_WINDOWS_DEPS_PREFIX}/lib/pkgconfig")
    set(ENV{PKG_CONFIG_PATH} "")
    set(OPENSSL_ROOT_DIR "${QUILLORN_WINDOWS_DEPS_PREFIX}")
    set(OPENSSL_USE_STATIC_LIBS TRUE)
endif()
