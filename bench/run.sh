#!/usr/bin/env bash
# Benchmarks picture preparation (tavowall-prepare) against djpeg's full decode, ImageMagick's -sample and
# the entropy-decoding floor, all measured in the same run on the same generated pictures.
#
# usage: bash bench/run.sh [--runs N] [--no-huge] [--no-extras] [--no-wine] [--fresh]
#   --runs N     timed runs of each command (default 9, at least 5; BENCH_RUNS works too)
#   --no-huge    leave out the 12000x9000 picture
#   --no-extras  leave out the grayscale, progressive and textured variants of the 6000x4000 picture
#   --no-wine    leave out the Windows builds' runs on the 12000x9000 picture under Wine
#   --fresh      make the input pictures again even when they are up to date
# Settings (environment): BUILD_DIR (default build/native), BENCH_DIR (default build/bench).
#
# Runs are interleaved: every round runs each command once, so that load from other work on the machine
# falls on all of them alike. Wall time is the median of the rounds; peak memory (maximum resident set,
# from /usr/bin/time) comes from one extra run, which also warms the page cache. The table goes to
# standard output and to BENCH_DIR/results.md; the raw times to BENCH_DIR/times.tsv.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/native}
bench=${BENCH_DIR:-$root/build/bench}
runs=${BENCH_RUNS:-9}
huge=1
extras=1
wine_check=1
fresh=
given_args="$*"

while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=${2:?--runs needs a number}; shift ;;
        --no-huge) huge= ;;
        --no-extras) extras= ;;
        --no-wine) wine_check= ;;
        --fresh) fresh=1 ;;
        -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "bench/run.sh: unknown argument '$1' (try --help)" >&2; exit 64 ;;
    esac
    shift
done
case $runs in '' | *[!0-9]*) echo "bench/run.sh: --runs needs a number" >&2; exit 64 ;; esac
[ "$runs" -ge 5 ] || { echo "bench/run.sh: at least 5 runs are needed for a median worth the name" >&2; exit 64; }

die() { echo "bench/run.sh: $*" >&2; exit 2; }
need() { command -v "$1" >/dev/null 2>&1 || die "$1 is missing ($2)"; }
need djpeg "package libjpeg-turbo-progs"
need cjpeg "package libjpeg-turbo-progs"
# The real ImageMagick, not a wrapper that may stand in front of it on the PATH.
if [ -x /usr/bin/convert ]; then im_convert=/usr/bin/convert; else need convert "package imagemagick"; im_convert=$(command -v convert); fi
peak_tool=/usr/bin/time
[ -x "$peak_tool" ] || { echo "bench/run.sh: /usr/bin/time is missing (package time): no peak memory" >&2; peak_tool=; }

# ---- the programs ----
# The commit the programs are built from, taken before the build (others may commit while this runs).
commit="$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo '?')"
git -C "$root" diff --quiet HEAD -- src tools 2>/dev/null || commit+=" (with uncommitted changes in src/ or tools/)"

# Brought up to date in the native build; a BUILD_DIR that is no CMake build is used as it stands.
if command -v cmake >/dev/null 2>&1 && { [ -f "$build/CMakeCache.txt" ] || [ "$build" = "$root/build/native" ]; }; then
    [ -f "$build/CMakeCache.txt" ] || (cd "$root" && cmake --preset native >/dev/null)
    mkdir -p "$bench"
    cmake --build "$build" --target tavowall-prepare tavowall-sample bench_huffman_floor -j2 >"$bench/build.log" 2>&1 ||
        die "building the benchmark programs in $build failed; see $bench/build.log"
fi
prepare=$build/tavowall-prepare
sample=$build/tavowall-sample
floor=$build/bench_huffman_floor
for p in "$prepare" "$sample" "$floor"; do [ -x "$p" ] || die "missing $p (cmake --preset native && cmake --build build/native)"; done

# ---- the input pictures: the program's own sample picture, never pictures from elsewhere ----
mkdir -p "$bench/in" "$bench/out"
in=$bench/in
# Bump the recipe when the way the inputs are made changes; the sample's source decides the picture. A
# changed recipe, or --fresh, makes them all again; otherwise only the missing ones are made.
recipe="recipe 2 $(sha256sum "$root/tools/tavowall_sample.cpp" | cut -c1-16)"
stamp=$in/inputs.stamp
if [ -n "$fresh" ] || [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$recipe" ]; then
    rm -f "$in"/*.bmp "$in"/*.jpg
    echo "$recipe" >"$stamp"
fi
made=
mk() {  # mk FILE.bmp WxH: the sample picture at that size
    [ -n "$made" ] || { echo "making the input pictures in $in ..." >&2; made=1; }
    "$sample" "$1" "$2" >/dev/null || die "tavowall-sample $2 failed"
}
jpg() { { cjpeg -quality 90 "${@:3}" "$1" >"$2.part" && mv "$2.part" "$2"; } || die "cjpeg failed for $2"; }
if [ ! -f "$in/sample_4000x3000.jpg" ]; then
    mk "$in/tmp.bmp" 4000x3000
    jpg "$in/tmp.bmp" "$in/sample_4000x3000.jpg"
fi
[ -f "$in/sample_6000x4000.bmp" ] || mk "$in/sample_6000x4000.bmp" 6000x4000
[ -f "$in/sample_6000x4000.jpg" ] || jpg "$in/sample_6000x4000.bmp" "$in/sample_6000x4000.jpg"
if [ -n "$extras" ]; then
    [ -f "$in/gray_6000x4000.jpg" ] || jpg "$in/sample_6000x4000.bmp" "$in/gray_6000x4000.jpg" -grayscale
    [ -f "$in/progressive_6000x4000.jpg" ] ||
        jpg "$in/sample_6000x4000.bmp" "$in/progressive_6000x4000.jpg" -progressive
    if [ ! -f "$in/textured_6000x4000.jpg" ]; then
        # The sample is smooth and compresses far better than a photograph; fixed-seed noise gives it
        # a photograph's amount of detail (about 2.5 bits per pixel at quality 90).
        "$im_convert" "$in/sample_6000x4000.bmp" -seed 7 -attenuate 0.5 +noise Gaussian -type TrueColor \
            BMP3:"$in/tmp.bmp" || die "adding noise to the sample failed"
        jpg "$in/tmp.bmp" "$in/textured_6000x4000.jpg"
    fi
fi
if [ -n "$huge" ] && [ ! -f "$in/sample_12000x9000.jpg" ]; then
    mk "$in/tmp.bmp" 12000x9000
    jpg "$in/tmp.bmp" "$in/sample_12000x9000.jpg"
fi
rm -f "$in/tmp.bmp"

# ---- the cases ----
ids=()
declare -A label=() cmd=() ref=() input=() output=()
q() { printf '%q' "$1"; }
# add ID REF LABEL INPUT OUTPUT COMMAND...: REF is the case whose time the ratio divides by.
add() {
    local id=$1
    ids+=("$id")
    ref[$id]=$2 label[$id]=$3 input[$id]=$4 output[$id]=$5
    shift 5
    local c="" a
    for a in "$@"; do c+="$(q "$a") "; done
    cmd[$id]=$c
}
# The full-decode road (--full-decode) is the reference the streamed road must match byte for byte; builds
# from before the streamed road have only the full decode.
full_flag=
usage_text=$("$prepare" --help 2>&1 || true)
case $usage_text in *--full-decode*) full_flag=1 ;; esac
jpeg_names=()
add_jpeg() {  # add_jpeg NAME [wall-only]: djpeg, the floors, wallpaper and preview of in/NAME.jpg
    local n=$1 f=$in/$1.jpg o=$bench/out road
    jpeg_names+=("$n")
    add "$n.djpeg" "$n.djpeg" "djpeg -bmp (full decode)" "$f" /dev/null djpeg -bmp "$f"
    add "$n.floor" "$n.djpeg" "Huffman floor, coefficients kept" "$f" /dev/null "$floor" "$f"
    add "$n.skipfloor" "$n.djpeg" "Huffman floor, coefficients dropped" "$f" /dev/null "$floor" --skip "$f"
    for road in ${full_flag:+full} streamed; do
        local id=wall extra=() what=""
        [ "$road" = full ] && id=wallfull extra=(--full-decode) what=", --full-decode"
        [ "$road" = streamed ] && [ -n "$full_flag" ] && what=", streamed"
        add "$n.$id" "$n.djpeg" "wallpaper 1920x1080$what" "$f" "$o/$n.$id.bmp" \
            "$prepare" "${extra[@]}" --target 1920x1080 "$f" "$o/$n.$id.bmp"
        [ "${2:-}" = wall-only ] && continue
        id=${id/wall/preview}
        add "$n.$id" "$n.djpeg" "preview 200x150$what" "$f" "$o/$n.$id.bmp" \
            "$prepare" "${extra[@]}" --target 200x150 --screen 1920x1080 "$f" "$o/$n.$id.bmp"
    done
}
add_jpeg sample_4000x3000
add_jpeg sample_6000x4000
bmp=$in/sample_6000x4000.bmp
add bmp_6000x4000.convert bmp_6000x4000.convert "convert -sample 1920x1080!" "$bmp" "$bench/out/bmp.convert.bmp" \
    "$im_convert" "$bmp" -sample '1920x1080!' "$bench/out/bmp.convert.bmp"
add bmp_6000x4000.wall bmp_6000x4000.convert "wallpaper 1920x1080" "$bmp" "$bench/out/bmp.wall.bmp" \
    "$prepare" --target 1920x1080 "$bmp" "$bench/out/bmp.wall.bmp"
if [ -n "$extras" ]; then
    add_jpeg textured_6000x4000
    add_jpeg gray_6000x4000
    # The program dithers grayscale pictures to 236 levels; djpeg does the same with -colors 236.
    add gray_6000x4000.djpeg236 gray_6000x4000.djpeg "djpeg -bmp -colors 236" "$in/gray_6000x4000.jpg" /dev/null \
        djpeg -bmp -colors 236 "$in/gray_6000x4000.jpg"
    for id in wall preview wallfull previewfull; do
        if [ -n "${ref[gray_6000x4000.$id]:-}" ]; then ref[gray_6000x4000.$id]=gray_6000x4000.djpeg236; fi
    done
    add_jpeg progressive_6000x4000
fi
[ -n "$huge" ] && add_jpeg sample_12000x9000 wall-only

# ---- measuring ----
errlog=$bench/errors.log
: >"$errlog"
times=$bench/times.tsv
: >"$times"
declare -A peak=() failed=()
rm -f "$bench"/out/*.bmp

echo "peak-memory and warm-up run ..." >&2
for id in "${ids[@]}"; do
    memf=$bench/mem.txt
    rc=0
    if [ -n "$peak_tool" ]; then
        eval "$peak_tool -f %M -o $(q "$memf") ${cmd[$id]}" >/dev/null 2>>"$errlog" || rc=$?
        peak[$id]=$(tail -n 1 "$memf" 2>/dev/null || echo "")
    else
        eval "${cmd[$id]}" >/dev/null 2>>"$errlog" || rc=$?
    fi
    if [ "$rc" -ne 0 ]; then
        failed[$id]="exit $rc"
        echo "  $id failed (exit $rc): $(tail -n 1 "$errlog")" >&2
    fi
done

# The streamed road must give exactly the full decode's bytes.
identical="not checked"
if [ -n "$full_flag" ]; then
    same=0 differ=()
    for n in "${jpeg_names[@]}"; do
        for kind in wall preview; do
            a=$bench/out/$n.$kind.bmp b=$bench/out/$n.${kind}full.bmp
            { [ -f "$a" ] && [ -f "$b" ]; } || continue
            if cmp -s "$a" "$b"; then same=$((same + 1)); else differ+=("$n.$kind"); fi
        done
    done
    if [ ${#differ[@]} -eq 0 ]; then identical="yes, all $same outputs"; else identical="NO: ${differ[*]} differ ($same match)"; fi
fi

echo "timing: $runs interleaved rounds ..." >&2
for ((r = 1; r <= runs; r++)); do
    for id in "${ids[@]}"; do
        [ -n "${failed[$id]:-}" ] && continue
        t0=${EPOCHREALTIME/./}
        rc=0
        eval "${cmd[$id]}" >/dev/null 2>>"$errlog" || rc=$?
        t1=${EPOCHREALTIME/./}
        if [ "$rc" -ne 0 ]; then failed[$id]="exit $rc in round $r"; continue; fi
        printf '%s\t%d\t%d\n' "$id" "$r" $((t1 - t0)) >>"$times"
    done
done

# Median of a case's times, in milliseconds with one decimal.
median() {
    awk -F'\t' -v id="$1" '$1 == id { print $3 }' "$times" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR == 0) exit; m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f", m / 1000 }'
}
declare -A med=() low=()
for id in "${ids[@]}"; do
    med[$id]=$(median "$id")
    low[$id]=$(awk -F'\t' -v id="$id" '$1 == id && (n++ == 0 || $3 < m) { m = $3 } END { if (n) printf "%.1f", m / 1000 }' "$times")
done

fsize() { [ -f "$1" ] && [ "$1" != /dev/null ] && stat -c %s "$1" || echo 0; }
mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
# Median over the rounds of a case's time divided by its reference's time in the same round: pairing the
# runs of one round keeps the ratio steady while the machine's load drifts.
paired() {
    awk -F'\t' -v id="$1" -v rf="$2" '$1 == id { a[$2] = $3 } $1 == rf { b[$2] = $3 }
        END { for (r in a) if ((r in b) && b[r] > 0) print a[r] / b[r] }' "$times" | sort -g |
        awk '{ v[NR] = $1 } END { if (NR == 0) exit; m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.2f", m }'
}

# ---- each Windows build under Wine on the 108-megapixel picture (one run, not timed for the table) ----
# The 32-bit one is the test of the address space; where this host cannot execute it, the report says so.
declare -A wine_verdict=([win32]="not measured (--no-wine)" [win64]="not measured (--no-wine)")
if [ -n "$huge" ] && [ -n "$wine_check" ]; then
    # shellcheck disable=SC1091  # the Wine helpers of scripts/, checked on their own
    source "$root/scripts/wine-env.sh"
    export TAVO_WINE_TIMEOUT=${TAVO_WINE_TIMEOUT:-180}
    for arch in win32 win64; do
        win_exe=$root/build/$arch/tavowall-prepare.exe
        if [ ! -f "$win_exe" ]; then
            wine_verdict[$arch]="not measured (no build/$arch/tavowall-prepare.exe)"
            continue
        fi
        if ! why=$(tavo_wine_runnable "$arch"); then
            wine_verdict[$arch]="not measured ($why)"
            continue
        fi
        echo "running the $arch build under Wine on the 12000x9000 picture ..." >&2
        tavo_wine_use "$arch"
        rc=0
        t0=${EPOCHREALTIME/./}
        if tavo_wine_init; then
            tavo_wine_run "$win_exe" --target 1920x1080 "$(tavo_wine_path "$in/sample_12000x9000.jpg")" \
                "$(tavo_wine_path "$bench/out/huge.wine.bmp")" >/dev/null 2>"$bench/wine.err" || rc=$?
        else
            rc=125
        fi
        t1=${EPOCHREALTIME/./}
        tavo_wine_stop
        if [ "$rc" -eq 0 ]; then
            verdict="met (exit 0, $(awk -v t=$((t1 - t0)) 'BEGIN { printf "%.1f", t / 1e6 }') s with Wine's start-up;"
            verdict+=" tavowall-prepare.exe built $(date -u -r "$win_exe" '+%Y-%m-%d %H:%M UTC');"
            if cmp -s "$bench/out/huge.wine.bmp" "$bench/out/sample_12000x9000.wall.bmp"; then
                verdict+=" output identical to the native build's)"
            else
                verdict+=" output DIFFERS from the native build's)"
            fi
        else
            verdict="not met (exit $rc: $(head -n 1 "$bench/wine.err" 2>/dev/null))"
        fi
        wine_verdict[$arch]=$verdict
    done
fi

# ---- the report ----
report=$bench/results.md
{
    echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), libjpeg-turbo" \
        "$(dpkg-query -W -f='${Version}' "libjpeg62-turbo:$(dpkg --print-architecture)" 2>/dev/null || echo '?'), $(uname -sr)"
    echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC'); programs built from commit $commit"
    echo "Command: bash bench/run.sh${given_args:+ $given_args} ($runs rounds)"
    echo
    echo "| Picture | File MiB | Run | Median ms | Min ms | Peak MiB | Ratio | Output MiB |"
    echo "|---|---:|---|---:|---:|---:|---:|---:|"
    for id in "${ids[@]}"; do
        pic=${id%.*}
        if [ -n "${failed[$id]:-}" ]; then
            m="failed (${failed[$id]})" rt="" lo="" peak[$id]=""
        else
            m=${med[$id]} lo=${low[$id]}
            rt=$(paired "$id" "${ref[$id]}")
            [ "${ref[$id]}" = "$id" ] && rt="1.00 (ref)"
        fi
        pk=${peak[$id]:-}
        [ -n "$pk" ] && pk=$(awk -v k="$pk" 'BEGIN { printf "%.1f", k / 1024 }')
        out=$(fsize "${output[$id]}")
        [ "$out" = 0 ] && out="" || out=$(mib "$out")
        echo "| $pic | $(mib "$(fsize "${input[$id]}")") | ${label[$id]} | $m | $lo | $pk | $rt | $out |"
    done
    echo
    echo "Ratio: the median over the rounds of the run's time divided by its reference's time in the same round;"
    echo "the reference is djpeg's full decode of the same file (BMP rows: ImageMagick's convert -sample;"
    echo "the grayscale file's wallpaper and preview: djpeg -bmp -colors 236, the 236-level dither the program applies)."
    echo
    echo "Goals:"
    # goal TEXT ID LIMIT: the case's time over its reference's is at most LIMIT.
    goal() {
        local id=$2 r verdict
        if [ -z "${med[$id]:-}" ] || [ -n "${failed[$id]:-}" ] || [ -z "${med[${ref[$id]}]:-}" ]; then
            echo "$1: not measured (${failed[$id]:-${failed[${ref[$id]}]:-missing}})"
            return
        fi
        r=$(paired "$id" "${ref[$id]}")
        verdict=$(awk -v r="$r" -v l="$3" 'BEGIN { print (r <= l) ? "met" : "not met" }')
        echo "$1: ${r}x (goal <= ${3}x): $verdict"
    }
    # memgoal TEXT ID: peak memory at most the compressed file + the output bitmap + 32 MiB.
    memgoal() {
        local id=$2 limit pk
        pk=${peak[$id]:-}
        if [ -z "$pk" ] || [ -n "${failed[$id]:-}" ]; then
            echo "$1: not measured (${failed[$id]:-no peak memory})"
            return
        fi
        limit=$(($(fsize "${input[$id]}") + $(fsize "${output[$id]}") + 32 * 1048576))
        echo "$1: peak $(mib $((pk * 1024))) MiB (goal <= $(mib "$limit") MiB):" \
            "$(awk -v p="$((pk * 1024))" -v l="$limit" 'BEGIN { print (p <= l) ? "met" : "not met" }')"
    }
    full=${full_flag:+full}
    echo "- Image preparation issue (full decode; wallpaper and preview each within 1.15x of djpeg):"
    for n in sample_4000x3000 sample_6000x4000; do
        goal "  - $n wallpaper${full_flag:+ (--full-decode)}" "$n.wall$full" 1.15
        goal "  - $n preview${full_flag:+ (--full-decode)}" "$n.preview$full" 1.15
    done
    memgoal_note() {  # the full decode's peak beside djpeg's
        local n=$1
        [ -n "${peak[$n.wall$full]:-}" ] && [ -n "${peak[$n.djpeg]:-}" ] &&
            echo "  - $n peak memory: wallpaper $(mib $((peak[$n.wall$full] * 1024))) MiB, djpeg $(mib $((peak[$n.djpeg] * 1024))) MiB"
        return 0
    }
    memgoal_note sample_4000x3000
    memgoal_note sample_6000x4000
    echo "- Streamed preparation issue:"
    goal "  - sample_6000x4000 wallpaper" sample_6000x4000.wall 0.75
    goal "  - sample_6000x4000 preview" sample_6000x4000.preview 0.60
    memgoal "  - sample_6000x4000 wallpaper memory" sample_6000x4000.wall
    memgoal "  - sample_6000x4000 preview memory" sample_6000x4000.preview
    goal "  - BMP 6000x4000 wallpaper against convert -sample" bmp_6000x4000.wall 0.50
    if [ -n "$extras" ]; then
        goal "  - textured_6000x4000 wallpaper" textured_6000x4000.wall 0.75
        goal "  - textured_6000x4000 preview" textured_6000x4000.preview 0.60
        memgoal "  - textured_6000x4000 wallpaper memory" textured_6000x4000.wall
    fi
    if [ -n "$huge" ]; then
        memgoal "  - sample_12000x9000 wallpaper memory (native)" sample_12000x9000.wall
        echo "  - 32-bit build under Wine, sample_12000x9000 as wallpaper: ${wine_verdict[win32]}"
        echo "  - 64-bit build under Wine, sample_12000x9000 as wallpaper: ${wine_verdict[win64]}"
    fi
    echo "- Distance to the entropy-decoding floor (streamed wallpaper time / floor time, both floors):"
    for n in "${jpeg_names[@]}"; do
        if [ -n "${med[$n.wall]:-}" ] && [ -n "${med[$n.floor]:-}" ] && [ -n "${med[$n.skipfloor]:-}" ]; then
            echo "  - $n: $(paired "$n.wall" "$n.skipfloor")x the floor that drops the coefficients" \
                "($(paired "$n.skipfloor" "$n.djpeg")x djpeg), $(paired "$n.wall" "$n.floor")x the one that keeps them" \
                "($(paired "$n.floor" "$n.djpeg")x djpeg)"
        else
            echo "  - $n: not measured"
        fi
    done
    if [ -n "$full_flag" ]; then
        echo "- Streamed output byte-identical to --full-decode: $identical"
    fi
} >"$report"

cat "$report"
[ -s "$errlog" ] && echo "(standard error of the runs: $errlog)"
# A run that failed is a fault of its own, whatever the goals say.
[ ${#failed[@]} -eq 0 ] || exit 1
exit 0
