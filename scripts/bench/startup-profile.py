#!/usr/bin/env python3
"""Prints the steps of one profiled start of Brisquelton.exe (scripts/bench-startup.sh --profile).

    startup-profile.py DRIVER_OUTPUT WINE_TRACE

The driver's output gives the ticks at which it launched the program and saw its frame;
the trace holds Wine's timestamped module loads and the program's own start-up marks, on
the same clock.
"""
import re
import sys


def main(driver_output, trace):
    events = []
    for line in open(driver_output, errors="replace"):
        m = re.match(r"profile: (launched|frame seen) (\d+\.\d+)", line)
        if m:
            label = "process created (driver)" if m.group(1) == "launched" else "frame seen (driver)"
            events.append((float(m.group(2)), label))
    program = None
    for line in open(trace, errors="replace"):
        m = re.match(r"(\d+\.\d+):([0-9a-f]+):[0-9a-f]+:", line)
        if not m:
            continue
        at, process = float(m.group(1)), m.group(2)
        if program is None and "loaddll" in line and "Brisquelton.exe" in line:
            program = process
            events.append((at, "Brisquelton.exe mapped"))
        if process != program:
            continue
        if "loaddll" in line and "Loaded" in line and "avcodec-59.dll" in line:
            events.append((at, "  (FFmpeg DLLs loading)"))
        d = re.search(r'OutputDebugStringA "startup: ([^"]*)"', line)
        if d:
            events.append((at, d.group(1)))
    events.sort()
    if not events:
        print("no profile found")
        return 1
    start = events[0][0]
    previous = start
    print("%-34s %8s %8s" % ("step", "at (ms)", "step (ms)"))
    for at, label in events:
        print("%-34s %8.0f %8.0f" % (label, (at - start) * 1000, (at - previous) * 1000))
        previous = at
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
