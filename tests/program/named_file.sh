#!/usr/bin/env bash
# `speaker FILE`, as a desktop's "open with" starts it: the first start opens
# the file; a later start hands its file to the running instance and ends at
# once, without the "already running" box; when the running instance holds a
# modified text, it asks the save question first. The history table shows
# what was opened.
# Usage: named_file.sh <stage folder>
set -euo pipefail
stage=$1
source "$(dirname "$0")/../support/program_test.sh"
require_display
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini" "$work/program/recovery.txt"
export SDL_AUDIODRIVER=dummy
unset DBUS_SESSION_BUS_ADDRESS
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus
mkdir "$work/texts"
for name in first second third; do printf 'text %s\r\n' "$name" >"$work/texts/$name.txt"; done

hold_x_server

recorded() { # <path>: the history table holds the path
    sqlite3 "$work/program/draft.dat" "select filename from history" 2>/dev/null | grep -qxF "$1"
}

wait_recorded() { # <path>
    for _ in $(seq 300); do recorded "$1" && return 0; sleep 0.1; done
    fail "$1 was not opened"
}

# A relative name: the program makes it absolute against its own start.
(cd "$work/texts" && exec "$work/program/speaker" first.txt) &
program=$!
pids+=("$program")
window=$(wait_window "Sonvela\(普及版\)")
wait_recorded "$work/texts/first.txt"

(cd "$work/texts" && exec "$work/program/speaker" second.txt) &
second=$!
pids+=("$second")
wait_gone "$second" "the start that handed its file over did not end"
wait "$second" || fail "the start that handed its file over ended with an error"
xdotool search --onlyvisible --name '^Sonvela! !$' >/dev/null 2>&1 &&
    fail "a start with a file showed the already-running box"
wait_recorded "$work/texts/second.txt"

# A modified text: the save question comes first; No drops it.
xdotool mousemove --window "$window" 300 200 click 1
xdotool type --delay 20 "changed"
"$work/program/speaker" "$work/texts/third.txt" &
pids+=("$!")
question=$(wait_window "Confirm")
recorded "$work/texts/third.txt" && fail "the file was opened before the save question"
xdotool key --window "$question" alt+n 2>/dev/null || true
wait_recorded "$work/texts/third.txt"
kill -0 "$program" || fail "the running instance did not survive"
echo PASS
