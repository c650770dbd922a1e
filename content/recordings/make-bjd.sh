#!/bin/sh
# Makes the sample background recording bjd.mp3: a short, calm pentatonic
# tune of plucked notes over a soft sine chord, the same bytes on every run
# (no dither, no noise sources, no tags with dates).
# Usage: make-bjd.sh OUTPUT.mp3 WORKDIR
set -eu
out=$1
work=$2
mkdir -p "$work"
rate=22050

# The melody, one note per beat (0.6 s); "-" rests.
melody="E4 G4 A4 C5 A4 G4 E4 D4 E4 G4 A4 G4 E4 D4 C4 -
        E4 G4 A4 C5 D5 C5 A4 G4 A4 C5 A4 G4 E4 D4 C4 -"
i=0
for note in $melody; do
    i=$((i + 1))
    name=$(printf '%s/n%03d.wav' "$work" "$i")
    if [ "$note" = "-" ]; then
        sox -D -n -r $rate -c 1 -b 16 "$name" trim 0 0.6
    else
        sox -D -n -r $rate -c 1 -b 16 "$name" synth 0.6 pluck "$note" fade q 0.01 0.6 0.45 vol 0.5
    fi
done
sox -D "$work"/n*.wav "$work/melody.wav"
len=$(soxi -D "$work/melody.wav")

# The chord under it: C major with an added sixth, held and faded in and out.
sox -D -n -r $rate -c 1 -b 16 "$work/pad.wav" synth "$len" sine C3 synth "$len" sine mix G3 \
    synth "$len" sine mix A3 vol 0.12 fade t 2 "$len" 3
sox -D -m "$work/melody.wav" "$work/pad.wav" "$work/mixed.wav" reverb 40 gain -n -3 fade t 0.5 "$len" 2
lame --quiet --noreplaygain -m m -b 64 "$work/mixed.wav" "$out"
