# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, which
# Qt's threads and C++ std::thread need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_bh_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_bh_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_bh_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_bh_triple}-windres)
# Named for file(GET_RUNTIME_DEPENDENCIES), which reads a PE file's imports through objdump.
set(CMAKE_OBJDUMP ${_bh_triple}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP ${_bh_triple}-strip CACHE FILEPATH "")

# Libraries and headers come only from the mingw sysroot (and from whatever prefixes a caller adds,
# such as the cross-built Qt); programs run during the build come from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_bh_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
