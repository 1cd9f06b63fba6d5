#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under a /usr prefix, as the
# package does, and checks that exactly the expected files arrive and that the
# desktop entry and AppStream metadata pass the freedesktop validators.
#
#     check-install.sh <build folder> <expected files> <version> [firmware image option]
set -euo pipefail
trap 'echo "$0: check failed at line $LINENO" >&2' ERR
build=$1 expected=$2 version=$3 firmware=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

DESTDIR=$work/root cmake --install "$build" --prefix /usr >/dev/null
{
    cat "$expected"
    [ -z "$firmware" ] || echo share/ornex/ornex-firmware.bin
} | sort >"$work/expected"
(cd "$work/root/usr" && find . ! -type d | sed 's|^\./||' | sort) >"$work/installed"
if [ -n "$(cd "$work/root" && find . -mindepth 1 -maxdepth 1 ! -name usr)" ]; then
    echo "installed outside the prefix:" >&2
    (cd "$work/root" && find . -mindepth 1 -maxdepth 1 ! -name usr) >&2
    exit 1
fi
diff -u "$work/expected" "$work/installed"

share=$work/root/usr/share
desktop-file-validate "$share"/applications/*.desktop
# The menu entry starts the installed program and shows the installed icon.
entry=("$share"/applications/*.desktop)
[ -x "$work/root/usr/bin/$(sed -n 's/^Exec=//p' "${entry[0]}")" ]
[ -f "$share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "${entry[0]}").svg" ]
# validate-tree checks the metainfo and that its desktop entry is there.
appstreamcli validate-tree --no-net "$work/root"
# The manual page is read by man without warnings.
[ -z "$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/man1/ornex-config.1.gz" 2>&1 >/dev/null)" ]
# The installed program answers from any folder, without a display, and
# refuses what it does not know with status 2.
bin=$work/root/usr/bin/ornex-config
[ "$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$bin" --version)" = "ornex-config $version" ]
(cd / && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$bin" --help) | grep -q -- --service
status=0
(cd / && QT_QPA_PLATFORM=offscreen "$bin" --no-such-option 2>/dev/null) || status=$?
[ "$status" -eq 2 ]

echo "installed files, desktop entry, metainfo and manual page are in order"
