#!/bin/sh
# The installed program starts: the real installer, with "安装完成,自动运行软件"
# checked, starts speaker.exe from the installation folder; then the command
# of the desktop entry starts it again. Screenshots of the program's window
# are kept.
# Usage: installed_program_xvfb.sh SETUP SCREENSHOT_DIR   (run inside xvfb-run)
set -eu
setup=$1
shots=$2
. "$(dirname "$0")/xvfb_common.sh"

target="$work/programs/sonvela"

# The program's window: titled "Sonvela..." but not one of the installer's.
wait_program() {
    i=0
    while [ $i -lt 150 ]; do
        for id in $(xdotool search --onlyvisible --name Sonvela 2>/dev/null); do
            case "$(xdotool getwindowname "$id")" in
            *安装*) ;;
            *) echo "$id"; return 0 ;;
            esac
        done
        sleep 0.1; i=$((i + 1))
    done
    return 1
}

program_pid() {
    pgrep -f -x "$target/speaker.exe" | head -n 1
}

start_setup
type_path "$target"
click "$form" $BTNNEXT
wait_window "Sonvela安装程序..安装完成" >/dev/null || fail "the installation did not finish"
window=$(wait_program) || fail "the installed program did not show a window"
pid=$(program_pid)
[ -n "$pid" ] || fail "speaker.exe is not running"
pids="$pids $pid"
[ "$(readlink "/proc/$pid/cwd")" = "$target" ] || fail "speaker.exe was not started in $target"
sleep 1
import -window root "$shots/installed-program-from-setup.png"
# The installer goes on when the program has started; close the program
# (which covers it) first, then the installer, which no longer asks.
kill "$pid"
wait_exit "$pid" || kill -9 "$pid"
xdotool windowraise "$form"
click "$form" $BTNEXIT
wait_exit "$setup_pid" || fail "the installer did not quit"

# The desktop entry's command, run the way a launcher runs it: in the
# entry's working folder, its quoted argument taken apart by the shell (our
# entries quote exactly as the shell does, with "%%" for a percent sign;
# started without a file, the launcher drops the field code "%f").
entry="$HOME/Desktop/Sonvela.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry" | sed -e 's/ %f$//' -e 's/%%/%/g')
path_line=$(sed -n 's/^Path=//p' "$entry")
(cd "$path_line" && eval "exec $exec_line") &
pids="$pids $!"
wait_program >/dev/null || fail "the desktop entry's command did not start the program"
pid=$(program_pid)
[ "$(readlink "/proc/$pid/cwd")" = "$target" ] || fail "the entry did not start it in $target"
sleep 1
import -window root "$shots/installed-program-from-entry.png"
echo "installed program under Xvfb: started by setup and by its desktop entry"
