#!/usr/bin/env bash
# The end of the desktop session as the real program sees it (SIGTERM, as a
# session sends its programs): the program ends by itself, writes the exit
# command's settings, keeps the edited text in recovery.txt and offers it at
# the next start, where it is still an unsaved text and the file stays.
# Usage: session_end.sh <stage folder>
set -euo pipefail
stage=$1
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (./dev test starts Xvfb)"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini" "$work/program/recovery.txt"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
export SDL_AUDIODRIVER=dummy
unset DBUS_SESSION_BUS_ADDRESS
# No system bus: whatever happened, no power-off request could leave.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus

# To standard error, so that a failure inside $(...) is seen too.
fail() { echo "FAIL: $*" >&2; exit 1; }
# The X server resets when its last client leaves, dropping a program that
# connects at that moment; this client stays connected while the program is
# ended and started again.
xprop -root -spy >/dev/null 2>&1 &
pids+=("$!")

wait_window() { # <exact title> -> window id
    for _ in $(seq 150); do
        local id
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1
    done
    fail "no window titled '$1'"
}

"$work/program/speaker" &
program=$!
pids+=("$program")
window=$(wait_window "Sonvela\(普及版\)")
# Type into the editor: the first start shows the introduction there.
xdotool mousemove --window "$window" 300 200 click 1
xdotool type --delay 20 "unsaved words"
sleep 0.3

kill -TERM "$program"
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "the program did not end with the session"
wait "$program" || fail "the program ended with an error"

[ -f "$work/program/recovery.txt" ] || fail "no recovery file"
grep -q "unsaved words" "$work/program/recovery.txt" || fail "the typed words were not kept"
grep -q '^Rate=' "$work/program/setinfo.ini" || fail "the exit settings were not written"

"$work/program/speaker" &
program=$!
pids+=("$program")
wait_window "Sonvela\(普及版\)" >/dev/null
# Offered, not taken: the file stays until the text is saved or dropped.
sleep 1
grep -q "unsaved words" "$work/program/recovery.txt" || fail "the kept text went at the next start"
kill -TERM "$program"
wait "$program" || fail "the second start ended with an error"
# The offered text is still unsaved: it is kept again rather than lost.
grep -q "unsaved words" "$work/program/recovery.txt" || fail "the offered text was lost"
echo "PASS"
