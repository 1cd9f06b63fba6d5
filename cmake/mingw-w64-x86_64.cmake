# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads
# flavour, which is what the Qt for Windows in use was built with).
#
# The Qt for Windows comes in through CMAKE_PREFIX_PATH; its host tools (moc,
# rcc, uic) are the build machine's own Qt of the same version, which
# QT_HOST_PATH points to.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries, headers and packages only from the Windows side; programs (the
# compilers, Qt's host tools) only from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT DEFINED QT_HOST_PATH)
    set(QT_HOST_PATH /usr CACHE PATH "Where the build machine's Qt host tools live")
endif()
if(NOT DEFINED QT_HOST_PATH_CMAKE_DIR)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH
        "The CMake packages of the build machine's Qt")
endif()
