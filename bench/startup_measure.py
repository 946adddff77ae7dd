#!/usr/bin/env python3
"""Starts the program's start-up tool and the minimal peer in turn, many times, and takes
the time from just before each process starts to the moment it reports its first painted
window (both on the monotonic clock). Prints each median and the RESULT line.

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


def main():
    ours_program, peer_program, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    once(ours_program)  # the first start of each fills the disk cache
    once(peer_program)
    ours, peer = [], []
    for _ in range(runs):
        ours.append(once(ours_program))
        peer.append(once(peer_program))
    ours_ms, peer_ms = statistics.median(ours), statistics.median(peer)
    print("ours ms:", " ".join("%.1f" % v for v in ours))
    print("peer ms:", " ".join("%.1f" % v for v in peer))
    ratio = ours_ms / peer_ms
    print("RESULT|Start-up to the painted creator window (peer: empty Qt window)|%.1f ms|%.1f ms"
          "|%.2f|<= 1.10|%s" % (ours_ms, peer_ms, ratio, "PASS" if ratio <= 1.1 else "FAIL"))


if __name__ == "__main__":
    main()
