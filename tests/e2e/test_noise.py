"""Random noise keys while a person types on the physical keyboard: a key logger of the X
server records the person's keys mixed with noise, the dragged password is exactly what the
person typed, and no key the program pressed is ever left down."""

import os
import random
import signal
import string
import subprocess
import time
import unittest

from Xlib import XK, display as xdisplay

from desktop import ask_probe, click_at, drag, DropTarget, Probe, Program, select_all, wait_for, xdotool

SHIFT_KEYCODES = {"50", "62"}
SERVER = xdisplay.Display()


def keys_down():
    """The keycodes held down now, asked directly: on a busy machine a probe started for each
    look takes longer than a key is held."""
    keymap = SERVER.query_keymap()
    return [code for code in range(256) if keymap[code // 8] >> code % 8 & 1]


def presses(logger):
    """The keys a key logger saw pressed, in order."""
    return [line.split()[1] for line in logger.said() if line.startswith("P ")]


class Noise(unittest.TestCase):
    def setUp(self):
        # There before the program, as malware at a public terminal is.
        self.logger = Probe("keys")
        self.addCleanup(self.logger.stop)
        self.program = Program()
        self.addCleanup(self.program.stop)
        self.program.move_clear_of_other_programs()
        self.line = self.program.password_line()

    def switch(self):
        self.program.menu("Options", "Hide password in amongst random characters")

    def focus_line(self):
        self.line.click()  # the release puts the caret at the end and the noise back on

    def type_at_a_persons_pace(self, keys):
        """One key at a time, 100 to 300 ms apart (a longer name is a key such as Caps_Lock);
        returns how many keys were pressed other than Shift."""
        count = 0
        for key in keys:
            xdotool("type" if len(key) == 1 else "key", "--delay", 0, key)
            time.sleep(random.uniform(0.1, 0.3))
            count += 1
        return count

    def typed_and_dropped(self, keys):
        """Types into the emptied line among noise and drags it into a fresh field; returns what
        the field got, the keys the logger saw pressed meanwhile and how many were the person's."""
        # An empty field for each password, there before the person starts. It opens while
        # the noise is off: a window that takes the keyboard in the instant a noise key is
        # sent may get that key, a race the program narrows but cannot close. The line is
        # cleared then too: on a busy machine the noise refills it before a look can tell.
        self.switch()
        target = DropTarget()
        self.addCleanup(target.stop)
        self.program.tool("Clear", "the line emptied", lambda: self.line.character_count() == 0)
        self.switch()
        self.focus_line()
        start = len(presses(self.logger))
        person = self.type_at_a_persons_pace(keys)
        recorded = presses(self.logger)[start:]
        drag(select_all(self.line), target)
        received = target.wait_for_text()
        target.stop()
        # The noise runs again and holds each key a moment, as a person does; one left
        # down would never let the keyboard be free of keys.
        wait_for("a moment with no key down", lambda: keys_down() == [], timeout=5)
        return received, recorded, person

    def test_passwords_typed_among_noise_arrive_exactly_and_no_key_stays_down(self):
        self.switch()
        self.focus_line()
        wait_for("noise in the line", lambda: self.line.character_count() > 3)
        for password, keys in [("Tr0ub4dor&3Horse!x", "Tr0ub4dor&3Horse!x"),
                               ("q1w2e3R4T5%y6u7i8a", "q1w2e3R4T5%y6u7i8a"),
                               ("ZEBRA7KITE9LAMP42", ["Caps_Lock", *"zebra7kite9lamp42", "Caps_Lock"])]:
            received, recorded, person = self.typed_and_dropped(keys)
            noise = len(recorded) - person - sum(code in SHIFT_KEYCODES for code in recorded)
            # About three in four; three in five at the least.
            self.assertGreaterEqual(noise / len(recorded), 0.6, f"{noise} noise keys of {len(recorded)} for {password}")
            self.assertEqual(received, password)

        # Switched off in the middle of typing, then on and away to another window.
        self.focus_line()
        self.type_at_a_persons_pace("abc123")
        self.switch()
        self.assertEqual(ask_probe("down")[1:], [])
        self.switch()
        self.focus_line()
        wait_for("noise again", lambda: self.line.character_count() > 8)
        target = DropTarget()
        self.addCleanup(target.stop)
        click_at(*target.centre())
        time.sleep(0.5)  # the noise timer has had fifty chances to tick
        self.assertEqual(ask_probe("down")[1:], [])

        # SIGTERM while the noise runs: a clean exit, nothing held.
        self.focus_line()
        count = self.line.character_count()
        wait_for("noise running", lambda: self.line.character_count() > count + 2)
        self.program.process.terminate()
        self.assertEqual(self.program.process.wait(timeout=10), 0)
        self.assertEqual(ask_probe("down")[1:], [])

    def test_keys_typed_while_a_noise_key_holds_them_arrive_exactly_with_both_cores_busy(self):
        # Ticks and key events come late, and a noise key is down longer, when others want the cores.
        for _ in range(2):
            busy = subprocess.Popen(["python3", "-c", "while True: pass"])
            self.addCleanup(busy.wait)
            self.addCleanup(busy.kill)
        characters = {SERVER.keysym_to_keycode(XK.string_to_keysym(c)): c for c in string.ascii_lowercase + string.digits}
        over_noise = 0

        def person(typed):
            """Now and then the very key a noise key holds at that moment, as a fast typist hits it."""
            nonlocal over_noise
            for _ in range(random.randint(10, 14)):
                held = [characters[code] for code in keys_down() if code in characters]
                over_noise += bool(held)
                c = random.choice(held or list(characters.values()))
                typed.append(c.upper() if c.isalpha() and random.random() < 0.3 else c)
                yield typed[-1]

        self.switch()
        for _ in range(20):
            typed = []
            received, _, _ = self.typed_and_dropped(person(typed))
            self.assertEqual(received, "".join(typed))
        self.assertGreaterEqual(over_noise, 20)  # the case tried often, not left to luck


class Killed(unittest.TestCase):
    def test_a_program_killed_while_it_holds_a_noise_key_leaves_no_key_down(self):
        for run in range(20):
            program = Program()
            self.addCleanup(program.stop)
            program.menu("Options", "Hide password in amongst random characters")
            program.password_line().click()
            # SIGKILL ends it before it can let go of anything: the moment a noise key is down.
            wait_for("a noise key held", keys_down, timeout=20, interval=0.002)
            os.kill(program.process.pid, signal.SIGKILL)
            program.process.wait()
            wait_for(f"no key down after kill {run}", lambda: keys_down() == [], timeout=5)


if __name__ == "__main__":
    unittest.main()
