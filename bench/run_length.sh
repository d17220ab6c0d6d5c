#!/usr/bin/env bash
# Peak memory and time of run-length bitmap files through tavowall-prepare, on both roads: two tiny files
# that declare 11000x12000 pixels (RLE8 of 1,080 bytes, RLE4 of 120 bytes: headers, colour table and an
# end code) and an ImageMagick RLE8 picture of 4000x3000. Checks that both roads write the same file.
# usage: bash bench/run_length.sh   (BUILD_DIR, default build/native; BENCH_DIR, default build/bench)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/native}
bench=${BENCH_DIR:-$root/build/bench}/run-length
prepare=$build/tavowall-prepare
[ -x "$prepare" ] || { echo "bench/run_length.sh: build $prepare first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "bench/run_length.sh: /usr/bin/time is missing (package time)" >&2; exit 2; }
mkdir -p "$bench"

python3 - "$bench" <<'PY'
import struct, sys
def bomb(path, bits, compression):
    table = b''.join(struct.pack('<BBBB', i, 255 - i, 7 * i & 255, 0) for i in range(1 << bits))
    codes = b'\x00\x01'
    info = struct.pack('<IiiHHIIiiII', 40, 11000, 12000, 1, bits, compression, len(codes), 0, 0, 0, 0)
    start = 14 + len(info) + len(table)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', start + len(codes), 0, 0, start) + info + table + codes)
bomb(sys.argv[1] + '/bomb8.bmp', 8, 1)
bomb(sys.argv[1] + '/bomb4.bmp', 4, 2)
PY
convert=/usr/bin/convert
[ -x $convert ] || convert=convert
[ -s "$bench/gradient.bmp" ] || $convert -size 4000x3000 gradient:navy-orange -colors 200 -type Palette "$bench/gradient.bmp"

printf '| File | Bytes | Run | Peak MiB | Seconds |\n|---|---:|---|---:|---:|\n'
for name in bomb8 bomb4 gradient; do
    in=$bench/$name.bmp
    for target in "1920x1080" "200x150 --screen 1920x1080"; do
        for road in "" "--full-decode"; do
            out=$bench/$name-${target%% *}${road:+-full}.bmp
            # shellcheck disable=SC2086  # the target carries its own options
            stats=$(/usr/bin/time -f '%M %e' "$prepare" --target $target $road "$in" "$out" 2>&1 >/dev/null | tail -n 1)
            printf '| %s | %s | %s %s | %.1f | %s |\n' "$name" "$(stat -c %s "$in")" "${target%% *}" \
                "${road:-row by row}" "$(echo "${stats% *} / 1024" | bc -l)" "${stats#* }"
        done
        cmp -s "$bench/$name-${target%% *}.bmp" "$bench/$name-${target%% *}-full.bmp" ||
            { echo "bench/run_length.sh: the roads differ for $name at ${target%% *}" >&2; exit 1; }
    done
done
