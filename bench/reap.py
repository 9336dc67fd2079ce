"""Runs a command and reports the resources of the processes it leaves behind.

    reap.py REPORT COMMAND [ARGUMENTS...]

A Windows program that Wine starts with CreateProcess runs as a Unix process
that is orphaned at once, so a shell never sees its CPU time or peak memory.
This runner makes itself the subreaper of everything the command starts, so
those orphans are reparented to it, and collects them with wait4. REPORT gets
one line: wall seconds of COMMAND, then CPU seconds and peak resident KiB of
COMMAND itself, then the same summed (CPU) and maximised (KiB) over the
orphans. Exits with COMMAND's status.
"""
import ctypes
import os
import subprocess
import sys
import time

PR_SET_CHILD_SUBREAPER = 36


def main():
    report, command = sys.argv[1], sys.argv[2:]
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        sys.exit("reap.py: prctl failed")
    started = time.perf_counter()
    child = subprocess.Popen(command)
    status = None
    own = None
    orphan_cpu = 0.0
    orphan_rss = 0
    deadline = None
    while True:
        try:
            pid, wstatus, usage = os.wait4(-1, os.WNOHANG if deadline else 0)
        except ChildProcessError:
            break
        if pid == 0:
            if time.perf_counter() > deadline:
                break  # something long-lived; leave it be
            time.sleep(0.01)
            continue
        cpu = usage.ru_utime + usage.ru_stime
        if pid == child.pid:
            status = os.waitstatus_to_exitcode(wstatus)
            own = (time.perf_counter() - started, cpu, usage.ru_maxrss)
            deadline = time.perf_counter() + 5.0
        else:
            orphan_cpu += cpu
            orphan_rss = max(orphan_rss, usage.ru_maxrss)
    with open(report, "w") as f:
        f.write("%.6f %.6f %d %.6f %d\n" % (own[0], own[1], own[2], orphan_cpu, orphan_rss))
    sys.exit(status if status >= 0 else 1)


if __name__ == "__main__":
    main()
