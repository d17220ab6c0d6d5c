#!/usr/bin/env bash
# The end-to-end run under load: the whole of tests/e2e/run.sh N times for each Windows build, with one busy
# process per core beside it, so that a scenario that holds only on a quiet machine shows itself.
#
# usage: bash tests/e2e/stress.sh [N [BUILD...]]   (default 3 runs; the builds win32 and win64, those this host
#        cannot execute left out with one line)
#   TAVO_STRESS_BUSY=K   K busy processes instead of one per core
# Output: one line per run (its failures below it), then "N passed, M failed", counting runs.
# Exit 0 when every run passed, 77 when no build could run here.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-3}
shift $(($# > 0 ? 1 : 0))
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(win32 win64)
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "stress: N must be a positive number, not '$runs'" >&2; exit 64; }

busy=()
run_pid=
out=$(mktemp "${TMPDIR:-/tmp}/tavo-stress.XXXXXX")
# The run in progress and the busy processes end with this script, however it ends (Ctrl+C too).
stop() {
    local pid
    for pid in "${busy[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${busy[@]}"; do
        wait "$pid" 2>/dev/null
    done
    busy=()
    # The run cleans up after itself (its programs, its Wine server, its display) once its step is done.
    if [ -n "$run_pid" ]; then
        kill "$run_pid" 2>/dev/null
        wait "$run_pid" 2>/dev/null
        run_pid=
    fi
    rm -f "$out"
}
trap stop EXIT
trap 'exit 130' INT TERM HUP

count=${TAVO_STRESS_BUSY:-$(nproc)}
for _ in $(seq "$count"); do
    # A shell loop that only spins: nothing to inherit, nothing written.
    bash -c 'while :; do :; done' </dev/null >/dev/null 2>&1 &
    busy+=($!)
done
echo "stress: $runs run(s) of ${builds[*]} with $count busy process(es) beside them"

passed=0
failed=0
for build in "${builds[@]}"; do
    for i in $(seq "$runs"); do
        t0=$SECONDS
        # In the background, so that a signal reaches this script's trap at once.
        bash "$root/tests/e2e/run.sh" "$root/build/native" "$root/build/$build" >"$out" 2>&1 </dev/null &
        run_pid=$!
        wait "$run_pid"
        rc=$?
        run_pid=
        if [ "$rc" -eq 77 ]; then
            # Not runnable here: said once, and no run counted.
            grep -m1 'not runnable\|not built' "$out"
            break
        fi
        summary=$(grep -E '^e2e [a-z0-9]+: [0-9]+ passed, [0-9]+ failed' "$out" | tail -n 1)
        if [ "$rc" -eq 0 ]; then
            echo "ok   $build run $i ($((SECONDS - t0)) s): ${summary#e2e }"
            passed=$((passed + 1))
        else
            echo "FAIL $build run $i ($((SECONDS - t0)) s, exit code $rc): ${summary#e2e }"
            # Each failing scenario's line, without its log.
            grep -E '^FAIL ' "$out" | sed 's/^/     /'
            # The next run starts afresh: keep this one's logs.
            kept=$root/build/e2e/stress/$build-run$i
            rm -rf "$kept" && mkdir -p "$kept" && cp -r "$root/build/e2e/$build/logs" "$out" "$kept/" 2>/dev/null &&
                echo "     (logs in $kept)"
            failed=$((failed + 1))
        fi
    done
done
stop
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] || exit 1
# Nothing this host can execute: skipped, as run.sh says it.
[ "$passed" -gt 0 ] || exit 77
