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

# The X server resets whenever its last client leaves, which gives each test
# a fresh server; a program that connects in that moment is dropped (seen: a
# test's first window never appeared). A client of the test's own, which the
# server has answered, proves any reset over and keeps the server from
# resetting while programs are ended and started again; sourcing this file
# starts one on $DISPLAY, and a test with a server of its own calls this
# again once it has set DISPLAY.
x_held_displays=" "
hold_x_server() {
    require_display
    case "$x_held_displays" in *" $DISPLAY "*) return 0 ;; esac
    local answer holder
    for _ in $(seq 100); do
        answer=$(mktemp "$work/x-holder.XXXXXX")
        xprop -root -spy >"$answer" 2>/dev/null &
        holder=$!
        # It prints the root window's properties once the server has
        # answered it, and ends if the server drops it.
        for _ in $(seq 100); do
            [ -s "$answer" ] && break
            kill -0 "$holder" 2>/dev/null || break
            sleep 0.05
        done
        if [ -s "$answer" ] && kill -0 "$holder" 2>/dev/null; then
            pids+=("$holder")
            x_held_displays+="$DISPLAY "
            return 0
        fi
        { kill "$holder" && wait "$holder"; } 2>/dev/null || true
        sleep 0.1
    done
    fail "the X server on $DISPLAY does not answer"
}
if [ -n "${DISPLAY:-}" ]; then hold_x_server; fi

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
    # A minute: a dialog opened by a click took over fifteen seconds in a
    # full run on a loaded two-core machine.
    local what=$1 deadline=$((SECONDS + 60))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "$what"
        sleep 0.1
    done
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
