"""Another program on the same display tries every road by which the password could leave
Mirvane other than the drop into the target the person chose, and gets nothing."""

import os
import re
import signal
import subprocess
import tempfile
import threading
import time
import unittest

import pyatspi

from desktop import ask_probe, centre, drag, DropTarget, Probe, Program, PROGRAM, select_all, wait_for, xdotool

SECRET = "Zq7#Vexpaq-9Lr!w"


def read_selection(selection, target):
    answer = " ".join(ask_probe("read", selection, target))
    return answer[len("GOT:"):] if answer.startswith("GOT:") else ""


def accessible_texts(node, found):
    """Every name, description and text anywhere below an accessible object, hidden or not."""
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is None:
            continue
        found += [child.name or "", child.description or ""]
        try:
            found.append(child.queryText().getText(0, -1))
        except NotImplementedError:
            pass
        accessible_texts(child, found)
    return found


def busctl(*args):
    return subprocess.run(["busctl", "--user", *args], check=True, capture_output=True, text=True).stdout


def launched(test, command, env):
    """The program started by hand, its window shown; killed as the test ends."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    test.addCleanup(process.wait)
    test.addCleanup(process.kill)
    wait_for("the window", lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid)],
                                                  capture_output=True).stdout.strip())
    return process


def applications_of(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    return [app for app in map(desktop.getChildAtIndex, range(desktop.childCount))
            if app is not None and app.get_process_id() == pid]


class Leaks(unittest.TestCase):
    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.stop)
        self.program.move_clear_of_other_programs()

    def type_secret(self):
        line = self.program.password_line()
        line.click()
        wait_for("the focus", lambda: line.accessible.getState().contains(pyatspi.STATE_FOCUSED))
        xdotool("type", "--delay", 30, SECRET)
        wait_for("every character", lambda: line.character_count() == len(SECRET))
        return line

    def mask(self, on):
        self.program.menu("View", "Password Mask")
        if on:
            wait_for("the mask on", lambda: self.program.text_line() is None)
        else:
            return wait_for("the plain line", self.program.text_line)

    def test_only_the_drop_target_reads_the_drag_not_a_window_in_its_path_nor_a_poller(self):
        target = DropTarget()
        self.addCleanup(target.stop)
        start = select_all(self.type_secret())
        end = target.centre()
        # A window that declares itself a drop target, across the drag's path.
        middle = (start[0] + end[0]) // 2
        spy = Probe("spy", middle - 80, min(start[1], end[1]) - 60, 160, abs(start[1] - end[1]) + 120)
        self.addCleanup(spy.stop)
        poller = Probe("poll")
        self.addCleanup(poller.stop)

        drag(start, target)
        self.assertEqual(target.wait_for_text(), SECRET)
        self.assertIn("POSITION", spy.said(), "the drag passed over the spy and it asked")
        time.sleep(1.0)  # the poller goes on asking after the drop; give it a second
        leaked = [line for line in spy.said() + poller.said() if line.startswith("GOT:")]
        self.assertEqual(leaked, [])

    def test_a_drop_target_stalled_over_the_drop_still_receives_the_password(self):
        target = DropTarget()
        self.addCleanup(target.stop)
        state = lambda: open(f"/proc/{target.process.pid}/stat").read().rsplit(")", 1)[1].split()[0]

        def stall():  # as a loaded machine holds a program back, past the target's moment
            os.kill(target.process.pid, signal.SIGSTOP)
            wait_for("the target stopped", lambda: state() == "T")
            threading.Timer(1.5, os.kill, (target.process.pid, signal.SIGCONT)).start()
        drag(select_all(self.type_secret()), target, before_drop=stall)
        self.assertEqual(target.wait_for_text(timeout=10), SECRET)

    def test_a_drop_target_that_never_finishes_finds_nothing_a_second_later(self):
        start = select_all(self.type_secret())
        spy = Probe("spy", 60, 60, 300, 200, "--accept")
        self.addCleanup(spy.stop)
        spy.centre = lambda: (210, 160)  # the middle of its window
        spy.felt = lambda: "POSITION" in spy.said() or time.sleep(0.2)
        drag(start, spy)
        spy.wait_for_line("LATE")
        spy.wait_for_line("EMPTY")
        # Its ask while the drag passed over it may be answered once it has the drop; no later one.
        late = spy.said()[spy.said().index("LATE"):]
        self.assertFalse([line for line in late if line.startswith("GOT:")], spy.said())

    def test_the_plain_line_sets_no_primary_and_its_copy_is_secret_and_withdrawn(self):
        self.type_secret()
        plain = self.mask(on=False)
        plain.click()
        xdotool("key", "ctrl+a")
        self.assertEqual(read_selection("PRIMARY", "UTF8_STRING"), "")
        x, y, width, _ = plain.extents  # and a selection made with the mouse
        xdotool("mousemove", "--sync", x + 4, y + 8)
        xdotool("mousedown", 1)
        xdotool("mousemove", "--sync", x + width - 30, y + 8)
        xdotool("mouseup", 1)
        self.assertEqual(read_selection("PRIMARY", "UTF8_STRING"), "")

        xdotool("key", "ctrl+a", "ctrl+c")
        wait_for("the copy on the clipboard", lambda: read_selection("CLIPBOARD", "UTF8_STRING") == SECRET)
        self.assertIn("x-kde-passwordManagerHint", read_selection("CLIPBOARD", "TARGETS"))
        self.assertEqual(read_selection("CLIPBOARD", "x-kde-passwordManagerHint"), "secret")
        self.program.tool("Clear", "the copy withdrawn on Clear", lambda: read_selection("CLIPBOARD", "UTF8_STRING") == "")

        xdotool("type", "--delay", 30, SECRET)
        xdotool("key", "ctrl+a", "ctrl+c")
        copied = time.monotonic()
        wait_for("the copy on the clipboard", lambda: read_selection("CLIPBOARD", "UTF8_STRING") == SECRET)
        wait_for("the copy withdrawn", lambda: read_selection("CLIPBOARD", "UTF8_STRING") == "", timeout=20,
                 interval=0.5)
        self.assertGreater(time.monotonic() - copied, 9)

    def test_a_right_click_in_the_password_line_leaves_another_programs_clipboard_alone(self):
        owner = Probe("own", "theirs")
        self.addCleanup(owner.stop)
        line = self.program.password_line()
        x, y = centre(line)
        xdotool("mousemove", "--sync", x, y)
        xdotool("click", 3)
        wait_for("the right click to reach the line",
                 lambda: line.accessible.getState().contains(pyatspi.STATE_FOCUSED))
        self.assertEqual(read_selection("CLIPBOARD", "UTF8_STRING"), "theirs")
        self.assertNotIn("LOST", owner.said())


class AccessibilityBus(unittest.TestCase):
    def test_switched_on_by_another_program_the_program_stays_off_the_bus(self):
        status = ["org.a11y.Bus", "/org/a11y/bus", "org.a11y.Status", "IsEnabled", "b"]
        busctl("set-property", *status, "true")
        self.addCleanup(busctl, "set-property", *status, "false")
        address = busctl("call", "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress").split('"')[1]
        subprocess.run(["xprop", "-root", "-f", "AT_SPI_BUS", "8s", "-set", "AT_SPI_BUS", address], check=True)
        self.addCleanup(subprocess.run, ["xprop", "-root", "-remove", "AT_SPI_BUS"])
        target = DropTarget()  # another program, found on the bus
        self.addCleanup(target.stop)
        for variables in [{}, {"AT_SPI_BUS_ADDRESS": address}, {"QT_QPA_PLATFORMTHEME": "gtk3"}]:
            env = {**os.environ, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", **variables}
            process = launched(self, [PROGRAM], env)
            with self.subTest(**variables), self.assertRaises(AssertionError):
                wait_for("the program on the bus", lambda: applications_of(process.pid), timeout=4)
            process.kill()

    def test_asked_for_the_bus_shows_neither_line_s_text_nor_any_piece_of_the_password(self):
        address = busctl("call", "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress").split('"')[1]
        traffic = tempfile.TemporaryFile("w+")  # every message on the bus, events and replies
        monitor = subprocess.Popen(["dbus-monitor", "--address", address], stdout=traffic)
        self.addCleanup(monitor.wait)
        self.addCleanup(monitor.terminate)
        listening = (lambda event: None, "object:text-changed", "object:property-change")  # so events are sent
        pyatspi.Registry.registerEventListener(*listening)
        self.addCleanup(pyatspi.Registry.deregisterEventListener, *listening)
        program = Program()
        self.addCleanup(program.stop)
        line, clicked = program.password_line(), "zq7vexpaq9lr"
        for typed, caption in enumerate(clicked, start=1):
            program.key(caption).click()
            wait_for(f"{caption} typed", lambda: line.character_count() == typed)
        mask = next(node for node in program.frame.descendants("menu item") if node.name == "Password Mask")
        texts = []
        for shown in (True, False):  # the command run by another program, through the bus
            mask.accessible.queryAction().doAction(0)
            wait_for(f"the plain line shown: {shown}", lambda: (program.text_line() is not None) == shown)
            if shown:
                with self.assertRaises(NotImplementedError):
                    program.text_line().accessible.queryText()
            self.assertEqual(line.text(), "************")
            texts += accessible_texts(program.frame.accessible.getApplication(), [])
        self.assertTrue(texts)
        monitor.terminate()
        monitor.wait()
        traffic.seek(0)
        texts.append(traffic.read())
        self.assertTrue("Password Mask" in texts[-1], "the monitor heard the bus")
        self.assertFalse([text for text in texts if clicked in text or clicked[:8] in text or clicked[4:] in text])


class Hardening(unittest.TestCase):
    def test_the_process_writes_no_core_and_cannot_be_attached_to(self):
        # Run as an ordinary user: /proc shows a process as its user's only while it is dumpable,
        # that is while any program of that user may attach to it or read its memory.
        env = {key: value for key, value in os.environ.items() if key != "XDG_RUNTIME_DIR"}
        process = launched(self, ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", PROGRAM], env)
        self.assertEqual(os.stat(f"/proc/{process.pid}/status").st_uid, 0, "the process must not be dumpable")
        limits = open(f"/proc/{process.pid}/limits").read()
        self.assertRegex(limits, re.compile(r"^Max core file size\s+0\s+0\s", re.M))


class Memory(unittest.TestCase):
    """The password is wiped from the process's memory, so that even a core image holds no copy."""

    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.stop)
        self.pid = self.program.process.pid

    def longest_piece_in_memory(self):
        """The longest piece of the password found in a core image, in UTF-16 or UTF-8. Pieces of
        up to seven characters may sit briefly in short strings on the stack; longer ones never."""
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["gcore", "-o", f"{folder}/core", str(self.pid)], check=True, capture_output=True,
                           timeout=120)
            image = open(f"{folder}/core.{self.pid}", "rb").read()
        longest = ""
        for length in range(8, len(SECRET) + 1):
            pieces = [SECRET[i:i + length] for i in range(len(SECRET) - length + 1)]
            found = [piece for piece in pieces for encoding in ("utf-16-le", "utf-8") if piece.encode(encoding) in image]
            if not found:
                break
            longest = found[0]
        return longest

    def test_no_copy_of_the_password_after_clear(self):
        line = Leaks.type_secret(self)
        self.program.tool("Clear", "the line emptied", lambda: line.character_count() == 0)
        self.assertEqual(self.longest_piece_in_memory(), "")

    def test_no_copy_of_the_password_after_a_drag_and_clear(self):
        target = DropTarget()
        self.addCleanup(target.stop)
        self.program.move_clear_of_other_programs()
        line = Leaks.type_secret(self)
        drag(select_all(line), target)
        self.assertEqual(target.wait_for_text(), SECRET)
        self.program.tool("Clear", "the line emptied", lambda: line.character_count() == 0)
        time.sleep(1.0)  # past the moment in which the drop target may ask
        self.assertEqual(self.longest_piece_in_memory(), "")


if __name__ == "__main__":
    unittest.main()
