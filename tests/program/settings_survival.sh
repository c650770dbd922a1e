#!/usr/bin/env bash
# The real program and a setinfo.ini it may not use: a file without write
# permission (mode 000 and 0444) survives a start and an end of the session
# byte for byte, and a FIFO in its place gives the message instead of
# hanging the start. Each time the operator is told once.
# Usage: settings_survival.sh <stage folder>
set -euo pipefail
stage=$1
source "$(dirname "$0")/../support/program_test.sh"
require_display
export SDL_AUDIODRIVER=dummy
unset DBUS_SESSION_BUS_ADDRESS
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus

hold_x_server

# Starts the program in <folder>, answers its warning, waits for the main
# window and ends the session as a desktop does. That the operator is told
# exactly once is checked by the window tests; here what counts is that the
# start neither hangs nor fails and the file is left alone, so the warning is
# answered whenever it shows (under a sanitizer the main window can be mapped
# first).
start_and_end() {
    local folder=$1
    echo "start in $folder" >&2
    "$folder/speaker" &
    local program=$!
    pids+=("$program")
    local main="" warned=no
    for _ in $(seq 600); do
        local box
        box=$(xdotool search --onlyvisible --name "^Warning\$" 2>/dev/null | head -n1 || true)
        if [ -n "$box" ]; then
            warned=yes
            xdotool key --window "$box" Return 2>/dev/null || true
        elif [ -n "$main" ]; then
            break
        fi
        main=$(xdotool search --onlyvisible --name "^Sonvela\(普及版\)\$" 2>/dev/null | head -n1 || true)
        sleep 0.2
    done
    [ -n "$main" ] || fail "no main window in $folder"
    echo "warning shown: $warned" >&2
    kill -TERM "$program"
    wait_gone "$program" "the program did not end"
    wait "$program" || fail "the program ended with an error"
}

printf '[System]\r\nShowgrid=0\r\ndefault_volume=70\r\nReadtimes=5\r\nIntervaltime=30\r\nPlaymode=1\r\n[Speaker]\r\nSpeaker=1\r\nRate=4\r\nVolume=90\r\n' >"$work/setinfo.ini"
for mode in 000 444; do
    folder=$work/program-$mode
    cp -r "$stage" "$folder"
    cp "$work/setinfo.ini" "$folder/setinfo.ini"
    chmod "$mode" "$folder/setinfo.ini"
    start_and_end "$folder"
    chmod 644 "$folder/setinfo.ini"
    cmp "$work/setinfo.ini" "$folder/setinfo.ini" || fail "setinfo.ini at mode $mode was changed"
done

folder=$work/program-fifo
cp -r "$stage" "$folder"
rm -f "$folder/setinfo.ini"
mkfifo "$folder/setinfo.ini"
start_and_end "$folder"
[ -p "$folder/setinfo.ini" ] || fail "the FIFO was replaced"
echo "PASS: setinfo.ini at 000 and 0444 kept byte for byte, a FIFO told and kept"
