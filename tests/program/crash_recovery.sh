#!/usr/bin/env bash
# Unsaved text survives a crash: typed into the editor, the program is killed
# 7 s later (SIGKILL, SIGSEGV, or its X server killed); the next start offers
# the text, a second SIGKILL before saving still keeps it, and the start after
# that holds it in the editor again (words typed there and the session's
# end, which writes the editor's whole text back, show what it held).
# Usage: crash_recovery.sh <stage folder>
set -euo pipefail
stage=$1
source "$(dirname "$0")/../support/program_test.sh"
require_display
export SDL_AUDIODRIVER=dummy
unset DBUS_SESSION_BUS_ADDRESS
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus
main_display=$DISPLAY
hold_x_server

start() { # <program folder> -> pid in $program
    "$1/speaker" >>"$work/log" 2>&1 &
    program=$!
    pids+=("$program")
    window=$(wait_window "Sonvela\(普及版\)")
}

kept() { # <program folder> <words>
    grep -q "$2" "$1/recovery.txt" 2>/dev/null
}

# The second half, the same for every way of dying: offered, killed again,
# offered again and held in the editor.
after_crash() { # <program folder> <words> <how>
    local folder=$1 words=$2 how=$3
    kept "$folder" "$words" || fail "$how: the typed words were not kept"
    start "$folder"
    sleep 1
    kept "$folder" "$words" || fail "$how: the kept text went at the next start"
    kill -KILL "$program"
    wait_gone "$program"
    kept "$folder" "$words" || fail "$how: a second kill before saving lost the text"
    start "$folder"
    # Words added at the end of the offered text, then the session's end,
    # which writes the editor's whole text: both parts there show that the
    # editor held the offered text.
    xdotool mousemove --window "$window" 300 200 click 1
    xdotool key ctrl+End
    xdotool type --delay 20 " and more"
    # The keys reach the editor when the program gets to them, later on a
    # busy machine: the timed copy shows when they have.
    for _ in $(seq 600); do kept "$folder" " and more" && break; sleep 0.1; done
    kill -TERM "$program"
    wait_gone "$program"
    kept "$folder" "$words" || fail "$how: the editor did not hold the offered text"
    kept "$folder" " and more" || fail "$how: the words typed after the offer were not kept"
    echo "$how: the text typed 7 s before was offered after the crash and after a second kill"
}

type_words() { # <words>
    xdotool mousemove --window "$window" 300 200 click 1
    xdotool type --delay 20 "$1"
}

for signal in KILL SEGV; do
    folder=$work/$signal
    cp -r "$stage" "$folder"
    rm -f "$folder/setinfo.ini" "$folder/recovery.txt"
    start "$folder"
    type_words "words before $signal"
    sleep 7
    kill "-$signal" "$program"
    wait_gone "$program"
    after_crash "$folder" "words before $signal" "SIG$signal"
done

# The X server dies under the program: a private server for that run.
folder=$work/xserver
cp -r "$stage" "$folder"
rm -f "$folder/setinfo.ini" "$folder/recovery.txt"
for n in $(seq 140 180); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
# -noreset: this server has no client of its own to keep it from resetting
# when xdpyinfo below leaves, which would drop the program connecting then.
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xserver=$!
pids+=("$xserver")
export DISPLAY=:$n
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
start "$folder"
type_words "words before the display died"
sleep 7
kill -KILL "$xserver"
wait_gone "$program"
export DISPLAY=$main_display
after_crash "$folder" "words before the display died" "X server killed"
echo PASS
