"""The Windows program under Wine, driven as a person would: the pointer and keyboard through
xdotool, the window looked at from a second Windows program, as an attacker would (probe.exe)."""

import os
import subprocess
import tempfile

from desktop import TITLE, click_at, wait_for, xdotool

PROGRAM = os.environ.get("MIRVANE_EXE", "mirvane.exe")
PROBE = os.environ.get("MIRVANE_PROBE", "probe.exe")
DROP_TARGET = os.environ.get("MIRVANE_WIN_DROP_TARGET", "droptarget.exe")
KEY_LOGGER = os.environ.get("MIRVANE_KEY_LOGGER", "keylogger.exe")

# Command ids of the main window, as another program would find them by trying.
PASSWORD_MASK_COMMAND = 1018
FIRST_KEY_ID = 3000
PASSWORD_LINE, PLAIN_LINE = 101, 102
ES_PASSWORD = 0x20
# The toolbar's buttons, left to right, an empty name for a separator; the first has command 2000.
TOOLBAR = ["Standard", "Hover", "HideMouse", "", "ScrambleOnScreen", "ScrambleAll", "Dvorak", "Unscramble", "",
           "ToggleMask", "", "Beep", "KeepPassword", "Obsfucate", "", "KeepOnTop", "", "Clear"]
TBSTATE_CHECKED = 0x01
# What the keys of the standard layout show at start, by key number: the character keys with Caps Lock off,
# then on, and the keys whose captions never change. A person learns the faces there.
STANDARD_KEYS = dict(zip([*range(1, 14), *range(17, 29), 65, *range(31, 42), *range(43, 53)],
                         zip("`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./",
                             '~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:"ZXCVBNM<>?')))
FIXED_KEYS = {15: "bksp", 16: "tab", 30: "lock", 29: "ent", 42: "shft", 53: "shft"}
CAPS_LOCK_KEY = 30
WS_EX_TOPMOST = 0x08
WS_MAXIMIZE = 0x01000000


def wine(*args, timeout=60):
    return subprocess.run(["wine", *args], capture_output=True, text=True, timeout=timeout)


class ToolButton:
    def __init__(self, line):
        _, ident, state, x, y, width, height = line.split()
        self.name = TOOLBAR[int(ident) - 2000]
        self.checked = int(state) & TBSTATE_CHECKED != 0
        self.centre = int(x) + int(width) // 2, int(y) + int(height) // 2


def toolbar():
    """The toolbar's buttons by name, with their state and place, as another program reads them."""
    return {b.name: b for b in (ToolButton(line) for line in wine(PROBE, "state").stdout.splitlines()
                                if line.startswith("button "))}


class MainWindow:
    """The main window's styles and client area, as another program sees them."""

    def __init__(self):
        line = next(line for line in wine(PROBE, "state").stdout.splitlines() if line.startswith("window "))
        _, extended, style, *client = line.split()
        self.on_top = int(extended, 16) & WS_EX_TOPMOST != 0
        self.maximized = int(style, 16) & WS_MAXIMIZE != 0
        self.client = tuple(map(int, client))


def checked_tools():
    return {name for name, button in toolbar().items() if button.checked}


class Control:
    """One child window of the main window as another program sees it."""

    def __init__(self, line):
        kind, ident, visible, x, y, width, height, style, *text = line.split(" ")
        self.kind, self.id, self.visible = kind, int(ident), visible == "1"
        self.x, self.y, self.width, self.height = int(x), int(y), int(width), int(height)
        self.style, self.text = int(style, 16), " ".join(text)

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2


class Face:
    """One visible key as the screen shows it: its place and a hash of its caption's pixels."""

    def __init__(self, line):
        _, ident, x, y, width, height, self.hash = line.split()
        self.id, self.x, self.y, self.width, self.height = int(ident), int(x), int(y), int(width), int(height)

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2


def faces():
    """The keys' faces, and where the program believes its window is."""
    lines = wine(PROBE, "faces").stdout.splitlines()
    frame = next((tuple(map(int, line.split()[1:])) for line in lines if line.startswith("window ")), None)
    return {f.id: f for f in (Face(line) for line in lines if line.startswith("face "))}, frame


def controls():
    out = wine(PROBE, "controls").stdout
    return {c.id: c for c in (Control(line) for line in out.splitlines() if line.strip())}


def probe(*args):
    wine(PROBE, *args)


def window_geometry(window_id):
    values = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window_id).split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


class WindowsProgram:
    """One run of mirvane.exe on the current display."""

    def __init__(self, *args, learn=True):
        """`learn`: read which caption each key face shows, in the standard layout at start; a test that
        finds no key by its caption can do without."""
        self.process = subprocess.Popen(["wine", PROGRAM, *args], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.window_id = wait_for("the main window", self._find_window, timeout=60)
        wait_for("the keys to be laid out", lambda: len(self.visible_keys()) == 54, timeout=30)
        self._rest = None
        if learn:
            self._learn_faces()

    def _find_window(self):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", TITLE], capture_output=True,
                             text=True).stdout.split()
        return out[0] if out else None

    def visible_keys(self):
        return [c for c in controls().values() if c.kind == "Button" and c.visible and c.id > FIRST_KEY_ID]

    def _faces(self):
        """The keys' faces as a screen recorder sees them, with the pointer resting on the background beside
        the first key, off the keys and the toolbar's tooltips."""
        for _ in range(5):  # once more whenever the window has moved
            if self._rest:
                xdotool("mousemove", "--sync", *self._rest)
            # Moved by the window manager, the program learns its new place a moment later (its size it
            # may snap itself).
            shown = wait_for("the program to know where its window is",
                             lambda: (r := faces())[1][:2] == window_geometry(self.window_id)[:2] and r[0])
            first = min(shown.values(), key=lambda f: (f.y, f.x))
            rest = first.x - 4, first.y + first.height // 2
            if rest == self._rest:
                break
            self._rest = rest
        self._last_faces = shown
        return shown

    def _learn_faces(self):
        """Which caption each face shows, learned from the standard layout with Caps Lock off and on: one
        table for each, since a glyph of one set may look like another of the other ("l" and "I")."""
        def whole_set(unlike):
            def read():
                shown = self._faces()
                hashes = [shown[FIRST_KEY_ID + n].hash for n in STANDARD_KEYS]
                drawn = len(set(hashes) - {"-"}) == len(STANDARD_KEYS)
                return shown if drawn and all(h != u for h, u in zip(hashes, unlike)) else None
            return wait_for("every character key drawn", read)

        normal = whole_set([])
        lock = normal[FIRST_KEY_ID + CAPS_LOCK_KEY].centre
        click_at(*lock)
        shifted = whole_set([normal[FIRST_KEY_ID + n].hash for n in STANDARD_KEYS])
        click_at(*lock)
        self.captions = []
        for shown, which in ((normal, 0), (shifted, 1)):
            learned = {normal[FIRST_KEY_ID + n].hash: caption for n, caption in FIXED_KEYS.items()}
            learned["-"] = ""  # the space bar
            learned.update((shown[FIRST_KEY_ID + n].hash, pair[which]) for n, pair in STANDARD_KEYS.items())
            self.captions.append(learned)
        self.key("q")  # Caps Lock off again

    def shown_captions(self):
        """The caption of every visible key, by id, read off the screen: once every character key shows a face
        of one set learned (not half drawn, not covered)."""
        def read():
            shown = self._faces()
            for learned in self.captions:
                if all(shown[FIRST_KEY_ID + n].hash in learned.keys() - {"-"} for n in STANDARD_KEYS):
                    return {ident: learned.get(face.hash) for ident, face in shown.items()}
            return None
        return wait_for("known faces on the keys", read)

    def key(self, caption):
        """The visible key whose face shows the caption."""
        def find():
            shown = self.shown_captions()
            return next((ident for ident, shows in shown.items() if shows == caption), None)
        ident = wait_for(f"the key showing {caption!r}", find)
        return self._last_faces[ident]  # the read that found it

    def click_keys(self, *captions):
        """One read of the screen serves them all: a click changes which caption of its pair a key shows
        (Shift, Caps Lock), never where the key is."""
        shown = self.shown_captions()
        faces = self._last_faces
        pair = {caption: both for both in STANDARD_KEYS.values() for caption in both}
        for caption in captions:
            ident = next(i for i, shows in shown.items() if caption in pair.get(shows, (shows,)))
            click_at(*faces[ident].centre)

    def line(self, ident):
        return controls()[ident]

    def stars(self):
        """The masked line's length, which it shows anyway; its text it gives to no other program."""
        return int(wine(PROBE, "length", str(PASSWORD_LINE)).stdout)

    def background(self):
        """A point of the window's own background, left of the first row of keys."""
        first = min(self.visible_keys(), key=lambda k: (k.y, k.x))
        xdotool("mousemove", "--sync", first.x - 4, first.y + first.height // 2)

    def answer(self, title, key):
        """Answers the message box of that title with a key: Return for its default, Escape to cancel."""
        find = lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                                      capture_output=True, text=True).stdout.split()
        box = wait_for(title, find, timeout=30)[0]
        xdotool("windowactivate", "--sync", box)
        xdotool("key", key)
        wait_for(f"{title} answered", lambda: not find())

    def tool(self, name):
        click_at(*toolbar()[name].centre)

    def drag_password_to(self, x, y):
        """Selects the whole password line and drags it with the real pointer to (x, y)."""
        line = self.line(PASSWORD_LINE)
        fx, fy = line.x + 10, line.y + line.height // 2
        xdotool("mousemove", "--sync", fx, fy)
        xdotool("click", "--repeat", "2", "1")
        xdotool("mousedown", "1")
        for step in range(1, 11):  # a drag is told from a click only after the pointer moves
            xdotool("mousemove", "--sync", fx + (x - fx) * step // 10, fy + (y - fy) * step // 10)
        xdotool("mouseup", "1")

    def clear_password(self):
        line = self.line(PASSWORD_LINE)
        xdotool("mousemove", "--sync", line.x + 10, line.y + line.height // 2)
        xdotool("click", "--repeat", "2", "1")
        self.click_keys("bksp")

    def menu(self, *keys):
        """Chooses a menu item with the keyboard, as a person may: Alt and the menu's letter, then keys."""
        xdotool("windowactivate", "--sync", self.window_id)
        for key in keys:
            xdotool("key", key)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=30)
        subprocess.run(["wineserver", "-w"], timeout=60, check=False)


class DropTarget:
    """A second Windows program with a password field that writes down every drop it receives."""

    def __init__(self, place):
        self.log = tempfile.NamedTemporaryFile(suffix=".txt", delete=False).name
        self.process = subprocess.Popen(["wine", DROP_TARGET, "Z:" + self.log.replace("/", "\\"), ",".join(map(str, place))],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        wait_for("the drop target", lambda: self.process.stdout.readline().startswith("ready"), timeout=60)
        self.place = place

    def drops(self):
        with open(self.log, encoding="utf-8") as log:
            return log.read().splitlines()

    def close(self):
        self.process.kill()
        self.process.wait(timeout=30)
        os.unlink(self.log)


class KeyLogger:
    """A second Windows program with a low-level keyboard hook, as a key logger has."""

    def __init__(self):
        self.log = tempfile.NamedTemporaryFile(suffix=".txt", delete=False).name
        self.process = subprocess.Popen(["wine", KEY_LOGGER, "Z:" + self.log.replace("/", "\\")],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        wait_for("the key logger", lambda: self.process.stdout.readline().startswith("ready"), timeout=60)

    def events(self):
        """(down, virtual key, injected) for every key event it saw, in order."""
        with open(self.log, encoding="ascii") as log:
            return [(d == "down", int(vk), how == "injected")
                    for d, vk, _, how in (line.split() for line in log if line.strip())]

    def held(self):
        down = set()
        for is_down, key, _ in self.events():
            (down.add if is_down else down.discard)(key)
        return down

    def close(self):
        self.process.kill()
        self.process.wait(timeout=30)
        os.unlink(self.log)
