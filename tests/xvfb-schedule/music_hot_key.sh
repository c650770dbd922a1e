#!/usr/bin/env bash
# F5 of the real program under X, while another window has the focus: the
# first press plays the background music of the program folder, the second
# stops it. The sound is heard through SDL's disk driver.
# Usage: music_hot_key.sh <stage folder> <xkeyholder>
set -euo pipefail
stage=$1
holder=$2
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (./dev test starts Xvfb)"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini"
[ -f "$work/program/bjd.mp3" ] || { echo "FAIL: no music in the program folder"; exit 1; }
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE=$work/audio.raw
unset DBUS_SESSION_BUS_ADDRESS

# To standard error, so that a failure inside $(...) is seen too.
fail() { echo "FAIL: $*" >&2; exit 1; }

wait_window() { # <exact title> -> window id
    for _ in $(seq 150); do
        local id
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1
    done
    fail "no window titled '$1'"
}

level() { "$here/audio_level.py" "$SDL_DISKAUDIOFILE" 0.4; }
sounding() { awk -v l="$(level)" 'BEGIN { exit !(l > 0.02) }'; }
silent() { ! sounding; }

wait_for() { # <what> <seconds> <command>
    local what=$1 tenths=$(($2 * 10))
    shift 2
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}

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
