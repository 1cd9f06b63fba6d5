#!/usr/bin/env bash
# Prints the folder of the Qt for Windows that the `windows` preset builds
# against (ORNEX_QT_MINGW_PREFIX), unpacking it first when needed:
#
#     export ORNEX_QT_MINGW_PREFIX=$(tools/windows/qt-mingw.sh)
#
# The Qt is a tarball of Qt 6.4.2 cross-built with Debian's MinGW-w64, named by
# ORNEX_QT_MINGW. It is unpacked once into the cache folder
# (${XDG_CACHE_HOME:-~/.cache}/ornex) and again only when the tarball changes.
# Without ORNEX_QT_MINGW the tarball is built there from Debian's source
# packages by build-qt-mingw.sh (as root, about an hour on two cores).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/ornex
mkdir -p "$cache"
tarball=${ORNEX_QT_MINGW:-}
if [ -z "$tarball" ]; then
    tarball=$cache/qt6.4.2-mingw-w64-x86_64.tar.xz
    if [ ! -s "$tarball" ]; then
        echo "qt-mingw.sh: ORNEX_QT_MINGW is not set; building Qt for Windows into $tarball" >&2
        WORK=$cache/qt-build PREFIX=$cache/qt-build/qt6-mingw "$here/build-qt-mingw.sh" "$tarball.part" >&2
        mv "$tarball.part" "$tarball"
    fi
fi
[ -s "$tarball" ] || { echo "qt-mingw.sh: no Qt tarball at $tarball" >&2; exit 1; }

# The tarball's size and time name the unpacked copy, so that a new tarball
# is unpacked anew.
stamp=$(stat -L -c '%s-%Y' "$tarball")
dest=$cache/qt6-mingw-$stamp
if [ ! -f "$dest/.unpacked" ]; then
    rm -rf "$dest" "$dest.part"
    mkdir -p "$dest.part"
    tar -C "$dest.part" -xJf "$tarball"
    mv "$dest.part" "$dest"
    touch "$dest/.unpacked"
fi
echo "$dest/qt6-mingw"
