#!/usr/bin/env bash
# End-to-end tests of TavoWallpaper.exe: the real program under Wine in a virtual desktop on a private Xvfb,
# worked from outside by tavowall-e2e-driver.exe; the files and registry values it leaves are checked here.
#
# usage: bash tests/e2e/run.sh [NATIVE_BUILD_DIR [WINDOWS_BUILD_DIR]]   (defaults build/native, build/win32;
#        the Windows build may be the 32-bit or the 64-bit one)
#   exit 0 all passed, 1 a scenario failed (or, under CI=true, no TavoWallpaper.exe), 2 a tool is missing,
#   77 skipped (no TavoWallpaper.exe yet, or a build this host cannot execute: one line says why)
#   TAVO_E2E_ONLY="a b"   runs only the named scenarios;  TAVO_E2E_KEEP=1 keeps the Wine prefix
# Output: one line per scenario, then "N passed, M failed". The work, the logs and the screenshots
# (main-window.png, desktop.png) are in build/e2e/ARCH (win32 or win64).
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
native_dir=$(cd "${1:-$root/build/native}" 2>/dev/null && pwd) || { echo "no native build dir: ${1:-build/native}" >&2; exit 2; }
windows_dir=${2:-$root/build/win32}
exe=$windows_dir/TavoWallpaper.exe
driver=$windows_dir/tavowall-e2e-driver.exe
# shellcheck source=tests/support/needs.sh
source "$root/tests/support/needs.sh"
for f in "$exe" "$driver"; do
    [ -f "$f" ] || need_or_skip "e2e: $f is not built (make win32 win64)"
done
for tool in wineserver Xvfb convert import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "e2e: $tool is not installed (scripts/install-deps.sh)" >&2; exit 2; }
done
for tool in tavowall-prepare tavowall-sample; do
    [ -x "$native_dir/$tool" ] || { echo "e2e: missing $native_dir/$tool" >&2; exit 2; }
done
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
tavo_wine_for_program e2e "$exe"
arch=$WINEARCH

work=$root/build/e2e/$arch
mkdir -p "$work"
exec 8>"$work.lock"
flock -w 600 8 || { echo "e2e: another run holds $work.lock" >&2; exit 2; }

# A fresh prefix for every run, shared by its scenarios.
export TAVO_WINEPREFIX=$work/prefix
export TAVO_WINE_LINGER=60
rm -rf "$work/prefix" "$work/prefix.boot.log" "$work/pics" "$work/logs"
mkdir -p "$work/pics" "$work/logs" "$work/expected"
tavo_wine_use "$arch"
started=$SECONDS

# The program and the driver on a display of their own, never the caller's.
unset DISPLAY
desktop=tavoe2e
screen=1024x768
program_pid=
desktop_pid=
cleanup() {
    local pid
    for pid in $program_pid $desktop_pid; do
        kill -0 "$pid" 2>/dev/null && kill "$pid" 2>/dev/null
    done
    # Only this run's prefix: its wine server and every program in it.
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
    tavo_wine_stop
    if [ -z "${TAVO_E2E_KEEP:-}" ] && [ "${failed:-1}" -eq 0 ]; then rm -rf "$work/prefix"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

passed=0
failed=0
fail_setup() {
    echo "FAIL e2e setup: $1"
    failed=1
    echo "0 passed, 1 failed"
    exit 1
}

tavo_wine_display || fail_setup "no X display"
tavo_wine_init || fail_setup "wineboot -i failed (see $work/prefix.boot.log)"
# Every Wine program of this prefix joins the one virtual desktop: the driver then sees the program's windows
# and Wine draws frames, a taskbar and the notification area without an X window manager. Its shell logs what
# the programs ask of the notification area ("add_icon id=0x0, hwnd=..."): the tray checks read that log.
shell_log=$work/logs/shell.log
tavo_wine_desktop "$desktop" "$screen" "$shell_log" || fail_setup "wine reg import of the desktop settings failed"
desktop_pid=$tavo_wine_desktop_pid

# ---- test pictures: the program's own sample and generated patterns ----
pics=$work/pics
# Larger than the screen, so that the wallpaper is resampled.
"$native_dir/tavowall-sample" "$pics/sky.bmp" 1600x1200 || fail_setup "tavowall-sample failed"
gen() { convert "$@" 2>>"$work/logs/convert.log" || fail_setup "convert $*"; }
gen -size 800x600 gradient:orange-navy -swirl 150 -quality 90 "$pics/swirl picture.jpg"
gen -size 300x500 pattern:checkerboard -fill red -draw 'circle 150,250 150,100' -type TrueColor BMP3:"$pics/tall.bmp"
gen -size 320x240 plasma:fractal -seed 7 -colors 200 -type Palette BMP3:"$pics/palette.bmp"
printf 'This is a text file, not a picture.\n' >"$pics/broken.bmp"
# A JPEG file whose scan names a Huffman table it never defines: the decoder fails ("JPEG error #50"), not the load.
gen -size 64x48 gradient:red-blue -quality 90 "$pics/no-table.jpg"
sos=$(LC_ALL=C grep -obUaP '\xff\xda' "$pics/no-table.jpg" | head -n 1 | cut -d: -f1)
printf '\x22' | dd of="$pics/no-table.jpg" bs=1 seek=$((sos + 6)) conv=notrunc status=none
folder=$(tavo_wine_path "$pics")
driver_win=$(tavo_wine_path "$driver")

# run_driver LOG SCENARIO ARGS...: the driver's exit code (124 when it ran out of time)
run_driver() {
    local log=$1
    shift
    timeout -k 5 "${TAVO_E2E_DRIVER_SECONDS:-120}" "$WINELOADER" "$driver_win" "$@" </dev/null >"$log" 2>"$log.stderr"
}

# Screen size and depth as the programs in the desktop see them.
run_driver "$work/logs/info.log" info
read -r _ screen_seen _ bpp < <(grep '^screen ' "$work/logs/info.log" | tr -d '\r')
wallpaper_win=$(grep '^wallpaper ' "$work/logs/info.log" | tr -d '\r' | sed 's/^wallpaper //')
{ [ -n "${bpp:-}" ] && [ -n "$wallpaper_win" ]; } || fail_setup "the driver's info scenario printed nothing ($work/logs/info.log)"
grep -q '^driver: PASS' "$work/logs/info.log" || fail_setup "$(grep -m1 '^FAIL' "$work/logs/info.log" | tr -d '\r')"
[ "$screen_seen" = "$screen" ] || fail_setup "the desktop is $screen_seen, not $screen"
windir=$WINEPREFIX/drive_c/windows
wallpaper=$windir/"Tavo Wallpaper.bmp"

# start_program [EXE]: a copy of the program of this build, or of EXE, in the desktop (the prefix's settings
# put every program there); each call starts one more copy.
start_program() {
    [ -n "$program_pid" ] || rm -f "$work/logs/program.log"
    "$WINELOADER" "$(tavo_wine_path "${1:-$exe}")" </dev/null >>"$work/logs/program.log" 2>&1 &
    program_pid="$program_pid $!"
}

# Ends the program: Ctrl+X, as a user would (unless the scenario has ended it itself); if it is still there
# after 30 s, the prefix's wine server ends it. Fails unless every copy ended by itself with exit code 0.
stop_program() {
    local log=$1 ended=$2 pid rc ok=0
    if [ "$ended" = 1 ]; then echo 'driver: PASS' >"$log.exit"; else run_driver "$log.exit" exit; fi
    grep -q '^driver: PASS' "$log.exit" 2>/dev/null || ok=1
    for pid in $program_pid; do
        local _
        for _ in $(seq 600); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        if kill -0 "$pid" 2>/dev/null; then
            echo "     (the program did not end; wineserver -k)" >>"$log"
            wineserver -k 2>/dev/null
            wait "$pid" 2>/dev/null
            wineserver -p"$TAVO_WINE_LINGER" >/dev/null 2>&1
            ok=1
            continue
        fi
        wait "$pid"
        rc=$?
        [ "$rc" -eq 0 ] || { echo "     (the program ended with exit code $rc)" >>"$log"; ok=1; }
    done
    program_pid=
    return $ok
}

# icon_events HWND: what the shell did with the icon of that window, one word a line (add_icon, hide_icon, ...).
icon_events() {
    grep -i "systray:[a-z_]* id=0x0, hwnd=0*${1#0x}\b" "$shell_log" | sed 's/.*systray:\([a-z_]*\).*/\1/'
}

# The icons of the windows a scenario printed ("tray HWND") have left the notification area.
check_icons_removed() {
    local hwnd last
    for hwnd in $(grep '^tray ' "$1" | tr -d '\r' | awk '{print $2}'); do
        last=$(icon_events "$hwnd" | tail -n 1)
        [ "$last" = hide_icon ] || echo "the icon of $hwnd is still in the notification area (last: ${last:-nothing})"
    done
}

# Each scenario starts the program on a clean slate: no stored settings, no list.
reset_state() {
    timeout -k 5 30 "$WINELOADER" reg delete 'HKCU\Software\Kelvara\Ferlin2' /f >/dev/null 2>&1
    timeout -k 5 30 "$WINELOADER" reg delete "$run_key" /v TavoWallpaper /f >/dev/null 2>&1
    return 0
}
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# Scenarios whose last step ends the program, those that start from what the one before left, and those
# that run two copies.
self_ending=" tray-start del-in-edit persist-save persist-restore end-session two-copies minimized-start script-names late-shell "
keeps_state=" persist-restore "
two_copies=" two-copies "
# Scenarios whose driver starts the program itself.
driver_starts=" minimized-start late-shell "

# scenario NAME EXTRA-CHECK ARGS...: runs the driver on a fresh start of the program; EXTRA-CHECK (a shell
# function or "-") then checks what the program left, printing its failures.
scenario() {
    local name=$1 extra=$2
    shift 2
    if [ -n "${TAVO_E2E_ONLY:-}" ] && [[ " $TAVO_E2E_ONLY " != *" $name "* ]]; then return; fi
    local log=$work/logs/$name.log t0=$SECONDS why=()
    [[ $keeps_state == *" $name "* ]] || reset_state
    [[ $driver_starts == *" $name "* ]] || start_program
    [[ $two_copies == *" $name "* ]] && start_program
    # NAME@VARIANT runs the driver's scenario NAME once more, in another setting.
    run_driver "$log" "${name%%@*}" "$@"
    local rc=$?
    [ "$rc" -eq 124 ] && why+=("the driver ran out of time")
    if ! grep -q '^driver: PASS' "$log"; then
        why+=("$(grep -m1 '^FAIL' "$log" | tr -d '\r' | sed 's/^FAIL //')")
    fi
    if [ "$extra" != - ] && [ ${#why[@]} -eq 0 ]; then
        local more
        more=$("$extra" "$log")
        [ -n "$more" ] && why+=("$more")
    fi
    local ended=0
    [[ $self_ending == *" $name "* ]] && ended=1
    stop_program "$log" "$ended" || why+=("the program did not end with exit code 0")
    local removed
    removed=$(check_icons_removed "$log")
    [ -n "$removed" ] && why+=("$removed")
    if [ ${#why[@]} -eq 0 ]; then
        echo "ok   $name ($((SECONDS - t0)) s)"
        passed=$((passed + 1))
    else
        local msg
        msg=$(IFS=';'; echo "${why[*]}")
        echo "FAIL $name: ${msg//;/; } (log: $log)"
        sed 's/^/     | /' "$log" | tr -d '\r'
        failed=$((failed + 1))
    fi
}

# ---- what the scenarios leave behind ----

# wallpaper_is PICTURE: the wallpaper file is what tavowall-prepare makes of PICTURE (in pics) for the screen.
wallpaper_is() {
    local expected=$work/expected/wallpaper-$1.bmp
    "$native_dir/tavowall-prepare" --target "$screen" --display-bpp "$bpp" "$pics/$1" "$expected" ||
        { echo "tavowall-prepare failed for the wallpaper"; return; }
    if [ ! -f "$wallpaper" ]; then
        echo "no $wallpaper"
    elif ! cmp -s "$expected" "$wallpaper"; then
        echo "Tavo Wallpaper.bmp differs from tavowall-prepare's of $1 ($(cmp "$expected" "$wallpaper" 2>&1 | head -n 1 | sed 's/.*: //'))"
    fi
}

# The wallpaper file is what tavowall-prepare makes of the first picture for the screen, and Wine recorded it.
check_wallpaper() {
    local log=$1
    wallpaper_is sky.bmp
    local value
    value=$(timeout -k 5 30 "$WINELOADER" reg query 'HKCU\Control Panel\Desktop' /v Wallpaper 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *Wallpaper *REG_SZ *//p')
    if [ "$value" != "$wallpaper_win" ]; then
        echo "the recorded wallpaper is '$value', not '$wallpaper_win'"
    fi
    # The window with its list and preview, and the whole desktop (its wallpaper now ours).
    local geometry
    geometry=$(grep '^window ' "$log" | tr -d '\r' | awk '{printf "%dx%d+%d+%d", $4, $5, $2, $3}')
    local shot=$work/${shots:-}
    if import -display "$DISPLAY" -window root "${shot}desktop.png" 2>>"$work/logs/import.log"; then
        [ -n "$geometry" ] && convert "${shot}desktop.png" -crop "$geometry" +repage "${shot}main-window.png"
    else
        echo "the screenshot failed (see $work/logs/import.log)"
    fi
}

# reg_value KEY NAME: the value's data as `wine reg query` prints it (a REG_DWORD as 0x...), empty when absent.
reg_value() {
    timeout -k 5 30 "$WINELOADER" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# expect_value KEY NAME DATA: prints what differs.
expect_value() {
    local got
    got=$(reg_value "$1" "$2")
    [ "$got" = "$3" ] || echo "$1 $2 is '$got', not '$3'"
}

settings_key='HKCU\Software\Kelvara\Ferlin2'

# Exit after the show: the list, the options and "Visible" 1 in the settings key, the Run value.
check_saved() {
    expect_value "$settings_key" Filez 0x3
    expect_value "$settings_key" FileNum 0x2
    expect_value "$settings_key" File1 "$folder\\sky.bmp"
    expect_value "$settings_key" File2 "$folder\\tall.bmp"
    local main=$settings_key\\Main
    expect_value "$main" ResSmall_Checked True
    expect_value "$main" ResLarge_Checked True
    expect_value "$main" Edit1_Text 30
    expect_value "$main" PixFormat_ItemIndex 0
    expect_value "$main" Visible 1
    expect_value "$main" ShowCmd 1
    [[ $(reg_value "$main" "NormPos($screen)") =~ ^-?[0-9]+,-?[0-9]+,-?[0-9]+,-?[0-9]+$ ]] ||
        echo "NormPos($screen) is '$(reg_value "$main" "NormPos($screen)")'"
    local run
    run=$(reg_value "$run_key" TavoWallpaper)
    [ "${run,,}" = "$(tavo_wine_path "$exe" | tr '[:upper:]' '[:lower:]')" ] || echo "the Run value is '$run'"
}

# The close box: "Visible" 0; unticking removed the Run value.
check_closed() {
    expect_value "$settings_key\\Main" Visible 0
    [ -z "$(reg_value "$run_key" TavoWallpaper)" ] || echo "the Run value is still there"
}

# The Greek-named copy of the JPEG is the wallpaper, and the desktop's "fill" style became centre before.
check_script_names() {
    local expected=$work/expected/swirl-wallpaper.bmp
    "$native_dir/tavowall-prepare" --target "$screen" --display-bpp "$bpp" "$pics/swirl picture.jpg" "$expected" ||
        { echo "tavowall-prepare failed for the wallpaper"; return; }
    cmp -s "$expected" "$wallpaper" || echo "Tavo Wallpaper.bmp is not the Greek-named JPEG prepared for the screen"
    expect_value 'HKCU\Control Panel\Desktop' WallpaperStyle 0
    expect_value 'HKCU\Control Panel\Desktop' TileWallpaper 0
    expect_value 'HKCU\Control Panel\Desktop' Wallpaper "$wallpaper_win"
}

# The icon was added while the main window was created and once more at the end of its loading; a run that
# never showed the window wrote nothing.
check_tray_start() {
    local hwnd adds
    hwnd=$(grep '^tray ' "$1" | tr -d '\r' | awk '{print $2}')
    adds=$(icon_events "$hwnd" | grep -c '^add_icon')
    [ "$adds" -eq 2 ] || echo "the shell added the icon of $hwnd $adds times, not 2"
    if timeout -k 5 30 "$WINELOADER" reg query "$settings_key" >/dev/null 2>&1; then
        echo "the settings key was written although the window was never shown"
    fi
}

# The broadcast made the program register its icon a third time.
check_reregistered() {
    local hwnd adds
    hwnd=$(grep '^tray ' "$1" | tr -d '\r' | awk '{print $2}')
    adds=$(icon_events "$hwnd" | grep -c '^add_icon')
    [ "$adds" -eq 3 ] || echo "the shell added the icon of $hwnd $adds times, not 3"
}

# The desktop's shell added the icon once: the retry that came after the refusing notification area went.
check_late_add() {
    local hwnd adds
    hwnd=$(grep '^tray ' "$1" | tr -d '\r' | awk '{print $2}')
    adds=$(icon_events "$hwnd" | grep -c '^add_icon')
    [ "$adds" -eq 1 ] || echo "the shell added the icon of $hwnd $adds times, not 1"
}

# Two copies, two icons of two windows.
check_two_icons() {
    local hwnds
    hwnds=$(grep '^tray ' "$1" | tr -d '\r' | awk '{print $2}' | sort -u | wc -l)
    [ "$hwnds" -eq 2 ] || echo "$hwnds icon windows, not 2"
    local hwnd
    for hwnd in $(grep '^tray ' "$1" | tr -d '\r' | awk '{print $2}'); do
        icon_events "$hwnd" | grep -q '^add_icon' || echo "the shell never added the icon of $hwnd"
    done
}

# The close query at the end of the session saved the settings.
check_session_saved() {
    expect_value "$settings_key\\Main" ShowCmd 1
    expect_value "$settings_key" Filez 0x2
}

# ---- the scenarios ----
scenario tray-start check_tray_start
scenario tray-clicks -
scenario taskbar-created check_reregistered
scenario end-session check_session_saved
scenario two-copies check_two_icons
scenario minimized-start - "$(tavo_wine_path "$exe")"
scenario late-shell check_late_add "$(tavo_wine_path "$exe")"
"$native_dir/tavowall-prepare" --target 200x150 --screen "$screen" --display-bpp "$bpp" "$pics/sky.bmp" \
    "$work/expected/preview.bmp" || fail_setup "tavowall-prepare failed for the preview"

scenario add-and-set check_wallpaper "$folder" "$(tavo_wine_path "$work/expected/preview.bmp")" sky.bmp "swirl picture.jpg"
scenario remove-middle - "$folder" sky.bmp tall.bmp palette.bmp
scenario open-replace - "$folder" sky.bmp tall.bmp "swirl picture.jpg"
scenario del-in-edit - "$folder" tall.bmp palette.bmp
"$native_dir/tavowall-prepare" --target 200x150 --screen "$screen" --display-bpp "$bpp" --zoom "$pics/tall.bmp" \
    "$work/expected/zoomed.bmp" || fail_setup "tavowall-prepare failed for the zoomed preview"
scenario persist-save check_saved "$folder" sky.bmp tall.bmp
scenario persist-restore check_closed "$folder" "$(tavo_wine_path "$work/expected/zoomed.bmp")" sky.bmp tall.bmp
scenario script-names check_script_names "$folder" "$(tavo_wine_path "$exe")" \
    "$(tavo_wine_path "$work/expected/preview.bmp")" sky.bmp "swirl picture.jpg" tall.bmp palette.bmp
scenario size-limits -
scenario load-error - "$folder" broken.bmp
scenario many-files - "$folder" sky.bmp
scenario focus-after-error - "$folder" broken.bmp no-table.jpg
scenario half-visible-row - "$folder"
check_header_wallpaper() { wallpaper_is palette.bmp; }
scenario keys-and-menu check_header_wallpaper "$folder" tall.bmp sky.bmp palette.bmp

# shellcheck source=tests/e2e/installer.sh
source "$root/tests/e2e/installer.sh"
installer_scenario
# shellcheck source=tests/e2e/desktops.sh
source "$root/tests/e2e/desktops.sh"
desktop_scenarios

echo "e2e: $((SECONDS - started)) s; logs and screenshots in $work"
echo "e2e $arch: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
