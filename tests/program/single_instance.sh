#!/usr/bin/env bash
# Two real starts of speaker: the second shows "程序已经在运行中!" and ends,
# the first is untouched; after kill -9 of the first, a new start succeeds.
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
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
screens=${SONVELA_SCREENSHOTS:-$work}
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
    echo "no window titled '$1'" >&2
    return 1
}

"$work/program/speaker" &
first=$!
pids+=("$first")
wait_window "Sonvela\(普及版\)" >/dev/null

"$work/program/speaker" &
second=$!
pids+=("$second")
box=$(wait_window "Sonvela! !")
import -window root "$screens/second-start.png" 2>/dev/null || true
# The box closes on the key press, so sending the release fails: that is
# expected, and the process's end below is what counts.
xdotool key --window "$box" Return 2>/dev/null || true
for _ in $(seq 100); do
    kill -0 "$second" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$second" 2>/dev/null; then
    echo "the second start did not end after its message"; exit 1
fi
wait "$second" || { echo "the second start ended with an error"; exit 1; }
kill -0 "$first" || { echo "the first instance did not survive"; exit 1; }

kill -9 "$first"
wait "$first" 2>/dev/null || true
"$work/program/speaker" &
third=$!
pids+=("$third")
wait_window "Sonvela\(普及版\)" >/dev/null
if xdotool search --onlyvisible --name '^Sonvela! !$' >/dev/null 2>&1; then
    echo "the start after kill -9 was refused"; exit 1
fi
echo "single instance: second start refused with its message, start after kill -9 succeeded"
