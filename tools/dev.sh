#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (run as root, or with sudo
# available): installs what the build needs when it is missing, builds, and
# then starts the program against a simulated dialler (`run`), starts the
# program for a real dialler on USB (`real`), or runs every test (`test`).
# `sanitize` builds the clang sanitizer build, runs every test in it and
# fuzzes each reader of outside data for 30 seconds (CI runs it after `test`).
# `windows` cross-builds the program and its tests for Windows and runs them
# under Wine, makes the zip and the installer and tries both (CI runs it
# last); ORNEX_QT_MINGW names the tarball of the Qt for Windows, see
# tools/windows/qt-mingw.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config
          qt6-base-dev qt6-serialport-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev mingw-w64 clang-format)
# The voice page's Escape key on X11, and the real-sound tests' server and
# display.
packages+=(libx11-dev pulseaudio pulseaudio-utils xvfb xdotool)
# The icon's drawing at run time, and the checks of the installed files, the
# Debian package and the window on a virtual X server.
packages+=(libqt6svg6 desktop-file-utils appstream lintian dpkg-dev man-db xauth)
# The sanitizer build and the fuzz targets: clang with its sanitizer and
# libFuzzer runtimes, and llvm-symbolizer for readable reports.
packages+=(clang libclang-rt-14-dev llvm-14)
# The Windows build and its tests: MinGW-w64 with POSIX threads, Qt's host
# tools, GoogleTest's source, Wine, NSIS, the icon's conversion, and the
# window's test on a virtual X server (x11-utils for xdpyinfo, ImageMagick for
# the screenshot).
packages+=(g++-mingw-w64-x86-64-posix qt6-base-dev-tools googletest wine64 nsis zip unzip
           librsvg2-bin icoutils x11-utils imagemagick)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${missing[@]}"
}

build() {
    cmake --preset default >/dev/null
    cmake --build --preset default
}

case "${1:-}" in
run)
    install_missing
    build
    exec build/tools/demo/ornex-demo
    ;;
real)
    install_missing
    build
    exec build/src/app/ornex-config
    ;;
test)
    install_missing
    build
    ctest --preset default
    ;;
sanitize)
    install_missing
    cmake --preset asan >/dev/null
    cmake --build --preset asan
    ctest --preset asan
    ORNEX_FUZZ_JOBS=2 tools/fuzz.sh 30
    ;;
windows)
    install_missing
    # The Linux build gives the simulated dialler and the reference for the
    # window's saved file.
    build
    ORNEX_QT_MINGW_PREFIX=$(tools/windows/qt-mingw.sh)
    export ORNEX_QT_MINGW_PREFIX
    cmake --preset windows >/dev/null
    cmake --build --preset windows
    exec tools/windows/tests.sh
    ;;
*)
    echo "usage: $0 run|real|test|sanitize|windows" >&2
    exit 2
    ;;
esac
