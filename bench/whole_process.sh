#!/bin/sh
# The one-page invoice to PDF as a whole process, against WeasyPrint on the same page (the
# template expanded to HTML; Debian's package weasyprint, installed for this measurement only).
# Each command is started RUNS times, alternating; the medians of the wall times and the peak
# memory (maximum resident set, GNU time) are printed.
#   bench/whole_process.sh <build folder> [RUNS]
set -eu
build=$1
runs=${2:-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$build/bin/prm1_html" "$build/bin/Ses" "$work/faktura.html"
measure() { # name command...
    name=$1
    shift
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000000 )) $(cat "$work/rss")" >>"$work/$name"
}
i=0
while [ "$i" -lt "$runs" ]; do
    measure prm1 "$build/bin/prm1_render" "$build/bin/libPRM1.so" "$build/bin/Ses" "$work/prm1.pdf"
    measure weasyprint weasyprint "$work/faktura.html" "$work/weasyprint.pdf"
    i=$((i + 1))
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for name in prm1 weasyprint; do
    ms=$(cut -d' ' -f1 "$work/$name" | median)
    kb=$(cut -d' ' -f2 "$work/$name" | median)
    echo "$name: median $ms ms, $((kb / 1024)) MiB peak ($runs runs)"
done
