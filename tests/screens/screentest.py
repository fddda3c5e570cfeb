"""Helpers shared by the screen tests: checks that count failures, tmux panes read back as
cells with colours, the golden screens of tests/fixtures, and PPM pictures."""
import os
import re
import shutil
import subprocess
import sys
import time

SKIP = 77


class Checks:
    def __init__(self):
        self.failed = 0
        self.passed = 0

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
            print(f"ok   {what}")
        else:
            self.failed += 1
            print(f"FAIL {what} {detail}")
        return ok

    def finish(self):
        print(f"{self.passed} passed, {self.failed} failed")
        sys.exit(1 if self.failed else 0)


def need(*tools):
    missing = [t for t in tools if not shutil.which(t)]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed")
        sys.exit(SKIP)


def wait_until(pred, timeout=5.0, step=0.02):
    end = time.time() + timeout
    while time.time() < end:
        v = pred()
        if v:
            return v
        time.sleep(step)
    return pred()


# ---- Colours ---------------------------------------------------------------------------------

CUBE = [0, 95, 135, 175, 215, 255]


def palette256(i):
    classic = [0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
               0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF]
    if i < 16:
        return classic[i]
    if i >= 232:
        v = 8 + 10 * (i - 232)
        return (v << 16) | (v << 8) | v
    i -= 16
    return (CUBE[i // 36] << 16) | (CUBE[(i // 6) % 6] << 8) | CUBE[i % 6]


# Colour names as the fixtures write them; dark and bright shades of a hue share its name.
NAMED = [(0x000000, "black"), (0x000080, "blue"), (0x008000, "green"), (0x008080, "cyan"),
         (0x800000, "red"), (0x800080, "magenta"), (0x808000, "brown"), (0xC0C0C0, "light grey"),
         (0x808080, "dark grey"), (0x0000FF, "blue"), (0x00FF00, "green"), (0x00FFFF, "cyan"),
         (0xFF0000, "red"), (0xFF00FF, "magenta"), (0xFFFF00, "yellow"), (0xFFFFFF, "white")]


def colour_name(rgb):
    def d(a, b):
        return sum((((a >> s) & 255) - ((b >> s) & 255)) ** 2 for s in (16, 8, 0))
    return min(NAMED, key=lambda n: d(rgb, n[0]))[1]


# ---- tmux panes ------------------------------------------------------------------------------

def parse_sgr_line(line, width):
    """One captured line (capture-pane -e) as cells [char, fg, bg]; colours 0xRRGGBB or None."""
    cells = []
    fg = bg = None
    i = 0
    while i < len(line):
        m = re.match(r"\x1b\[([0-9;:]*)m", line[i:])
        if m:
            params = [int(p) if p else 0 for p in re.split(r"[;:]", m.group(1))] or [0]
            j = 0
            while j < len(params):
                p = params[j]
                if p == 0:
                    fg = bg = None
                elif p in (38, 48) and j + 1 < len(params):
                    if params[j + 1] == 5:
                        c = palette256(params[j + 2])
                        j += 2
                    else:
                        c = (params[j + 2] << 16) | (params[j + 3] << 8) | params[j + 4]
                        j += 4
                    if p == 38:
                        fg = c
                    else:
                        bg = c
                elif 30 <= p <= 37:
                    fg = palette256(p - 30)
                elif 40 <= p <= 47:
                    bg = palette256(p - 40)
                elif 90 <= p <= 97:
                    fg = palette256(p - 90 + 8)
                elif 100 <= p <= 107:
                    bg = palette256(p - 100 + 8)
                elif p == 39:
                    fg = None
                elif p == 49:
                    bg = None
                j += 1
            i += len(m.group(0))
            continue
        cells.append([line[i], fg, bg])
        i += 1
    while len(cells) < width:
        cells.append([" ", fg, bg])  # the rest of the line keeps the last background
    return cells[:width]


class Tmux:
    def __init__(self, name):
        conf = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"{name}.tmux.conf")
        with open(conf, "w") as f:
            f.write("set -g remain-on-exit on\nset -g default-terminal tmux-256color\n")
        self.sock = ["tmux", "-L", name, "-f", conf]
        subprocess.run(self.sock + ["kill-server"], stderr=subprocess.DEVNULL)

    def run(self, *args, check=True):
        return subprocess.run(self.sock + list(args), capture_output=True, text=True, check=check)

    def start(self, cols, rows, command, env=None):
        e = ["env"] + [f"{k}={v}" for k, v in (env or {}).items()]
        self.run("new-session", "-d", "-s", "t", "-x", str(cols), "-y", str(rows),
                 " ".join(e) + " " + command)

    def keys(self, *keys):
        self.run("send-keys", "-t", "t", *keys)

    def text(self):
        return self.run("capture-pane", "-p", "-t", "t").stdout.split("\n")

    def cells(self, width=80):
        out = self.run("capture-pane", "-p", "-e", "-t", "t").stdout.split("\n")
        return [parse_sgr_line(l, width) for l in out]

    def settled(self, timeout=5.0):
        """The pane once it has stopped changing."""
        last = [None]

        def same():
            now = self.run("capture-pane", "-p", "-e", "-t", "t").stdout
            ok = now == last[0]
            last[0] = now
            return ok
        wait_until(same, timeout, 0.1)

    def pane_pid(self):
        return int(self.run("display-message", "-p", "-t", "t", "#{pane_pid}").stdout.strip())

    def dead(self):
        return self.run("display-message", "-p", "-t", "t", "#{pane_dead}").stdout.strip() == "1"

    def kill(self):
        subprocess.run(self.sock + ["kill-server"], stderr=subprocess.DEVNULL)


# ---- Golden screens ----------------------------------------------------------------------------

def load_fixture(path):
    """(title, rows of 80 characters, rows of colour letters, {letter: (fg name, bg name)})."""
    lines = open(path, encoding="latin-1").read().split("\n")
    title = lines[0]
    chars, colours, legend = [], [], {}
    mode = None
    for l in lines[1:]:
        if l.startswith("characters:"):
            mode = chars
        elif l.startswith("colours:"):
            mode = colours
        elif l.startswith("legend:"):
            mode = "legend"
        elif mode == "legend":
            m = re.match(r"\s+(\S) = (.+?) on (.+?)(?: \(.*)?$", l)
            if m:
                legend[m.group(1)] = (m.group(2).strip(), m.group(3).strip())
        elif isinstance(mode, list):
            m = re.match(r"^\s*\d+\|(.*)\|$", l)
            if m:
                mode.append(m.group(1))
    return title, chars, colours, legend


def compare_with_fixture(cells, top, fixture):
    """Differences between pane cells (console row 0 at pane row `top`) and a golden screen."""
    title, chars, colours, legend = fixture
    diffs = []
    for r, row in enumerate(chars):
        for c, want in enumerate(row):
            got = cells[top + r][c][0] if top + r < len(cells) else "?"
            if want != "~" and got != want:
                diffs.append(f"row {r} col {c}: '{got}' for '{want}'")
    for r, row in enumerate(colours):
        for c, letter in enumerate(row):
            if letter not in legend or top + r >= len(cells):
                continue
            ch, fg, bg = cells[top + r][c]
            want_fg, want_bg = legend[letter]
            got_bg = colour_name(bg if bg is not None else 0x000000)
            got_fg = colour_name(fg if fg is not None else 0xC0C0C0)
            if got_bg != want_bg or (ch.strip() and got_fg != want_fg):
                diffs.append(f"row {r} col {c}: {got_fg} on {got_bg} for {want_fg} on {want_bg}")
    return diffs


# ---- Pictures ------------------------------------------------------------------------------------

def read_ppm(path):
    data = open(path, "rb").read()
    m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    assert m, path
    return int(m.group(1)), int(m.group(2)), data[m.end():]
