#!/usr/bin/python3
"""CPU share of a running process, per thread, over a span of wall time.

usage: thread_cpu.py PID SECONDS

Reads /proc/PID/task/*/stat (user + system clock ticks) at the start and the
end, and prints each thread's share of one core, busiest first, then the total.
Threads that came or went inside the span count from their first or to their
last sample.
"""
import os
import sys
import time

TICK = os.sysconf("SC_CLK_TCK")


def sample(pid):
    threads = {}
    base = f"/proc/{pid}/task"
    for tid in os.listdir(base):
        try:
            with open(f"{base}/{tid}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        # The name is in parentheses and may hold spaces: split after it.
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        fields = stat[stat.rindex(")") + 2:].split()
        # Fields 14 and 15 of the whole line are utime and stime.
        threads[tid] = (name, int(fields[11]), int(fields[12]))
    return threads


def main():
    pid, seconds = int(sys.argv[1]), float(sys.argv[2])
    before = sample(pid)
    t0 = time.monotonic()
    time.sleep(seconds)
    after = sample(pid)
    wall = time.monotonic() - t0
    rows = []
    for tid, (name, u, s) in after.items():
        _, u0, s0 = before.get(tid, (name, 0, 0))
        rows.append((100.0 * ((u - u0) + (s - s0)) / TICK / wall, 100.0 * (s - s0) / TICK / wall, tid, name))
    rows.sort(reverse=True)
    total = sum(r[0] for r in rows)
    for share, system, tid, name in rows:
        if share > 0:
            print(f"  {name:<20} {tid:>8} {share:6.2f} % (system {system:5.2f} %)")
    print(f"total {total:.2f} % of one core over {wall:.1f} s, {len(rows)} threads")


if __name__ == "__main__":
    main()
