"""The main road: type a password on the physical keyboard into the masked line, drag it
onto another program's password field, and the field receives the real password."""

import os
import queue
import subprocess
import threading
import unittest

import pyatspi

from desktop import Node, Program, wait_for, xdotool

DROP_TARGET = os.environ.get("MIRVANE_DROP_TARGET", "drop_target")
PASSWORD = "Pa55&w0rd x"


class DropTarget:
    """Another program, in its own process, with a password field that reports what it holds."""

    def __init__(self):
        self.process = subprocess.Popen([DROP_TARGET], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.received = queue.Queue()
        self.hovered = threading.Event()
        threading.Thread(target=self._read, daemon=True).start()
        self.field = wait_for("the drop target's field", self._find_field)

    def _read(self):
        for line in self.process.stdout:
            if line.startswith("DRAGOVER"):
                self.hovered.set()
            if line.startswith("RECEIVED:"):
                self.received.put(line[len("RECEIVED:"):].rstrip("\n"))

    def _find_field(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == self.process.pid:
                fields = [node for node in Node(app).descendants("password text") if node.showing]
                if fields:
                    return fields[0]
        return None

    def wait_for_text(self, timeout=15):
        return self.received.get(timeout=timeout)

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def drag(from_point, target, steps=12):
    """Presses, moves in steps as a hand would, and releases once the target feels the drag."""
    (x0, y0), (x1, y1) = from_point, centre(target.field)
    xdotool("mousemove", "--sync", x0, y0)
    xdotool("mousedown", 1)
    for step in range(1, steps + 1):
        xdotool("mousemove", "--sync", x0 + (x1 - x0) * step // steps, y0 + (y1 - y0) * step // steps)
    # Keep the drag moving over the field until the target answers, as a hand would.
    for nudge in range(75):
        if target.hovered.wait(timeout=0.2):
            break
        xdotool("mousemove", "--sync", x1 + 3 * (nudge % 2), y1)
    else:
        raise AssertionError("the target never felt the drag")
    xdotool("mousemove", "--sync", x1 + 4, y1)  # one more position, answered before the drop
    xdotool("mouseup", 1)


def centre(node):
    x, y, width, height = node.extents
    return x + width // 2, y + height // 2


class DragAndDrop(unittest.TestCase):
    def setUp(self):
        self.target = DropTarget()
        self.addCleanup(self.target.stop)
        self.program = Program()
        self.addCleanup(self.program.stop)
        self.program.move_clear_of_other_programs()

    def type_physically(self, text):
        line = self.program.password_line()
        line.click()
        wait_for("the password line to have the focus",
                 lambda: line.accessible.getState().contains(pyatspi.STATE_FOCUSED))
        before = line.character_count()
        xdotool("type", "--delay", 40, text)
        wait_for("every typed character", lambda: line.character_count() == before + len(text))

    def test_the_dragged_password_arrives_whole_while_the_window_shows_only_masks(self):
        self.type_physically(PASSWORD)
        line = self.program.password_line()
        self.assertEqual(line.character_count(), len(PASSWORD))
        self.assertEqual(line.text(), "", "the masked line gives its text to nobody")
        self.assertIsNone(self.program.text_line(), "the plain line stays hidden")

        x, y = centre(line)
        xdotool("mousemove", "--sync", x, y)
        xdotool("click", "--repeat", 2, "--delay", 80, 1)  # a double-click selects the whole line
        # Press a little away from the double-click, so that the press is not taken for a
        # third click; right of the text the caret lands at the selection's end, inside it.
        drag((x + 30, y), self.target)

        self.assertEqual(self.target.wait_for_text(), PASSWORD)
        # Keep-password is on: the line shows its masks again.
        wait_for("the masks back", lambda: line.character_count() == len(PASSWORD))
        self.assertFalse(self.program.error_window_shown())

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
