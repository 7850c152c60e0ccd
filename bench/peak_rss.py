#!/usr/bin/env python3
"""peak_rss: samples /proc until STOPFILE exists and prints the highest VmHWM (KiB) of any process
whose command line contains PATTERN, then the number of such processes and the one measured.
Wine runs a Windows program in a Linux process of its own whose command line names the .exe, so
this measures that program alone (not the wineserver, not the wrapper scripts).
  peak_rss.py PATTERN STOPFILE"""
import os
import sys
import time


def hwm_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def matching(pattern):
    found = {}
    for pid in os.listdir("/proc"):
        if not pid.isdigit() or int(pid) == os.getpid():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode("latin-1").strip()
        except OSError:
            continue
        if pattern.lower() in cmd.lower() and "peak_rss" not in cmd:
            found[pid] = cmd
    return found


def main():
    pattern, stop = sys.argv[1], sys.argv[2]
    peak, seen, who = 0, set(), ""
    while True:
        done = os.path.exists(stop)
        for pid, cmd in matching(pattern).items():
            seen.add(pid)
            kib = hwm_kib(pid)
            if kib > peak:
                peak, who = kib, f"pid {pid}: {cmd}"
        if done:
            break
        time.sleep(0.05)
    print(peak, len(seen), who)


main()
