#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, headless, with the Qt
# for Windows and MinGW's runtime libraries on its path:
#
#     wine-run.sh program.exe [argument...]
#
# ctest calls it for every Windows test (CMAKE_CROSSCOMPILING_EMULATOR). The
# Wine prefix is $WINEPREFIX when set (tools/windows/tests.sh makes one in a
# temporary folder for a whole run); otherwise a prefix of its own in a
# temporary folder, made for this one program and removed after it.
# ORNEX_QT_MINGW_PREFIX names the unpacked Qt for Windows.
set -euo pipefail
: "${ORNEX_QT_MINGW_PREFIX:?the unpacked Qt for Windows}"

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${WINEPREFIX:-}" ]; then
    WINEPREFIX=$(mktemp -d)
    export WINEPREFIX
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
    wineboot -i >/dev/null 2>&1
fi

# Wine reaches the whole Unix file system as drive Z:.
gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="Z:$ORNEX_QT_MINGW_PREFIX/bin;Z:$gcc_runtime;Z:/usr/x86_64-w64-mingw32/lib"
export QT_PLUGIN_PATH="Z:$ORNEX_QT_MINGW_PREFIX/plugins"
status=0
wine "$@" || status=$?
exit $status
