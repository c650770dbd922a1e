# shellcheck shell=bash
# The common ground of the shell tests that run the whole program, sourced
# by each of them:  source "$(dirname "$0")/../support/program_test.sh"
#
# Sourcing makes a private work folder ($work) with a runtime folder of its
# own (XDG_RUNTIME_DIR), and an exit trap that ends every process listed in
# the pids array and removes the folder. The waits below count their polls
# with generous limits: these tests run on busy two-core machines and under
# sanitizers, where a start takes many times longer than on a quiet desk.
#
# A script may adjust:
#   cleanup_grace  seconds the listed processes get after SIGTERM to end by
#                  themselves (writing their settings) before SIGKILL; 0,
#                  the default, kills them at once.
#   fail_details   a function; when defined, fail runs it to show more (a
#                  log, say) before the script ends.

work=$(mktemp -d)
pids=()
cleanup_grace=0

program_test_cleanup() {
    local p
    if [ "${cleanup_grace:-0}" -gt 0 ]; then
        for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
        for p in "${pids[@]}"; do
            for _ in $(seq $((cleanup_grace * 10))); do
                kill -0 "$p" 2>/dev/null || break
                sleep 0.1
            done
        done
    fi
    # Reaped here, so that the shell's "Killed" notices do not read as faults.
    for p in "${pids[@]}"; do
        { kill -9 "$p" && wait "$p"; } 2>/dev/null || true
    done
    # A test may leave files without permissions behind on purpose.
    chmod -R u+rwX "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap program_test_cleanup EXIT

mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime

# To standard error, so that a failure inside $(...) is seen too.
fail() {
    echo "FAIL: $*" >&2
    if declare -F fail_details >/dev/null; then fail_details >&2 || true; fi
    exit 1
}

require_display() {
    [ -n "${DISPLAY:-}" ] || { echo "needs an X display (./dev test starts Xvfb)"; exit 1; }
}

# The X server resets when its last client leaves, dropping a program that
# connects at that moment; this client stays connected while programs are
# ended and started again.
hold_x_server() {
    xprop -root -spy >/dev/null 2>&1 &
    pids+=("$!")
}

wait_window() { # <exact title, as a regular expression> -> window id
    local id
    for _ in $(seq 600); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "windows shown:" >&2
    xdotool search --onlyvisible --name '.*' getwindowname %@ >&2 2>/dev/null || true
    fail "no window titled '$1' on $DISPLAY"
}

wait_gone() { # <pid> [what to say when it stays]
    for _ in $(seq 600); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    fail "${2:-process $1 did not end}"
}

wait_until() { # <what> <command...>: polls the command until it succeeds
    local what=$1
    shift
    for _ in $(seq 150); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}

wait_for() { # <what> <seconds> <command...>: as wait_until, with its own limit
    local what=$1 tenths=$(($2 * 10))
    shift 2
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}
