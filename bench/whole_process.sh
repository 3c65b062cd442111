#!/bin/sh
# The one-page invoice to PDF as a whole process, against WeasyPrint on the same page (the
# template expanded to HTML; Debian's package weasyprint, installed for this measurement only).
# Each command is started RUNS times, alternating. A process's wall time is taken from just
# before it is started to just after it has been reaped, its peak memory (maximum resident set)
# from the kernel's account of the reaped process; no timing or measuring program is started
# inside that window. The medians are printed.
#   bench/whole_process.sh <build folder> [RUNS]
set -eu
build=$1
runs=${2:-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$build/bin/prm1_html" "$build/bin/Ses" "$work/faktura.html"
python3 - "$runs" "$build" "$work" <<'PYTHON'
import os, statistics, subprocess, sys, time
runs, build, work = int(sys.argv[1]), sys.argv[2], sys.argv[3]
commands = {
    "prm1": [f"{build}/bin/prm1_render", f"{build}/bin/libPRM1.so", f"{build}/bin/Ses",
             f"{work}/prm1.pdf"],
    "weasyprint": ["weasyprint", f"{work}/faktura.html", f"{work}/weasyprint.pdf"],
}
results = {name: [] for name in commands}
for _ in range(runs):
    for name, command in commands.items():
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        end = time.perf_counter()
        code = os.waitstatus_to_exitcode(status)
        if code != 0:
            sys.exit(f"{name} failed ({code})")
        results[name].append(((end - start) * 1000, usage.ru_maxrss / 1024))
ms = {}
for name, values in results.items():
    ms[name] = statistics.median(v[0] for v in values)
    mib = statistics.median(v[1] for v in values)
    print(f"{name}: median {ms[name]:.1f} ms, {mib:.0f} MiB peak ({runs} runs)")
print(f"ratio: {ms['weasyprint'] / ms['prm1']:.1f}x")
PYTHON
