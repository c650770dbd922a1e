# Shared by the installer's Xvfb scripts (sourced): a private home and menu
# folder, the installer started and its controls clicked with xdotool.
# Expects $setup; sets $work, $menu, $form, $setup_pid.
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-xvfb-XXXXXX")
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    # A program ends cleanly on SIGTERM and writes its settings as it goes:
    # let it finish before its folder is removed.
    for pid in $pids; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share" XDG_DATA_DIRS="$work/system:/usr/share"
export XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$shots"
mkdir -m 700 "$XDG_RUNTIME_DIR"
if [ "$(id -u)" = 0 ]; then menu="$work/system/applications"; else menu="$XDG_DATA_HOME/applications"; fi

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits until a visible window has exactly this title; prints its id. (The
# search takes a regular expression, and the titles hold parentheses: look
# for the plain word and compare whole titles.)
wait_window() {
    i=0
    while [ $i -lt 100 ]; do
        for id in $(xdotool search --onlyvisible --name Sonvela 2>/dev/null); do
            if [ "$(xdotool getwindowname "$id")" = "$1" ]; then echo "$id"; return 0; fi
        done
        sleep 0.1; i=$((i + 1))
    done
    return 1
}

click() { # window x y (inside the window)
    xdotool mousemove --sync --window "$1" "$2" "$3" click 1
    sleep 0.2
}

# The controls' centres in the window (it is 419 x 267, the lower panel
# starting at y 44).
CHBSTART="40 100"; CHBRUN="40 126"; EDTPATH="160 185"; BTNNEXT="265 237"; BTNEXIT="361 237"

start_setup() {
    "$setup" &
    setup_pid=$!
    pids="$pids $setup_pid"
    form=$(wait_window "Sonvela(普及版)安装程序") || fail "the installer's window did not appear"
    xdotool windowfocus --sync "$form" 2>/dev/null || true
}

type_path() {
    click "$form" $EDTPATH
    xdotool key --clearmodifiers ctrl+a BackSpace
    xdotool type --delay 5 "$1"
}

wait_exit() {
    i=0
    while kill -0 "$1" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
    ! kill -0 "$1" 2>/dev/null
}

