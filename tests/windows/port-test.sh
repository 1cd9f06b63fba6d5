#!/usr/bin/env bash
# The Windows port test's Linux side: starts the simulated dialler (a Linux
# program) on a pseudo-terminal paced like the real line, offers that as COM5
# in the Wine prefix, runs the Windows test program there, and closes the line
# when the program starts the upload that the hang-up test waits on.
#
#     port-test.sh <ornex-dialler-sim> <windows_port_tests.exe>
set -euo pipefail
sim=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
run=$here/../../tools/windows/wine-run.sh
if [ ! -x "$sim" ]; then
    echo "port-test.sh: no simulated dialler at $sim (build the Linux preset first)" >&2
    exit 1
fi

work=$(mktemp -d)
own_prefix=
if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX=$work/prefix
    own_prefix=1
    WINEDEBUG=-all wineboot -i >/dev/null 2>&1
fi
sim_pid=
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -f "$WINEPREFIX/dosdevices/com5"
    if [ -n "$own_prefix" ]; then
        WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# The line carries bytes at the dialler's 256000 baud, as the real one does.
"$sim" --baud 256000 >"$work/port" 2>"$work/commands" &
sim_pid=$!
for _ in $(seq 50); do
    [ -s "$work/port" ] && break
    sleep 0.1
done
pty=$(head -n 1 "$work/port")
[ -c "$pty" ] || { echo "port-test.sh: the simulated dialler gave no port" >&2; exit 1; }
ln -sf "$pty" "$WINEPREFIX/dosdevices/com5"

# The hang-up: once the upload of input 8 has begun, the dialler goes away and
# its end of the line closes.
(
    while kill -0 "$sim_pid" 2>/dev/null; do
        if grep -q '^< upl 8;' "$work/commands"; then
            sleep 0.5
            kill -KILL "$sim_pid"
            break
        fi
        sleep 0.05
    done
) &
watcher=$!

status=0
ORNEX_TEST_PORT=COM5 "$run" "$program" || status=$?
kill "$watcher" 2>/dev/null || true
echo "commands the simulated dialler received:"
sed 's/^/  /' "$work/commands"
exit $status
