#!/usr/bin/env bash
# Refreshes the folder `./dev run` starts the program from, out of the staged
# program folder: the program's own files (the executable, the audio library,
# the help file, the recordings) are replaced when they changed; what the
# operator owns there (setinfo.ini, draft.dat with its history and drafts,
# recovery.txt, the texts he may have edited and saved) is copied only when
# it is missing, never over what is there. The stage is only read.
# Usage: refresh-run-folder.sh <stage folder> <run folder>
set -euo pipefail
stage=$1
run=$2
[ -x "$stage/speaker" ] || { echo "no staged program in $stage" >&2; exit 1; }
mkdir -p "$run"
(cd "$stage" && find . -type f -print0) | while IFS= read -r -d '' file; do
    file=${file#./}
    target=$run/$file
    case "$file" in
    draft.dat | setinfo.ini | recovery.txt | *.txt)
        [ -e "$target" ] && continue
        ;;
    esac
    cmp -s "$stage/$file" "$target" 2>/dev/null && continue
    mkdir -p "$(dirname "$target")"
    # A new file renamed into place: a program still running from the run
    # folder keeps its old executable instead of failing with "text file busy".
    cp -p "$stage/$file" "$target.new"
    mv -f "$target.new" "$target"
done
