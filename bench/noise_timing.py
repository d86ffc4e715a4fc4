"""How well a watcher who knows the software tells the noise keys from the person's. On the
current X display, with a key logger of the X server recording every press and release with
the server's time: first the real program's noise alone, its password line focused and nobody
typing, from which the watcher learns the noise's holds, gaps, overlaps and keys (no labels);
then, per typist, a scripted person typing fresh passwords on the physical keyboard among the
noise, each of which must still arrive whole in a drop target. Each attack labels every press
of the record the person's or noise; printed are its balanced accuracy, the passwords it reads
back exactly, and the search it leaves.

  noise_timing.py                 5 passwords for each typist
  noise_timing.py --runs 3        fewer of them
  noise_timing.py --typists fast  some typists only"""

import argparse
import math
import os
import random
import statistics
import sys
import threading
import time

from Xlib import X, XK, Xatom, display
from Xlib.ext import record, xtest
from Xlib.protocol import rq

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
sys.path.insert(0, here)
# Unless told otherwise, the program and drop target of the build tree beside this one.
build = os.path.join(here, "..", "build")
os.environ.setdefault("MIRVANE_PROGRAM", os.path.join(build, "src", "mirvane"))
os.environ.setdefault("MIRVANE_DROP_TARGET", os.path.join(build, "tests", "drop_target"))

from common_words import WORDS  # noqa: E402
from desktop import DropTarget, Program, drag, select_all, wait_for, xdotool  # noqa: E402

RUNS = 5
LEARN = 20.0  # s of the noise alone
PERMUTATIONS = 1000
ALPHABET = "abcdefghijklmnopqrstuvwxyz0123456789"
OPTION = "Hide password in amongst random characters"
SIGMA = 0.35  # of the slow typist's log-normal holds and gaps
# A label the likelihood leaves at odds of at least 1 to 20 for the person is one it is unsure of.
UNSURE = -math.log(20)


class KeyLogger:
    """A second client recording the X server's key stream: (server ms, pressed, keycode)."""

    def __init__(self):
        self.events = []
        control = display.Display()
        self.context = control.record_create_context(0, [record.AllClients], [{
            "core_requests": (0, 0), "core_replies": (0, 0), "ext_requests": (0, 0, 0, 0),
            "ext_replies": (0, 0, 0, 0), "delivered_events": (0, 0),
            "device_events": (X.KeyPress, X.KeyRelease), "errors": (0, 0), "client_started": False,
            "client_died": False}])
        control.sync()  # the context exists before the other connection enables it
        self.control = control  # the context lives as long as the connection that made it
        recorder = display.Display()
        started = threading.Event()

        def handle(reply):
            if reply.category == record.StartOfData:
                started.set()
            if reply.category != record.FromServer:
                return
            data = reply.data
            while data:
                e, data = rq.EventField(None).parse_binary_value(data, recorder.display, None, None)
                if e.type in (X.KeyPress, X.KeyRelease):
                    self.events.append((e.time, e.type == X.KeyPress, e.detail))

        threading.Thread(target=recorder.record_enable_context, args=(self.context, handle),
                         daemon=True).start()
        if not started.wait(10):
            raise SystemExit("the key logger never started")


class Keyboard:
    """The physical keyboard: XTest key events from the benchmark's own connection, each with
    the benchmark's clock around it and a way to turn that clock into the server's."""

    def __init__(self):
        self.d = display.Display()
        self.window = self.d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent,
                                                         event_mask=X.PropertyChangeMask)

    def code(self, character):
        return self.d.keysym_to_keycode(XK.string_to_keysym(character))

    def character(self, code):
        return XK.keysym_to_string(self.d.keycode_to_keysym(code, 0)) or "?"

    def server_offset(self):
        """Server ms minus benchmark ms, from the quickest of a few property changes."""
        best = None
        for _ in range(7):
            before = time.monotonic()
            self.window.change_property(self.d.intern_atom("NOISE_TIMING_STAMP"), Xatom.STRING, 8, b"")
            while True:
                e = self.d.next_event()
                if e.type == X.PropertyNotify:
                    break
            after = time.monotonic()
            if best is None or after - before < best[0]:
                best = (after - before, e.time - 500 * (before + after))
        return best[1]

    def send(self, pressed, code):
        """Sends one key event; returns the benchmark's clock before and after the server took it."""
        before = time.monotonic()
        xtest.fake_input(self.d, X.KeyPress if pressed else X.KeyRelease, code)
        self.d.sync()
        return before, time.monotonic()


# The typists: each gives n holds and n - 1 gaps from one press to the next, in seconds.

def benchmark_timing(n):
    return [random.uniform(0.060, 0.150) for _ in range(n)], [random.uniform(0.120, 0.300) for _ in range(n - 1)]


def slow_timing(n):
    return ([random.lognormvariate(math.log(0.120), SIGMA) for _ in range(n)],
            [random.lognormvariate(math.log(0.550), SIGMA) for _ in range(n - 1)])


def fast_timing(n):
    # A hold of 90 ms never reaches a press 150 ms later, so a third of the keys roll over:
    # held until 20 to 60 ms after the next one goes down.
    gaps = [random.gauss(0.150, 0.012) for _ in range(n - 1)]
    holds = [random.gauss(0.090, 0.008) for _ in range(n)]
    for i, gap in enumerate(gaps):
        if random.random() < 1 / 3:
            holds[i] = gap + random.uniform(0.020, 0.060)
    return holds, gaps


def burst_timing(n):
    holds, gaps, left = [random.uniform(0.060, 0.150) for _ in range(n)], [], random.randint(3, 5)
    for _ in range(n - 1):
        left -= 1
        if left:
            gaps.append(random.gauss(0.130, 0.008))
        else:
            gaps.append(random.uniform(0.8, 1.5))
            left = random.randint(3, 5)
    return holds, gaps


def random_password():
    """16 to 20 letters and digits, no character twice running: a key is never pressed while it is down."""
    text, length = "", random.randint(16, 20)
    while len(text) < length:
        character = random.choice(ALPHABET)
        if not text or character != text[-1]:
            text += character
    return text


def word_password():
    word = random.choice([w for w in WORDS if not any(a == b for a, b in zip(w, w[1:]))])
    first = random.choice("0123456789")
    return word + first + random.choice([d for d in "0123456789" if d != first])


TYPISTS = {"benchmark": (benchmark_timing, random_password), "slow": (slow_timing, random_password),
           "fast": (fast_timing, random_password), "bursts": (burst_timing, random_password),
           "word": (benchmark_timing, word_password)}


def sleep_until(when):
    while (left := when - time.monotonic()) > 0:
        time.sleep(min(left, 0.05))


def schedule(text, timing, start):
    """(time, pressed, character) of every key event, in time order."""
    holds, gaps = timing(len(text))
    events, when = [], start
    for i, character in enumerate(text):
        hold = max(0.010, holds[i])
        if i + 2 < len(text) and text[i + 2] == character:  # released before it is pressed again
            hold = min(hold, gaps[i] + gaps[i + 1] - 0.015)
        events += [(when, True, character), (when + hold, False, character)]
        when += max(0.020, gaps[i]) if i < len(gaps) else 0
    return sorted(events)


def type_text(keyboard, text, timing, start):
    """Types as the scripted person; returns for each press its keycode, the earliest and latest
    server ms it can have, and the hold as sent (ms)."""
    offset = keyboard.server_offset()
    presses, sent = [], {}
    for when, pressed, character in schedule(text, timing, start):
        sleep_until(when)
        code = keyboard.code(character)
        before, after = keyboard.send(pressed, code)
        if pressed:
            sent[code] = len(presses)
            presses.append([code, 1000 * before + offset, 1000 * after + offset, None])
        else:
            press = presses[sent.pop(code)]
            press[3] = 500 * (before + after) + offset - 0.5 * (press[1] + press[2])
    return presses


def label(events, presses):
    """Finds the person's presses in the stream: each is the first unmatched press of its keycode
    within the server time the benchmark sent it in. Returns their indices; for each press the
    logger never saw, whether its key was down already (the server drops such a press); and how
    far each recorded hold is from the one sent (ms), which a busy machine widens."""
    taken, lost, errors = set(), [], []
    for code, earliest, latest, hold in presses:
        found = next((i for i, (when, pressed, c) in enumerate(events) if pressed and c == code
                      and i not in taken and earliest - 3 <= when <= latest + 3), None)
        if found is None:
            last = [pressed for when, pressed, c in events if c == code and when <= latest + 3][-1:]
            lost.append(last == [True])  # whether the key was down already
            continue
        taken.add(found)
        release = next((t for t, pressed, c in events[found + 1:] if c == code and not pressed), None)
        if release is not None:
            errors.append(abs(release - events[found][0] - hold))
    return taken, lost, errors


def press_features(events):
    """Per press of the record: event index, server ms, keycode, hold (ms, None if never released),
    gap before and after (ms to the neighbouring presses, None at the ends) and whether another
    key was down when it went down."""
    presses, down = [], {}
    for i, (when, pressed, code) in enumerate(events):
        if pressed:
            down[code] = len(presses)
            presses.append({"event": i, "time": when, "code": code, "hold": None, "overlap": len(down) > 1})
        elif code in down:
            press = presses[down.pop(code)]
            press["hold"] = when - press["time"]
    for j, press in enumerate(presses):
        press["before"] = press["time"] - presses[j - 1]["time"] if j else None
        press["after"] = presses[j + 1]["time"] - press["time"] if j + 1 < len(presses) else None
    return presses


# The watcher's models: a smoothed density of the log of each timing, and a rate for the overlap.

TIMINGS = ("hold", "before", "after")
FLOOR = (math.log(0.5), math.log(5000))  # ms; a little of every density is spread evenly over it


def log_of(ms):
    return math.log(max(0.5, ms))


class Kernel:
    """A kernel density of log ms, fitted from a sample."""

    def __init__(self, values):
        self.logs = [log_of(v) for v in values]
        spread = statistics.pstdev(self.logs) if len(self.logs) > 1 else 0.3
        self.width = max(0.04, 1.06 * spread * len(self.logs) ** -0.2)

    def log_density(self, ms):
        x, h = log_of(ms), self.width
        total = sum(math.exp(-0.5 * ((x - v) / h) ** 2) for v in self.logs)
        total /= len(self.logs) * h * math.sqrt(2 * math.pi)
        return math.log(0.99 * total + 0.01 / (FLOOR[1] - FLOOR[0]))


class LogNormal:
    def __init__(self, values):
        logs = [log_of(v) for v in values] or [math.log(100)]
        self.mu = statistics.fmean(logs)
        self.sigma = max(0.1, statistics.pstdev(logs)) if len(logs) > 1 else 1.0

    def log_density(self, ms):
        z = (log_of(ms) - self.mu) / self.sigma
        total = math.exp(-0.5 * z * z) / (self.sigma * math.sqrt(2 * math.pi))
        return math.log(0.99 * total + 0.01 / (FLOOR[1] - FLOOR[0]))


class Model:
    """A density for each timing, the rate of presses while another key is down, and the keys."""

    def __init__(self, presses, density):
        self.timings = {name: density([p[name] for p in presses if p[name] is not None]) for name in TIMINGS}
        self.overlap = (sum(p["overlap"] for p in presses) + 1) / (len(presses) + 2)
        self.codes = {p["code"] for p in presses}

    def log_likelihood(self, press):
        total = sum(self.timings[name].log_density(press[name]) for name in TIMINGS if press[name] is not None)
        return total + math.log(self.overlap if press["overlap"] else 1 - self.overlap)


def learn_noise(logger, keyboard):
    """The watcher's record of the noise alone, and what it learns from it."""
    program = Program()
    try:
        program.move_clear_of_other_programs()
        focus_with_noise(program)
        first = len(logger.events)
        time.sleep(LEARN)
        events = logger.events[first:]
    finally:
        program.stop()
    presses = press_features(events)[1:-1]  # the ends' gaps cross the record's edges
    noise = Model(presses, Kernel)
    gaps = sorted(p["before"] for p in presses)
    noise.gap_range = (gaps[0], gaps[-1])
    holds = sorted(p["hold"] for p in presses if p["hold"] is not None)
    median = lambda values: statistics.median(values) if values else float("nan")
    print(f"noise alone for {LEARN:.0f} s: {len(presses)} presses; hold {holds[0]:.0f}-{median(holds):.0f}-"
          f"{holds[-1]:.0f} ms (min-median-max), gap {gaps[0]:.0f}-{median(gaps):.0f}-{gaps[-1]:.0f} ms, "
          f"{noise.overlap:.0%} while another key is down; {len(noise.codes)} keys: "
          f"{''.join(sorted(keyboard.character(c) for c in noise.codes))}", flush=True)
    return noise


def focus_with_noise(program):
    program.menu("Options", OPTION)
    line = program.password_line()
    for attempt in range(3):  # a click lost on a busy desktop, as a person clicks again
        xdotool("windowactivate", "--sync", program.window_id)
        line.click()
        try:
            wait_for("noise in the line", lambda: line.character_count() > 3, timeout=5)
            return line
        except AssertionError:
            if attempt == 2:
                raise


# The attacks: each returns, for the presses it is given, a label (True: the person's) and
# whether it is sure of it.

def attack_threshold(presses, truth):
    """The best single cut on hold, gap before or gap after, chosen knowing the labels, which
    favours the watcher; it trusts its own cut, so it is sure of every label."""
    best = None
    for name in TIMINGS:
        known = [(p[name], t) for p, t in zip(presses, truth) if p[name] is not None]
        accuracy, cut, above = best_split([v for v, _ in known], [t for _, t in known])
        if best is None or accuracy > best[0]:
            best = (accuracy, name, cut, above)
    _, name, cut, above = best
    labels = [cut is not None and p[name] is not None and (p[name] > cut) == above for p in presses]
    return labels, [True] * len(presses), name


def attack_chain(presses, noise):
    """The longest chain of presses, each within the noise's learned gap range of the one before
    it in the chain, is noise: the noise keeps its own rhythm, and the person's presses fall
    between its links. A key the noise never used is the person's. Both are rules, sure of
    what they say."""
    low, high = noise.gap_range
    length, back = [1] * len(presses), [None] * len(presses)
    for j, press in enumerate(presses):
        for i in range(j - 1, -1, -1):
            gap = press["time"] - presses[i]["time"]
            if gap > high:
                break
            if gap >= low and length[i] + 1 > length[j]:
                length[j], back[j] = length[i] + 1, i
    chain, j = set(), max(range(len(presses)), key=length.__getitem__, default=None)
    while j is not None:
        chain.add(j)
        j = back[j]
    labels = [j not in chain or p["code"] not in noise.codes for j, p in enumerate(presses)]
    return labels, [True] * len(presses)


def split(presses, noise, person):
    ratios = [math.inf if p["code"] not in noise.codes else person.log_likelihood(p) - noise.log_likelihood(p)
              for p in presses]
    return [r > 0 for r in ratios], [r > 0 or r < UNSURE for r in ratios]


def attack_likelihood(presses, noise):
    """The log-likelihood ratio of each press under a broad person model, a log-normal fitted
    to every press, against the learned noise."""
    return split(presses, noise, Model(presses, LogNormal))


def attack_refit(presses, noise, rounds=5):
    """As the likelihood, then the person model fitted again to the presses the last split gave
    the person, and split again."""
    labels, sure = attack_likelihood(presses, noise)
    for _ in range(rounds):
        mine = [p for p, is_person in zip(presses, labels) if is_person]
        if len(mine) < 3:
            break
        labels, sure = split(presses, noise, Model(mine, LogNormal))
    return labels, sure


def best_split(values, labels):
    """The best balanced accuracy of one threshold, either way: (accuracy, threshold, person above)."""
    pairs = sorted(zip(values, labels))
    return best_sorted([v for v, _ in pairs], [t for _, t in pairs])


def best_sorted(values, labels):
    people = sum(labels)
    noise = len(labels) - people
    best = (0.5, None, True)
    if not people or not noise:
        return best
    below_people = below_noise = 0
    for i, (value, is_person) in enumerate(zip(values, labels)):
        below_people += is_person
        below_noise += not is_person
        if i + 1 < len(values) and values[i + 1] == value:
            continue
        above = 0.5 * ((people - below_people) / people + below_noise / noise)  # person above the cut
        for accuracy, person_above in ((above, True), (1 - above, False)):
            if accuracy > best[0]:
                best = (accuracy, value + 0.5, person_above)
    return best


def shuffled_p99(presses, truth):
    """The same search as the threshold attack's, best of the three timings, on shuffled labels."""
    columns = []
    for name in TIMINGS:
        order = sorted((p[name], j) for j, p in enumerate(presses) if p[name] is not None)
        columns.append(([v for v, _ in order], [j for _, j in order]))
    labels, found = list(truth), []
    for _ in range(PERMUTATIONS):
        random.shuffle(labels)
        found.append(max(best_sorted(values, [labels[j] for j in where])[0] for values, where in columns))
    return statistics.quantiles(found, n=100)[98]


def balanced_accuracy(labels, truth):
    people = sum(truth)
    hit = sum(a and b for a, b in zip(labels, truth)) / people
    rejected = sum(not a and not b for a, b in zip(labels, truth)) / (len(truth) - people)
    return 0.5 * (hit + rejected)


def subsequence(word, text):
    it = iter(text)
    return all(character in it for character in word)


def word_rank(word, text):
    """Where the word comes when the list is tried in order and only words found in order among
    the characters count; None when the characters do not hold it."""
    if not subsequence(word, text):
        return None
    return 1 + sum(subsequence(w, text) for w in WORDS[:WORDS.index(word)])


def arrival(program, line, password):
    """What the program holds once the option is off: the line's stars and the dropped text."""
    program.menu("Options", OPTION)
    try:
        wait_for("the line rebuilt", lambda: line.character_count() == len(password), timeout=3)
    except AssertionError:
        pass  # reported below as the count it shows
    stars = line.character_count()
    target = DropTarget()
    try:
        drag(select_all(line), target)
        dropped = target.wait_for_text()
    finally:
        target.stop()
    return stars, "exact" if dropped == password else f"WRONG ({len(dropped)} characters)"


def one_run(typist, number, logger, keyboard, noise):
    timing, make_password = TYPISTS[typist]
    password = make_password()
    program = Program()
    try:
        program.move_clear_of_other_programs()
        line = focus_with_noise(program)
        start = time.monotonic() + 0.5
        first = len(logger.events)
        sent = type_text(keyboard, password, timing, start)
        time.sleep(0.6)  # the last keys' releases, longer than any hold, reach the logger
        events = logger.events[first:]
        stars, dropped = arrival(program, line, password)
    finally:
        program.stop()

    person, lost, errors = label(events, sent)
    # The presses from the person's first to last: the watcher is told where the password is,
    # which favours the watcher. Their timings still reach the presses just outside.
    span = (sent[0][1] - 3, sent[-1][2] + 3)
    presses = [p for p in press_features(events) if span[0] <= p["time"] <= span[1]]
    truth = [p["event"] in person for p in presses]
    characters = [keyboard.character(p["code"]) for p in presses]
    k = len(password)
    word = password[:-2] if typist == "word" else None
    attacks = {"none": ([True] * len(presses), [True] * len(presses))}
    labels, sure, feature = attack_threshold(presses, truth)
    attacks["threshold"] = (labels, sure)
    attacks["chain"] = attack_chain(presses, noise)
    attacks["likelihood"] = attack_likelihood(presses, noise)
    attacks["refit"] = attack_refit(presses, noise)
    result = {}
    for name, (labels, sure) in attacks.items():
        read = "".join(c for c, is_person in zip(characters, labels) if is_person)
        # What is left to search: the presses it labels the person's and those it labels noise
        # without being sure, n in all; the password is k of them in order, one of C(n, k) ways.
        # When a press of the person's is among those it rules out, the search misses it.
        kept = [is_person or not certain for is_person, certain in zip(labels, sure)]
        n = sum(kept)
        # A press of the person's the server dropped under the noise's hold of the same key
        # leaves its character in the record all the same: what counts is the characters.
        holds = subsequence(password, [c for c, keep in zip(characters, kept) if keep])
        result[name] = {"ba": balanced_accuracy(labels, truth), "recovered": read == password,
                        "bits": math.log2(math.comb(n, k)) if n >= k else None, "holds": holds,
                        "rank": word_rank(word, [c for c, keep in zip(characters, kept) if keep]) if word else None}
    result["threshold"]["p99"] = shuffled_p99(presses, truth)
    result["threshold"]["feature"] = feature
    result["threshold"]["sample"] = (presses, truth)
    print(f"{typist} {number}: {k} characters, {len(person)} seen ({len(lost)} lost, {sum(lost)} under a held "
          f"key), noise {len(presses) - sum(truth)}, holds off by <= {max(errors or [0]):.0f} ms; "
          f"line {stars}/{k} *, drop {dropped}; threshold on {feature}", flush=True)
    return result


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=RUNS)
    parser.add_argument("--typists", nargs="+", choices=list(TYPISTS), default=list(TYPISTS))
    arguments = parser.parse_args()
    logger, keyboard = KeyLogger(), Keyboard()
    noise = learn_noise(logger, keyboard)
    results = {}
    for typist in arguments.typists:
        for number in range(1, arguments.runs + 1):
            for attempt in range(3):
                try:
                    results.setdefault(typist, []).append(one_run(typist, number, logger, keyboard, noise))
                    break
                except AssertionError as error:
                    print(f"{typist} {number}: {error}; again with a fresh program", flush=True)
                    if attempt == 2:
                        raise
    runs = arguments.runs
    print(f"\nper typist and attack, {runs} passwords each: mean balanced accuracy; for the threshold beside it "
          f"the mean shuffled p99,\nthen its best cut on all the typist's runs together against that sample's "
          f"shuffled p99; passwords read back exactly;\nbits left to search (mean where at least the password's "
          f"length is left; in how many runs the search holds the password);\nfor word passwords the true word's "
          f"rank among {len(WORDS)} (- where the search lost it); none: every press kept")
    print(f"{'typist':10} {'attack':10} {'BA':>5} {'p99':>5} {'pooled':>6} {'p99':>5} {'exact':>5} {'bits':>5} "
          f"{'holds':>5}  word rank")
    for typist, runs_of in results.items():
        for name in runs_of[0]:
            rows = [r[name] for r in runs_of]
            bits = [r["bits"] for r in rows if r["bits"] is not None]
            pooled = ""
            if name == "threshold":
                presses = [p for r in rows for p in r["sample"][0]]
                truth = [t for r in rows for t in r["sample"][1]]
                labels = attack_threshold(presses, truth)[0]
                pooled = (f"{statistics.fmean(r['p99'] for r in rows):5.3f} "
                          f"{balanced_accuracy(labels, truth):6.3f} {shuffled_p99(presses, truth):5.3f}")
            ranks = " ".join("-" if r["rank"] is None else str(r["rank"]) for r in rows) if typist == "word" else ""
            bits = f"{statistics.fmean(bits):5.1f}" if bits else "-"
            print(f"{typist:10} {name:10} {statistics.fmean(r['ba'] for r in rows):5.3f} {pooled:>18} "
                  f"{sum(r['recovered'] for r in rows):>3}/{len(rows)} {bits:>5} "
                  f"{sum(r['holds'] for r in rows):>3}/{len(rows)}  {ranks}", flush=True)


if __name__ == "__main__":
    main()
