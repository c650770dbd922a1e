#!/usr/bin/env bash
# The real program and a setinfo.ini it may not use: a file without write
# permission (mode 000 and 0444) survives a start and an end of the session
# byte for byte, and a FIFO in its place gives the message instead of
# hanging the start. Each time the operator is told once.
# Usage: settings_survival.sh <stage folder>
set -euo pipefail
stage=$1
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (./dev test starts Xvfb)"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    chmod -R u+rwX "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
export SDL_AUDIODRIVER=dummy
unset DBUS_SESSION_BUS_ADDRESS
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus

# To standard error, so that a failure inside $(...) is seen too.
fail() { echo "FAIL: $*" >&2; exit 1; }
xprop -root -spy >/dev/null 2>&1 &
pids+=("$!")

wait_window() { # <exact title> -> window id
    for _ in $(seq 300); do
        local id
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1
    done
    echo "windows shown:" >&2
    xdotool search --onlyvisible --name '.*' getwindowname %@ >&2 2>/dev/null || true
    fail "no window titled '$1'"
}

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
    for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$program" 2>/dev/null && fail "the program did not end"
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
