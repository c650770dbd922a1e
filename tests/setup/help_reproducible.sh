#!/usr/bin/env bash
# The help file the installer carries depends on its pages alone: compiled
# twice, a few seconds apart and from copies made at different times, it is
# the same bytes.
# Usage: help_reproducible.sh <help sources> <chmcmd> <iconv> <clear_chm_time>
set -euo pipefail
sources=$1 chmcmd=$2 iconv=$3 clear=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in 1 2; do
    cmake -DSOURCE_DIR="$sources" -DWORK_DIR="$work/work$n" -DCHMCMD="$chmcmd" -DICONV="$iconv" \
        -DOUTPUT="$work/speaker$n.chm" -P "$sources/BuildHelp.cmake"
    "$clear" "$work/speaker$n.chm"
    [ "$n" = 1 ] && sleep 2
done
cmp "$work/speaker1.chm" "$work/speaker2.chm" || { echo "FAIL: two builds differ"; exit 1; }
# The index is still there, as the sitemap file the viewers read.
grep -q "index.hhk" "$work/speaker1.chm" || { echo "FAIL: no index"; exit 1; }
echo PASS
