#!/usr/bin/env bash
# The real program under an X display with a tray host, as a new user meets
# it: the date format dialog opens at its fixed screen row; the voice notice
# opens again when the tray icon shows the window; the music folder chooser
# takes the name of a folder that does not exist and the program offers to
# create it; Esc in the task dialog calls the task off as 取消 does.
# Usage: window_details.sh <stage folder>
set -euo pipefail
stage=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/program_test.sh"
require_display
# The program writes its settings as it ends: let it finish first.
cleanup_grace=5
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini"
export HOME=$work
export SDL_AUDIODRIVER=dummy
# No session bus: Qt then uses the XEmbed tray that trayer hosts.
unset DBUS_SESSION_BUS_ADDRESS
screens=${SONVELA_SCREENSHOTS:-$work}
mkdir -p "$screens"

visible_windows() { # <exact title>: the ids of the visible windows with it
    local id
    # Every window of the program, compared by whole title (the search takes
    # a regular expression, and the titles hold parentheses).
    for id in $(xdotool search --onlyvisible --classname '^speaker$' 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
    done
    return 0
}
shown() { [ -n "$(visible_windows "$1")" ]; }
gone() { [ -z "$(visible_windows "$1")" ]; }
count_is() { [ "$(visible_windows "$1" | wc -l)" -eq "$2" ]; }
the_window() { visible_windows "$1" | head -n1; }

click_in() { # <window> <x> <y>
    # Away first: "--sync" waits for a move, and there is none when the
    # pointer already stands on the button clicked before.
    xdotool mousemove 0 0
    xdotool mousemove --sync --window "$1" "$2" "$3" click 1
}

trayer --edge top --align right --widthtype pixel --width 64 --heighttype pixel --height 28 \
    --SetDockType true --expand false --transparent false --tint 0x808080 &
pids+=("$!")
sleep 0.5

"$work/program/speaker" &
app=$!
pids+=("$app")
wait_until "no main window appeared" shown 'Sonvela(普及版)'
main=$(the_window 'Sonvela(普及版)')

# ---- The voice notice, at the first show and at every show after ----------
wait_until "no voice notice at the start" count_is 使用须知 1
"$here/close_window.py" "$(the_window 使用须知)"
wait_until "the voice notice did not close" gone 使用须知

icon=""
find_icon() {
    local w
    for w in $(xdotool search --classname '^speaker$' 2>/dev/null); do
        [ "$w" = "$main" ] && continue
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if [ "$WIDTH" -gt 1 ] && [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ] &&
            [ "$Y" -lt 40 ]; then
            icon=$w
            return 0
        fi
    done
    return 1
}
wait_until "no tray icon in the tray host" find_icon
click_icon() {
    eval "$(xdotool getwindowgeometry --shell "$icon")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
}
click_icon
wait_until "the tray icon did not hide the window" bash -c "! xwininfo -id $main | grep -q IsViewable"
click_icon
wait_until "the tray icon did not show the window" bash -c "xwininfo -id $main | grep -q IsViewable"
wait_until "no voice notice when the tray icon showed the window" count_is 使用须知 1
"$here/close_window.py" "$(the_window 使用须知)"
wait_until "the second voice notice did not close" gone 使用须知
echo "voice notice: at the start and again at the next show"

# Control centres inside the main window (1196 x 683 at the first start):
# the tool bar's buttons are 32 pixels apart under the menu bar, and the music
# panel's folder button sits at the right edge of the options panel.
SB_TIME="370 38"; SB_SCHEDULE="402 38"; BJ_OK_FROM_RIGHT=26; BJ_OK_Y=368

focus() { xdotool windowfocus --sync "$1" 2>/dev/null || true; }

# ---- The date format dialog: a fixed screen row, wherever the window is ---
date_dialog_at() { # prints "x y" of the dialog opened by the tool button
    click_in "$main" $SB_TIME
    wait_until "the date format dialog did not open" shown 选择动态日期时间格式
    local dialog
    dialog=$(the_window 选择动态日期时间格式)
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    "$here/close_window.py" "$dialog"
    wait_until "the date format dialog did not close" gone 选择动态日期时间格式
    echo "$X $Y"
}
xdotool windowmove --sync "$main" 40 170 2>/dev/null || true
first=$(date_dialog_at)
click_in "$main" $SB_TIME
wait_until "the date format dialog did not open" shown 选择动态日期时间格式
import -window root "$screens/dateformat_position.png"
"$here/close_window.py" "$(the_window 选择动态日期时间格式)"
wait_until "the date format dialog did not close" gone 选择动态日期时间格式
xdotool windowmove --sync "$main" 120 300 2>/dev/null || true
sleep 0.3
second=$(date_dialog_at)
[ "${first#* }" = 79 ] || fail "the date format dialog's top is at $first, not at row 79"
[ "$first" = "$second" ] || fail "the date format dialog moved with the main window: $first, $second"
echo "date format dialog: top at screen row 79, left at the button's tool bar offset (${first% *})"
xdotool windowmove --sync "$main" 40 170 2>/dev/null || true
sleep 0.3

# ---- The music folder chooser takes a new name ------------------------------
eval "$(xdotool getwindowgeometry --shell "$main")"
click_in "$main" $((WIDTH - BJ_OK_FROM_RIGHT)) $BJ_OK_Y
wait_until "the music folder chooser did not open" shown 选择背景音乐目录
chooser=$(the_window 选择背景音乐目录)
focus "$chooser"
fresh="$work/newmusic"
xdotool type --delay 10 "$fresh"
sleep 0.3
import -window root "$screens/music_folder_chooser.png"
xdotool key Return
wait_until "no question whether to create the folder" shown Confirm
shown 选择背景音乐目录 && fail "the chooser stayed open over the question"
focus "$(the_window Confirm)"
xdotool key y
wait_until "the question did not close" gone Confirm
wait_until "the folder was not created" test -d "$fresh"
music_folder_stored() { tr -d '\r' <"$work/program/setinfo.ini" | grep -qx "Mp3bj=$fresh"; }
wait_until "the new folder is not the music folder in setinfo.ini" music_folder_stored
echo "music folder chooser: a new name, the question, the folder created"

# ---- Esc in the task dialog does what 取消 does ---------------------------
if [ "$(date +%H%M)" -ge 2358 ]; then
    echo "task dialog: skipped in the last minutes of the day"
else
    click_in "$main" $SB_SCHEDULE
    wait_until "the task dialog did not open" shown 计划任务_未执行
    task=$(the_window 计划任务_未执行)
    focus "$task"
    # The time field has the focus: the latest time of the day, then 执行.
    xdotool key ctrl+a
    xdotool type --delay 20 2359
    xdotool key Return
    wait_until "执行 did not close the task dialog" gone 计划任务_未执行
    click_in "$main" $SB_SCHEDULE
    wait_until "the task was not armed" shown 计划任务_正执行
    focus "$(the_window 计划任务_正执行)"
    xdotool key Escape
    wait_until "Esc did not close the task dialog" gone 计划任务_正执行
    click_in "$main" $SB_SCHEDULE
    wait_until "Esc left the task armed" shown 计划任务_未执行
    focus "$(the_window 计划任务_未执行)"
    xdotool key Escape
    wait_until "Esc did not close the idle task dialog" gone 计划任务_未执行
    echo "task dialog: Esc disarms the task"
fi
echo PASS
