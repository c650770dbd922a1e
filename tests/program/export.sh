#!/usr/bin/env bash
# `speaker --export` as a script uses it: no display, no audio device, a
# complete file or none, and plain reasons on bad input.
set -euo pipefail
stage=$1
source "$(dirname "$0")/../support/program_test.sh"
cp -r "$stage" "$work/program"
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER=none-such

export_() { timeout 300 "$work/program/speaker" --export "$@"; }
seconds() { soxi -D "$1"; }

# A GBK text file, as the program saves them.
printf '欢迎光临。本店今天营业到晚上九点！谢谢' | iconv -f UTF-8 -t GBK >"$work/in.txt"

export_ "$work/in.txt" "$work/once.wav" 2>"$work/err" || fail "export failed: $(cat "$work/err")"
grep -q '100%' "$work/err" || fail "no progress on standard error: $(cat "$work/err")"
one=$(seconds "$work/once.wav")

# Three passes two seconds apart.
export_ "$work/in.txt" "$work/loop.flac" --loops 3 --interval 2 2>/dev/null || fail "loop export"
flac -s -d -f -o "$work/loop.wav" "$work/loop.flac"
three=$(seconds "$work/loop.wav")
awk -v a="$three" -v b="$one" 'BEGIN { d = a - (3 * b + 4); exit !(d < 0.15 && d > -0.15) }' ||
    fail "three passes: $three s for one of $one s"

# With music from a folder, as MP3.
mkdir "$work/music"
sox -n -r 44100 -c 2 "$work/music/bed.wav" synth 5 sine 330 vol 0.3
lame --quiet "$work/music/bed.wav" "$work/music/bed.mp3"
rm "$work/music/bed.wav"
export_ "$work/in.txt" "$work/music.mp3" --music "$work/music" 2>/dev/null || fail "music export"
mpg123 -q -w "$work/music.wav" "$work/music.mp3"
[ "$(seconds "$work/music.wav" | cut -d. -f1)" -ge 1 ] || fail "music export too short"

# Bad input: a clear reason, a failure status, no file.
expect_refusal() { # <words expected in the message> <arguments...>
    local words=$1
    shift
    if export_ "$@" 2>"$work/err"; then fail "accepted: $*"; fi
    grep -q "$words" "$work/err" || fail "no reason '$words' for $*: $(cat "$work/err")"
}
expect_refusal 无法读取文本文件 "$work/missing.txt" "$work/x.wav"
expect_refusal 无法识别输出文件的格式 "$work/in.txt" "$work/x.ogg"
expect_refusal 输出文件夹不存在 "$work/in.txt" "$work/nowhere/x.wav"
expect_refusal 循环次数不正确 "$work/in.txt" "$work/x.wav" --loops 0
expect_refusal 间隔秒数不正确 "$work/in.txt" "$work/x.wav" --loops 2 --interval soon
expect_refusal 音乐文件夹不存在 "$work/in.txt" "$work/x.wav" --music "$work/nomusic"
expect_refusal 用法 "$work/in.txt"
[ ! -e "$work/x.wav" ] || fail "a refused export left a file"

# Interrupted: no file, no temporary file.
long=$work/long.txt
for _ in $(seq 200); do printf '今天天气很好，我们一起去公园散步吧。'; done | iconv -f UTF-8 -t GBK >"$long"
mkdir "$work/out"
"$work/program/speaker" --export "$long" "$work/out/long.mp3" 2>/dev/null &
pid=$!
sleep 0.3
kill -INT $pid 2>/dev/null || true
wait $pid && status=0 || status=$?
if [ "$status" -eq 0 ]; then
    # Finished before the interrupt arrived: then the file is complete.
    mpg123 -q -t "$work/out/long.mp3" || fail "an uninterrupted export is not a whole file"
else
    [ -z "$(ls -A "$work/out")" ] || fail "an interrupted export left: $(ls -A "$work/out")"
fi
echo "export: ok"
