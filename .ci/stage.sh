# shellcheck shell=bash
# Sourced by the CI scripts. stage NAME COMMAND...: runs one step, prints how long it took and
# notes it in $CI_TIMES (a file of "seconds<TAB>name" lines) when that is set. COMMAND is a
# program, not a shell function: a function tested by `if` would run without errexit.
stage() {
    local name="$1"
    shift
    local start=$SECONDS
    echo "=== $name"
    if ! "$@"; then
        echo "=== $name FAILED after $((SECONDS - start)) s" >&2
        return 1
    fi
    echo "=== $name: $((SECONDS - start)) s"
    [ -z "${CI_TIMES:-}" ] || printf '%s\t%s\n' "$((SECONDS - start))" "$name" >>"$CI_TIMES"
}
