#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks that it holds
# exactly the expected files under /usr, carries its maintainer scripts and
# dependencies, and that lintian finds no error in it.
#
#     check-deb.sh <build folder> <expected files> [firmware image option]
set -euo pipefail
trap 'echo "$0: check failed at line $LINENO" >&2' ERR
build=$1 expected=$2 firmware=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one package, got: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}

{
    sed 's|^|./usr/|' "$expected"
    [ -z "$firmware" ] || echo ./usr/share/ornex/ornex-firmware.bin
} | sort >"$work/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/packaged"
diff -u "$work/expected" "$work/packaged"

[ "$(dpkg-deb -f "$deb" Package)" = ornex-config ]
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6'
dpkg-deb -f "$deb" Depends | grep -q 'libqt6svg6'
dpkg-deb -I "$deb" postinst | grep -q 'udevadm control --reload-rules'
dpkg-deb -I "$deb" postrm | grep -q 'udevadm control --reload-rules'

lintian --fail-on error --tag-display-limit 0 "$deb"
echo "package $(basename "$deb") is in order"
