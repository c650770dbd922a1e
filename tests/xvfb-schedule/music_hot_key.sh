#!/usr/bin/env bash
# F5 of the real program under X, while another window has the focus: the
# first press plays the background music of the program folder, the second
# stops it. The sound is heard through SDL's disk driver.
# Usage: music_hot_key.sh <stage folder> <xkeyholder>
set -euo pipefail
stage=$1
holder=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/program_test.sh"
require_display
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini"
[ -f "$work/program/bjd.mp3" ] || fail "no music in the program folder"
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE=$work/audio.raw
unset DBUS_SESSION_BUS_ADDRESS

level() { "$here/audio_level.py" "$SDL_DISKAUDIOFILE" 0.4; }
sounding() { awk -v l="$(level)" 'BEGIN { exit !(l > 0.02) }'; }
silent() { ! sounding; }

"$holder" window "other program" &
pids+=($!)
other=$(wait_window "other program")
"$work/program/speaker" &
pids+=($!)
wait_window "Sonvela\(普及版\)" >/dev/null
xdotool windowfocus --sync "$other"

wait_for "the program is silent at first" 5 silent
xdotool key F5
wait_for "F5 did not start the music" 10 sounding
xdotool key F5
wait_for "F5 did not stop the music" 10 silent
sleep 1
silent || fail "the music went on after the second F5"
echo "PASS"
