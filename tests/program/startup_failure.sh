#!/usr/bin/env bash
# A start-up that cannot go on (here: the per-user temporary folder belongs to
# someone else, and there is no runtime folder) ends in a message box and a
# non-zero exit, never in an abort. Needs a private mount namespace (root, or
# unprivileged user namespaces): skipped (77) where there is none.
# Usage: startup_failure.sh <stage folder>
set -euo pipefail
stage=$1
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (./dev test starts Xvfb)"; exit 1; }
if [ "${1:-}" != "--inside" ]; then
    unshare -m true 2>/dev/null || { echo "no mount namespace here"; exit 77; }
    [ "$(id -u)" -eq 0 ] || { echo "needs root to hand a folder to another user"; exit 77; }
    exec unshare -m "$0" --inside "$stage"
fi
stage=$2
# A /tmp of this test's own; the X server is still reached through its
# abstract socket, and its cookie (if any) is carried over.
if [ -n "${XAUTHORITY:-}" ] && [ -f "$XAUTHORITY" ]; then
    cookie=$(base64 -w0 "$XAUTHORITY")
    mount -t tmpfs none /tmp
    export XAUTHORITY=/tmp/.Xauthority
    printf '%s' "$cookie" | base64 -d >"$XAUTHORITY"
else
    mount -t tmpfs none /tmp
fi
source "$(dirname "$0")/../support/program_test.sh"
cp -r "$stage" "$work/program"
mkdir /tmp/sonvela-0
chown 65534:65534 /tmp/sonvela-0
unset XDG_RUNTIME_DIR TMPDIR
export SDL_AUDIODRIVER=dummy
hold_x_server

"$work/program/speaker" >"$work/log" 2>&1 &
program=$!
pids+=("$program")
box=""
for _ in $(seq 300); do
    box=$(xdotool search --onlyvisible --name '^Sonvela$' 2>/dev/null | head -n1 || true)
    [ -n "$box" ] && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
[ -n "$box" ] || { cat "$work/log"; fail "no message box"; }
xdotool key --window "$box" Return 2>/dev/null || true
wait_gone "$program" "the program did not end after its message"
set +e
wait "$program"
code=$?
set -e
[ "$code" -eq 1 ] || { cat "$work/log"; fail "exit code $code, not 1"; }
grep -q terminate "$work/log" && fail "ended through std::terminate"
echo PASS
