#!/usr/bin/env python3
"""Starts the program's start-up tool, the bare-Qt program showing the creator's form, and an
empty Qt window in turn, many times, and takes the time from just before each process starts
to the moment it reports its first painted window (both on the monotonic clock). Prints each
median and the RESULT lines.

Each start waits for a quiet machine first: started right after the other program ended, the
peer took up to 20 ms longer to paint, which flattered the ratio."""
import statistics
import subprocess
import sys
import time


# After a Qt program ends, the X server, the session bus and the kernel still clean up after
# it for a while; a user starts the program on a machine that is not doing that.
QUIET_S = 0.15


def once(program):
    time.sleep(QUIET_S)
    start = time.monotonic_ns()
    answer = subprocess.run([program], capture_output=True, text=True, timeout=60)
    for line in answer.stdout.splitlines():
        if line.startswith("PAINTED "):
            return (int(line.split()[1]) - start) / 1e6
    sys.exit("%s painted no window (status %d): %s" % (program, answer.returncode, answer.stderr))


def row(name, ours_ms, peer_ms, goal):
    ratio = ours_ms / peer_ms
    verdict = "INFO" if goal is None else ("PASS" if ratio <= goal else "FAIL")
    print("RESULT|%s|%.1f ms|%.1f ms|%.2f|%s|%s" % (
        name, ours_ms, peer_ms, ratio, "-" if goal is None else "<= %.2f" % goal, verdict))


def main():
    programs, runs = sys.argv[1:4], int(sys.argv[4])
    for program in programs:
        once(program)  # the first start of each fills the disk cache
    times = {program: [] for program in programs}
    for _ in range(runs):
        for program in programs:
            times[program].append(once(program))
    for program in programs:
        print("%s ms:" % program, " ".join("%.1f" % v for v in times[program]))
    ours, form, empty = (statistics.median(times[program]) for program in programs)
    # The same form drawn by bare Qt is the floor for this window; an empty window loads no
    # font and lays out nothing, so it is shown for information only.
    row("Start-up to the painted creator window (peer: its form in bare Qt)", ours, form, 1.10)
    row("Start-up to the painted creator window (peer: empty Qt window)", ours, empty, None)


if __name__ == "__main__":
    main()
