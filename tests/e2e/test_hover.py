"""Hover entry with the real pointer: keys typed by resting on them, no clicks, and the grey
dot that replaces the pointer over the keys in the third mouse mode."""

import time
import unittest

import pyatspi

from desktop import ask_probe, centre, drag, DropTarget, Program, select_all, wait_for, xdotool

INTERVAL = 2.0


class Hover(unittest.TestCase):
    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.stop)
        self.program.move_clear_of_other_programs()
        self.line = self.program.password_line()

    def rest_on(self, caption):
        xdotool("mousemove", "--sync", *centre(self.program.key(caption)))
        return time.monotonic()

    def background(self):
        x, y, _, height = self.program.visible_keys()[0].extents
        xdotool("mousemove", "--sync", x - 8, y + height // 2)

    def count_at(self, since, seconds):
        """The masked line's length that many seconds after a moment: time is what is tested."""
        time.sleep(max(0.0, since + seconds - time.monotonic()))
        return self.line.character_count()

    def shown(self):
        """What the line holds, as another program receives it by a drag (the bus does not tell)."""
        # A slow drag over the line would let the last key rested on go on typing; the mode's
        # own switch stops it for certain, where a move to the background can be merged away.
        self.program.menu("Mouse Mode", "1. Standard")
        target = DropTarget()
        try:
            drag(select_all(self.line), target)
            return target.wait_for_text()
        finally:
            target.stop()
            xdotool("windowactivate", "--sync", self.program.window_id)
            self.program.menu("Mouse Mode", "2. Hover Entry")

    def clear(self):
        self.program.tool("Clear", "an empty line", lambda: self.line.character_count() == 0)

    def test_resting_moving_and_leaving_in_hover_mode(self):
        # Mode 1: resting types nothing.
        self.assertEqual(self.count_at(self.rest_on("q"), INTERVAL + 0.5), 0)
        self.program.menu("Mouse Mode", "2. Hover Entry")

        entered = self.rest_on("q")
        self.assertEqual(self.count_at(entered, INTERVAL + 0.5), 1)
        self.assertEqual(self.count_at(entered, 3 * INTERVAL + 0.5), 3)
        self.background()
        self.assertEqual(self.shown(), "qqq")
        self.clear()

        # A shaky hand: small moves within the key do not start the wait again.
        entered = self.rest_on("z")
        x, y = centre(self.program.key("z"))
        while time.monotonic() < entered + INTERVAL - 0.2:
            xdotool("mousemove", "--sync", x + 2 * (int(time.monotonic() * 10) % 3 - 1), y + 1)
            time.sleep(0.1)
        self.assertEqual(self.count_at(entered, INTERVAL + 0.4), 1)
        self.background()
        self.clear()

        # Onto a second key before the first is pressed: only the second, 2 s after entering it.
        first = self.rest_on("a")
        time.sleep(max(0.0, first + 1.5 - time.monotonic()))
        second = self.rest_on("s")
        self.assertEqual(self.count_at(second, INTERVAL - 0.3), 0)
        self.assertEqual(self.count_at(second, INTERVAL + 0.4), 1)
        # Onto the background before the interval ends: nothing.
        self.background()
        self.assertEqual(self.count_at(time.monotonic(), INTERVAL + 0.5), 1)
        # From a key onto the password line: the key is still pressed.
        entered = self.rest_on("d")
        xdotool("mousemove", "--sync", *centre(self.line))
        self.assertEqual(self.count_at(entered, INTERVAL + 0.4), 2)
        self.assertEqual(self.shown(), "sd")
        # Out of the window: the next tick stops hover typing.
        entered = self.rest_on("f")
        xdotool("mousemove", "--sync", 5, 1000)
        self.assertEqual(self.count_at(entered, 2 * INTERVAL + 0.5), 2)

    def test_a_password_typed_by_resting_alone_arrives_in_another_program(self):
        target = DropTarget()
        self.addCleanup(target.stop)
        self.program.menu("Mouse Mode", "2. Hover Entry")
        for caption in ["shft", "P", "a", "5", "s", "w", "0", "r", "d"]:
            before = self.line.character_count()
            self.rest_on(caption)
            if caption == "shft":
                wait_for("the shifted captions", lambda: "P" in {k.name for k in self.program.visible_keys()})
            else:
                wait_for(f"{caption} typed", lambda: self.line.character_count() == before + 1, timeout=5)
            self.background()
        self.program.menu("Mouse Mode", "1. Standard")
        drag(select_all(self.line), target)
        self.assertEqual(target.wait_for_text(), "Pa5sw0rd")

    def test_the_grey_dot_shows_over_the_keys_only(self):
        normal = lambda: ask_probe("cursor")[1] != "1"
        self.rest_on("q")
        self.assertTrue(normal())

        # Declined: the normal pointer and the previous mode's check stay.
        self.program.menu("Mouse Mode", "3. Hidden Mouse and Hover Entry")
        question = wait_for("the question", lambda: self.program.dialog("Hide mouse - turn it into grey dot?"))
        next(b for b in question.descendants("push button") if b.name == "Cancel").click()
        self.rest_on("w")
        wait_for("the pointer over a key", normal)
        buttons = self.program.toolbar_buttons()
        self.assertFalse(buttons["HideMouse"].accessible.getState().contains(pyatspi.STATE_CHECKED))
        self.assertTrue(buttons["Standard"].accessible.getState().contains(pyatspi.STATE_CHECKED))

        self.program.menu("Mouse Mode", "3. Hidden Mouse and Hover Entry")
        question = wait_for("the question", lambda: self.program.dialog("Hide mouse - turn it into grey dot?"))
        next(b for b in question.descendants("push button") if b.name == "OK").click()
        self.rest_on("w")
        self.assertEqual(wait_for("the dot", lambda: ask_probe("cursor") if not normal() else None),
                         ["16x16", "1", "E0E0E0"])
        xdotool("mousemove", "--sync", *centre(self.line))
        wait_for("the normal pointer over the line", normal)
        self.rest_on("e")
        wait_for("the dot again", lambda: not normal())
        target = DropTarget()  # another program's window never shows the dot
        self.addCleanup(target.stop)
        xdotool("mousemove", "--sync", *target.centre())
        wait_for("the normal pointer over another program", normal)

        self.program.menu("Mouse Mode", "2. Hover Entry")
        self.rest_on("r")
        wait_for("the normal pointer over the keys again", normal)

    def test_under_the_grey_dot_no_key_looks_different_for_the_pointer_over_it(self):
        from Xlib import X, display  # the server's own pixels; its screenshots leave the pointer out
        root = display.Display().screen().root
        keys = [key.extents for key in self.program.visible_keys()]
        shot = lambda: [root.get_image(*box, X.ZPixmap, 0xFFFFFFFF).data for box in keys]

        def settled(what):  # the same twice in a row: the window has drawn what the pointer did
            shots = [shot()]
            return wait_for(what, lambda: shots[-1] if shots.append(shot()) or shots[-2] == shots[-1] else None,
                            interval=0.3)

        for mode, looks_the_same in (("3. Hidden Mouse and Hover Entry", True), ("2. Hover Entry", False)):
            self.program.menu("Mouse Mode", mode)
            if looks_the_same:
                question = wait_for("the question", lambda: self.program.dialog("Hide mouse - turn it into grey dot?"))
                next(b for b in question.descendants("push button") if b.name == "OK").click()
            self.background()
            away = settled("the keys with the pointer away")
            self.rest_on("w")
            if looks_the_same:
                wait_for("the dot", lambda: ask_probe("cursor")[1] == "1")
            resting = settled("the keys with the pointer resting on w")
            differing = [i for i, (a, b) in enumerate(zip(away, resting)) if a != b]
            self.assertEqual(differing == [], looks_the_same, (mode, [keys[i] for i in differing]))


if __name__ == "__main__":
    unittest.main()
