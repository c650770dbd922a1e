#!/usr/bin/env bash
# The real program under an X display with a tray host: a screenshot of the
# main window; a left click on the tray icon hides the window and a second
# one shows it; the close box hides the window and the program goes on; the
# tray menu's exit item ends the program and writes the exit settings.
set -euo pipefail
stage=$1
source "$(dirname "$0")/../support/program_test.sh"
require_display
# The program writes its settings as it ends: let it finish first.
cleanup_grace=5
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini"
# No session bus: Qt then uses the XEmbed tray that trayer hosts.
unset DBUS_SESSION_BUS_ADDRESS
screens=${SONVELA_SCREENSHOTS:-$work}
mkdir -p "$screens"

visible() { # <window id>: the window is mapped and viewable
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

trayer --edge top --align right --widthtype pixel --width 64 --heighttype pixel --height 28 \
    --SetDockType true --expand false --transparent false --tint 0x808080 &
pids+=("$!")
sleep 0.5

"$work/program/speaker" &
app=$!
pids+=("$app")

main=""
find_main() {
    main=$(xdotool search --onlyvisible --name '^Sonvela\(普及版\)$' 2>/dev/null | head -n1 || true)
    [ -n "$main" ]
}
wait_until "no main window appeared" find_main
sleep 1
import -window root "$screens/mainwindow.png"
echo "screenshot: $screens/mainwindow.png"

# The tray icon is the program's other window of a real size, which trayer
# embeds in its panel; it counts once placed inside the screen. The voice
# notice, open at a first start, is a window of the program too.
icon=""
notices=" $(xdotool search --name '^使用须知$' 2>/dev/null | tr '\n' ' ') "
find_icon() {
    local w
    for w in $(xdotool search --classname '^speaker$' 2>/dev/null); do
        [ "$w" = "$main" ] && continue
        case "$notices" in *" $w "*) continue ;; esac
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if [ "$WIDTH" -gt 1 ] && [ "$HEIGHT" -gt 1 ] && [ $((X + WIDTH)) -le "$screen_width" ]; then
            icon=$w
            return 0
        fi
    done
    return 1
}
screen_width=$(xdpyinfo 2>/dev/null | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
screen_width=${screen_width:-1280}
wait_until "no tray icon in the tray host" find_icon
import -window root "$screens/tray.png"

click_icon() {
    # The icon's centre on the screen.
    eval "$(xdotool getwindowgeometry --shell "$icon")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
}

click_icon
wait_until "a left click on the tray icon did not hide the window" bash -c "! xwininfo -id $main | grep -q IsViewable"
kill -0 "$app" || fail "the program ended on the tray click"
click_icon
wait_until "a second left click on the tray icon did not show the window" visible "$main"

# The close box: the window manager's close request (WM_DELETE_WINDOW).
"$(dirname "$0")/close_window.py" "$main"
wait_until "the close box did not hide the window" bash -c "! xwininfo -id $main | grep -q IsViewable"
sleep 0.5
kill -0 "$app" || fail "the close box ended the program"
click_icon
wait_until "the tray icon did not show the window after the close box" visible "$main"
echo "tray: left click hides, second left click shows; close box hides, the program goes on"

# The tray menu's exit item, chosen by its mnemonic: the program ends and
# the exit command's keys are in setinfo.ini.
# The menu is one more shown window of the program; the key goes to it only
# once it is open, which on a loaded machine takes its time.
program_windows() { xdotool search --onlyvisible --classname '^speaker$' 2>/dev/null | wc -l; }
windows_before=$(program_windows)
menu_open() { [ "$(program_windows)" -gt "$windows_before" ]; }
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
wait_until "the tray menu did not open" menu_open
sleep 0.5 # painted, for the picture
import -window root "$screens/traymenu.png"
xdotool key c
wait_gone "$app" "the tray menu's exit item did not end the program"
wait "$app" || fail "the program ended with an error"
settings=$(iconv -f GB18030 -t UTF-8 "$work/program/setinfo.ini")
for key in Rate Volume default_volume default_volume1 Playmode memocolor; do
    grep -q "^$key=" <<<"$settings" || fail "setinfo.ini lacks $key after the exit"
done
echo "exit from the tray menu: program ended, settings written"
