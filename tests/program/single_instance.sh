#!/usr/bin/env bash
# Two real starts of speaker: the second shows "程序已经在运行中!" and ends,
# the first is untouched; after kill -9 of the first, a new start succeeds.
set -euo pipefail
stage=$1
source "$(dirname "$0")/../support/program_test.sh"
require_display
cp -r "$stage" "$work/program"
screens=${SONVELA_SCREENSHOTS:-$work}
hold_x_server

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
wait_gone "$second" "the second start did not end after its message"
wait "$second" || fail "the second start ended with an error"
kill -0 "$first" || fail "the first instance did not survive"

kill -9 "$first"
wait "$first" 2>/dev/null || true
"$work/program/speaker" &
third=$!
pids+=("$third")
wait_window "Sonvela\(普及版\)" >/dev/null
if xdotool search --onlyvisible --name '^Sonvela! !$' >/dev/null 2>&1; then
    fail "the start after kill -9 was refused"
fi
echo "single instance: second start refused with its message, start after kill -9 succeeded"
