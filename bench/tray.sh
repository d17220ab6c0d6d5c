#!/usr/bin/env bash
# The program in the notification area under Wine: time from the process start to its icon's registration
# and to the splash gone, and its memory in the tray after the start and after its window was shown with a
# 24-megapixel JPEG (6000x4000) previewed (the stored list's selection) and hidden again. Three runs; prints
# one line per run.
# usage: bash bench/tray.sh   (NATIVE_DIR, default build/native; WINDOWS_DIR, default build/win32 where this host
#        executes 32-bit code, else build/win64)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=${NATIVE_DIR:-$root/build/native}
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
windows=${WINDOWS_DIR:-$root/build/$WINEARCH}
for f in "$windows/TavoWallpaper.exe" "$windows/tavowall-e2e-driver.exe" "$native/tavowall-sample"; do
    [ -f "$f" ] || { echo "bench/tray.sh: build $f first" >&2; exit 2; }
done
arch=$(tavo_pe_arch "$windows/TavoWallpaper.exe") || exit 2
why=$(tavo_wine_runnable "$arch") || { echo "bench/tray.sh: $arch: $why" >&2; exit 2; }
work=$root/build/bench/tray
mkdir -p "$work/pics"
export TAVO_WINEPREFIX=$work/prefix-$arch
tavo_wine_use "$arch"
echo "the $arch build: $windows/TavoWallpaper.exe"
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
    tavo_wine reg delete 'HKCU\Software\Kelvara\Ferlin2' /f >/dev/null 2>&1
    # The list the window restores: the photo, selected.
    key='HKCU\Software\Kelvara\Ferlin2'
    tavo_wine reg add "$key" /v Filez /t REG_DWORD /d 2 /f >/dev/null 2>&1
    tavo_wine reg add "$key" /v FileNum /t REG_DWORD /d 1 /f >/dev/null 2>&1
    tavo_wine reg add "$key" /v File1 /d "$(tavo_wine_path "$work/pics/photo.jpg")" /f >/dev/null 2>&1
    log=$work/run$run.log
    timeout -k 5 180 "$WINELOADER" "$(tavo_wine_path "$windows/tavowall-e2e-driver.exe")" bench-tray \
        "$(tavo_wine_path "$windows/TavoWallpaper.exe")" </dev/null >"$log" 2>&1
    started=$(tr -d '\r' <"$log" | awk '/^started /{print $2}')
    gone=$(tr -d '\r' <"$log" | awk '/^splash-gone /{print $2}')
    # The first icon the shell added after the start: its time stamp, in milliseconds.
    icon=$(awk -v t="$started" -F: '/add_icon/ {ms = int($1 * 1000 + 0.5); if (ms >= t) {print ms; exit}}' "$work/shell.log")
    echo "run $run: icon registered after $((icon - started)) ms, splash gone after $((gone - started)) ms;" \
        "in the tray: $(tr -d '\r' <"$log" | sed -n 's/^memory-tray //p');" \
        "after the window's 6000x4000 preview and Hide: $(tr -d '\r' <"$log" | sed -n 's/^memory-after //p')"
    grep -q '^driver: PASS' "$log" || { echo "the driver failed: $log" >&2; exit 1; }
done
