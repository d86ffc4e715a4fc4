"""On a Wayland session (headless weston with XWayland), with the toolkit's Wayland plugin
installed and no platform asked for, the program opens as an X11 client by itself, where its
keys can be injected and read."""

import os
import unittest

from desktop import Program, wait_for


class WaylandSession(unittest.TestCase):
    def test_the_program_opens_on_xwayland_and_its_keys_type(self):
        self.assertTrue(os.environ.get("WAYLAND_DISPLAY"))
        self.assertNotIn("QT_QPA_PLATFORM", os.environ)
        program = Program()  # found by its process among the X display's windows: an X11 client
        self.addCleanup(program.stop)
        line = program.password_line()
        for typed, caption in enumerate("pa55", start=1):
            action = program.key(caption).accessible.queryAction()
            action.doAction(next(i for i in range(action.nActions) if action.getName(i) == "Press"))
            # A pressed button comes up again a moment later; a second press before is lost.
            wait_for(f"{typed} characters", lambda: line.character_count() == typed)


if __name__ == "__main__":
    unittest.main()
