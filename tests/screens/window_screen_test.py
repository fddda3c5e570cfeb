#!/usr/bin/env python3
"""The desktop-window screen as a user meets it, under a virtual X server.

usage: window_screen_test.py [--headless-render=TOOL] HARNESS [PROGRAM] FIXTURES_DIR

With the harness: the window is centred, its client area is exactly the composed pixels (no
scaling blur, the caret the only inverted spot), keys arrive with their codes and characters,
the close box asks to close, and a resize of the frame reaches the sink as the window's new size.
With the program: it opens centred, titled, answers keys, answers a resize of its frame by
fitting itself back (and keeps answering keys), and closes with the close box and with Esc; with TOOL too (the program drawn on the headless screen
for the same keys), its client area shows exactly the headless screen's pixels, the caret aside.
"""
import ctypes
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from screentest import Checks, need, read_ppm, wait_until  # noqa: E402

if "--inner" not in sys.argv:
    need("xvfb-run", "xdotool", "import", "convert")
    # -noreset: a server that resets whenever its last client leaves refuses the next one
    # for a moment, and a program started then finds no display.
    os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -noreset", sys.executable,
                           os.path.abspath(__file__), "--inner"] + sys.argv[1:])

args = [a for a in sys.argv[1:] if a != "--inner" and not a.startswith("--headless-render=")]
render_tool = next((a.split("=", 1)[1] for a in sys.argv[1:] if a.startswith("--headless-render=")), "") or None
harness = args[0]
program = args[1] if len(args) > 2 and args[1] else None
t = Checks()
tmp = tempfile.mkdtemp(prefix="screens-win-")
env = dict(os.environ, ZERLO_SCREEN="window")


def find_window(name, timeout=10):
    def look():
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], capture_output=True, text=True)
        return r.stdout.split()[0] if r.stdout.split() else None
    return wait_until(look, timeout, 0.1)


def geometry(wid):
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid], capture_output=True, text=True).stdout
    return {k: int(v) for k, v in (l.split("=") for l in out.split() if "=" in l) if k != "SCREEN"}


def close_box(wid):
    """What the window manager sends when the close box is clicked: WM_DELETE_WINDOW."""
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    dpy = x.XOpenDisplay(None)

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]

    class XEvent(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    ev = XEvent()
    ev.xclient.type = 33  # ClientMessage
    ev.xclient.window = int(wid)
    ev.xclient.message_type = x.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
    ev.xclient.format = 32
    ev.xclient.l[0] = x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x.XSendEvent(dpy, int(wid), 0, 0, ctypes.byref(ev))
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XFlush(dpy)
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay(dpy)


def screenshot(g, path):
    shot = os.path.join(tmp, "root.png")
    subprocess.run(["import", "-window", "root", shot], check=True)
    subprocess.run(["convert", shot, "-crop", f"{g['WIDTH']}x{g['HEIGHT']}+{g['X']}+{g['Y']}", "+repage", path], check=True)
    return read_ppm(path)


def headless_render(keys, path):
    """The program on the headless screen after `keys`: its client area as a PPM at `path`, and
    where that sits: {"window": (w, h), "client": (w, h), "at": (dx, dy), "caret": rect or None}."""
    r = subprocess.run([render_tool, path] + keys, env=dict(os.environ, ZERLO_SCREEN="headless"),
                       capture_output=True, text=True, timeout=60)
    if r.returncode != 0:
        return None, f"rc={r.returncode} {r.stderr.strip()}"
    f = r.stdout.split()
    try:
        assert f[0] == "window" and f[3] == "client" and f[6] == "at" and f[9] == "caret"
        caret = None if f[10] == "none" else tuple(int(v) for v in f[10:14])
        return {"window": (int(f[1]), int(f[2])), "client": (int(f[4]), int(f[5])),
                "at": (int(f[7]), int(f[8])), "caret": caret}, ""
    except (AssertionError, IndexError, ValueError):
        return None, f"unreadable: {r.stdout!r}"


def pixel_differences(got, want, width, caret):
    """Pixels of `got` that differ from `want` (flat RGB bytes, rows `width` long), leaving out
    those inside the caret rectangle that are exactly inverted: the window blinks its caret."""
    diffs = []
    for i in range(0, min(len(got), len(want)), 3):
        if got[i:i + 3] == want[i:i + 3]:
            continue
        x, y = (i // 3) % width, (i // 3) // width
        if caret and caret[0] <= x < caret[2] and caret[1] <= y < caret[3] and \
                all(got[i + k] == 255 - want[i + k] for k in range(3)):
            continue
        diffs.append((x, y))
    return diffs


# ---- The harness: the client area is the composed pixels, exactly ---------------------------
log, dump = os.path.join(tmp, "keys.log"), os.path.join(tmp, "frame.ppm")
p = subprocess.Popen([harness, "window", "--log", log, "--dump", dump], env=env)
wid = find_window("Zerlo01 harness")
t.check(wid is not None, "the window appears with the caption as its title")
g = geometry(wid)
t.check((g["X"], g["Y"], g["WIDTH"], g["HEIGHT"]) == ((1280 - 800) // 2, (1024 - 494) // 2, 800, 494),
        "it is centred at its size, one screen pixel per pixel", str(g))
subprocess.run(["xdotool", "key", "--window", wid, "Down"])
subprocess.run(["xdotool", "type", "--window", wid, "ciao"])
subprocess.run(["xdotool", "key", "--window", wid, "ctrl+c"])
wait_until(lambda: "key 67 down 3" in open(log).read(), 3)
time.sleep(0.3)
w, h, shot = screenshot(g, os.path.join(tmp, "client.ppm"))
fw, fh, frame = read_ppm(dump)
diff = [i // 3 for i in range(0, min(len(shot), len(frame)), 3) if shot[i:i + 3] != frame[i:i + 3]]
inverted = all(shot[i * 3 + k] == 255 - frame[i * 3 + k] for i in diff for k in range(3))
xs, ys = [i % fw for i in diff], [i // fw for i in diff]
box = (max(xs) - min(xs) + 1, max(ys) - min(ys) + 1) if diff else (0, 0)
t.check((w, h) == (fw, fh) and len(diff) <= 2 * 19 and inverted and box[0] <= 2 and box[1] <= 19,
        "the client area shows the composed pixels; only the caret differs, inverted",
        f"({len(diff)} pixels differ, box {box}, inverted={inverted})")
lines = open(log).read().split("\n")
for want, what in [("key 40 down 0", "Down is VK_DOWN"), ("key 67 down 99", "typing c is 'C' with 'c'"),
                   ("key 67 down 3", "Ctrl+C is 'C' with its control code")]:
    t.check(want in lines, what, str(lines[-10:]))
# A user's resize goes to the sink once, in screen pixels; a window that keeps its size is set back.
subprocess.run(["xdotool", "windowsize", wid, "600", "400"])
t.check(wait_until(lambda: "window resized 600 400" in open(log).read(), 3),
        "a resize of the frame reaches the sink as the window's new size", str(open(log).read().split("\n")[-5:]))
t.check(wait_until(lambda: geometry(wid) == g, 3), "a window that keeps its size is set back to it, in place",
        f"{geometry(wid)} for {g}")
time.sleep(0.3)
resizes = [l for l in open(log).read().split("\n") if l.startswith("window resized")]
t.check(resizes == ["window resized 600 400"], "setting the size back is not taken for another resize", str(resizes))
close_box(wid)
t.check(wait_until(lambda: p.poll() is not None, 3) and "close" in open(log).read(),
        "the close box asks the program to close")
if p.poll() is None:
    p.kill()

# The desktop's frame is the desktop's; without a display the screen is not offered.
r = subprocess.run([harness, "window"], env=dict(env, DISPLAY="", WAYLAND_DISPLAY=""), capture_output=True, text=True)
t.check(r.returncode == 3, "without a display the window screen cannot be had, cleanly", r.stderr)

# ---- The program --------------------------------------------------------------------------------
if not program:
    print("the program is not built: its checks are left out")
    t.finish()

# The program's client area, pixel for pixel, is what the headless screen shows for the same keys.
# The expected pictures come first, so each screenshot can be retaken until the window has
# caught up (or the time is up, and the last one is judged).
if not render_tool:
    print("the headless rendering tool is not built: the pixel comparison is left out")
intro = None
for name, keys in ([("the intro", []), ("question 1 after one Down", ["x", "Down"])] if render_tool else []):
    tag = "intro" if not keys else "q1-down"
    want_path = os.path.join(tmp, f"{tag}-headless.ppm")
    where, why = headless_render(keys, want_path)
    if not t.check(where is not None, f"{name}: the headless screen draws the program", why):
        continue
    ww, wh, want = read_ppm(want_path)
    if not keys:
        intro = want
    t.check((ww, wh) == where["client"] and len(want) == ww * wh * 3,
            f"{name}: the headless picture is the client area", f"{ww}x{wh} for {where['client']}")
    p = subprocess.Popen([program], env=env)
    wid = find_window("Zerlo01", 20)
    if not t.check(wid is not None, f"{name}: the program opens its window"):
        p.kill()
        continue
    g = geometry(wid)
    t.check((g["WIDTH"], g["HEIGHT"]) == where["window"],
            f"{name}: the desktop window is the program's window, menu bar included, one screen pixel per pixel",
            f"{g} for {where['window']}")
    client = {"X": g["X"] + where["at"][0], "Y": g["Y"] + where["at"][1], "WIDTH": ww, "HEIGHT": wh}
    got_path = os.path.join(tmp, f"{tag}-window.ppm")
    # Keys go in once the window shows the intro as the headless screen drew it.
    intro_seen = None
    if keys and intro is not None:
        intro_seen = wait_until(lambda: pixel_differences(screenshot(client, got_path)[2], intro, ww,
                                                          where["caret"]) == [], 5, 0.1)
        for k in keys:
            subprocess.run(["xdotool", "key", "--window", wid, k])
    diffs = None

    def matches():
        global diffs
        gw, gh, got = screenshot(client, got_path)
        diffs = pixel_differences(got, want, ww, where["caret"]) if (gw, gh) == (ww, wh) else None
        return diffs == []
    wait_until(matches, 8, 0.1)
    if diffs is None:
        detail = "the screenshot has another size"
    elif diffs:
        xs, ys = [d[0] for d in diffs], [d[1] for d in diffs]
        detail = (f"{len(diffs)} of {ww * wh} pixels differ, within x {min(xs)}..{max(xs)}, "
                  f"y {min(ys)}..{max(ys)}; window {got_path}, headless {want_path}")
    else:
        detail = ""
    if t.check(diffs == [], f"{name}: the window's client area is the headless screen's pixels "
               f"({ww}x{wh} compared, caret {where['caret']})", detail):
        print(f"     {ww * wh} pixels compared, 0 differ")
    if keys and not intro_seen:
        print("     (the window did not show the intro before the keys were sent)")
    close_box(wid)
    t.check(wait_until(lambda: p.poll() is not None, 5) and p.returncode == 0,
            f"{name}: the close box ends the program", f"rc={p.poll()}")
    if p.poll() is None:
        p.kill()

# A resize of the frame is a size change of the program's window: its fitting answers it, and the
# desktop window follows, back at the fitted size and centred, still answering keys.
p = subprocess.Popen([program], env=env)
wid = find_window("Zerlo01", 20)
if t.check(wid is not None, "the program opens its window (resize)"):
    fitted = wait_until(lambda: (lambda g: g if (g["WIDTH"], g["HEIGHT"]) == (800, 494) else None)(geometry(wid)), 5)
    t.check(fitted is not None, "it opens at its fitted size, 800x494", str(geometry(wid)))
    time.sleep(0.3)
    for size in [("600", "400"), ("1000", "700")]:
        subprocess.run(["xdotool", "windowsize", wid, *size])
        # Wait for the frame to take the user's size and for the program to set it back.
        wait_until(lambda: (geometry(wid)["WIDTH"], geometry(wid)["HEIGHT"]) == tuple(map(int, size)), 1, 0.01)
        back = wait_until(lambda: (lambda g: g if (g["WIDTH"], g["HEIGHT"]) == (800, 494) else None)(geometry(wid)), 5)
        g = geometry(wid)
        t.check(back is not None and abs(g["X"] + g["WIDTH"] // 2 - 640) <= 1 and abs(g["Y"] + g["HEIGHT"] // 2 - 512) <= 1,
                f"resized to {'x'.join(size)}, the window is fitted back to 800x494, centred", str(g))
        time.sleep(0.5)
        t.check(geometry(wid) == g, f"after {'x'.join(size)} the fitted window stays as it is", f"{geometry(wid)} for {g}")
    g = geometry(wid)
    _, _, first = screenshot(g, os.path.join(tmp, "resized-intro.ppm"))
    subprocess.run(["xdotool", "key", "--window", wid, "space"])
    t.check(wait_until(lambda: screenshot(g, os.path.join(tmp, "resized-question.ppm"))[2] != first, 3, 0.1),
            "after the resizes a key still moves from the intro to the first question")
    subprocess.run(["xdotool", "key", "--window", wid, "Escape"])
    t.check(wait_until(lambda: p.poll() is not None, 5) and p.returncode == 0, "Esc closes the resized program",
            f"rc={p.poll()}")
if p.poll() is None:
    p.kill()

for how in ("Esc", "the close box"):
    p = subprocess.Popen([program], env=env)
    wid = find_window("Zerlo01", 20)
    t.check(wid is not None, f"the program opens its window titled Zerlo01 ({how})")
    if wid is None:
        p.kill()
        continue
    g = geometry(wid)
    t.check(abs(g["X"] + g["WIDTH"] // 2 - 640) <= 1 and abs(g["Y"] + g["HEIGHT"] // 2 - 512) <= 1,
            "it is centred", str(g))
    time.sleep(0.3)
    _, _, first = screenshot(g, os.path.join(tmp, "intro.ppm"))
    subprocess.run(["xdotool", "key", "--window", wid, "space"])
    time.sleep(0.5)
    _, _, second = screenshot(g, os.path.join(tmp, "question.ppm"))
    t.check(first != second, "a key moves from the intro to the first question")
    if how == "Esc":
        subprocess.run(["xdotool", "key", "--window", wid, "Escape"])
    else:
        close_box(wid)
    ended = wait_until(lambda: p.poll() is not None, 5)
    t.check(ended and p.returncode == 0, f"{how} closes the program", f"rc={p.poll()}")
    if p.poll() is None:
        p.kill()
t.finish()
