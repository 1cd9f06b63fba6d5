#!/usr/bin/env bash
# Builds Qt 6.4.2 for 64-bit Windows with Debian 12's MinGW-w64, from Debian's own
# source packages (qt6-base, qt6-shadertools, qt6-multimedia), and packs it as a relocatable tarball.
# Usage: tools/windows/build-qt-mingw.sh [OUT.tar.xz]   (as root; about an hour on two cores)
# tools/windows/qt-mingw.sh runs it when no tarball is given (ORNEX_QT_MINGW).
set -euo pipefail
out=${1:-$PWD/qt6.4.2-mingw-w64-x86_64.tar.xz}
work=${WORK:-/tmp/qt-mingw-build}
# The project's own MinGW-w64 toolchain file: Qt is built as the program is.
toolchain=$(cd "$(dirname "$0")/../.." && pwd)/cmake/mingw-w64-x86_64.cmake
prefix=${PREFIX:-/opt/qt6-mingw}
mkdir -p "$work" && cd "$work"

# Source packages: add a deb-src entry beside the configured binary one, same mirror.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  uri=$(grep -rhs '^URIs:' /etc/apt/sources.list.d/*.sources | head -n 1 | awk '{print $2}')
  printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$uri" \
    > /etc/apt/sources.list.d/qt-mingw-src.sources
fi
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y g++-mingw-w64-x86-64-posix cmake ninja-build \
  qt6-base-dev qt6-base-dev-tools qt6-shadertools-dev xz-utils
apt-get source --download-only qt6-base qt6-shadertools qt6-multimedia
tar xJf qt6-base_*.orig.tar.xz
tar xJf qt6-shadertools_*.orig.tar.xz
tar xJf qt6-multimedia_*.orig.tar.xz

host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix"
        -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF)

# Debian's source leaves out Wintab (its licence forbids changes), which only the Windows
# platform plugin's pen-tablet support uses: build that plugin without it.
win=qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows
sed -i 's|^#if QT_CONFIG(tabletevent)|#if 0 // QT_CONFIG(tabletevent): Wintab is not in the source package|' \
  "$win/qwindowscontext.cpp" "$win/qwindowspointerhandler.cpp" "$win/qwindowspointerhandler.h"
sed -i 's|^qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent$|qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION FALSE|' \
  "$win/CMakeLists.txt"
sed -i 's|^qt_internal_extend_target(QWindowsDirect2DIntegrationPlugin CONDITION QT_FEATURE_tabletevent$|qt_internal_extend_target(QWindowsDirect2DIntegrationPlugin CONDITION FALSE|' \
  "$win/../direct2d/CMakeLists.txt"
# Without OpenGL the plugin must not reach for the dynamic GL loader either.
sed -i 's|^#if QT_CONFIG(dynamicgl)$|#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)|' "$win/qwindowswindow.cpp"

# qtbase: the bundled third-party libraries, no SQL, D-Bus or OpenGL.
cmake -S qtbase-everywhere-src-6.4.2 -B build-qtbase "${common[@]}" "${host[@]}" -DBUILD_SHARED_LIBS=ON \
  -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_network=ON -DFEATURE_concurrent=ON \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF
cmake --build build-qtbase --parallel
cmake --install build-qtbase

# qtshadertools: Multimedia needs its library for the target (the qsb tool comes from the host).
cmake -S qtshadertools-everywhere-src-6.4.2 -B build-qtshadertools "${common[@]}" "${host[@]}" -DCMAKE_PREFIX_PATH="$prefix"
cmake --build build-qtshadertools --parallel
cmake --install build-qtshadertools

# qtmultimedia: the Windows Media Foundation backend. Its sources include some Windows headers
# with capitals ("Mferror.h") that MinGW names in lower case: link those names in.
inc=/usr/x86_64-w64-mingw32/include
for h in Dbt.h Functiondiscoverykeys_devpkey.h InitGuid.h Mferror.h Mfidl.h Mfreadwrite.h Wmcodecdsp.h; do
  [ -e "$inc/$h" ] || ln -s "$(echo "$h" | tr A-Z a-z)" "$inc/$h"
done
sed -i 's|#include "QUrl.h"|#include <qurl.h>|' qtmultimedia-everywhere-src-6.4.2/src/plugins/multimedia/windows/player/mfplayercontrol_p.h
# Its FindWMF looks for "Mf", "Mfplat", ... by those capitals, and MinGW's libraries are lower case.
L=/usr/x86_64-w64-mingw32/lib
cmake -S qtmultimedia-everywhere-src-6.4.2 -B build-qtmultimedia "${common[@]}" "${host[@]}" -DCMAKE_PREFIX_PATH="$prefix" \
  -DWMF_MF_LIBRARY=$L/libmf.a -DWMF_MFUUID_LIBRARY=$L/libmfuuid.a -DWMF_MFPLAT_LIBRARY=$L/libmfplat.a \
  -DWMF_MFCORE_LIBRARY=$L/libmfcore.a -DWMF_PROPSYS_LIBRARY=$L/libpropsys.a
cmake --build build-qtmultimedia --parallel
cmake --install build-qtmultimedia

# Release builds keep some debug sections: drop them from the DLLs.
find "$prefix/bin" "$prefix/plugins" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-debug {} \;
tar -C "$(dirname "$prefix")" -cf - "$(basename "$prefix")" | xz -9 -T0 > "$out"
echo "$out"
