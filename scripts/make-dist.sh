#!/usr/bin/env bash
# Packs one Windows build for users: the zip (program, README.txt, licence) and the NSIS installer.
#
# usage: bash scripts/make-dist.sh [WINDOWS_BUILD_DIR [DIST_DIR]]   (defaults build/win32, dist)
# The build's processor names the files: TavoWallpaper-VERSION-win32.zip and TavoWallpaper-VERSION-setup.exe for
# the 32-bit program, TavoWallpaper-VERSION-win64.zip and TavoWallpaper-VERSION-win64-setup.exe for the 64-bit
# one. Prints the two files' paths; fails when the program is not built or makensis or zip is missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/pe-arch.sh
source "$root/scripts/pe-arch.sh"
build=$(cd "${1:-$root/build/win32}" && pwd)
mkdir -p "${2:-$root/dist}"
dist=$(cd "${2:-$root/dist}" && pwd)
version=$(sed -n 's/^project(TavoWallpaper2 VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "make-dist: no version in CMakeLists.txt" >&2; exit 1; }
[ -f "$build/TavoWallpaper.exe" ] || { echo "make-dist: $build/TavoWallpaper.exe is not built" >&2; exit 1; }
arch=$(tavo_pe_arch "$build/TavoWallpaper.exe") ||
    { echo "make-dist: $build/TavoWallpaper.exe is no Windows program of a known processor" >&2; exit 1; }
for tool in makensis zip; do
    command -v "$tool" >/dev/null || { echo "make-dist: $tool is not installed (scripts/install-deps.sh)" >&2; exit 1; }
done

name=TavoWallpaper-$version
stage=$build/dist-stage
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/TavoWallpaper.exe" "$stage/"
# Text files for Windows users: CRLF line ends.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/packaging/README.txt" >"$stage/README.txt"
sed -e 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
# Fixed times, so that the same build packs to the same zip.
touch -d '2000-01-01 00:00:00 UTC' "$stage"/*

zip_file=$dist/$name-$arch.zip
rm -f "$zip_file"
(cd "$stage" && TZ=UTC zip -q -X -D "$zip_file" TavoWallpaper.exe README.txt LICENSE.txt)

setup_file=$dist/$name-setup.exe
[ "$arch" = win64 ] && setup_file=$dist/$name-win64-setup.exe
makensis -V2 -NOCD "-DVERSION=$version" "-DARCH=$arch" "-DSTAGE=$stage" "-DOUTFILE=$setup_file" \
    "$root/packaging/tavo-wallpaper.nsi" >"$build/makensis.log" ||
    { cat "$build/makensis.log" >&2; exit 1; }
echo "$zip_file"
echo "$setup_file"
