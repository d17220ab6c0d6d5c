# What a test script needs from outside the repository (a tool, the other build): when it is
# missing the script skips (exit 77, with its reason), or fails (exit 1) under CI=true.
# usage: source tests/support/needs.sh; need_or_skip "REASON"   (ends the script)

need_or_skip() {
    if [ "${CI:-}" = true ]; then
        echo "FAIL (missing under CI): $*" >&2
        exit 1
    fi
    echo "SKIP: $*"
    exit 77
}
