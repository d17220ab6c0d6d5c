#!/usr/bin/env bash
# Checks that tavowall-prepare.exe under Wine behaves exactly like the native tavowall-prepare: for every
# generated input picture and option set, the exit codes, the first line of standard error (paths
# normalised) and the output files must be the same, byte for byte.
#
# usage: bash tests/wine/prepare_matches_native.sh [NATIVE_BUILD_DIR [WINDOWS_BUILD_DIR]]
#        (defaults build/native and build/win32; the Windows build may be 32- or 64-bit; TAVO_KEEP=1 keeps the work
#        directory)
# Exit status: 0 all cases passed; 1 a case failed; 2 something is missing; 77 this host cannot execute the
# build's programs (one line says why).
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
native_dir=$(cd "${1:-$root/build/native}" 2>/dev/null && pwd) || { echo "no native build dir: ${1:-build/native}" >&2; exit 2; }
windows_dir=$(cd "${2:-$root/build/win32}" 2>/dev/null && pwd) || { echo "no Windows build dir: ${2:-build/win32}" >&2; exit 2; }
native_exe=$native_dir/tavowall-prepare
win_exe=$windows_dir/tavowall-prepare.exe
[ -x "$native_exe" ] || { echo "missing $native_exe" >&2; exit 2; }
[ -f "$win_exe" ] || { echo "missing $win_exe" >&2; exit 2; }
command -v convert >/dev/null 2>&1 || { echo "ImageMagick's convert is not installed (scripts/install-deps.sh)" >&2; exit 2; }

# The whole check stays within this many seconds; cases left when it runs out count as failed.
budget=${TAVO_WINE_CHECK_BUDGET:-170}
export TAVO_WINE_TIMEOUT=${TAVO_WINE_TIMEOUT:-30}
export TAVO_WINE_LINGER=${TAVO_WINE_LINGER:-10}
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
tavo_wine_for_program wine-test "$win_exe"
arch=$WINEARCH

started=$SECONDS
work=$(mktemp -d "$windows_dir/prepare-check.XXXXXX")
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
# ImageMagick's run-length rows cover the padded stride: 336 pixels for a width of 333.
gen -size 333x201 gradient:yellow-navy -swirl 200 -colors 200 -type Palette -compress RLE BMP3:"$in/rle8.bmp"
gen -size 320x200 gradient:yellow-navy -swirl 200 -colors 200 -type Palette -compress RLE BMP3:"$in/rle8-even.bmp"
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
inputs=(rgb24.bmp pal8.bmp rle8.bmp rle8-even.bmp pal4.bmp mono1.bmp small4.bmp tall.bmp "with space.bmp" colour.jpg
        gray.jpg progressive.jpg large.jpg UPPER.JPG truncated.jpg truncated.bmp notes.bmp notes.jpg colour.jpeg missing.bmp)

# ---- option sets: name and arguments; two of them also report the stages (--status) ----
optnames=(wallpaper preview depth24 depthnone stretch bpp8 bpp16)
optargs=(
    "--target 1024x768"
    "--target 200x150 --screen 1024x768 --status"
    "--target 1024x768 --color-depth 24"
    "--target 1024x768 --color-depth none"
    "--target 1024x768 --no-proportional --zoom --status"
    "--target 1024x768 --display-bpp 8"
    "--target 1024x768 --display-bpp 16"
)

# Prints a stream line by line without the CR of text-mode output, with the paths of this case replaced by
# fixed words, and without lines Wine itself may add.
normalised() {
    local line
    while IFS= read -r line || [ -n "$line" ]; do
        line=${line%$'\r'}
        case $line in wine:* | [0-9a-f][0-9a-f][0-9a-f][0-9a-f]:fixme:* | [0-9a-f][0-9a-f][0-9a-f][0-9a-f]:err:*) continue ;; esac
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

# run_case NAME INPUT-PATH OUTPUT-NAME EARLIER-OUTPUT(0|1) OPTIONS...
# Runs both programs on the same picture and compares what they did.
run_case() {
    local name=$1 nin=$2 outname=$3 earlier=$4
    shift 4
    case_no=$((case_no + 1))
    if [ -z "$wine_ready" ]; then
        echo "FAIL $name: wine prefix could not be set up"
        failed=$((failed + 1))
        return
    fi
    if [ $((SECONDS - started)) -ge "$budget" ]; then
        echo "FAIL $name: not run, the ${budget}s time budget is spent"
        failed=$((failed + 1))
        return
    fi
    local nout=$work/native/$outname wout=$work/wine/$outname
    local win_in win_out
    win_in=$(tavo_wine_path "$nin")
    win_out=$(tavo_wine_path "$wout")
    if [ "$earlier" = 1 ]; then
        printf 'earlier file\n' >"$nout"
        cp "$nout" "$wout"
    fi

    timeout -k 5 30 "$native_exe" "$@" "$nin" "$nout" >"$work/n.out" 2>"$work/n.err" </dev/null
    local nrc=$?
    tavo_wine_run "$win_exe" "$@" "$win_in" "$win_out" >"$work/w.out" 2>"$work/w.err"
    local wrc=$?

    local why=() nerr werr
    [ "$nrc" -eq 124 ] && why+=("native timed out")
    [ "$wrc" -eq 124 ] && why+=("wine timed out")
    [ "$nrc" -eq "$wrc" ] || why+=("exit codes native $nrc, wine $wrc")
    nerr=$(normalised "$work/n.err" "$nin" "$nout")
    werr=$(normalised "$work/w.err" "$win_in" "$win_out")
    if [ "$nerr" != "$werr" ]; then
        if [ "$(head -n 1 <<<"$nerr")" != "$(head -n 1 <<<"$werr")" ]; then
            why+=("stderr native '$(head -n 1 <<<"$nerr")', wine '$(head -n 1 <<<"$werr")'")
        else
            why+=("later lines of stderr differ")
        fi
    fi
    [ "$(normalised "$work/n.out" "$nin" "$nout")" = "$(normalised "$work/w.out" "$win_in" "$win_out")" ] ||
        why+=("standard output differs")
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
        local msg
        msg=$(IFS=';'; echo "${why[*]}")
        echo "FAIL $name: ${msg//;/; }"
        failed=$((failed + 1))
        keep=${keep:-1}
    fi
}

for input in "${inputs[@]}"; do
    for i in "${!optnames[@]}"; do
        read -r -a args <<<"${optargs[$i]}"
        # Every other option set finds an earlier file at the output path, which a successful run replaces
        # and a failed one leaves alone.
        run_case "$input ${optnames[$i]}" "$in/$input" "out$((case_no + 1)).bmp" $((i % 2)) "${args[@]}"
    done
done

# Single cases: other options, usage errors, and an output that cannot be written.
run_case "large.jpg no-shrink" "$in/large.jpg" noshrink.bmp 0 --target 1024x768 --no-shrink
run_case "small4.bmp zoom" "$in/small4.bmp" zoom.bmp 1 --target 1024x768 --zoom --status
run_case "tall.bmp zoom-no-proportional" "$in/tall.bmp" zoomstretch.bmp 0 --target 800x600 --zoom --no-proportional
run_case "colour.jpg bad-depth" "$in/colour.jpg" usage1.bmp 1 --target 1024x768 --color-depth 16
run_case "colour.jpg no-target" "$in/colour.jpg" usage2.bmp 0 --zoom
run_case "colour.jpg unwritable-output" "$in/colour.jpg" no-such-dir/out.bmp 0 --target 1024x768

echo "wine-test $arch: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
