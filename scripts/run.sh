#!/usr/bin/env bash
# Prepares the program's own sample picture as a wallpaper and says where the result went.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/run
mkdir -p "$out"
"$root/build/native/tavowall-sample" "$out/sample.bmp" 1600x1200
"$root/build/native/tavowall-prepare" --target 1024x768 --status "$out/sample.bmp" "$out/Tavo Wallpaper.bmp"
"$root/build/native/tavowall-prepare" --target 200x150 --screen 1024x768 "$out/sample.bmp" "$out/preview.bmp"
echo "sample picture:        $out/sample.bmp"
echo "wallpaper (1024x768):  $out/Tavo Wallpaper.bmp"
echo "preview (200x150):     $out/preview.bmp"
