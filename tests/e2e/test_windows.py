"""mirvane.exe under Wine as a person at a Windows terminal uses it, and as another program
on the same desktop sees it."""

import os
import subprocess
import time
import unittest

from desktop import ask_probe, click_at, wait_for, xdotool
from windows import (ES_PASSWORD, FIRST_KEY_ID, PASSWORD_LINE, PASSWORD_MASK_COMMAND, PLAIN_LINE, PROBE, PROGRAM,
                     DropTarget, KeyLogger, MainWindow, WindowsProgram, checked_tools, controls, probe, window_geometry,
                     wine)

QUESTION = "^Hide mouse - turn it into grey dot"


def rows_of(keys):
    rows = {}
    for key in keys:
        rows.setdefault(key.y, []).append(key)
    return [sorted(row, key=lambda k: k.x) for _, row in sorted(rows.items())]


class CommandLine(unittest.TestCase):
    def test_an_unknown_option_is_a_mistake_with_status_1(self):
        # The usage shows in a message box; closing it ends the program.
        process = subprocess.Popen(["wine", PROGRAM, "--colour"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        box = wait_for("the usage", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^mirvane$"], capture_output=True,
            text=True).stdout.split(), timeout=60)[0]
        xdotool("windowactivate", "--sync", box)
        xdotool("key", "Return")
        self.assertEqual(process.wait(timeout=30), 1)


class Window(unittest.TestCase):
    def assert_laid_out(self, program, snapped=True):
        """Five rows of touching keys, 15 key units wide, 20 pixels in from the client area's left; the client
        area as wide again on the right, or, where the window cannot snap (maximized), no wider than a unit more."""
        keys = program.visible_keys()
        rows = rows_of(keys)
        self.assertEqual([len(row) for row in rows], [14, 14, 13, 12, 1])
        for row in rows:
            for left, right in zip(row, row[1:]):
                self.assertEqual(left.x + left.width, right.x, f"keys {left.id} and {right.id} touch")
        for upper, lower in zip(rows, rows[1:]):
            self.assertEqual(upper[0].y + upper[0].height, lower[0].y)
        unit = min(key.width for key in keys)  # a character key's
        self.assertEqual(rows[0][-1].x + rows[0][-1].width - rows[0][0].x, 15 * unit)
        x, y, width, height = MainWindow().client
        self.assertEqual(rows[0][0].x - x, 20)
        if snapped:
            self.assertEqual(width, 15 * unit + 40, "the width snapped to whole key units")
        else:
            self.assertTrue(15 * unit + 40 <= width < 15 * (unit + 1) + 40, (width, unit))
        for key in keys:
            self.assertTrue(y <= key.y and key.y + key.height <= y + height, key.id)
        return unit

    def test_the_keyboard_in_five_touching_rows_at_a_new_place_and_size_each_start(self):
        places = []
        for _ in range(2):
            program = WindowsProgram(learn=False)
            try:
                self.assert_laid_out(program)
                places.append(window_geometry(program.window_id))
                shot = os.path.join(os.environ.get("MIRVANE_SHOTS", "/tmp"), "mirvane-windows.png")
                subprocess.run(["import", "-window", "root", shot], check=True)
                print(f"screenshot: {shot}")
            finally:
                program.close()
        self.assertNotEqual(places[0], places[1])

    def test_resized_it_snaps_to_whole_key_units_and_maximized_it_fills_the_screen(self):
        program = WindowsProgram(learn=False)
        self.addCleanup(program.close)
        units = []
        for width, height in [(700, 400), (533, 380), (1, 1)]:
            before = MainWindow().client
            xdotool("windowsize", "--sync", program.window_id, width, height)
            wait_for("a new layout", lambda: MainWindow().client != before)
            units.append(wait_for("the layout", lambda: self.assert_laid_out(program)))
        self.assertEqual(units[-1], 20, "no narrower than 5200 twips")
        self.assertEqual(len(set(units)), 3)
        program.menu("alt+space", "x")  # the window menu's Maximize
        wait_for("maximized", lambda: MainWindow().maximized)
        unit = wait_for("the layout", lambda: self.assert_laid_out(program, snapped=False))
        self.assertGreater(unit, max(units))
        x, y, width, height = MainWindow().client
        self.assertTrue(MainWindow().maximized)
        self.assertLessEqual(x + width, 1280)
        self.assertLessEqual(y + height, 1024)


class Password(unittest.TestCase):
    def setUp(self):
        self.program = WindowsProgram()
        self.addCleanup(self.program.close)

    def test_another_program_reads_no_text_pastes_nothing_and_cannot_unmask(self):
        self.program.click_keys("a", "1")
        lines = controls()
        self.assertEqual({c.id: c.text for c in lines.values() if c.kind == "Button" and c.text}, {},
                         "no key gives its caption")
        self.assertEqual(lines[PASSWORD_LINE].text, "")
        self.assertTrue(lines[PASSWORD_LINE].style & ES_PASSWORD)
        probe("paste")
        probe("command", str(PASSWORD_MASK_COMMAND))
        lines = controls()
        self.assertTrue(lines[PASSWORD_LINE].visible and lines[PASSWORD_LINE].style & ES_PASSWORD,
                        "the line stays masked")
        self.assertFalse(lines[PLAIN_LINE].visible)
        self.assertEqual(lines[PLAIN_LINE].text, "")
        # The person's own menu still unmasks it, and the clear line still tells nobody.
        self.program.menu("ctrl+m")
        lines = wait_for("the clear line", lambda: (c := controls())[PLAIN_LINE].visible and c)
        self.assertEqual(lines[PLAIN_LINE].text, "")
        self.assertFalse(lines[PASSWORD_LINE].visible)

    def test_a_password_clicked_in_three_layouts_arrives_exactly_once_in_another_program(self):
        target = DropTarget((20, 100, 400, 200))
        self.addCleanup(target.close)
        xdotool("windowmove", "--sync", self.program.window_id, 500, 300)
        clicks = ["shft", "K", "a", "lock", "B", "C", "lock", "1", "9", ";", "shft", "+", "/", "x", ",", "q"]
        layouts = [(), ("alt+k", "d"), ("alt+k", "a")]  # standard, Dvorak, then scramble the keys and keyboard
        for menu in layouts:
            if menu:
                self.program.menu(*menu)
            self.program.click_keys(*clicks)
            if not menu:
                probe("paste")  # another program's paste changes nothing
            typed = ""
            if menu:  # the physical keys q, w and e give what the keys at their places show
                line = self.program.line(PASSWORD_LINE)
                click_at(line.x + line.width - 4, line.y + line.height // 2)
                xdotool("type", "--delay", "120", "qwe")
                shown = self.program.shown_captions()
                typed = "".join(shown[FIRST_KEY_ID + n] for n in (17, 18, 19))
                self.assertEqual([c.text for c in controls().values() if c.kind == "Button" and c.text], [],
                                 "no key gives away where its caption went")
                if menu == ("alt+k", "d"):
                    self.assertEqual(typed, "',.")
                else:
                    self.assertNotEqual(typed, "qwe", "three keys scrambled back to their own places")
            before = len(target.drops())
            self.program.drag_password_to(200, 180)
            wait_for("the drop", lambda: len(target.drops()) > before, timeout=30)
            self.assertEqual(target.drops()[before:], ["KaBC19;+/x,q" + typed], f"after {menu}")
            self.program.clear_password()  # the target took a copy: the line still holds it

    def test_noise_hides_typed_passwords_from_a_key_logger_and_leaves_no_key_down(self):
        logger = KeyLogger()
        self.addCleanup(logger.close)
        target = DropTarget((20, 100, 400, 200))
        self.addCleanup(target.close)
        xdotool("windowmove", "--sync", self.program.window_id, 500, 300)
        self.program.menu("alt+o", "h")  # "Hide password in amongst random characters"
        passwords = ["correct7horse", "battery;staple", "x9y8z7w6q"]
        for password in passwords:
            line = self.program.line(PASSWORD_LINE)
            click_at(line.x + 10, line.y + line.height // 2)
            xdotool("type", "--delay", "180", password)  # a person's pace
            self.program.drag_password_to(200, 180)
            wait_for("the drop", lambda: len(target.drops()) > passwords.index(password), timeout=30)
            self.program.clear_password()
        self.assertEqual(target.drops(), passwords)
        events = logger.events()
        typed = sum(1 for down, _, injected in events if down and not injected)
        noise = sum(1 for down, _, injected in events if down and injected)
        self.assertGreaterEqual(typed, sum(map(len, passwords)))
        self.assertGreaterEqual(noise, 2 * typed, "two presses in three or more are noise")
        self.program.menu("alt+o", "h")
        wait_for("every noise key up after switching off", lambda: not logger.held(), timeout=10)
        noise_after_off = sum(1 for down, _, injected in logger.events() if down and injected)
        self.program.menu("alt+o", "h")
        wait_for("noise again", lambda: sum(1 for d, _, i in logger.events() if d and i) > noise_after_off)
        self.program.menu("ctrl+q")
        self.assertEqual(self.program.process.wait(timeout=30), 0)
        self.assertEqual(logger.held(), set(), "no key is left down after closing")


class Hover(unittest.TestCase):
    def setUp(self):
        self.program = WindowsProgram()
        self.addCleanup(self.program.close)

    def rest_on(self, caption):
        xdotool("mousemove", "--sync", *self.program.key(caption).centre)
        return time.monotonic()

    def stars_at(self, since, seconds):
        """The line's length that many seconds after a moment: time is what is tested."""
        time.sleep(max(0.0, since + seconds - time.monotonic()))
        return self.program.stars()

    def test_resting_on_a_key_types_it_every_two_seconds_until_the_pointer_leaves(self):
        self.assertEqual(self.stars_at(self.rest_on("q"), 2.5), 0, "standard entry types nothing by resting")
        self.program.menu("alt+m", "Down", "Return")
        self.assertEqual(checked_tools() & {"Standard", "Hover", "HideMouse"}, {"Hover"})
        self.program.background()
        entered = self.rest_on("q")
        self.assertEqual(self.stars_at(entered, 1.0), 0)
        self.assertEqual(self.stars_at(entered, 2.6), 1)
        self.assertEqual(self.stars_at(entered, 6.6), 3)
        self.program.background()
        self.assertEqual(self.stars_at(time.monotonic(), 4.5), 3, "the background stops it")

    def test_the_grey_dot_after_ok_over_the_keys_only_and_cancel_changes_nothing(self):
        normal = lambda: ask_probe("cursor")[1] != "1"
        self.program.menu("alt+m", "Down", "Down", "Return")
        self.program.answer(QUESTION, "Escape")
        entered = self.rest_on("w")
        self.assertTrue(normal())
        self.assertEqual(self.stars_at(entered, 2.5), 0, "still standard entry")
        self.assertEqual(checked_tools() & {"Standard", "Hover", "HideMouse"}, {"Standard"})

        self.program.menu("alt+m", "Down", "Down", "Return")
        self.program.answer(QUESTION, "Return")
        self.rest_on("w")
        self.assertEqual(wait_for("the dot", lambda: None if normal() else ask_probe("cursor")),
                         ["16x16", "1", "E0E0E0"])
        self.assertEqual(checked_tools() & {"Standard", "Hover", "HideMouse"}, {"HideMouse"})
        line = self.program.line(PASSWORD_LINE)
        xdotool("mousemove", "--sync", *line.centre)
        wait_for("the normal pointer over the line", normal)
        self.rest_on("e")
        wait_for("the dot again", lambda: not normal())
        target = DropTarget((20, 100, 300, 200))
        self.addCleanup(target.close)
        xdotool("mousemove", "--sync", 150, 180)
        wait_for("the normal pointer over another program", normal)


class MenusAndToolbar(unittest.TestCase):
    def setUp(self):
        self.program = WindowsProgram()
        self.addCleanup(self.program.close)

    def caption(self, number):
        return self.program.shown_captions()[FIRST_KEY_ID + number]

    def test_every_toolbar_button_and_its_menu_item_do_the_same_and_show_the_same(self):
        program = self.program
        modes = {"Standard", "Hover", "HideMouse"}
        program.tool("Hover")
        self.assertEqual(checked_tools() & modes, {"Hover"})
        program.menu("alt+m", "Down", "Down", "Return")
        program.answer(QUESTION, "Return")
        self.assertEqual(checked_tools() & modes, {"HideMouse"})
        program.tool("Standard")
        self.assertEqual(checked_tools() & modes, {"Standard"})

        # A toggle set on the toolbar and then chosen in the menu is off again: the menu's check followed the
        # toolbar (a stale check would set it once more). Then the other way round.
        toggles = [("Beep", ("alt+o", "b")), ("KeepPassword", ("alt+o", "k")), ("KeepOnTop", ("alt+f", "t")),
                   ("ToggleMask", ("ctrl+m",)), ("Obsfucate", ("alt+o", "h"))]
        for name, menu in toggles:
            shows = lambda on: wait_for(f"{name} {'on' if on else 'off'}", lambda: (name in checked_tools()) == on)
            was = name in checked_tools()
            program.tool(name)
            shows(not was)
            if name == "KeepOnTop":
                self.assertEqual(MainWindow().on_top, not was)
            program.menu(*menu)
            shows(was)  # the menu's check followed the toolbar
            program.menu(*menu)
            shows(not was)
            program.tool(name)
            shows(was)

        # Layouts: the toolbar's and the menu's give the same keys.
        self.assertEqual(self.caption(17), "q")
        program.tool("Dvorak")
        self.assertEqual((self.caption(17), "Dvorak" in checked_tools()), ("'", True))
        program.menu("alt+k", "n")  # "Return on-screen keys and keyboard input to normal"
        self.assertEqual((self.caption(17), "Dvorak" in checked_tools()), ("q", False))
        program.menu("alt+k", "d")
        self.assertEqual((self.caption(17), "Dvorak" in checked_tools()), ("'", True))
        program.tool("Unscramble")
        self.assertEqual(self.caption(17), "q")
        for tool, menu, follows in (("ScrambleOnScreen", ("alt+k", "j"), False), ("ScrambleAll", ("alt+k", "a"), True)):
            for choose in (lambda: program.tool(tool), lambda: program.menu(*menu)):
                choose()
                self.assertNotEqual([self.caption(n) for n in (17, 18, 19)], ["q", "w", "e"], tool)
                self.assertEqual("ScrambleAll" in checked_tools(), follows, tool)
                program.tool("Unscramble")
                self.assertEqual(self.caption(17), "q")

        program.click_keys("a", "b")
        self.assertEqual(program.stars(), 2)
        program.tool("Clear")
        self.assertEqual(program.stars(), 0)

        toolbar = lambda: next(c for c in controls().values() if c.kind == "ToolbarWindow32")
        program.menu("alt+v", "t")
        self.assertFalse(toolbar().visible)
        program.menu("alt+v", "t")
        self.assertTrue(toolbar().visible)
        program.menu("alt+o", "Right", "Down", "Return")  # Help > About
        about = wait_for("the about box", lambda: wine(PROBE, "dialog", "About Mirvane").stdout)
        self.assertIn("2.3.0", about)
        program.answer("^About Mirvane$", "Return")


if __name__ == "__main__":
    unittest.main()
