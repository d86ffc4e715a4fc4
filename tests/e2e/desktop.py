"""Drives the real program as a person would: the pointer and keyboard through XTest
(xdotool), the window read through the accessibility bus (AT-SPI)."""

import os
import queue
import subprocess
import sys
import threading
import time

import pyatspi

PROGRAM = os.environ.get("MIRVANE_PROGRAM", "mirvane")
DROP_TARGET = os.environ.get("MIRVANE_DROP_TARGET", "drop_target")
TITLE = "Corvell Software: Mirvane 2008"
PROBE = [sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "probe.py")]


def wait_for(what, check, timeout=15.0, interval=0.05):
    """Polls check() until it returns something true, or fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            result = check()
            if result:
                return result
        except Exception as error:  # the accessibility tree changes under our feet
            last_error = error
        time.sleep(interval)
    raise AssertionError(f"timed out waiting for {what}" + (f" (last error: {last_error})" if last_error else ""))


# On a Wayland session the pointer and keyboard belong to the compositor: they are driven on
# the display of the remote-desktop viewer that feeds its seat, as a person's hand would.
INPUT_DISPLAY = os.environ.get("MIRVANE_INPUT_DISPLAY")
INPUT = {"mousemove", "click", "mousedown", "mouseup", "key", "type"}


def xdotool(*args):
    env = {**os.environ, "DISPLAY": INPUT_DISPLAY} if INPUT_DISPLAY and args[0] in INPUT else None
    run = lambda *a: subprocess.run(["xdotool", *map(str, a)], check=True, capture_output=True, text=True, env=env).stdout
    if args[:2] == ("mousemove", "--sync"):
        # Its wait for the pointer to move lasts 15 s when the pointer is there already.
        where = dict(line.split("=") for line in run("getmouselocation", "--shell").split())
        if (int(where["X"]), int(where["Y"])) == tuple(map(int, args[2:4])):
            return ""
    return run(*args)


def click_at(x, y, button=1):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", button)


class Node:
    """An accessible object with its role, name, state and place on the screen."""

    scale = 1.0  # X pixels per logical pixel of the program under test

    def __init__(self, accessible, shift=lambda: (0, 0)):
        self.accessible = accessible
        self.shift = shift  # X pixels to add to the places the accessibility bus gives

    @property
    def role(self):
        return self.accessible.getRoleName()

    @property
    def name(self):
        return self.accessible.name

    @property
    def showing(self):
        return self.accessible.getState().contains(pyatspi.STATE_SHOWING)

    @property
    def extents(self):
        box = self.accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    def text(self):
        return self.accessible.queryText().getText(0, -1)

    def character_count(self):
        """How many characters a line shows; a password line tells no more than that."""
        return self.accessible.queryText().characterCount

    def click(self):
        click_at(*centre(self))

    def descendants(self, role=None):
        found = []

        def walk(node):
            for index in range(node.childCount):
                child = node.getChildAtIndex(index)
                if child is None:
                    continue
                if role is None or child.getRoleName() == role:
                    found.append(Node(child, self.shift))
                walk(child)

        walk(self.accessible)
        return found


class Program:
    """One run of the real program on the current display."""

    def __init__(self, **environment):
        Node.scale = float(environment.get("QT_SCALE_FACTOR", 1))
        # The suites read the window through the accessibility bus, which the program joins only when
        # asked; the environment's switch is left to the drop target, so that none relies on it.
        env = {key: value for key, value in os.environ.items() if key != "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"}
        self.process = subprocess.Popen([PROGRAM, "--accessible"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, env={**env, **environment})
        self.frame = wait_for("the main window on the accessibility bus", self._find_frame)
        self.window_id = wait_for("the main window on the X display", self._find_window_id)
        if INPUT_DISPLAY:
            self.frame.shift = lambda: shift_of(self.window_id, self.frame)
        wait_for("the keys to be laid out", lambda: len(self.visible_keys()) == 54)

    def _find_frame(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is None or app.get_process_id() != self.process.pid:
                continue
            for frame in Node(app).descendants("frame"):
                if frame.name == TITLE and frame.showing:
                    return frame
        return None

    def _find_window_id(self):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid), "--name", TITLE],
                                capture_output=True, text=True)
        ids = result.stdout.split()
        return ids[0] if ids else None

    def move_clear_of_other_programs(self):
        """The keyboard starts at a random place; move it right, clear of the other program's form."""
        if INPUT_DISPLAY:
            self.drag_title_to(600, 100)
        else:
            xdotool("windowmove", "--sync", self.window_id, 600, 100)
            wait_for("the keyboard moved", lambda: self.geometry()[0] >= 600)

    def drag_title_to(self, x, y):
        """Moves the window as a person does on a Wayland desktop, by its title bar: the
        compositor places windows itself and moves none on a program's wish."""
        x0, y0 = window_position(self.window_id)
        grip = self.geometry()[2] // 2
        xdotool("mousemove", "--sync", x0 + grip, y0 - 12)
        xdotool("mousedown", 1)
        for step in range(1, 9):
            xdotool("mousemove", "--sync", x0 + grip + (x - x0) * step // 8, y0 - 12 + (y - y0) * step // 8)
        xdotool("mouseup", 1)
        wait_for(f"the keyboard moved to {x},{y}",
                 lambda: max(abs(a - b) for a, b in zip(window_position(self.window_id), (x, y))) <= 10)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def alive(self):
        return self.process.poll() is None

    def visible_keys(self):
        """The on-screen keys that show: push buttons outside the toolbar."""
        return [node for node in self.frame.descendants("push button")
                if node.showing and node.accessible.parent.getRoleName() != "tool bar"]

    def toolbar_buttons(self):
        return {node.name: node for bar in self.frame.descendants("tool bar") for node in bar.descendants() if node.name}

    def tool(self, name, what, done):
        """Clicks a toolbar key until done() holds, as a person clicks again when a click on a
        busy desktop is lost."""
        self.wait_menus_closed()
        if not self.toolbar_buttons()[name].showing:
            # A narrow window keeps the last toolbar keys behind the toolbar's overflow arrow;
            # a person widens the window.
            xdotool("windowsize", "--sync", self.window_id, 800, self.geometry()[3])
            wait_for(f"the toolbar key {name}", lambda: self.toolbar_buttons()[name].showing)
        for attempt in range(3):
            self.toolbar_buttons()[name].click()
            try:
                return wait_for(what, done, timeout=5)
            except AssertionError:
                if attempt == 2:
                    raise

    def key(self, caption):
        for node in self.visible_keys():
            if node.name == caption:
                return node
        raise AssertionError(f"no visible key shows {caption!r}")

    def password_line(self):
        return self.frame.descendants("password text")[0]

    def text_line(self):
        lines = [node for node in self.frame.descendants("text") if node.showing]
        return lines[0] if lines else None

    def wait_menus_closed(self):
        """A click while a menu closes only closes it; returns the menu bar."""
        bar = self.frame.descendants("menu bar")[0]
        wait_for("the last menu to close",
                 lambda: not any(node.showing for node in bar.descendants("popup menu")))
        return bar

    def menu(self, top, item):
        """Opens a menu of the menu bar and chooses an item, as a person would: again if
        the first click did not open it."""
        strip = lambda text: text.replace("&", "")
        bar = self.wait_menus_closed()
        heading = next(node for node in bar.descendants("menu item") if strip(node.name) == top and node.showing)
        find = lambda: next((node for node in heading.descendants() if strip(node.name) == item and node.showing),
                            None)
        for _ in range(4):
            heading.click()
            try:
                entry = wait_for(f"menu item {item}", find, timeout=3)
                break
            except AssertionError:
                xdotool("key", "Escape")
        else:
            # The toolkit's menu bar now and then ignores clicks on a busy desktop; what is
            # tested is the command, so choose it through the accessibility bus instead.
            entry = next(node for node in heading.descendants() if strip(node.name) == item)
            pyatspi.setTimeout(1000, 1000)
            try:
                entry.accessible.queryAction().doAction(0)
            except Exception:  # a modal window the command opens holds the reply back
                pass
            finally:
                pyatspi.setTimeout(800, 15000)  # the library's own
            return
        entry.click()

    def dialog(self, title):
        """A window of the program other than the main one, by its title, when it shows."""
        app = Node(self.frame.accessible.getApplication())
        return next((node for node in app.descendants() if node.role in ("dialog", "alert") and node.name == title
                     and node.showing), None)

    def error_window_shown(self):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Unexpected System Error"],
                             capture_output=True, text=True).stdout
        return bool(out.strip())

    def geometry(self):
        return self.frame.extents


class DropTarget:
    """Another program, in its own process, with a password field that reports what it holds."""

    def __init__(self, **environment):
        self.process = subprocess.Popen([DROP_TARGET], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                        env={**os.environ, **environment})
        self.received = queue.Queue()
        self.hovered = threading.Event()
        threading.Thread(target=self._read, daemon=True).start()
        wait_for("the drop target's field", self._find_field)

    def centre(self):
        """Where its field is; found again each time, as the accessibility bus may drop an
        object it handed out."""
        return wait_for("the place of the drop target's field", lambda: centre(self._find_field()))

    def felt(self):
        return self.hovered.wait(timeout=0.2)

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
                node = Node(app)
                if INPUT_DISPLAY:
                    window = xdotool("search", "--onlyvisible", "--pid", self.process.pid).split()[0]
                    node.shift = lambda: shift_of(window, Node(app.getChildAtIndex(0)))
                fields = [field for field in node.descendants("password text") if field.showing]
                if fields:
                    return fields[0]
        return None

    def wait_for_text(self, timeout=15):
        return self.received.get(timeout=timeout)

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def select_all(line):
    """Double-clicks a line as a person does before a drag, until all of it is selected;
    returns a point inside the selection to press on."""
    x, y = centre(line)

    def whole_line_selected():
        text = line.accessible.queryText()
        selections = [text.getSelection(i) for i in range(text.getNSelections())]
        return text.characterCount > 0 and selections == [(0, text.characterCount)]

    for attempt in range(2):  # a double click slowed past the toolkit's interval is two clicks
        xdotool("mousemove", "--sync", x, y)
        xdotool("click", "--repeat", 2, "--delay", 80, 1)
        try:
            wait_for("the whole line selected by a double click", whole_line_selected, timeout=3)
            return x + 30, y
        except AssertionError:
            if attempt:
                raise
            print("the first double click selected nothing; double-clicking again", file=sys.stderr)


def drag(from_point, target, steps=12, before_drop=lambda: None):
    """Presses, moves in steps as a hand would, and releases once the target feels the drag."""
    (x0, y0), (x1, y1) = from_point, target.centre()
    xdotool("mousemove", "--sync", x0, y0)
    xdotool("mousedown", 1)
    for step in range(1, steps + 1):
        xdotool("mousemove", "--sync", x0 + (x1 - x0) * step // steps, y0 + (y1 - y0) * step // steps)
    # Keep the drag moving over the field until the target answers, as a hand would.
    for nudge in range(75):
        if target.felt():
            break
        xdotool("mousemove", "--sync", x1 + 3 * (nudge % 2), y1)
    else:
        raise AssertionError(f"the target never felt the drag; the pointer: {xdotool('getmouselocation').strip()}")
    xdotool("mousemove", "--sync", x1 + 4, y1)  # one more position, answered before the drop
    before_drop()
    xdotool("mouseup", 1)


def centre(node):
    """The middle of an object in the X server's pixels; the accessibility bus gives logical ones."""
    x, y, width, height = node.extents
    dx, dy = node.shift()
    return int(Node.scale * (x + width / 2)) + dx, int(Node.scale * (y + height / 2)) + dy


def window_position(window_id):
    """Where a window's inside is on the screen, as the X server knows it."""
    info = subprocess.run(["xwininfo", "-id", str(window_id)], capture_output=True, text=True, check=True).stdout
    return tuple(int(line.split(":")[1]) for line in info.splitlines() if "Absolute upper-left" in line)


def shift_of(window_id, frame):
    """How far a window is from where its program believes it is: under weston's X window
    manager the toolkit is not told where the compositor put its window."""
    x, y = window_position(window_id)
    return x - round(Node.scale * frame.extents[0]), y - round(Node.scale * frame.extents[1])


def ask_probe(*args):
    """One answer of the attacker's probe (probe.py), as words."""
    return subprocess.run([*PROBE, *args], capture_output=True, text=True, timeout=10).stdout.split()


class Probe:
    """A running attacker's probe, its answers collected line by line."""

    def __init__(self, *args):
        self.process = subprocess.Popen([*PROBE, *map(str, args)], stdout=subprocess.PIPE, text=True)
        self.lines = queue.Queue()
        self.seen = []
        threading.Thread(target=self._read, daemon=True).start()
        self.wait_for_line("READY")

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))

    def wait_for_line(self, wanted, timeout=15):
        deadline = time.monotonic() + timeout
        while wanted not in self.seen:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError(f"the probe never said {wanted}; it said {self.seen}")
            try:
                self.seen.append(self.lines.get(timeout=remaining))
            except queue.Empty:
                pass

    def said(self):
        while not self.lines.empty():
            self.seen.append(self.lines.get())
        return self.seen

    def stop(self):
        self.process.kill()
        self.process.wait()
