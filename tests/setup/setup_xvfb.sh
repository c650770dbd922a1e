#!/bin/sh
# Drives the real installer under Xvfb with xdotool: installs into a new
# folder three levels deep without the menu entry and without starting the
# program, checks every file against the staged program folder, installs
# again over it (answering the overwrite question), and quits.
# Usage: setup_xvfb.sh SETUP STAGE_DIR SCREENSHOT_DIR   (run inside xvfb-run)
set -eu
setup=$1
stage=$2
shots=$3
. "$(dirname "$0")/xvfb_common.sh"

target="$work/first/second/sonvela"

# First installation: no menu entry, the program not started.
start_setup
import -window "$form" "$shots/setup-xvfb-before.png"
click "$form" $CHBSTART
click "$form" $CHBRUN
type_path "$target"
click "$form" $BTNNEXT
wait_window "Sonvela安装程序..安装完成" >/dev/null || fail "the installation did not finish"
import -window "$form" "$shots/setup-xvfb-after.png"

[ -d "$target/books" ] || fail "books was not created"
while IFS='|' read -r staged installed; do
    cmp -s "$stage/$staged" "$target/$installed" || fail "$installed differs from $stage/$staged"
done <<LIST
bass.dll|bass.dll
speaker|speaker.exe
speaker.chm|speaker.chm
draft.dat|draft.dat
introduce.mp3|introduce.mp3
bjd.mp3|bjd.mp3
报价单.txt|报价单.txt
基本介绍.txt|基本介绍.txt
books/1000常用口语.txt|books/1000常用口语.txt
books/42天学会英语.txt|books/42天学会英语.txt
books/800个有趣句子帮你记忆7000个单词.txt|books/800个有趣句子帮你记忆7000个单词.txt
books/老外中经典高频口语.txt|books/老外中经典高频口语.txt
LIST
[ -x "$target/speaker.exe" ] || fail "speaker.exe is not executable"
grep -qx "Path=$target/" "$HOME/Desktop/Sonvela.desktop" || fail "no desktop entry for $target"
[ ! -e "$menu/Sonvela.desktop" ] || fail "a menu entry was made though not asked for"
pgrep -f "$target/speaker.exe" >/dev/null && fail "the program was started though not asked for"

# "退出" after installing quits without asking.
click "$form" $BTNEXIT
wait_exit "$setup_pid" || fail "the installer did not quit after installing"

# Installing again asks first; the answer Yes overwrites the database and
# keeps the operator's copy beside it.
printf 'changed by the operator' > "$target/draft.dat"
printf '[System]\nShowgrid=1\n' > "$target/setinfo.ini"
start_setup
click "$form" $CHBRUN
type_path "$target"
click "$form" $BTNNEXT
i=0
while [ -z "${box:-}" ] && [ $i -lt 50 ]; do
    for id in $(xdotool search --onlyvisible --name Sonvela); do
        [ "$id" != "$form" ] && box=$id
    done
    sleep 0.1; i=$((i + 1))
done
[ -n "${box:-}" ] || fail "the overwrite question was not asked"
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key Return
wait_window "Sonvela安装程序..安装完成" >/dev/null || fail "the second installation did not finish"
cmp -s "$stage/draft.dat" "$target/draft.dat" || fail "draft.dat was not put back"
[ "$(cat "$target/draft.dat.bak")" = "changed by the operator" ] || fail "draft.dat.bak lost"
[ "$(cat "$target/setinfo.ini")" = "$(printf '[System]\nShowgrid=1')" ] || fail "setinfo.ini touched"
[ -e "$menu/Sonvela.desktop" ] || fail "no menu entry"

click "$form" $BTNEXIT
wait_exit "$setup_pid" || fail "the installer did not quit"
echo "setup under Xvfb: all checks passed"
