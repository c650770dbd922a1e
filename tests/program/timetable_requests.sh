#!/usr/bin/env bash
# The broadcast timetable and other programs' requests in the real program:
# an entry a minute and a half ahead (room for a slow start) reads its draft
# at its time, and a WAV entry after it plays (heard through SDL's disk
# driver, and written to the announcement log); `speaker --say` from a
# second process speaks while the first runs; `--read-draft` of an unknown
# draft is refused with the reason; --stop silences; the same requests on
# the session bus, whose interface matches the checked-in description. The
# editor's text is never touched: no crash copy of a modified text appears.
# With no instance running, a request starts one first.
# Usage: timetable_requests.sh <stage folder> <introspection xml>
set -euo pipefail
stage=$1
xml=$2
here=$(cd "$(dirname "$0")" && pwd)
level_script=$here/../xvfb-schedule/audio_level.py
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (./dev test starts Xvfb)"; exit 1; }
# A private session bus for the whole run: the D-Bus part needs one.
if [ -z "${SONVELA_TEST_BUS:-}" ]; then
    if command -v dbus-run-session >/dev/null; then
        SONVELA_TEST_BUS=1 exec dbus-run-session -- "$0" "$@"
    fi
    export SONVELA_TEST_BUS=none
fi

source "$here/../support/program_test.sh"
cp -r "$stage" "$work/program"
rm -f "$work/program/setinfo.ini" "$work/program/recovery.txt"
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE=$work/audio.raw
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus
program_dir=$work/program
log=$XDG_DATA_HOME/Sonvela/announcements.log

fail_details() {
    if [ -f "${log:-}" ]; then
        echo "--- announcement log:"
        cat "$log"
    fi
}

level() { "$level_script" "$SDL_DISKAUDIOFILE" "${1:-0.4}"; }
speaking() { [ -f "$SDL_DISKAUDIOFILE" ] && awk -v l="$(level)" 'BEGIN { exit !(l > 0.02) }'; }
silent() { ! speaking; }
logged() { [ -f "$log" ] && grep -q "$1" "$log"; }

# A draft, and a timetable entry that reads it a minute from now.
db=$program_dir/draft.dat
draft_id=$(sqlite3 "$db" "insert into draft (orderno, name, memory)
    values (0, '开门问候', '各位顾客早上好，今天是%Date%。欢迎光临本店，祝您购物愉快。');
    select last_insert_rowid();")
entry_time=$(date -d '+90 seconds' +%H:%M:%S)
sqlite3 "$db" "insert into timetable (stime, days, draftid, filename, passes, interval, voice, enabled)
    values ('$entry_time', 127, $draft_id, '', 1, 0, '', 1);"
entry_epoch=$(date -d "$entry_time" +%s)
[ "$entry_epoch" -lt "$(date +%s)" ] && entry_epoch=$((entry_epoch + 86400))
# A sound file half a minute after it, once the draft has been read.
sox -n -r 22050 -c 1 -b 16 "$work/铃声.wav" synth 3 sine 660 vol 0.5
sound_epoch=$((entry_epoch + 30))
sound_time=$(date -d "@$sound_epoch" +%H:%M:%S)
sqlite3 "$db" "insert into timetable (stime, days, draftid, filename, passes, interval, voice, enabled)
    values ('$sound_time', 127, null, '$work/铃声.wav', 2, 1, '', 1);"

"$program_dir/speaker" &
program=$!
pids+=("$program")
wait_window "Sonvela\(普及版\)" >/dev/null
# The voice notice of a first start, if any, is left alone: nothing here
# needs the focus.

# Another program asks for words while the first runs.
wait_for "the program stays silent at first" 20 silent
"$program_dir/speaker" --say 请A023号到3号窗口 || fail "--say was not accepted"
wait_for "--say did not speak" 30 speaking
wait_for "--say's words did not end" 60 silent
logged "请A023号到3号窗口" || fail "--say was not logged"

# An unknown draft is refused, with the reason, and nothing is spoken.
set +e
reason=$("$program_dir/speaker" --read-draft 没有这个稿件 2>&1 >/dev/null)
status=$?
set -e
[ "$status" -ne 0 ] || fail "--read-draft of an unknown draft exited 0"
echo "$reason" | grep -q "没有找到稿件" || fail "no reason for the refused draft: '$reason'"
"$program_dir/speaker" --say >/dev/null 2>&1 && fail "--say without words exited 0"

# The known draft by name is read, and --stop silences it.
"$program_dir/speaker" --read-draft 开门问候 || fail "--read-draft of a known draft was refused"
wait_for "--read-draft did not read" 30 speaking
"$program_dir/speaker" --stop || fail "--stop was not accepted"
wait_for "--stop did not silence the draft" 20 silent
wait_for "the stopped draft was not logged" 20 logged "被其他程序的停止请求停止"

# The session bus: the same requests, the interface as described.
if [ "$SONVELA_TEST_BUS" = 1 ]; then
    on_bus() {
        gdbus introspect --session --dest org.sonvela.Speaker --object-path /Speaker \
            >/dev/null 2>&1
    }
    wait_for "the program did not take its name on the session bus" 30 on_bus
    dbus-send --session --print-reply=literal --dest=org.sonvela.Speaker /Speaker \
        org.freedesktop.DBus.Introspectable.Introspect >"$work/live.xml"
    python3 - "$xml" "$work/live.xml" <<'PY' || fail "the live D-Bus interface differs from its description"
import re, sys, xml.etree.ElementTree as ET
def methods(text):
    text = text[text.index('<node'):] if '<node' in text else text
    root = ET.fromstring(text)
    for interface in root.iter('interface'):
        if interface.get('name') == 'org.sonvela.Speaker1':
            return sorted((m.get('name'), tuple((a.get('name'), a.get('type'), a.get('direction', 'in'))
                          for a in m.iter('arg'))) for m in interface.iter('method'))
    return None
described = methods(open(sys.argv[1], encoding='utf-8').read())
live = methods(open(sys.argv[2], encoding='utf-8').read())
print('described', described)
print('live     ', live)
sys.exit(0 if described and described == live else 1)
PY
    if gdbus call --session --dest org.sonvela.Speaker --object-path /Speaker \
        --method org.sonvela.Speaker1.ReadDraft 没有这个稿件 2>"$work/bus-error"; then
        fail "ReadDraft of an unknown draft succeeded on the bus"
    fi
    grep -q "org.sonvela.Speaker1.Error.Refused" "$work/bus-error" || fail "no Refused error: $(cat "$work/bus-error")"
    grep -q "没有找到稿件" "$work/bus-error" || fail "no reason on the bus: $(cat "$work/bus-error")"
    gdbus call --session --dest org.sonvela.Speaker --object-path /Speaker \
        --method org.sonvela.Speaker1.Say "总线上的播报" >/dev/null || fail "Say on the bus failed"
    wait_for "Say on the bus did not speak" 30 speaking
    gdbus call --session --dest org.sonvela.Speaker --object-path /Speaker \
        --method org.sonvela.Speaker1.Stop >/dev/null || fail "Stop on the bus failed"
    wait_for "Stop on the bus did not silence" 20 silent
else
    echo "no dbus-run-session: the session bus part is skipped"
fi

# The timetable entry at its time.
now=$(date +%s)
[ "$now" -lt "$((entry_epoch - 1))" ] || fail "the checks above took past the entry's time; the entry cannot be measured"
while [ "$(date +%s)" -lt "$((entry_epoch - 1))" ]; do
    speaking && fail "sound before the entry's time"
    sleep 0.5
done
wait_for "the entry did not read its draft" 30 speaking
heard=$(date +%s)
echo "entry due at $entry_epoch, heard at $heard"
# Within a second of its time, as the timetable promises; the sound reaches
# the disk file a little later, more so on a loaded machine.
[ "$heard" -le "$((entry_epoch + 10))" ] || fail "the entry started $((heard - entry_epoch)) s late"
wait_for "the entry's reading was not logged" 120 logged "定时播报 $entry_time 开门问候"
grep "定时播报 $entry_time" "$log" | grep -q "已播放" || fail "the entry is not logged as played"
logged_at=$(grep "定时播报 $entry_time" "$log" | head -n1 | cut -f1)
echo "entry $entry_time, logged as started at $logged_at"
logged_epoch=$(date -d "$logged_at" +%s)
[ "$logged_epoch" -ge "$entry_epoch" ] && [ "$logged_epoch" -le "$((entry_epoch + 2))" ] ||
    fail "the log puts the entry's start at $logged_at"


# The sound file's entry: two passes of a three-second tone.
wait_for "the draft's reading did not end before the sound's entry" 60 silent
while [ "$(date +%s)" -lt "$((sound_epoch - 1))" ]; do
    speaking && fail "sound before the sound file's entry"
    sleep 0.5
done
wait_for "the sound file's entry did not play" 30 speaking
wait_for "the sound file's entry was not logged" 60 logged "定时播报 $sound_time 铃声.wav"
grep "定时播报 $sound_time" "$log" | grep -q "已播放 2 遍" || fail "the sound file is not logged as played twice"

kill -0 "$program" || fail "the running instance did not survive"
[ -f "$program_dir/recovery.txt" ] && fail "the editor's text was changed (a crash copy appeared)"

# With no instance running, a request starts one and hands itself over.
# (The new instance's disk driver starts the sound file afresh.) A stop
# starts none: nothing speaks.
wait_for "the sound file's entry did not end" 30 silent
kill "$program"
wait_gone "$program" "the program did not end on SIGTERM"
"$program_dir/speaker" --stop || fail "--stop with nothing running failed"
pgrep -f "^$program_dir/speaker\$" >/dev/null && fail "--stop started the program"
"$program_dir/speaker" --say 新开的程序也能播报 || fail "--say with no instance running failed"
started=$(xdotool getwindowpid "$(wait_window "Sonvela\(普及版\)")")
pids+=("$started")
wait_for "the instance started for --say did not speak" 30 speaking
logged "新开的程序也能播报" || fail "the started instance did not log the words"
echo PASS
