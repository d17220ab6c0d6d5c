#!/usr/bin/env bash
# Runs every fuzz target for a bounded time, seeded with the conformance files and generated pictures.
# usage: tests/fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:-build/fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/corpus
mkdir -p "$work/bmp" "$work/jpeg"

find "$root/tests/data/bmpsuite" -name '*.bmp' -exec cp -n {} "$work/bmp/" \;
testimages=$root/build/deps/libjpeg-turbo-src/testimages
[ -d "$testimages" ] && cp -n "$testimages"/*.jpg "$work/jpeg/" 2>/dev/null || true
# Every luma sampling layout, baseline and progressive: the row-by-row road skips rows by layout.
if command -v cjpeg >/dev/null 2>&1 && [ -f "$testimages/testorig.ppm" ]; then
    for layout in 1x1 1x2 1x3 1x4 2x1 2x2 2x3 2x4 3x1 3x2 4x1 4x2; do
        for mode in baseline progressive; do
            seed=$work/jpeg/sample-$layout-$mode.jpg
            [ -f "$seed" ] && continue
            flag=(); [ "$mode" = progressive ] && flag=(-progressive)
            cjpeg -sample "$layout" "${flag[@]}" -outfile "$seed" "$testimages/testorig.ppm"
        done
    done
fi

status=0
for target in fuzz_bmp:bmp fuzz_jpeg:jpeg; do
    name=${target%%:*}
    corpus=$work/${target##*:}
    [ -x "$build/$name" ] || { echo "$name: not built"; status=1; continue; }
    echo "== $name for ${seconds}s"
    if ! "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=1048576 \
        -artifact_prefix="$build/$name-" "$corpus" >"$build/$name.log" 2>&1; then
        echo "$name found a fault; see $build/$name.log"
        tail -n 30 "$build/$name.log"
        status=1
    else
        grep -E '^#[0-9]+.*DONE' "$build/$name.log" | tail -n 1 || true
    fi
done
exit $status
