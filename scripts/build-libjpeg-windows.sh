#!/usr/bin/env bash
# Builds the static libjpeg (version 6 interface) for Windows into build/deps/libjpeg-ARCH.
# usage: bash scripts/build-libjpeg-windows.sh win32|win64
# Cross-compiles the distribution's libjpeg-turbo source with mingw-w64 (i686 for win32, x86_64 for win64) and
# nasm, with the SIMD code of that processor. Quiet and idempotent: nothing is done while the installed library
# is newer than this script and the toolchain files.
set -euo pipefail

arch=${1:-}
case $arch in
    win32) toolchain_name=mingw-i686.cmake ;;
    win64) toolchain_name=mingw-x86_64.cmake ;;
    *) echo "usage: $0 win32|win64" >&2; exit 64 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
deps=$root/build/deps
src=$deps/libjpeg-turbo-src
bld=$deps/libjpeg-$arch-build
prefix=$deps/libjpeg-$arch
toolchain=$root/cmake/$toolchain_name
stamp=$prefix/lib/libjpeg.a

up_to_date() {
    [ -f "$stamp" ] && [ -f "$prefix/include/jpeglib.h" ] && [ -f "$prefix/include/jconfig.h" ] &&
        [ "$stamp" -nt "$0" ] && [ "$stamp" -nt "$toolchain" ] && [ "$stamp" -nt "$root/cmake/mingw.cmake" ]
}
up_to_date && exit 0

"$root/scripts/fetch-libjpeg-source.sh"

log=$deps/libjpeg-$arch-build.log
mkdir -p "$deps"
: >"$log"
fail() {
    echo "build-libjpeg-windows $arch: $1 failed; last lines of $log:" >&2
    tail -n 30 "$log" >&2
    exit 1
}

# A half-finished earlier run may have left a cache made with other settings.
rm -rf "$bld" "$prefix"
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)

cmake -S "$src" -B "$bld" "${generator[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_INSTALL_INCLUDEDIR=include \
    -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF \
    -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
    >>"$log" 2>&1 || fail "configuring libjpeg-turbo"

jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -gt 2 ] && jobs=2
cmake --build "$bld" --target jpeg-static -j "$jobs" >>"$log" 2>&1 || fail "building libjpeg-turbo"

# Install only the library and the four public headers; the command-line programs are not needed.
mkdir -p "$prefix/lib" "$prefix/include"
for h in jpeglib.h jmorecfg.h jerror.h; do
    cp "$src/$h" "$prefix/include/$h"
done
cp "$bld/jconfig.h" "$prefix/include/jconfig.h"
lib=$(find "$bld" -maxdepth 1 -name 'libjpeg*.a' | head -n 1)
[ -n "$lib" ] || fail "finding the built static library"
cp "$lib" "$stamp.tmp"
mv "$stamp.tmp" "$stamp"
