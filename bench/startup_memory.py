"""Start-up time and memory of Mirvane against a bare Qt Widgets window with the same
controls, started alternately five times each on the current X display: the time from
starting the process to its window being visible, and its resident memory once it shows.
Then Mirvane's CPU time over five seconds of idleness. Prints one table."""

import os
import statistics
import subprocess
import sys
import time

RUNS = 5


def rss_kib(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def start(program, idle=0):
    began = time.monotonic()
    process = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Asked again at once rather than with xdotool's --sync, which looks only every half second.
    while subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid)],
                         stdout=subprocess.DEVNULL).returncode != 0:
        if time.monotonic() - began > 60:
            raise SystemExit(f"{program} showed no window")
    shown = time.monotonic() - began
    time.sleep(1)  # the first frame is painted and the accessibility bridge has settled
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
    mirvane, bare = sys.argv[1], sys.argv[2]
    results = {mirvane: [], bare: []}
    for _ in range(RUNS):
        for program in (mirvane, bare):
            results[program].append(start(program))
    _, _, idle_cpu = start(mirvane, idle=5)
    rows = []
    for name, program in (("mirvane", mirvane), ("bare Qt window", bare)):
        times = [1000 * shown for shown, _, _ in results[program]]
        memories = [memory / 1024 for _, memory, _ in results[program]]
        rows.append((name, statistics.median(times), statistics.median(memories)))
    print(f"{'':16} {'start to visible':>18} {'resident memory':>17}")
    for name, shown, memory in rows:
        print(f"{name:16} {shown:15.0f} ms {memory:14.1f} MiB")
    print(f"{'ratio':16} {rows[0][1] / rows[1][1]:18.2f} {rows[0][2] / rows[1][2]:17.2f}")
    print(f"mirvane idle for 5 s: {idle_cpu:.2f} s of CPU")


if __name__ == "__main__":
    main()
