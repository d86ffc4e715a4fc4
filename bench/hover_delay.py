"""How long after the pointer comes to rest on a key its character arrives, in hover mode.
Runs the real program on the current X display; prints every delay, the median and the worst."""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from desktop import Program, centre, xdotool  # noqa: E402

PRESSES = 12


def main():
    program = Program()
    try:
        program.menu("Mouse Mode", "2. Hover Entry")
        line = program.password_line()
        x, y, _, height = program.visible_keys()[0].extents
        background = (x - 8, y + height // 2)
        delays = []
        for caption in "qwertyuiopas"[:PRESSES]:
            xdotool("mousemove", "--sync", *background)
            before = line.character_count()
            xdotool("mousemove", "--sync", *centre(program.key(caption)))
            rested = time.monotonic()
            while line.character_count() == before:
                if time.monotonic() - rested > 10:
                    raise SystemExit(f"{caption} never arrived")
            delays.append((time.monotonic() - rested) * 1000)
        xdotool("mousemove", "--sync", *background)
    finally:
        program.stop()
    print("hover press delays (ms):", " ".join(f"{delay:.0f}" for delay in delays))
    print(f"presses {len(delays)}  median {statistics.median(delays):.1f} ms  worst {max(delays):.1f} ms")


if __name__ == "__main__":
    main()
