"""mirvane.exe holds a password behind the person's other window while another program of the same user, there
first, tries every road to read or change it without the pointer or the keyboard (attacker.exe). The person's
own drag afterwards judges what Mirvane still holds."""

import os
import subprocess
import unittest

from desktop import wait_for, xdotool
from windows import PASSWORD_MASK_COMMAND, DropTarget, WindowsProgram, toolbar, window_geometry

ATTACKER = os.environ.get("MIRVANE_ATTACKER", "attacker.exe")
PASSWORD = "q7;m/e"
FOREIGN = "ZZZZ"  # the attacker's own text, with no character of the password
STOLEN_PLACE = (1000, 820, 240, 160)  # the attacker's drop target, under the person's resting pointer
MASK = str(PASSWORD_MASK_COMMAND)

# (road, the attacker's command): "{key}" and "{mask}" stand for a key's id and the mask button's place.
WHILE_MASKED = [
    ("the lines' texts by WM_GETTEXT, EM_GETLINE and window text", ("read",)),
    ("a literal WM_COMMAND Password Mask, sent and posted", ("command", MASK)),
    ("EM_SETPASSWORDCHAR 0 to the password line", ("password-char", "0")),
    ("BM_CLICK sent to a key", ("key", "{key}", "send", "click")),
    ("a press and release sent to a key", ("key", "{key}", "send", "press")),
    ("unmask (a): a click posted to the toolbar's Password Mask", ("toolbar", "{mask}")),
    ("unmask (b): Ctrl in the attached key state, a posted M", ("accelerator",)),
    ("unmask (c): posted menu keys Alt, v, p", ("menu-keys", "v", "p")),
    ("unmask (d): a sent menu selection, then a posted WM_COMMAND", ("menu-select", MASK)),
    ("a drag started by posted mouse messages", ("drag",)),
    ("change: BM_CLICK posted to a key", ("key", "{key}", "post", "click")),
    ("change: a press and release posted to a key", ("key", "{key}", "post", "press")),
    ("change: WM_CHAR posted to the password line", ("char", "post", FOREIGN)),
    ("change: WM_CHAR sent to the password line", ("char", "send", FOREIGN)),
]
WHILE_SHOWN = [  # the person unmasked the line, then turned to the other window
    ("the clear line's texts by WM_GETTEXT, EM_GETLINE and window text", ("read",)),
    ("copy: EM_SETSEL and a posted Ctrl+C", ("copy",)),
    ("change: the attacker's text pasted by a posted Ctrl+V", ("paste", FOREIGN)),
]


def pieces(texts):
    return [text for text in texts if set(text) & set(PASSWORD)]


def screen(box):
    x, y, width, height = box
    return subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "rgb:-"],
                          capture_output=True, check=True).stdout


def within(seconds, check):
    try:
        return wait_for("", check, timeout=seconds)
    except AssertionError:
        return False


class Attacks(unittest.TestCase):
    def attack(self, *command):
        fill = {"{key}": str(self.key_id), "{mask}": self.mask}
        out = subprocess.run(["wine", ATTACKER, *[p for arg in command for p in fill.get(arg, arg).split()]],
                             capture_output=True, text=True, timeout=60).stdout.splitlines()
        values = {name: int(value) for name, value in (line.split(" ", 1) for line in out if line[:4] != "text")}
        return values, [line.split(" ", 2)[-1] for line in out if line.startswith("text ")]

    def turn_to_mirvane(self, *keys):
        """The person comes back to Mirvane for a moment, presses keys there, and returns to the other window."""
        xdotool("windowactivate", "--sync", self.program.window_id)
        for key in keys:
            xdotool("key", key)
        xdotool("windowactivate", "--sync", self.person)

    def set_masked(self, masked):
        self.turn_to_mirvane("ctrl+m")
        wait_for("the mask", lambda: self.attack("state")[0]["masked"] == masked)

    def setUp(self):
        self.stolen = DropTarget(STOLEN_PLACE)  # as malware is there first
        self.addCleanup(lambda: hasattr(self, "program") and self.program.close())
        self.addCleanup(self.stolen.close)  # first: closing Mirvane waits for every Windows program to end
        self.program = WindowsProgram()
        xdotool("windowmove", "--sync", self.program.window_id, 40, 40)
        self.program.click_keys("q", "7", ";", "m", "/", "e")
        self.key_id = self.program.key("x").id  # what the attacker aims at, seen before the window is covered
        self.mask = "{} {}".format(*toolbar()["ToggleMask"].centre)
        _, _, width, height = window_geometry(self.program.window_id)
        self.target = DropTarget((20, 20, width + 40, height + 160))  # the person's window over Mirvane
        self.addCleanup(self.target.close)
        self.drop_point = 40 + width // 2, 40 + height + 70
        both = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Drop Target$"],
                              capture_output=True, text=True).stdout.split()
        self.person = min(both, key=lambda window: window_geometry(window)[0])  # the one on the left
        xdotool("windowactivate", "--sync", self.person)
        xdotool("mousemove", "--sync", STOLEN_PLACE[0] + 120, STOLEN_PLACE[1] + 80)  # the pointer at rest

    def road(self, name, command, masked, length, more=lambda: []):
        """Tries one road and names all it got; undoes what would spoil the roads after it."""
        state, texts = self.attack(*command)
        got = ["Mirvane ended"] if state["window"] != 1 else []
        got += [f"read {pieces(texts)}"] if pieces(texts) else []
        got += [f"its drop target got {self.stolen.drops()}"] if pieces(self.stolen.drops()) else []
        got += ["the line unmasked" if masked else "the line masked"] if state.get("masked", masked) != masked else []
        got += [f"the length {length} became {state['length']}"] if state.get("length", length) != length else []
        got += ["no stars in the password line"] if state.get("masked") == 1 and state["passwordchar"] != 42 else []
        got += ["a menu left open"] if state.get("menu") else []
        got += ["Mirvane top-most"] if state.get("topmost") else []
        with self.subTest(road=name):
            self.assertEqual(got + more(), [])
        if state.get("passwordchar", 42) != 42 and state.get("masked"):
            self.attack("password-char", "42")
        if state.get("menu"):
            self.turn_to_mirvane("Escape", "Escape")
        if masked and state.get("masked") == 0:
            self.set_masked(True)
        os.truncate(self.stolen.log, 0)  # each road is judged on its own
        return state.get("length", length)

    def test_no_road_reads_or_changes_the_password_and_the_persons_drag_gives_it_exactly(self):
        length = len(PASSWORD)
        for name, command in WHILE_MASKED:
            length = self.road(name, command, True, length)
        self.set_masked(False)
        for name, command in WHILE_SHOWN:
            length = self.road(name, command, False, length)
        self.set_masked(True)

        keys = self.program.visible_keys()
        left, top = min(k.x for k in keys), min(k.y for k in keys)
        box = left, top, max(k.x + k.width for k in keys) - left, max(k.y + k.height for k in keys) - top
        before = screen(box)
        shown = lambda: ["Mirvane's keys over the person's window"] if within(2, lambda: screen(box) != before) else []
        self.road("raise: SetWindowPos HWND_TOP, then HWND_TOPMOST", ("raise",), True, length, shown)

        with self.subTest(road="the person's own drag afterwards"):
            xdotool("windowactivate", "--sync", self.program.window_id)
            self.program.drag_password_to(*self.drop_point)
            wait_for("the person's drop", self.target.drops, timeout=30)
            self.assertEqual((self.target.drops(), self.stolen.drops()), ([PASSWORD], []))
        self.road("WM_NOTIFY with pointers to nowhere", ("notify",), True, length)  # the last: it may end Mirvane


if __name__ == "__main__":
    unittest.main()
