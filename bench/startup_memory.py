"""Start-up time and memory of Mirvane against a bare window with the same controls, started
alternately fifteen times each on the current X display: the time from starting the process to
its window being visible, and its resident memory once it shows. Then Mirvane's CPU time over
five seconds of idleness. Prints one table.

    startup_memory.py MIRVANE BARE_WINDOW                the Linux program, a bare Qt window
    startup_memory.py --wine MIRVANE.EXE BARE_WINDOW.EXE the Windows program, a bare Win32 window

Under Wine (WINEPREFIX from the environment) `wine` becomes the Linux process that runs the
.exe and owns its window (the window's _NET_WM_PID), and that process is measured: its resident
memory counts the program and the Wine libraries mapped into it, its CPU time the program's own
threads. Not counted: the wineserver and Wine's own processes (services, the desktop), which
every program in the prefix shares. The first start in a session starts those and fills Wine's
caches, so Mirvane is started once unmeasured beforehand; the measured starts then follow one
another within the wineserver's few seconds of lingering, so each finds them running. At the end the
script waits for those processes to end, before the display they opened goes."""

import os
import statistics
import subprocess
import sys
import time

RUNS = 15


def rss_kib(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def start(command, idle=0):
    began = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Asked again at once rather than with xdotool's --sync, which looks only every half second.
    while subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid)],
                         stdout=subprocess.DEVNULL).returncode != 0:
        if time.monotonic() - began > 60:
            raise SystemExit(f"{command[-1]} showed no window")
    shown = time.monotonic() - began
    time.sleep(1)  # the first frame is painted and Qt's accessibility bridge has settled
    memory = rss_kib(process.pid)
    cpu = None
    if idle:
        before = cpu_seconds(process.pid)
        time.sleep(idle)
        cpu = cpu_seconds(process.pid) - before
    process.terminate()
    process.wait()
    return shown, memory, cpu


def main():
    wine = sys.argv[1] == "--wine"
    mirvane, bare = sys.argv[-2], sys.argv[-1]
    launcher = ["wine"] if wine else []
    names = ("mirvane.exe", "bare Win32 window") if wine else ("mirvane", "bare Qt window")
    if wine:
        start(launcher + [mirvane])  # the warm-up, not counted
    results = {mirvane: [], bare: []}
    for _ in range(RUNS):
        for program in (mirvane, bare):
            results[program].append(start(launcher + [program]))
    _, _, idle_cpu = start(launcher + [mirvane], idle=5)
    rows = []
    for name, program in zip(names, (mirvane, bare)):
        times = [1000 * shown for shown, _, _ in results[program]]
        memories = [memory / 1024 for _, memory, _ in results[program]]
        rows.append((name, statistics.median(times), statistics.median(memories)))
    print(f"{'':17} {'start to visible':>18} {'resident memory':>17}")
    for name, shown, memory in rows:
        print(f"{name:17} {shown:15.0f} ms {memory:14.1f} MiB")
    print(f"{'ratio':17} {rows[0][1] / rows[1][1]:18.2f} {rows[0][2] / rows[1][2]:17.2f}")
    print(f"{names[0]} idle for 5 s: {idle_cpu:.2f} s of CPU")
    if wine:
        subprocess.run(["wineserver", "--wait"])


if __name__ == "__main__":
    main()
