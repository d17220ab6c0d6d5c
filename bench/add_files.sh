#!/usr/bin/env bash
# The time from the open dialog's return to the list shown when 2,000 files are added, in the real program
# under Wine: runs the end-to-end scenario many-files, whose driver makes the 2,000 files (names that fill
# the dialog's 65,519-character result buffer), adds them through the dialog and reports the time until the
# program answers again with the rows listed. Each run is a fresh start of the program.
# usage: bash bench/add_files.sh [RUNS]   (default 3; NATIVE_BUILD default build/native; WINDOWS_BUILD default
#        build/win32 where this host executes 32-bit code, else build/win64)
# Prints each run's time and their median.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
native=${NATIVE_BUILD:-$root/build/native}
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
windows=${WINDOWS_BUILD:-$root/build/$WINEARCH}
arch=$(tavo_pe_arch "$windows/TavoWallpaper.exe") || { echo "bench/add_files.sh: build $windows first" >&2; exit 2; }
log=$root/build/e2e/$arch/logs/many-files.log
echo "the $arch build: $windows/TavoWallpaper.exe"
case $runs in '' | *[!0-9]* | 0) echo "bench/add_files.sh: RUNS must be a positive number" >&2; exit 64 ;; esac

times=()
for i in $(seq "$runs"); do
    TAVO_E2E_ONLY=many-files TAVO_E2E_DRIVER_SECONDS=900 bash "$root/tests/e2e/run.sh" "$native" "$windows" \
        >/dev/null || echo "run $i: the scenario failed (see $log)" >&2
    line=$(grep -a '^time ' "$log" | tr -d '\r') || { echo "run $i: no time reported" >&2; continue; }
    echo "run $i: ${line#time }"
    times+=("$(sed 's/.*: \([0-9]*\) ms$/\1/' <<<"$line")")
done
[ ${#times[@]} -gt 0 ] || exit 1
printf '%s\n' "${times[@]}" | sort -n | awk '{t[NR] = $1} END {printf "median of %d runs: %d ms\n", NR, t[int((NR + 1) / 2)]}'
