#!/usr/bin/env bash
# `speaker --pronounce` as a script uses it: no display, no window, no lock,
# no audio, and the program folder exactly as it was afterwards.
set -euo pipefail
stage=$1
source "$(dirname "$0")/../support/program_test.sh"
cp -r "$stage" "$work/program"
# Nothing of a desktop: a program that touched the window system would fail.
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER=none-such
before=$(cd "$work/program" && find . -type f -exec sha256sum {} + | sort)

pronounce() { timeout 60 "$work/program/speaker" --pronounce "$@"; }

out=$(pronounce "西红柿每斤3.5元。去银行找行长！%Date%")
mapfile -t lines <<<"$out"
[ "${#lines[@]}" -eq 3 ] || fail "three segments expected, got: $out"
[[ "${lines[0]}" == *三点五元。 ]] || fail "price: ${lines[0]}"
[[ "${lines[1]}" == *"yin2 hang2"*"hang2 zhang3"* ]] || fail "polyphones: ${lines[1]}"
# The date placeholder is filled in and written out as words: no digit left.
[[ "${lines[2]}" =~ [0-9] ]] && fail "date not written out: ${lines[2]}"
[[ "${lines[2]}" == *年*月*日* ]] || fail "date: ${lines[2]}"

# Standard input, and the Cantonese voice: numbers written out, no pinyin.
out=$(printf '银行3号窗口。\n' | pronounce --voice cantonese -)
[[ "$out" == 銀行三號窗口。 || "$out" == 銀行三号窗口。 ]] || fail "cantonese: $out"

# Bad usage says so and fails.
if pronounce --voice klingon x 2>"$work/err"; then fail "unknown voice accepted"; fi
grep -q 用法 "$work/err" || fail "no usage text"
if pronounce 2>/dev/null; then fail "missing text accepted"; fi

# Writes nothing, takes no lock: the folder and the runtime folder are as
# they were.
after=$(cd "$work/program" && find . -type f -exec sha256sum {} + | sort)
[ "$before" == "$after" ] || fail "the program folder changed"
[ -z "$(ls -A "$work/runtime")" ] || fail "the runtime folder changed: $(ls -A "$work/runtime")"
echo "pronounce: ok"
