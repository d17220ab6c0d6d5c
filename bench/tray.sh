#!/usr/bin/env bash
# The program in the notification area under Wine: time from the process start to its icon's registration
# and to the splash gone, and its memory in the tray after the start and after its window was shown with a
# 24-megapixel JPEG (6000x4000) previewed (the stored list's selection) and hidden again. Three runs; prints
# one line per run.
# usage: bash bench/tray.sh   (NATIVE_DIR, default build/native; WIN32_DIR, default build/win32)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=${NATIVE_DIR:-$root/build/native}
win32=${WIN32_DIR:-$root/build/win32}
work=$root/build/bench/tray
for f in "$win32/TavoWallpaper.exe" "$win32/tavowall-e2e-driver.exe" "$native/tavowall-sample"; do
    [ -f "$f" ] || { echo "bench/tray.sh: build $f first" >&2; exit 2; }
done
mkdir -p "$work/pics"
export TAVO_WINEPREFIX=$work/prefix
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
unset DISPLAY
tavo_wine_display || exit 2
wineserver -k 2>/dev/null
tavo_wine_init || exit 2
trap 'wineserver -k 2>/dev/null; tavo_wine_stop' EXIT

[ -s "$work/pics/photo.jpg" ] || {
    "$native/tavowall-sample" "$work/photo.bmp" 6000x4000 && convert "$work/photo.bmp" -quality 90 "$work/pics/photo.jpg"
    rm -f "$work/photo.bmp"
}
tavo_wine_desktop tavobench 1024x768 "$work/shell.log" || exit 2

for run in 1 2 3; do
    wine reg delete 'HKCU\Software\Kelvara\Ferlin2' /f >/dev/null 2>&1
    # The list the window restores: the photo, selected.
    key='HKCU\Software\Kelvara\Ferlin2'
    wine reg add "$key" /v Filez /t REG_DWORD /d 2 /f >/dev/null 2>&1
    wine reg add "$key" /v FileNum /t REG_DWORD /d 1 /f >/dev/null 2>&1
    wine reg add "$key" /v File1 /d "$(tavo_wine_path "$work/pics/photo.jpg")" /f >/dev/null 2>&1
    log=$work/run$run.log
    timeout -k 5 180 wine "$(tavo_wine_path "$win32/tavowall-e2e-driver.exe")" bench-tray \
        "$(tavo_wine_path "$win32/TavoWallpaper.exe")" </dev/null >"$log" 2>&1
    started=$(tr -d '\r' <"$log" | awk '/^started /{print $2}')
    gone=$(tr -d '\r' <"$log" | awk '/^splash-gone /{print $2}')
    # The first icon the shell added after the start: its time stamp, in milliseconds.
    icon=$(awk -v t="$started" -F: '/add_icon/ {ms = int($1 * 1000 + 0.5); if (ms >= t) {print ms; exit}}' "$work/shell.log")
    echo "run $run: icon registered after $((icon - started)) ms, splash gone after $((gone - started)) ms;" \
        "in the tray: $(tr -d '\r' <"$log" | sed -n 's/^memory-tray //p');" \
        "after the window's 6000x4000 preview and Hide: $(tr -d '\r' <"$log" | sed -n 's/^memory-after //p')"
    grep -q '^driver: PASS' "$log" || { echo "the driver failed: $log" >&2; exit 1; }
done
