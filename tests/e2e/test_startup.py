"""The real program under Xvfb with a window manager: start-up, layout and resizing."""

import os
import subprocess
import unittest

from desktop import PROGRAM, Program, ask_probe, centre, wait_for, xdotool


def rows_of(keys):
    rows = {}
    for key in keys:
        x, y, width, height = key.extents
        rows.setdefault(y, []).append((x, width, height, key.name))
    return [sorted(row) for _, row in sorted(rows.items())]


class BadDesktop(unittest.TestCase):
    """Where the program cannot run, it says so in one line and ends, instead of aborting."""

    def run_program(self, *args, **variables):
        env = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "QT_QPA_PLATFORM")}
        env.update(variables)
        return subprocess.run([PROGRAM, *args], env=env, capture_output=True, text=True, timeout=30)

    def test_no_usable_display_is_one_line_and_status_1(self):
        for args, variables, says in [((), {}, "DISPLAY is not set"),
                                      ((), {"DISPLAY": ":99"}, "cannot open the X display ':99'"),
                                      (("-platform", "offscreen"), {"DISPLAY": os.environ["DISPLAY"]}, "offscreen"),
                                      ((), {"QT_QPA_PLATFORM": "offscreen"}, "offscreen")]:
            result = self.run_program(*args, **variables)
            self.assertEqual(result.returncode, 1, (args, variables, result.stderr))
            self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
            self.assertIn(says, result.stderr)

    def test_an_x_server_that_goes_away_ends_the_program_without_a_crash(self):
        read, write = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp"], pass_fds=[write],
                                  stderr=subprocess.DEVNULL)
        os.close(write)
        self.addCleanup(server.kill)
        display = ":" + os.read(read, 16).decode().strip()
        env = {**os.environ, "DISPLAY": display}
        program = subprocess.Popen([PROGRAM], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(program.kill)
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(program.pid)], env=env,
                       stdout=subprocess.DEVNULL, timeout=30)
        server.kill()
        self.assertEqual(program.wait(timeout=30), 1, "the toolkit's own exit, not a signal")

    def test_help_version_and_an_unknown_option(self):
        self.assertEqual(self.run_program("--version").stdout, "mirvane 2.3.0\n")
        self.assertTrue(self.run_program("--help").stdout.startswith("Usage: mirvane"))
        unknown = self.run_program("--frobnicate", DISPLAY=os.environ["DISPLAY"])
        self.assertEqual(unknown.returncode, 2)
        self.assertEqual(unknown.stderr.splitlines(), [
            "mirvane: unknown option '--frobnicate'",
            "Usage: mirvane [--help] [--version] [--accessible] [-display DISPLAY]"])


class StartUp(unittest.TestCase):
    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.stop)

    def assert_keyboard_laid_out(self):
        keys = self.program.visible_keys()
        self.assertEqual(len(keys), 54, sorted((k.name, k.extents) for k in keys))
        rows = rows_of(keys)
        self.assertEqual([len(row) for row in rows], [14, 14, 13, 12, 1])
        unit = rows[0][0][1]
        row_left = rows[0][0][0]
        row_right = row_left + 15 * unit
        for row in rows[:4]:
            self.assertEqual(row[0][0], row_left)
        for row in rows:
            for (x, width, height, _), (next_x, _, _, _) in zip(row, row[1:]):
                self.assertEqual(x + width, next_x, "keys of a row touch")
            for _, _, height, _ in row:
                self.assertEqual(height, unit)
            if len(row) > 1:
                self.assertEqual(row[-1][0] + row[-1][1], row_right, "every row ends at the same edge")
        tops = sorted({key.extents[1] for key in keys})
        self.assertEqual([b - a for a, b in zip(tops, tops[1:])], [unit] * 4, "rows touch")
        space = rows[4][0]
        self.assertEqual(space[3], "")
        self.assertEqual(space[1], 6 * unit)
        return unit

    def test_at_twice_the_pixel_density_the_keys_fill_their_rows_and_the_dot_stays_one_dot(self):
        self.program.stop()
        self.program = Program(QT_SCALE_FACTOR="2")
        self.addCleanup(self.program.stop)
        # The accessibility bus speaks logical pixels; the X server has twice as many.
        x, y, width, height = self.program.geometry()
        pixels = xdotool("getwindowgeometry", self.program.window_id).split("Geometry: ")[1].split()[0]
        self.assertEqual(pixels, f"{2 * width}x{2 * height}")
        self.assert_keyboard_laid_out()
        for node in self.program.visible_keys() + [self.program.password_line()]:
            left, top, w, h = node.extents
            self.assertTrue(x <= left and left + w <= x + width and y <= top and top + h <= y + height, node.name)
        self.program.menu("Mouse Mode", "3. Hidden Mouse and Hover Entry")
        question = wait_for("the question", lambda: self.program.dialog("Hide mouse - turn it into grey dot?"))
        next(b for b in question.descendants("push button") if b.name == "OK").click()
        key = self.program.key("w")
        xdotool("mousemove", "--sync", *centre(key))
        self.assertEqual(wait_for("the dot", lambda: (lambda c: c if c[0] == "32x32" and c[1] != "0" else None)(
            ask_probe("cursor"))), ["32x32", "4", "E0E0E0"])

    def test_the_window_shows_the_keyboard_in_five_rows_and_relays_them_when_resized(self):
        wid = self.program.window_id
        self.assertIn("Corvell Software: Mirvane 2008", xdotool("getwindowname", wid))
        unit_before = self.assert_keyboard_laid_out()
        self.assertEqual(self.program.password_line().text(), "")
        self.assertFalse(self.program.error_window_shown())
        xdotool("windowsize", wid, 900, 520)
        wait_for("a wider key unit", lambda: self.program.visible_keys()[0].extents[2] != unit_before)
        unit = self.assert_keyboard_laid_out()
        self.assertGreater(unit, unit_before)

        # Quick changes, then the smallest size the window manager allows.
        for width, height in [(300, 200), (1200, 900), (640, 300), (1, 1), (800, 600), (1, 1)]:
            xdotool("windowsize", wid, width, height)
        wait_for("the layout to settle", lambda: self.program.visible_keys()[0].extents[2] > 0)
        subprocess.run(["xdotool", "sleep", "0.5"])
        self.assertTrue(self.program.alive())
        self.assertFalse(self.program.error_window_shown())
        self.assert_keyboard_laid_out()

        # Maximized, it stays maximized and on the screen, with the keys laid out at that size.
        state = lambda: subprocess.run(["xprop", "-id", wid, "_NET_WM_STATE"], capture_output=True, text=True).stdout
        subprocess.run(["wmctrl", "-i", "-r", wid, "-b", "add,maximized_vert,maximized_horz"], check=True)
        wait_for("the window maximized", lambda: "MAXIMIZED_HORZ" in state())
        wait_for("the keys laid out wider", lambda: self.program.visible_keys()[0].extents[2] > unit)
        subprocess.run(["xdotool", "sleep", "0.5"])
        self.assertIn("_NET_WM_STATE_MAXIMIZED_HORZ", state())
        x, y, width, height = self.program.geometry()
        self.assertLessEqual(x + width, 1280)
        self.assertLessEqual(y + height, 1024)
        self.assert_keyboard_laid_out()

    def test_a_paste_with_no_clipboard_owner_pastes_nothing(self):
        self.program.menu("View", "Password Mask")
        line = wait_for("the plain line", self.program.text_line)
        line.click()
        xdotool("key", "ctrl+v", "shift+Insert")
        xdotool("click", 2)
        wait_for("the keys still answering", lambda: self.program.text_line() is not None)
        self.assertTrue(self.program.alive())
        self.program.menu("View", "Password Mask")  # the bus gives no text of the plain line: count the mask's
        wait_for("the mask back", lambda: self.program.text_line() is None)
        self.assertEqual(self.program.password_line().character_count(), 0)


    def test_keep_on_top_reaches_the_window_manager_and_the_about_box_shows_the_version(self):
        wid = self.program.window_id
        on_top = lambda: "_NET_WM_STATE_ABOVE" in subprocess.run(
            ["xprop", "-id", wid, "_NET_WM_STATE"], capture_output=True, text=True).stdout
        self.assertFalse(on_top())
        self.program.menu("File", "Keep on Top")
        wait_for("_NET_WM_STATE_ABOVE on the window", on_top)

        # The about box takes the top-most place while it shows, then gives it back.
        self.program.menu("Help", "About")
        about = wait_for("the about box", lambda: self.program.dialog("About Mirvane"))
        self.assertIn("Version 2.3.0", [node.name for node in about.descendants("label")])
        wait_for("the main window to give up its place", lambda: not on_top())
        next(node for node in about.descendants("push button") if node.name == "OK").click()
        wait_for("the main window on top again", on_top)



if __name__ == "__main__":
    unittest.main()
