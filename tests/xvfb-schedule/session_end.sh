#!/usr/bin/env bash
# The end of the desktop session as the real program sees it (SIGTERM, as a
# session sends its programs): the program ends by itself, writes the exit
# command's settings, keeps the edited text in recovery.txt and offers it at
# the next start, where it is still an unsaved text and the file stays.
# Usage: session_end.sh <stage folder>
set -euo pipefail
stage=$1
source "$(dirname "$0")/../support/program_test.sh"
require_display
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini" "$work/program/recovery.txt"
export SDL_AUDIODRIVER=dummy
unset DBUS_SESSION_BUS_ADDRESS
# No system bus: whatever happened, no power-off request could leave.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus

hold_x_server

"$work/program/speaker" &
program=$!
pids+=("$program")
window=$(wait_window "Sonvela\(普及版\)")
# Type into the editor: the first start shows the introduction there.
xdotool mousemove --window "$window" 300 200 click 1
xdotool type --delay 20 "unsaved words"
sleep 0.3

kill -TERM "$program"
wait_gone "$program" "the program did not end with the session"
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
