#!/usr/bin/env python3
"""The terminal screen as a user meets it, under tmux.

usage: terminal_screen_test.py HARNESS [PROGRAM] FIXTURES_DIR

With the harness (frames of its own, every input event logged): keys become the right key
presses, Esc answers within 100 ms, a small terminal shows its size and waits, a resize redraws,
and the terminal is given back on every way out. With the program: the golden screens, a whole
run of 60 questions ending on the results, and Esc leaving a sane terminal.
"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from screentest import Checks, Tmux, compare_with_fixture, load_fixture, need, wait_until  # noqa: E402

need("tmux")
harness = sys.argv[1]
program = sys.argv[2] if len(sys.argv) > 3 and sys.argv[2] else None
fixtures = sys.argv[-1]
t = Checks()
tmp = tempfile.mkdtemp(prefix="screens-term-")
ENV = {"LANG": "C.UTF-8", "ZERLO_SCREEN": "terminal", "TERM": "tmux-256color"}

# The terminal as a shell leaves it, to compare with after each way out.
def stty_of(tm):
    out = os.path.join(tmp, "stty.%d" % time.monotonic_ns())
    tm.keys(f"stty -a > {out}; echo done-{os.path.basename(out)}", "Enter")
    wait_until(lambda: os.path.exists(out) and any(f"done-{os.path.basename(out)}" in l for l in tm.text()), 5)
    return open(out).read() if os.path.exists(out) else ""


def shell_session(name, cols=80, rows=26):
    tm = Tmux(name)
    tm.start(cols, rows, "bash --norc --noprofile", ENV)
    tm.keys("PS1='$ '", "Enter")
    return tm


def log_lines(path):
    return open(path).read().split("\n") if os.path.exists(path) else []


# ---- Keys, Esc latency, a sane terminal after Esc ------------------------------------------
tm = shell_session("screens-keys")
before = stty_of(tm)
log = os.path.join(tmp, "keys.log")
tm.keys(f"{harness} terminal --log {log}", "Enter")
wait_until(lambda: any("File ?" in l for l in tm.text()), 5)
t.check(any(l.startswith("File ?") for l in tm.text()), "the menu bar is the first row, in order")
tm.keys("Down")
tm.keys("-l", "aA")
tm.keys("F10")
tm.keys("M-f")
wait_until(lambda: "key 121 up 0" in log_lines(log) and "key 70 down 102" in log_lines(log), 3)
lines = log_lines(log)
for want, what in [("key 40 down 0", "Down is VK_DOWN"), ("key 65 down 97", "a is 'A' typing a"),
                   ("key 16 down 0", "a capital comes with Shift"), ("key 65 down 65", "A types A"),
                   ("key 121 down 0", "F10 is VK_F10"), ("key 18 down 0", "Alt+f holds Alt"),
                   ("key 70 down 102", "Alt+f is 'F'")]:
    t.check(want in lines, what, f"(log: {lines[-12:]})")
# Esc: the time from sending it to the program seeing it.
n = len(lines)
start = time.monotonic()
tm.keys("Escape")
wait_until(lambda: "key 27 down 27" in log_lines(log)[n - 1:], 2, 0.002)
elapsed = (time.monotonic() - start) * 1000
t.check("key 27 down 27" in log_lines(log), "Esc reaches the program")
t.check(elapsed < 100, f"Esc answers within 100 ms ({elapsed:.0f} ms)")
wait_until(lambda: any(l.startswith("$") for l in tm.text()[-3:]) or "$ " in "".join(tm.text()), 3)
after = stty_of(tm)
t.check(before and before == after, "Esc leaves the terminal as it was (stty -a)")
tm.kill()

# ---- Too small: the size and the size needed; Esc still quits; a resize redraws -------------
tm = Tmux("screens-small")
log = os.path.join(tmp, "small.log")
tm.start(80, 24, f"{harness} terminal --log {log}", ENV)
wait_until(lambda: any("80x24" in l for l in tm.text()), 5)
text = "\n".join(tm.text())
t.check("80x24" in text and "80x26" in text, "an 80x24 terminal shows its size and the size needed", text.strip()[:200])
tm.run("resize-window", "-t", "t", "-x", "80", "-y", "26")
wait_until(lambda: any(l.startswith("File ?") for l in tm.text()), 3)
t.check(any(l.startswith("File ?") for l in tm.text()), "growing to 80x26 shows the picture at once")
t.check(any(l.startswith("resized") for l in log_lines(log)), "the program is told of the new size")
tm.run("resize-window", "-t", "t", "-x", "70", "-y", "20")
wait_until(lambda: any("70x20" in l for l in tm.text()), 3)
tm.keys("Escape")
t.check(wait_until(tm.dead, 3), "Esc quits while the terminal is too small")
tm.kill()

# ---- Every way out gives the terminal back ---------------------------------------------------
for sig, name in [(signal.SIGTERM, "SIGTERM"), (signal.SIGINT, "Ctrl-C"), (signal.SIGHUP, "SIGHUP"),
                  (signal.SIGSEGV, "a crash (SIGSEGV)"), (signal.SIGABRT, "an abort")]:
    tm = shell_session("screens-sig")
    before = stty_of(tm)
    tm.keys(f"{harness} terminal; echo status=$?", "Enter")
    wait_until(lambda: any(l.startswith("File ?") for l in tm.text()), 5)
    pid = int(subprocess.run(["pgrep", "-n", "-f", f"{harness} terminal"], capture_output=True, text=True).stdout.split()[0])
    if sig == signal.SIGINT:
        tm.keys("C-c")  # from the keyboard, as a user does
    else:
        os.kill(pid, sig)
    gone = wait_until(lambda: subprocess.run(["kill", "-0", str(pid)], stderr=subprocess.DEVNULL).returncode != 0, 5)
    if sig == signal.SIGINT:
        # The shell drops the rest of a line whose command Ctrl-C ended: no status to read.
        t.check(gone, f"{name}: ends the program")
    else:
        wait_until(lambda: any(l.startswith("status=") for l in tm.text()), 5)
        status = [l for l in tm.text() if l.startswith("status=")]
        # A crash goes on to the handler that was there before (a sanitizer reports and exits 1).
        code = int(status[-1].strip()[7:]) if status else 0
        crash = sig in (signal.SIGSEGV, signal.SIGABRT)
        t.check(code == 128 + sig or (crash and code != 0), f"{name}: ends by the signal", str(status))
    after = stty_of(tm)
    t.check(before and before == after, f"{name}: the terminal is given back (stty -a)")
    tm.kill()

# A lost terminal: the pane goes away under the program, which must leave, not spin.
tm = Tmux("screens-lost")
tm.start(80, 26, f"{harness} terminal", ENV)
wait_until(lambda: any(l.startswith("File ?") for l in tm.text()), 5)
pid = int(subprocess.run(["pgrep", "-n", "-f", f"{harness} terminal"], capture_output=True, text=True).stdout.split()[0])
tm.kill()
gone = wait_until(lambda: subprocess.run(["kill", "-0", str(pid)], stderr=subprocess.DEVNULL).returncode != 0, 3)
t.check(gone, "a lost terminal ends the program")
if not gone:
    os.kill(pid, signal.SIGKILL)

# ---- The program ------------------------------------------------------------------------------
if not program:
    print("the program is not built: its checks are left out")
    t.finish()

def compare(tm, name):
    tm.settled()
    diffs = compare_with_fixture(tm.cells(80), 1, load_fixture(os.path.join(fixtures, name)))
    return t.check(not diffs, f"the terminal shows {name}", f"{len(diffs)} differences, first: {diffs[:4]}")


tm = shell_session("screens-prog")
before = stty_of(tm)
tm.keys(f"{program}; echo status=$?", "Enter")
wait_until(lambda: any(l.startswith("File") for l in tm.text()), 10)
t.check(re.match(r"File +\? *$", tm.text()[0]) is not None, "the menu bar row is above the console",
        tm.text()[0])
compare(tm, "intro.screen")
tm.keys("Space")
compare(tm, "question01.screen")
tm.keys("Up")
compare(tm, "question01_up.screen")
tm.keys("Down")
tm.settled()
for i in range(60):
    tm.keys("Enter")
    time.sleep(0.05)
tm.settled()
text = tm.text()
t.check(any("Numero Test:        60" in l for l in text) and any("THE END" in l for l in text),
        "a whole run of 60 questions ends on the results", "\n".join(text[:14]))
tm.keys("Escape")
wait_until(lambda: any(l.startswith("status=") for l in tm.text()), 10)
after = stty_of(tm)
t.check(any(l.strip() == "status=0" for l in tm.text()), "Esc ends the program normally")
t.check(before and before == after, "the program leaves a sane terminal (stty -a)")
tm.kill()

# ---- The menu bar, the Home command and the title through the program -------------------------
HOME = "https://zerlo.example/"  # Zerlo::HomePageAddress
# The opener is replaced by a recorder: what it was given, whether it can reach the terminal.
recorder = os.path.join(tmp, "opener")
with open(recorder, "w") as f:
    f.write(f"""#!{sys.executable}
import os, sys
try:
    os.close(os.open("/dev/tty", os.O_RDWR))
    tty = "yes"
except OSError:
    tty = "no"
with open(sys.argv[0] + ".log", "a") as out:
    out.write("args %r\\n" % (sys.argv[1:],))
    out.write("streams %s\\n" % " ".join("tty" if os.isatty(fd) else "-" for fd in (0, 1, 2)))
    out.write("devtty %s\\n" % tty)
    out.write("sid %d ppid %d\\n" % (os.getsid(0), os.getppid()))
""")
os.chmod(recorder, 0o755)
calls_log = recorder + ".log"


def title(tm):
    return tm.run("display-message", "-p", "-t", "t", "#{pane_title}").stdout.strip()


def start_program(name):
    """A shell with a known title running the program with the recorder as its opener."""
    tm = Tmux(name)
    tm.start(80, 26, "bash --norc --noprofile", dict(ENV, ZERLO_OPENER=recorder))
    tm.keys("PS1='$ '", "Enter")
    tm.keys(r"printf '\e]2;before\e\\'", "Enter")
    wait_until(lambda: title(tm) == "before", 3)
    before = stty_of(tm)
    tm.keys(f"{program}; echo status=$?", "Enter")
    wait_until(lambda: tm.text()[0].startswith("File ?"), 10)
    tm.settled()
    pid = int(subprocess.run(["pgrep", "-n", "-f", f"^{program}$"], capture_output=True, text=True).stdout.split()[0])
    return tm, before, pid


def ends_normally(tm, before, what):
    # The status line itself, not the command line that echoes it.
    t.check(wait_until(lambda: any(l.startswith("status=") for l in tm.text()), 15) and
            any(l.strip() == "status=0" for l in tm.text()), f"{what}: the program exits with status 0",
            "\n".join(l for l in tm.text() if l.strip())[-300:])
    after = stty_of(tm)
    t.check(before and before == after, f"{what}: the terminal is sane afterwards (stty -a)")


def menu_row_with(tm, word):
    """The pane row (below the bar) where an open drop-down shows `word`, or None."""
    rows = [i for i, l in enumerate(tm.text()[1:6], 1) if word in l]
    return rows[0] if rows else None


# Keyboard: F10 takes the bar, Right goes to "?", Enter opens it, Enter chooses Home.
tm, before, pid = start_program("screens-home")
t.check(title(tm) == "Zerlo01", "the terminal's title is the window caption while running", repr(title(tm)))
tm.keys("Space")
tm.keys("Down")  # the highlight off its first place, so that a redraw from scratch would show
tm.settled()
question = tm.run("capture-pane", "-p", "-e", "-t", "t").stdout.split("\n")
tm.keys("F10")
tm.keys("Right")
tm.keys("Enter")
tm.settled()
t.check(menu_row_with(tm, "Home") is not None, "F10, Right, Enter opens the \"?\" menu showing Home",
        "\n".join(tm.text()[:5]))
tm.keys("Enter")
called = wait_until(lambda: os.path.exists(calls_log) and "sid" in open(calls_log).read(), 5)
time.sleep(0.5)  # a second call, if there were one, has had time to come
calls = open(calls_log).read().split("\n") if called else []
t.check(calls.count(f"args {[HOME]!r}") == 1 and sum(l.startswith("args") for l in calls) == 1,
        "Home calls the opener once, with the home page address", str(calls))
t.check("streams - - -" in calls, "the opener's standard streams are not the terminal", str(calls))
t.check("devtty no" in calls, "the opener cannot open the terminal (/dev/tty)", str(calls))
sids = [l for l in calls if l.startswith("sid ")]
opener_sid = int(sids[0].split()[1]) if sids else -1
t.check(opener_sid not in (-1, os.getsid(pid)), "the opener runs in a session of its own",
        f"opener {opener_sid}, program {os.getsid(pid)}")
tm.settled()
now = tm.run("capture-pane", "-p", "-e", "-t", "t").stdout.split("\n")
changed = [i for i, (a, b) in enumerate(zip(question, now)) if a != b]
t.check(not changed and len(now) == len(question),
        "after Home the same question shows with the same highlight, the menu gone",
        f"rows that differ: {changed} " + " | ".join(now[i] for i in changed[:3]))
t.check(title(tm) == "Zerlo01", "the title stays the caption after Home", repr(title(tm)))
tm.keys("Escape")
ends_normally(tm, before, "Esc after Home")
t.check(title(tm) == "before", "the title the terminal had is given back on exit", repr(title(tm)))
tm.kill()

# Alt+letter: Alt+F opens File, Enter chooses Esci.
tm, before, pid = start_program("screens-altf")
tm.keys("M-f")
tm.settled()
t.check(menu_row_with(tm, "Esci") is not None, "Alt+F opens the File menu showing Esci", "\n".join(tm.text()[:5]))
tm.keys("Enter")
ends_normally(tm, before, "Alt+F, Enter on Esci")
tm.kill()

# The mouse: a click is the report the terminal sends for it once the program turned mouse
# reporting on (button, column and row each a byte above 32; X10 encoding, as the terminal
# description has no other).
def click(tm, col, row):
    for button in (0, 3):  # the left button down, then released
        tm.keys("-l", "\x1b[M" + chr(32 + button) + chr(33 + col) + chr(33 + row))


tm, before, pid = start_program("screens-mouse")
click(tm, 1, 0)  # on "File"
tm.settled()
row = menu_row_with(tm, "Esci")
t.check(row is not None, "a click on File opens its menu", "\n".join(tm.text()[:5]))
if row is not None:
    click(tm, tm.text()[row].index("Esci") + 1, row)
ends_normally(tm, before, "a click on File, then on Esci")
tm.kill()
t.finish()
