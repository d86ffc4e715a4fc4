"""Another program of the same user, there first, tries every road to read or change the password mirvane.exe holds
behind the person's other window (attacker.exe); the person's own drag afterwards judges what Mirvane still holds."""

import os
import subprocess
import unittest

from desktop import wait_for, xdotool
from windows import PASSWORD_MASK_COMMAND, DropTarget, WindowsProgram, toolbar, window_geometry, wine

ATTACKER = os.environ.get("MIRVANE_ATTACKER", "attacker.exe")
PASSWORD = "q7;m/e"
FOREIGN = "ZZZZ"  # the attacker's own text, with no character of the password
STOLEN_PLACE = (1000, 820, 240, 160)  # the attacker's drop target, under the person's resting pointer

# (road, the attacker's command): "{key}" and "{mask}" stand for a key's id and the mask button's place.
# A literal WM_COMMAND, and WM_GETTEXT and the window text of the lines, are test_windows.py's probe's.
WHILE_MASKED = [
    ("the lines' texts by EM_GETLINE", ("read",)),
    ("EM_SETPASSWORDCHAR 0 to the password line", ("password-char", "0")),
    ("change: BM_CLICK and a press and release, sent and posted to a key", ("key", "{key}")),
    ("unmask (a): a click posted to the toolbar's Password Mask", ("toolbar", "{mask}")),
    ("unmask (b): Ctrl in the attached key state, a posted M", ("accelerator",)),
    ("unmask (c): posted menu keys Alt, v, p", ("menu-keys", "v", "p")),
    ("unmask (d): a sent menu selection, then a posted WM_COMMAND", ("menu-select", str(PASSWORD_MASK_COMMAND))),
    ("a drag started by posted mouse messages", ("drag",)),
    ("change: WM_CHAR sent and posted to the password line", ("char", FOREIGN)),
]
WHILE_SHOWN = [  # the person unmasked the line, then turned to the other window
    ("the lines' texts by EM_GETLINE, the clear line shown", ("read",)),
    ("copy: EM_SETSEL and a posted Ctrl+C", ("copy",)),
    ("change: the attacker's text pasted by a posted Ctrl+V", ("paste", FOREIGN)),
]


def pieces(texts):
    return [text for text in texts if set(text) & set(PASSWORD)]


def screen(box):  # x, y, width, height
    return subprocess.run(["import", "-window", "root", "-crop", "{2}x{3}+{0}+{1}".format(*box), "rgb:-"],
                          capture_output=True, check=True).stdout


class Attacks(unittest.TestCase):
    def attack(self, *command):
        out = wine(ATTACKER, *[p for arg in command for p in self.fill.get(arg, arg).split()]).stdout.splitlines()
        values = {name: int(value) for name, value in (line.split(" ", 1) for line in out if line[:4] != "text")}
        return values, [line.split(" ", 2)[-1] for line in out if line.startswith("text ")]

    def turn_to_mirvane(self, *keys):
        """The person comes back to Mirvane for a moment, presses keys there, and returns to the other window."""
        xdotool("windowactivate", "--sync", self.program.window_id)
        xdotool("key", *keys)
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
        # What the attacker aims at, seen before the window is covered.
        self.fill = {"{key}": str(self.program.key("x").id), "{mask}": "{} {}".format(*toolbar()["ToggleMask"].centre)}
        _, _, width, height = window_geometry(self.program.window_id)
        self.target = DropTarget((20, 20, width + 40, height + 160))  # the person's window over Mirvane
        self.addCleanup(self.target.close)
        self.drop_point = 40 + width // 2, 40 + height + 70
        both = xdotool("search", "--onlyvisible", "--name", "^Drop Target$").split()
        self.person = min(both, key=lambda window: window_geometry(window)[0])  # the one on the left
        xdotool("windowactivate", "--sync", self.person)
        xdotool("mousemove", "--sync", STOLEN_PLACE[0] + 120, STOLEN_PLACE[1] + 80)  # the pointer at rest

    def road(self, name, command, masked, length, more=lambda: []):
        """Tries one road, wanting Mirvane as it was and nothing read; undoes what would spoil the next."""
        state, texts = self.attack(*command)
        wanted = {"window": 1, "masked": int(masked), "length": length, "menu": 0, "topmost": 0}
        wanted.update({"passwordchar": 42} if masked else {})  # stars in the password line
        with self.subTest(road=name):
            got = {key: state.get(key, value) for key, value in wanted.items()}  # all but "window" if it ended
            self.assertEqual((got, pieces(texts), pieces(self.stolen.drops()), more()), (wanted, [], [], []))
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
        changed = lambda: any(screen(box) != before for _ in range(10))  # a bounded poll of the screen
        shown = lambda: ["Mirvane's keys over the person's window"] if changed() else []
        self.road("raise: SetWindowPos HWND_TOP, then HWND_TOPMOST", ("raise",), True, length, shown)

        with self.subTest(road="the person's own drag afterwards"):
            xdotool("windowactivate", "--sync", self.program.window_id)
            self.program.drag_password_to(*self.drop_point)
            wait_for("the person's drop", self.target.drops, timeout=30)
            self.assertEqual((self.target.drops(), self.stolen.drops()), ([PASSWORD], []))
        self.road("WM_NOTIFY with pointers to nowhere", ("notify",), True, length)  # the last: it may end Mirvane


if __name__ == "__main__":
    unittest.main()
