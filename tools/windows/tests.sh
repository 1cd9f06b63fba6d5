#!/usr/bin/env bash
# The Windows build's tests under Wine, run from the Linux side after
# `cmake --build --preset windows` (tools/dev.sh windows runs all of it):
#
#   1. every Windows test program under Wine, headless (ctest --preset windows),
#      the port test against the simulated dialler on a pseudo-terminal
#      offered as COM5;
#   2. the zip and the installer (cpack), and the zip's list of libraries:
#      everything the program and its plugins import is in it or Windows' own;
#      the program file's icon and version resource;
#   3. the program from the unpacked zip on a clean Wine prefix, on a virtual
#      X server with the windows platform, driven by keyboard: its window
#      with --port COM5 --service, Get All, File > Save As (the file must
#      equal the Linux build's for the same settings), a new contact typed
#      into the editor and Send All (its command must reach the dialler),
#      File > Exit with status
#      0, and a screenshot of each state;
#   4. the installer's silent install and uninstall.
#
# Each stage has a Wine prefix of its own in a temporary folder. Needs
# ORNEX_QT_MINGW_PREFIX (tools/windows/qt-mingw.sh) and the Linux build in
# build/ (the simulated dialler, and the Linux program for the reference
# file). Leaves the packages and the screenshots in build-windows/.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
: "${ORNEX_QT_MINGW_PREFIX:?the unpacked Qt for Windows (tools/windows/qt-mingw.sh)}"
build=$root/build-windows
linux=$root/build
sim=$linux/tools/dialler-sim/ornex-dialler-sim
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for prefix in "$work"/prefix-*; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

new_prefix() {
    local prefix=$work/prefix-$1
    mkdir -p "$prefix"
    WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
    echo "$prefix"
}
step() { printf '\n== %s (%ds)\n' "$1" "$SECONDS"; }

step "unit tests and the port test under Wine"
WINEPREFIX=$(new_prefix tests)
export WINEPREFIX
ctest --preset windows
WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
unset WINEPREFIX

step "packages"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=ornex-config-$version-windows-x64
(cd "$build" && rm -f "$name.zip" "$name-setup.exe" && cpack -G ZIP >/dev/null && cpack -G NSIS >/dev/null)
ls -l "$build/$name.zip" "$build/$name-setup.exe"
mkdir -p "$work/unzipped"
unzip -q "$build/$name.zip" -d "$work/unzipped"
app=$work/unzipped/$name

# Every library the program and the packaged files import is in the package
# or one of Windows' own: those that lie in the prefix's system folder, and
# the API sets (api-ms-win-*), which the system's loader resolves itself.
system32=$(new_prefix clean)/drive_c/windows/system32
missing=0
while IFS= read -r file; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p' |
        grep -iv '^api-ms-win-\|^ext-ms-win-'); do
        if [ -z "$(find "$app" -maxdepth 1 -iname "$dll" | head -n 1)" ] &&
            [ -z "$(find "$system32" -maxdepth 1 -iname "$dll" | head -n 1)" ]; then
            echo "missing from the package: $dll (imported by ${file#"$app"/})"
            missing=1
        fi
    done
done < <(find "$app" -iname '*.exe' -o -iname '*.dll')
[ "$missing" -eq 0 ]
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll multimedia/windowsmediaplugin.dll; do
    [ -f "$app/$plugin" ] || { echo "missing from the package: $plugin"; exit 1; }
done
echo "the package's libraries are complete"

# The program file's icon and version resource, as its properties show them.
wrestool -l "$app/ornex-config.exe" | grep -q "name='IDI_ICON1'.*type=group_icon"
resource=$(wrestool -x --raw --type=16 "$app/ornex-config.exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
    tr -c '[:print:]' '\n')
for text in "ORNEX Programming Software" "ornex-config.exe" "$version.0"; do
    grep -qxF "$text" <<<"$resource" || { echo "the version resource lacks \"$text\""; exit 1; }
done
echo "the program file carries its icon and version resource"

step "the window from the unpacked package on a clean prefix"
export WINEPREFIX=$work/prefix-clean
# A virtual X server, as the Windows program draws through Wine's X11 driver.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The simulated dialler with a believable site; sets sim_pid and pty.
start_dialler() {
    rm -f "$work/sim-port"
    "$sim" --site >"$work/sim-port" 2>"$work/sim-commands" &
    sim_pid=$!
    pids+=("$sim_pid")
    for _ in $(seq 50); do [ -s "$work/sim-port" ] && break; sleep 0.1; done
    pty=$(head -n 1 "$work/sim-port")
}

# One key, then a pause: a mnemonic clicks its button or box about 100 ms
# later, and the next key must find the window in the state that click left.
press() { xdotool key "$1"; sleep "${2:-0.5}"; }

# The number typed into the contact editor, and the command that must bring
# it to the dialler: location 13 after the twelve of the site, SMS, input 1.
new_number=07700900999
new_contact="< add,1,$new_number,s;"

# Drives a program's window by keyboard, as a person would: waits for it, Get
# All, File > Save As into $2, a new contact in the editor and Send All, File
# > Exit (answering No to saving the changes). Screenshots go to $3-*.png.
# Returns the exit status.
drive_window() {
    local pid=$1 file=$2 shot=$3 window=
    for _ in $(seq 600); do
        window=$(xdotool search --onlyvisible --name '^ORNEX' 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || { echo "the program ended before its window showed"; return 1; }
        sleep 0.1
    done
    [ -n "$window" ] || { echo "no window appeared"; return 1; }
    # The connection supervisor finds the port and reads the version.
    for _ in $(seq 100); do grep -q '^< ver;' "$work/sim-commands" && break; sleep 0.1; done
    sleep 1
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    xdotool key --window "$window" alt+g
    for _ in $(seq 100); do grep -q '^< dnld all;' "$work/sim-commands" && break; sleep 0.1; done
    sleep 2
    import -window root "$shot-got.png"
    xdotool key F12
    sleep 2
    xdotool type --delay 20 "$file"
    xdotool key Return
    for _ in $(seq 100); do [ -s "${file#Z:}" ] && break; sleep 0.1; done
    sleep 1

    # To the contact list: the Admin PIN field, then Tab past the User PIN,
    # the two PIN buttons and the tab bar. In a list without a current row
    # the first move only reaches row 1; End then selects the last location,
    # which is free. Save (Enter) moves the entry up to the first free one.
    press alt+a
    for _ in 1 2 3 4 5; do press Tab 0.3; done
    press End
    press End
    press alt+p
    xdotool type --delay 100 "$new_number"
    sleep 0.5
    press alt+m
    press alt+1
    press Return 1
    import -window root "$shot-contact.png"
    # Save left the focus in the list, outside the editor: Alt+S is Send All.
    press alt+s
    for _ in $(seq 300); do grep -q '^< save all;' "$work/sim-commands" && break; sleep 0.1; done
    grep -qxF "$new_contact" "$work/sim-commands" ||
        { echo "Send All did not send the new contact ($new_contact)"; return 1; }
    sleep 1
    import -window root "$shot-sent.png"

    press alt+f
    xdotool key x
    # The settings were changed since the last save: the window asks first.
    local question=
    for _ in $(seq 50); do
        question=$(xdotool search --onlyvisible --name '^Settings Changed$' 2>/dev/null | head -n 1) || true
        [ -n "$question" ] && break
        sleep 0.1
    done
    [ -n "$question" ] && { xdotool windowfocus "$question" 2>/dev/null || true; }
    sleep 0.5
    xdotool key alt+n
    local status=0
    for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    wait "$pid" || status=$?
    return $status
}

# The Linux build against its own simulated dialler, for the reference file.
start_dialler
(cd "$work" && QT_QPA_PLATFORM=xcb "$linux/src/app/ornex-config" --port "$pty" >/dev/null 2>&1) &
linux_pid=$!
status=0
drive_window "$linux_pid" "$work/linux.ornex" "$build/window-linux" || status=$?
kill "$sim_pid" 2>/dev/null || true
echo "exit status on Linux: $status"
[ "$status" -eq 0 ]

# The Windows program with the Voice Messages page shown (--service). Its
# prefix has no sound device: Wine's audio driver is switched off, so the
# result does not depend on the machine's sound.
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
start_dialler
ln -sf "$pty" "$WINEPREFIX/dosdevices/com5"
(cd "$app" && QT_QPA_PLATFORM=windows wine ./ornex-config.exe --port COM5 --service >/dev/null 2>&1) &
wine_pid=$!
status=0
drive_window "$wine_pid" "Z:$work/windows.ornex" "$build/window-windows" || status=$?
kill "$sim_pid" 2>/dev/null || true
echo "exit status under Wine: $status"
[ "$status" -eq 0 ]
ls -l "$work/linux.ornex" "$work/windows.ornex"
[ "$(stat -c %s "$work/windows.ornex")" -eq 3449 ]
cmp "$work/linux.ornex" "$work/windows.ornex"
echo "the Windows program saved the same 3449-byte file as the Linux one"
echo "both sent the contact typed into the editor with Send All"
echo "screenshots: $build/window-windows-*.png $build/window-linux-*.png"
wineserver -k 2>/dev/null || true

step "installer: silent install and uninstall"
export WINEPREFIX=$(new_prefix installer)
wine "$build/$name-setup.exe" /S
installed="$WINEPREFIX/drive_c/Program Files/ORNEX Programming Software"
[ -f "$installed/ornex-config.exe" ]
lnk=$(find "$WINEPREFIX/drive_c" -iname 'ORNEX Programming Software.lnk' | head -n 1)
[ -n "$lnk" ] || { echo "no Start menu entry"; exit 1; }
echo "installed: $(find "$installed" -type f | wc -l) files; Start menu: ${lnk#"$WINEPREFIX"/}"
wine "$installed/Uninstall.exe" /S
for _ in $(seq 100); do [ -e "$installed" ] || break; sleep 0.1; done
if [ -e "$installed" ]; then
    echo "left after uninstalling:"; find "$installed"; exit 1
fi
[ ! -e "$lnk" ] || { echo "the Start menu entry is left"; exit 1; }
echo "the uninstaller removed every file"
step "done"
