"""Another program on the same display, acting as an attacker would. Prints one line per
answer it gets ("GOT:<text>" or "EMPTY"), so that a test can see what leaked.
  probe.py spy X Y W H [--accept]  a window that declares itself a drop target and asks for
                                   the drag's data at every pointer move over it; with
                                   --accept it takes drops, never asks for the data then,
                                   and asks a second later ("LATE" first)
  probe.py poll                    asks for the drag's data every 20 ms, with the current
                                   time and with recent server time stamps
  probe.py read SELECTION TARGET   reads PRIMARY or CLIPBOARD once as TARGET
  probe.py own TEXT                owns CLIPBOARD and serves TEXT until killed
  probe.py keys                    a key logger: every raw key press and release of any device
                                   ("P 38", "R 38"), after "READY"
  probe.py down                    the keycodes held down on the server now ("DOWN 38 50")
  probe.py cursor                  the pointer image the server shows now: its size, how many
                                   pixels are opaque and the colour of the first of them"""

import os
import sys
import time

from Xlib import X, Xatom, display
from Xlib.protocol import event

d = display.Display()
root = d.screen().root
atom = d.intern_atom


def say(line):
    print(line, flush=True)


def new_window(x=0, y=0, width=1, height=1):
    window = root.create_window(x, y, width, height, 0, d.screen().root_depth, override_redirect=1,
                                event_mask=X.PropertyChangeMask)
    return window


def server_time(window):
    """A property change tells the server's time now."""
    window.change_property(atom("PROBE_STAMP"), Xatom.STRING, 8, b"")
    while True:
        e = d.next_event()
        if e.type == X.PropertyNotify:
            return e.time


def convert(window, selection, target, when, on_other=lambda e: None):
    """Asks for a selection and waits up to a second for the answer."""
    window.convert_selection(selection, target, atom("PROBE_DATA"), when)
    d.flush()
    deadline = time.monotonic() + 1
    while time.monotonic() < deadline:
        if not d.pending_events():
            time.sleep(0.002)
            continue
        e = d.next_event()
        if e.type == X.SelectionNotify:
            if e.property == X.NONE:
                return ""
            value = window.get_full_property(e.property, X.AnyPropertyType)
            if value is None:
                return ""
            if value.property_type == Xatom.ATOM:
                return " ".join(d.get_atom_name(a) for a in value.value)
            return bytes(value.value).decode("utf-8", "replace")
        on_other(e)
    return ""


def report(text):
    say("GOT:" + text if text else "EMPTY")


def client_message(to, kind, data):
    target = d.create_resource_object("window", to)
    target.send_event(event.ClientMessage(window=target, client_type=kind, data=(32, (data + [0] * 5)[:5])))
    d.flush()


def spy(x, y, width, height, accept):
    window = new_window(x, y, width, height)
    window.change_property(atom("XdndAware"), Xatom.ATOM, 32, [5])
    window.change_property(atom("_NET_WM_PID"), Xatom.CARDINAL, 32, [os.getpid()])  # its sleep is seen
    window.map()
    d.flush()
    say("READY")
    position, drop, selection, utf8 = atom("XdndPosition"), atom("XdndDrop"), atom("XdndSelection"), atom("UTF8_STRING")
    answered = {}

    def handle(e):
        if e.type != X.ClientMessage:
            return None
        values = e.data[1]
        if e.client_type == position:
            client_message(values[0], atom("XdndStatus"), [window.id, 3 if accept else 0, 0, 0,
                                                           atom("XdndActionCopy") if accept else 0])
            say("POSITION")
            answered["asked"] = values[3]
        elif e.client_type == drop:
            say("DROPPED")
            answered["dropped"] = values[2]

    while True:
        handle(d.next_event())
        if "asked" in answered:
            report(convert(window, selection, utf8, answered.pop("asked"), handle))
        if "dropped" in answered and accept:
            dropped = answered.pop("dropped")
            time.sleep(1)  # a target that never finishes asks a second later
            say("LATE")
            report(convert(window, selection, utf8, dropped, handle))
            report(convert(window, selection, utf8, X.CurrentTime, handle))


def poll():
    window = new_window()
    selection, utf8 = atom("XdndSelection"), atom("UTF8_STRING")
    say("READY")
    while True:
        now = server_time(window)
        for when in (X.CurrentTime, now, now - 50, now - 500):
            text = convert(window, selection, utf8, when)
            if text:
                report(text)
        time.sleep(0.02)


def own(text):
    window = new_window()
    clipboard, utf8, targets = atom("CLIPBOARD"), atom("UTF8_STRING"), atom("TARGETS")
    window.set_selection_owner(clipboard, server_time(window))
    d.flush()
    say("READY")
    while True:
        e = d.next_event()
        if e.type == X.SelectionClear:
            say("LOST")
        elif e.type == X.SelectionRequest:
            prop = e.property
            if e.target == utf8:
                e.requestor.change_property(prop, utf8, 8, text.encode())
            elif e.target == targets:
                e.requestor.change_property(prop, Xatom.ATOM, 32, [targets, utf8])
            else:
                prop = X.NONE
            e.requestor.send_event(event.SelectionNotify(time=e.time, requestor=e.requestor, selection=e.selection,
                                                         target=e.target, property=prop))
            d.flush()


def keys():
    """A key logger as malware starts one: XI2's raw key events, with what a root-window watcher of every
    device selects beside them (its key, button, pointer and focus events)."""
    import struct
    from Xlib.ext import xinput
    watch = (xinput.KeyPressMask | xinput.KeyReleaseMask | xinput.ButtonPressMask | xinput.ButtonReleaseMask |
             xinput.MotionMask | xinput.EnterMask | xinput.LeaveMask | xinput.FocusInMask | xinput.FocusOutMask |
             xinput.HierarchyChangedMask | xinput.DeviceChangedMask | xinput.PropertyEventMask)
    root.xinput_select_events([(xinput.AllDevices, watch),
                               (xinput.AllMasterDevices, xinput.RawKeyPressMask | xinput.RawKeyReleaseMask)])
    d.sync()
    say("READY")
    while True:
        e = d.next_event()
        if getattr(e, "evtype", None) in (xinput.RawKeyPress, xinput.RawKeyRelease):
            detail = struct.unpack_from("=I", e.data, 6)[0]  # after the device and the time
            say(f"{'P' if e.evtype == xinput.RawKeyPress else 'R'} {detail}")


if __name__ == "__main__":
    mode, args = sys.argv[1], sys.argv[2:]
    if mode == "spy":
        spy(*map(int, args[:4]), accept="--accept" in args)
    elif mode == "poll":
        poll()
    elif mode == "read":
        report(convert(new_window(), atom(args[0]), atom(args[1]), X.CurrentTime))
    elif mode == "own":
        own(args[0])
    elif mode == "keys":
        keys()
    elif mode == "down":
        keymap = d.query_keymap()
        say(" ".join(["DOWN"] + [str(byte * 8 + bit) for byte, bits in enumerate(keymap) for bit in range(8)
                                 if bits >> bit & 1]))
    elif mode == "cursor":
        d.xfixes_query_version()
        image = d.xfixes_get_cursor_image(root)
        opaque = [pixel for pixel in image.cursor_image if pixel >> 24 == 0xFF]
        say(f"{image.width}x{image.height} {len(opaque)} {opaque[0] & 0xFFFFFF:06X}" if opaque else
            f"{image.width}x{image.height} 0 -")
