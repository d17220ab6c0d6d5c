#!/usr/bin/env bash
# Checks that tavowall-prepare.exe under Wine behaves exactly like the native tavowall-prepare: for every
# generated input picture and option set, the exit codes, the first line of standard error (paths
# normalised) and the output files must be the same, byte for byte.
#
# usage: bash tests/wine/prepare_matches_native.sh [NATIVE_BUILD_DIR [WIN32_BUILD_DIR]]
#        (defaults build/native and build/win32; TAVO_KEEP=1 keeps the work directory)
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
native_dir=$(cd "${1:-$root/build/native}" 2>/dev/null && pwd) || { echo "no native build dir: ${1:-build/native}" >&2; exit 2; }
win32_dir=$(cd "${2:-$root/build/win32}" 2>/dev/null && pwd) || { echo "no win32 build dir: ${2:-build/win32}" >&2; exit 2; }
native_exe=$native_dir/tavowall-prepare
win_exe=$win32_dir/tavowall-prepare.exe
[ -x "$native_exe" ] || { echo "missing $native_exe" >&2; exit 2; }
[ -f "$win_exe" ] || { echo "missing $win_exe" >&2; exit 2; }
command -v convert >/dev/null 2>&1 || { echo "ImageMagick's convert is not installed (scripts/install-deps.sh)" >&2; exit 2; }

# The whole check stays within this many seconds; cases left when it runs out count as failed.
budget=${TAVO_WINE_CHECK_BUDGET:-170}
export TAVO_WINE_TIMEOUT=${TAVO_WINE_TIMEOUT:-30}
export TAVO_WINE_LINGER=${TAVO_WINE_LINGER:-10}
# shellcheck source=../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

started=$SECONDS
work=$(mktemp -d "$win32_dir/prepare-check.XXXXXX")
keep=${TAVO_KEEP:-}
cleanup() {
    tavo_wine_stop
    if [ -z "$keep" ]; then rm -rf "$work"; else echo "work directory kept: $work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# ---- input pictures, from deterministic generators only ----
in=$work/in
mkdir -p "$in" "$work/native" "$work/wine"
gen() { convert "$@" 2>>"$work/convert.log" || { echo "convert failed: $*" >&2; exit 2; }; }
gen -size 640x480 gradient:red-blue -swirl 120 -type TrueColor -compress None BMP3:"$in/rgb24.bmp"
gen -size 333x201 gradient:yellow-navy -swirl 200 -colors 200 -type Palette -compress None BMP3:"$in/pal8.bmp"
gen -size 333x201 gradient:yellow-navy -swirl 200 -colors 200 -type Palette -compress RLE BMP3:"$in/rle8.bmp"
gen -size 333x201 gradient:yellow-navy -swirl 200 -colors 16 -type Palette -compress None BMP3:"$in/pal4.bmp"
gen -size 301x157 pattern:checkerboard -swirl 90 -threshold 50% -type Bilevel -compress None BMP3:"$in/mono1.bmp"
gen -size 100x75 gradient:green-white -colors 16 -type Palette -compress None BMP3:"$in/small4.bmp"
gen -size 640x480 gradient:red-blue -swirl 120 -sampling-factor 2x2 -quality 90 "$in/colour.jpg"
gen -size 640x480 gradient:red-blue -swirl 120 -colorspace Gray -quality 90 "$in/gray.jpg"
gen -size 640x480 gradient:red-blue -swirl 120 -interlace Plane -quality 90 "$in/progressive.jpg"
# Larger than the screen: decoded at a reduced scale.
gen -size 2400x1800 gradient:orange-purple -swirl 300 -sampling-factor 2x1 -quality 85 "$in/large.jpg"
# Tall and narrow: proportional fitting is limited by the height.
gen -size 120x700 gradient:cyan-maroon -type TrueColor -compress None BMP3:"$in/tall.bmp"
cp "$in/colour.jpg" "$in/UPPER.JPG"
cp "$in/pal8.bmp" "$in/with space.bmp"
head -c 9000 "$in/colour.jpg" >"$in/truncated.jpg"
head -c 30000 "$in/rgb24.bmp" >"$in/truncated.bmp"
printf 'This is a text file, not a picture.\n' >"$in/notes.bmp"
cp "$in/notes.bmp" "$in/notes.jpg"
# A JPEG whose name does not say so is read as a bitmap file.
cp "$in/colour.jpg" "$in/colour.jpeg"
inputs=(rgb24.bmp pal8.bmp rle8.bmp pal4.bmp mono1.bmp small4.bmp tall.bmp "with space.bmp" colour.jpg gray.jpg
        progressive.jpg large.jpg UPPER.JPG truncated.jpg truncated.bmp notes.bmp notes.jpg colour.jpeg missing.bmp)

# ---- option sets: name and arguments ----
optnames=(wallpaper preview depth24 depthnone stretch bpp8 bpp16)
optargs=(
    "--target 1024x768"
    "--target 200x150 --screen 1024x768"
    "--target 1024x768 --color-depth 24"
    "--target 1024x768 --color-depth none"
    "--target 1024x768 --no-proportional --zoom"
    "--target 1024x768 --display-bpp 8"
    "--target 1024x768 --display-bpp 16"
)

# Reduces a stream to its first line without the CR of text-mode output, with the paths of this case
# replaced by fixed words.
first_line() {
    local line
    IFS= read -r line <"$1" || true
    line=${line%$'\r'}
    [ -n "$2" ] && line=${line//"$2"/INPUT}
    [ -n "$3" ] && line=${line//"$3"/OUTPUT}
    printf '%s' "$line"
}
# The same for every line of standard output.
all_lines() {
    local line
    while IFS= read -r line || [ -n "$line" ]; do
        line=${line%$'\r'}
        line=${line//"$2"/INPUT}
        line=${line//"$3"/OUTPUT}
        printf '%s\n' "$line"
    done <"$1"
}

passed=0
failed=0
wine_ready=
if tavo_wine_init; then wine_ready=1; fi
case_no=0
for input in "${inputs[@]}"; do
    for i in "${!optnames[@]}"; do
        case_no=$((case_no + 1))
        name="$input ${optnames[$i]}"
        if [ -z "$wine_ready" ]; then
            echo "FAIL $name: wine prefix could not be set up"
            failed=$((failed + 1))
            continue
        fi
        if [ $((SECONDS - started)) -ge "$budget" ]; then
            echo "FAIL $name: not run, the ${budget}s time budget is spent"
            failed=$((failed + 1))
            continue
        fi
        read -r -a args <<<"${optargs[$i]}"
        nin=$in/$input
        win_in=$(tavo_wine_path "$nin")
        nout=$work/native/out$case_no.bmp
        wout=$work/wine/out$case_no.bmp
        win_out=$(tavo_wine_path "$wout")
        # Every other option set finds an earlier file at the output path, which a successful run replaces
        # and a failed one leaves alone.
        if [ $((i % 2)) -eq 1 ]; then
            printf 'earlier file\n' >"$nout"
            cp "$nout" "$wout"
        fi

        timeout -k 5 30 "$native_exe" "${args[@]}" "$nin" "$nout" >"$work/n.out" 2>"$work/n.err" </dev/null
        nrc=$?
        tavo_wine_run "$win_exe" "${args[@]}" "$win_in" "$win_out" >"$work/w.out" 2>"$work/w.err"
        wrc=$?

        why=()
        [ "$nrc" -eq 124 ] && why+=("native timed out")
        [ "$wrc" -eq 124 ] && why+=("wine timed out")
        [ "$nrc" -eq "$wrc" ] || why+=("exit codes native $nrc, wine $wrc")
        nerr=$(first_line "$work/n.err" "$nin" "$nout")
        werr=$(first_line "$work/w.err" "$win_in" "$win_out")
        [ "$nerr" = "$werr" ] || why+=("stderr native '$nerr', wine '$werr'")
        if [ "$(all_lines "$work/n.out" "$nin" "$nout")" != "$(all_lines "$work/w.out" "$win_in" "$win_out")" ]; then
            why+=("standard output differs")
        fi
        if [ -e "$nout" ] || [ -e "$wout" ]; then
            if [ ! -e "$nout" ]; then
                why+=("only wine wrote an output file")
            elif [ ! -e "$wout" ]; then
                why+=("only native wrote an output file")
            elif ! cmp -s "$nout" "$wout"; then
                why+=("output files differ ($(cmp "$nout" "$wout" 2>&1 | head -n 1 | sed 's/.*: //'))")
            fi
        fi

        if [ ${#why[@]} -eq 0 ]; then
            echo "ok   $name (exit $nrc)"
            passed=$((passed + 1))
            rm -f "$nout" "$wout"
        else
            msg=$(IFS=';'; echo "${why[*]}")
            echo "FAIL $name: ${msg//;/; }"
            failed=$((failed + 1))
            keep=${keep:-1}
        fi
    done
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
