#!/usr/bin/env bash
# `./dev run`'s program works in a run folder of its own: run from there (as
# the refresh of `./dev run` makes it), opening a file and ending, it records
# its history and settings in the run folder, which a second refresh keeps;
# the stage's draft.dat and the installer's payload still hold the shipped
# rows only, byte for byte the pristine build output.
# Usage: run_folder.sh <source dir> <build dir>
set -euo pipefail
source=$1
build=$2
stage=$build/stage
source "$(dirname "$0")/../support/program_test.sh"
require_display
export SDL_AUDIODRIVER=dummy
unset DBUS_SESSION_BUS_ADDRESS
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus
hold_x_server

rows() { # <database>: the history and draft rows
    sqlite3 "$1" "select * from history order by id; select * from draft order by id"
}
shipped=$(rows "$build/pristine/draft.dat")
[ -n "$shipped" ] || fail "no shipped rows in the pristine draft.dat"
stage_before=$(md5sum "$stage/draft.dat")

run=$work/run
"$source/cmake/refresh-run-folder.sh" "$stage" "$run"
printf 'opened from the run folder\r\n' >"$work/note.txt"
"$run/speaker" "$work/note.txt" &
program=$!
pids+=("$program")
recorded() {
    sqlite3 "$run/draft.dat" "select filename from history" 2>/dev/null |
        grep -qxF "$work/note.txt"
}
wait_for "the program did not record the opened file" 120 recorded
# The session's end: the program ends by itself and writes its settings.
kill -TERM "$program"
wait_gone "$program" "the program did not end"

sqlite3 "$run/draft.dat" "select filename from history" | grep -qxF "$work/note.txt" ||
    fail "the run folder's history lacks the opened file"
[ -f "$run/setinfo.ini" ] || fail "no settings in the run folder"
[ -e "$stage/setinfo.ini" ] && fail "the program wrote settings into the stage"
[ "$(md5sum "$stage/draft.dat")" = "$stage_before" ] || fail "the stage's draft.dat changed"
[ "$(rows "$stage/draft.dat")" = "$shipped" ] || fail "the stage's draft.dat holds more than the shipped rows"
cmp -s "$build/pristine/draft.dat" "$stage/draft.dat" || fail "the stage's draft.dat is not as built"
payload=$build/setup/payload/draft_dat
if [ -f "$payload" ]; then
    cmp -s "$build/pristine/draft.dat" "$payload" || fail "the installer's draft.dat is not as built"
fi

# A second refresh keeps what the operator's run wrote.
settings=$(md5sum <"$run/setinfo.ini")
"$source/cmake/refresh-run-folder.sh" "$stage" "$run"
sqlite3 "$run/draft.dat" "select filename from history" | grep -qxF "$work/note.txt" ||
    fail "the refresh replaced the run folder's draft.dat"
[ "$(md5sum <"$run/setinfo.ini")" = "$settings" ] || fail "the refresh changed setinfo.ini"
cmp -s "$stage/speaker" "$run/speaker" || fail "the refresh did not bring the program"
echo PASS
