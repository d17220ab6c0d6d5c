#!/usr/bin/env bash
# Starts Tavo Wallpaper 2 under Wine ("make run"; make has built both presets).
#   With an X display (DISPLAY set): the program on it, with sample pictures ready to add; ends with the program.
#   Without one: a scripted demonstration on a private Xvfb: the window opened from the tray icon, the sample
#   pictures added, one of them made the wallpaper, a screenshot; prints where the screenshot and the
#   wallpaper file are.
#   While the Windows build has no TavoWallpaper.exe: prepares the sample picture with tavowall-prepare.
# The program is the 32-bit build where this host executes 32-bit code, else the 64-bit one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/run
native=$root/build/native
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
arch=$WINEARCH
windows=$root/build/$arch
exe=$windows/TavoWallpaper.exe
driver=$windows/tavowall-e2e-driver.exe
mkdir -p "$out"

if [ ! -f "$exe" ]; then
    "$native/tavowall-sample" "$out/sample.bmp" 1600x1200
    "$native/tavowall-prepare" --target 1024x768 --status "$out/sample.bmp" "$out/Tavo Wallpaper.bmp"
    "$native/tavowall-prepare" --target 200x150 --screen 1024x768 "$out/sample.bmp" "$out/preview.bmp"
    echo "sample picture:        $out/sample.bmp"
    echo "wallpaper (1024x768):  $out/Tavo Wallpaper.bmp"
    echo "preview (200x150):     $out/preview.bmp"
    echo "(no $exe yet: build it with 'make $arch' to run the program)"
    exit 0
fi

# The program's own prefix, kept between runs (its first start takes a little while).
export TAVO_WINEPREFIX=$out/prefix-$arch
export TAVO_WINE_LINGER=5
tavo_wine_use "$arch"
echo "The $arch build; Wine prefix: $WINEPREFIX"
tavo_wine_init

# The sample pictures, drawn at run time into the Wine user's own Pictures folder, where a Windows user keeps
# them: the program's own sky at three sizes, one of them as JPEG. A folder that Wine linked to the Unix
# user's home is replaced by one inside the prefix, so that nothing is written outside the build tree.
user_dir=$WINEPREFIX/drive_c/users/$(id -un)
pics=$user_dir/Pictures
[ -L "$pics" ] && rm -f "$pics"
mkdir -p "$pics"
"$native/tavowall-sample" "$pics/Evening sky.bmp" 1600x1200
"$native/tavowall-sample" "$pics/Small sky.bmp" 320x240
if command -v convert >/dev/null 2>&1; then
    "$native/tavowall-sample" "$out/wide.bmp" 1920x1080
    convert "$out/wide.bmp" -quality 90 "$pics/Wide sky.jpg"
    rm -f "$out/wide.bmp"
fi
names=()
for f in "$pics"/*; do names+=("$(basename "$f")"); done
pics_win="C:\\users\\$(id -un)\\Pictures"

# Whether every program of the prefix joins one virtual desktop (the demonstration) or not (a real display).
desktop=tavodemo
screen=1024x768
explorer_key='HKCU\Software\Wine\Explorer'
use_virtual_desktop() {
    if [ "$1" = on ]; then
        tavo_wine reg add "$explorer_key\Desktops" /v "$desktop" /d "$screen" /f >/dev/null 2>&1 &&
            tavo_wine reg add "$explorer_key" /v Desktop /d "$desktop" /f >/dev/null 2>&1
    else
        tavo_wine reg delete "$explorer_key" /v Desktop /f >/dev/null 2>&1 || true
    fi
}

if [ -n "${DISPLAY:-}" ]; then
    use_virtual_desktop off
    echo "Sample pictures to add: $pics_win"
    echo "Starting Tavo Wallpaper 2 on $DISPLAY: it lives in the notification area; click its icon to open"
    echo "the window. It runs until you close the window or choose Exit (Ctrl+X)."
    tavo_wine "$(tavo_wine_path "$exe")" </dev/null || true
    timeout 30 wineserver -w || true
    exit 0
fi

# ---- the demonstration on a virtual display ----
tavo_wine_display
program_pid=
finish() {
    [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null && kill "$program_pid" 2>/dev/null
    # Only this prefix: its server and whatever still runs in it.
    wineserver -k 2>/dev/null || true
    use_virtual_desktop off
    tavo_wine_stop
}
trap finish EXIT
use_virtual_desktop on

# Runs the driver in the program's desktop and shows its report.
drive() {
    local log=$1 rc=0
    shift
    timeout -k 5 120 "$WINELOADER" "$(tavo_wine_path "$driver")" "$@" </dev/null >"$log" 2>"$log.stderr" || rc=$?
    tr -d '\r' <"$log" | sed 's/^/  /'
    return "$rc"
}

tavo_wine explorer "/desktop=$desktop,$screen" "$(tavo_wine_path "$exe")" </dev/null >"$out/program.log" 2>&1 &
program_pid=$!
echo "Demonstration on a virtual $screen desktop: open the window from the tray icon, add the sample"
echo "pictures, set the first as wallpaper"
if ! drive "$out/demo.log" demo "$pics_win" "${names[@]}"; then
    echo "the demonstration failed; see $out/demo.log" >&2
    exit 1
fi
import -display "$DISPLAY" -window root "$out/screenshot.png"
geometry=$(tr -d '\r' <"$out/demo.log" | awk '/^window /{printf "%dx%d+%d+%d", $4, $5, $2, $3}')
[ -n "$geometry" ] && convert "$out/screenshot.png" -crop "$geometry" +repage "$out/main-window.png"
drive "$out/exit.log" exit >/dev/null || echo "(the program did not end on Ctrl+X)"
# Bounded: the desktop's explorer may outlive the program a little; finish ends what is left.
for _ in $(seq 30); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
echo "screenshot:      $out/screenshot.png"
[ -n "$geometry" ] && echo "main window:     $out/main-window.png"
echo "wallpaper file:  $WINEPREFIX/drive_c/windows/Tavo Wallpaper.bmp"
