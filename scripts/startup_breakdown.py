#!/usr/bin/env python3
"""Where the start-up time goes: runs programs under Wine with its timestamps on the DLLs it
loads and on the start-up marks the programs write to the debugger output (the tool's
diagnostic build, cmake -DZEMBRA_STARTUP_TRACE=ON, and the least window program), and prints
for each program the median time of every event from the program's own image being loaded.
Tracing slows every step a little; the totals are for comparing steps, not programs' speed
(scripts/measure-startup measures that).

    startup_breakdown.py WINELOADER RUNS PROGRAM.exe...     (inside scripts/wine-session)
"""
import os
import re
import statistics
import subprocess
import sys

LINE = re.compile(r'^(\d+\.\d+):[0-9a-f]+:(?:[0-9a-f]+:)?(?:trace|warn):(loaddll|debugstr):\S+ (.*)$')
LOADED = re.compile(r'Loaded L"(?:.*\\\\)?([^"\\]+)"')
MARK = re.compile(r'"startup: (.*)\\n"')


def one_run(loader, program):
    """The events of one start, in order: (name, milliseconds from the image's load)."""
    env = dict(os.environ, WINEDEBUG="+timestamp,+loaddll,+debugstr")
    process = subprocess.Popen([loader, program], cwd=os.path.dirname(program) or ".", env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    events, start = [], None
    try:
        for raw in process.stderr:
            match = LINE.match(raw.decode("utf-8", "replace").rstrip("\n"))
            if not match:
                continue
            seconds, channel, text = float(match.group(1)), match.group(2), match.group(3)
            found = (LOADED if channel == "loaddll" else MARK).search(text)
            if not found:
                continue
            name = ("load " + found.group(1).lower()) if channel == "loaddll" else found.group(1)
            if start is None:
                start = seconds
            events.append((name, (seconds - start) * 1000))
            # The first window's first paint ends the start-up.
            if name.startswith("painted: ") and name != "painted: Panel2":
                break
    finally:
        process.kill()
        process.wait()
    return events


def main(loader, runs, programs):
    for program in programs:
        one_run(loader, program)  # warm-up
        times = {}
        order = []
        for _ in range(runs):
            seen = set()
            for name, ms in one_run(loader, program):
                if name in seen:
                    continue
                seen.add(name)
                if name not in times:
                    times[name] = []
                    order.append(name)
                times[name].append(ms)
        print("%s, %d runs: median ms from the image's load (step since the event before)"
              % (os.path.basename(program), runs))
        rows = sorted(((statistics.median(times[n]), n, len(times[n])) for n in order))
        previous = 0.0
        for ms, name, count in rows:
            note = "" if count == runs else "  (in %d of %d runs)" % (count, runs)
            print("  %7.1f  %+6.1f  %s%s" % (ms, ms - previous, name, note))
            previous = ms
        print()


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], int(sys.argv[2]), sys.argv[3:])
