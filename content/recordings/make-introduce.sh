#!/bin/sh
# Makes introduce.mp3, the spoken introduction: espeak-ng's Mandarin voice
# reads the text file (the front-end's text, made by make_spoken_text), lame encodes it (mono, 48 kbit/s, no tags), so the
# same text gives the same bytes.
# Usage: make-introduce.sh TEXT.txt OUTPUT.mp3 WORKDIR
set -eu
text=$1
out=$2
work=$3
mkdir -p "$work"
espeak-ng -v cmn-latn-pinyin -s 150 -f "$text" -w "$work/introduce.wav"
lame --quiet --noreplaygain -m m -b 48 "$work/introduce.wav" "$out"
