"""Random noise keys while a person types on the physical keyboard: a key logger of the X
server records the person's keys mixed with noise, the dragged password is exactly what the
person typed, and no key the program pressed is ever left down."""

import os
import random
import signal
import time
import unittest

from Xlib import display as xdisplay

from desktop import ask_probe, click_at, drag, DropTarget, Probe, Program, select_all, wait_for, xdotool

SHIFT_KEYCODES = {"50", "62"}
SHIFTED = set('ABCDEFGHIJKLMNOPQRSTUVWXYZ~!@#$%^&*()_+{}|:"<>?')


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

    def type_at_a_persons_pace(self, text):
        """One key at a time, 100 to 300 ms apart; returns the keys pressed other than Shift."""
        for character in text:
            xdotool("type", "--delay", 0, character)
            time.sleep(random.uniform(0.1, 0.3))
        return len(text)

    def test_passwords_typed_among_noise_arrive_exactly_and_no_key_stays_down(self):
        self.switch()
        self.focus_line()
        wait_for("noise in the line", lambda: self.line.character_count() > 3)
        for password, typed, caps in [("Tr0ub4dor&3Horse!x", "Tr0ub4dor&3Horse!x", False),
                                      ("q1w2e3R4T5%y6u7i8a", "q1w2e3R4T5%y6u7i8a", False),
                                      ("ZEBRA7KITE9LAMP42", "zebra7kite9lamp42", True)]:
            # An empty field for each password, there before the person starts. It opens while
            # the noise is off: a window that takes the keyboard in the instant a noise key is
            # sent may get that key, a race the program narrows but cannot close.
            self.switch()
            target = DropTarget()
            self.addCleanup(target.stop)
            self.switch()
            self.program.tool("Clear", "the line emptied", lambda: self.line.character_count() < 3)
            self.focus_line()
            start = len(presses(self.logger))
            if caps:
                xdotool("key", "Caps_Lock")
            person = self.type_at_a_persons_pace(typed)
            if caps:
                xdotool("key", "Caps_Lock")
                person += 2
            recorded = presses(self.logger)[start:]
            noise = len(recorded) - person - sum(code in SHIFT_KEYCODES for code in recorded)
            # About half at a person's own pace; three in ten at the least.
            self.assertGreaterEqual(noise / len(recorded), 0.3, f"{noise} noise keys of {len(recorded)} for {password}")

            drag(select_all(self.line), target)
            self.assertEqual(target.wait_for_text(), password)
            target.stop()
            # The noise runs again and holds each key a moment, as a person does; one left
            # down would never let the keyboard be free of keys.
            wait_for("a moment with no key down", lambda: ask_probe("down")[1:] == [], timeout=5)

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


class Killed(unittest.TestCase):
    def test_a_program_killed_while_it_holds_a_noise_key_leaves_no_key_down(self):
        server = xdisplay.Display()
        held = lambda: [code for code in range(256) if server.query_keymap()[code // 8] >> (code % 8) & 1]
        for run in range(20):
            program = Program()
            self.addCleanup(program.stop)
            program.menu("Options", "Hide password in amongst random characters")
            program.password_line().click()
            # SIGKILL ends it before it can let go of anything: the moment a noise key is down.
            wait_for("a noise key held", held, timeout=20, interval=0.002)
            os.kill(program.process.pid, signal.SIGKILL)
            program.process.wait()
            wait_for(f"no key down after kill {run}", lambda: held() == [], timeout=5)


if __name__ == "__main__":
    unittest.main()
