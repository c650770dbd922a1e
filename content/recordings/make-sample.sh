#!/bin/sh
# Makes one of the voice notice's six samples: espeak-ng reads a short line
# in the given voice (a variant after "+" changes its timbre), lame encodes
# it (mono, 48 kbit/s, no tags), so the same arguments give the same bytes.
# The line is the front-end's text for it (make_spoken_text), as the program
# would speak it.
# Usage: make-sample.sh VOICE TEXT_FILE OUTPUT.mp3 WORKDIR
set -eu
voice=$1
text=$2
out=$3
work=$4
mkdir -p "$work"
name=$(basename "$out" .mp3)
espeak-ng -v "$voice" -s 150 -w "$work/$name.wav" -f "$text"
lame --quiet --noreplaygain -m m -b 48 "$work/$name.wav" "$out"
