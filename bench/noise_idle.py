"""The noise option's cost while nobody types: the program's CPU time over ten seconds with
noise on and its line focused, and the mean time between noise keys, from a key logger."""

import os
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from desktop import PROBE, Program, wait_for  # noqa: E402

SECONDS = 10


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    program = Program()
    logger = subprocess.Popen([*PROBE, "keys"], stdout=subprocess.PIPE, text=True)
    presses = []
    ready = threading.Event()

    def read():
        for line in logger.stdout:
            if line.startswith("READY"):
                ready.set()
            elif line.startswith("P "):
                presses.append(time.monotonic())

    threading.Thread(target=read, daemon=True).start()
    try:
        ready.wait(10)
        program.menu("Options", "Hide password in amongst random characters")
        line = program.password_line()
        line.click()
        wait_for("noise", lambda: line.character_count() > 3)
        start_cpu, start = cpu_seconds(program.process.pid), time.monotonic()
        first = len(presses)
        time.sleep(SECONDS)
        cpu, elapsed = cpu_seconds(program.process.pid) - start_cpu, time.monotonic() - start
        stamps = [t for t in presses[first:] if t <= start + elapsed]
    finally:
        program.stop()
        logger.kill()
    gaps = [b - a for a, b in zip(stamps, stamps[1:])]
    print(f"noise idle: {elapsed:.1f} s, CPU {cpu:.2f} s = {100 * cpu / elapsed:.1f} % of one core, "
          f"{len(stamps)} noise keys, mean gap {1000 * sum(gaps) / len(gaps):.0f} ms")


if __name__ == "__main__":
    main()
