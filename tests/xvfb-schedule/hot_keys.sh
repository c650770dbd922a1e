#!/usr/bin/env bash
# The global hot keys of the real program under X, while another window has
# the focus: F7 reads from the top, F11 stops, F7 during a reading starts
# again, F9 starts the full-text loop; the keys the program holds cannot be grabbed by another client, and
# with "F9=0" in the settings file F9 is left to the others. What the program
# speaks is heard through SDL's disk driver, whose output file is measured.
# Usage: hot_keys.sh <stage folder> <xkeyholder>
set -euo pipefail
stage=$1
holder=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/program_test.sh"
require_display
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini"
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE=$work/audio.raw
unset DBUS_SESSION_BUS_ADDRESS

level() { "$here/audio_level.py" "$SDL_DISKAUDIOFILE" 0.4; }
speaking() { awk -v l="$(level)" 'BEGIN { exit !(l > 0.02) }'; }
silent() { ! speaking; }

start_program() {
    "$work/program/speaker" &
    program=$!
    pids+=("$program")
    wait_window "Sonvela\(普及版\)" >/dev/null
    # The other program's window takes the focus from here on.
    xdotool windowfocus --sync "$other"
}

stop_program() {
    kill "$program"
    wait "$program" 2>/dev/null || true
}

"$holder" window "other program" &
pids+=($!)
other=$(wait_window "other program")

start_program
wait_for "the program is silent at first" 5 silent
for key in F5 F7 F9 F11; do
    if "$holder" grab "$key" >/dev/null; then fail "another client could take $key"; fi
done

xdotool key F7
wait_for "F7 did not start a reading" 10 speaking
xdotool key F11
wait_for "F11 did not stop the reading" 10 silent
sleep 1
silent || fail "the reading went on after F11"

xdotool key F7
wait_for "F7 did not start a second reading" 10 speaking
xdotool key F7
sleep 0.5
wait_for "F7 during a reading did not read again" 10 speaking
xdotool key F11
wait_for "F11 did not stop the second reading" 10 silent

# F9: the full-text loop, whose first pass the loop timer starts within a
# second.
xdotool key F9
wait_for "F9 did not start the full-text loop" 10 speaking
xdotool key F11
wait_for "F11 did not stop the loop" 10 silent
sleep 1.5
silent || fail "the loop went on after F11"
stop_program

printf '[System]\nF9=0\n' > "$work/program/setinfo.ini"
start_program
"$holder" grab F9 >/dev/null || fail "with F9=0 the program still holds F9"
if "$holder" grab F11 >/dev/null; then fail "with F9=0 the program lost F11"; fi
stop_program
echo "PASS"
