#!/usr/bin/env python3
"""Trabex used as a person would, end to end, on a private X server.

The desktop program runs under Xvfb with no window manager and is worked with xdotool only.
Each scenario has its own X server, home and config folder, and starts the program itself:

- draw, save, exit: a new truss window, three bars drawn with the mouse, a fixed support, a
  sliding support and a load, then File > Save into a typed file name and File > Exit. The saved
  file is then analysed by trabex-cli and its bar forces and reactions are compared with a hand
  solution of the truss.
- language: started in Czech from the stored settings, switched to English through the language
  menu; the caption, the menu bar and the stored language follow, and a second start is English.
- command file and reopening: a start in a folder whose Trabex.run opens a truss file by a
  relative name and deletes itself, File > Exit with the truss still open, and a second start in
  another folder that opens it again.
- a command file naming a truss of more unknowns than the equations hold: the program keeps
  running, its warning is dismissed, the command file is deleted, and Exit ends it cleanly.
- selecting and deleting: the 100-joint bridge opened, one diagonal picked with the Select tool
  and deleted with the Delete key; the side panel reads a mechanism, and Ctrl+Z brings the forces
  back.
- update: a publisher's key pair and signature made with update-server/sign-update.sh; "Yes" to
  a signed newer version runs its setup file and ends the program, while a setup file changed
  after signing gives one error box, is deleted, never runs, and the program goes on.
- files from the desktop: a start with a truss file as its argument opens it; a later start with
  another file hands it to the running program, whose caption then names it, and ends; a later
  start with no file ends too; neither counts as a start.
- a large truss: the 100-joint bridge opened by a command file is fitted into its window;
  zoomed in with the keys it runs off the drawing, and Ctrl+F shows it whole again.
- results out: the loaded triangle opened from the command line; File > Export > Results as CSV
  and File > Export report as PDF write a CSV with the hand solution's forces (read by Python's
  csv module) and a PDF whose text (pdftotext, when installed) holds them.

Nothing is found on the screen by fixed pixel offsets. Screenshots come from the framebuffer
file that Xvfb keeps (-fbdir); the palette buttons are found by the colours of their icons, the
drawing by its lattice of grid dots, a solved truss by its bars' colours, menus and their items
by their text rows.

usage: e2e_test.py TRABEX TRABEX_CLI ARTIFACT_DIR VERSION
"""
import csv
import ctypes
import json
import math
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

TRABEX, CLI, ARTIFACTS = (os.path.abspath(a) for a in sys.argv[1:4])
# The file version the build gave the program; its caption shows it.
VERSION = sys.argv[4]
# A small solved truss of the source tree: the triangle of the bars below, loaded at its apex.
BRIDGE_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples",
                           "pratt-bridge.trs")
TRIANGLE_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data",
                             "triangle.trs")

SCREEN_W, SCREEN_H = 1280, 800
# The main window's client geometry (left, top, right, bottom) as the options file sets it.
MAIN_WINDOW = (0, 0, 1200, 760)
GRID = 20
FORCE = 20
WAIT = 20.0  # seconds for any single thing to show up on the screen

WHITE = (255, 255, 255)
FORCE_ICON_RED = (200, 30, 30)
HAND_ICON_SKIN = (250, 220, 180)
SUPPORT_ICON_FILL = (235, 235, 235)
BAR_ICON_FILL = (192, 192, 192)
LOAD_ARROW = (128, 0, 128)

OPTIONS = """[TMainForm]
Flags=0
ShowCmd=1
PixelsPerInch=96
MinMaxPos=-1,-1,-1,-1
NormPos={0},{1},{2},{3}
RxSpinEditGrid_Value={4}
RxSpinEditSila_Value={5}
aShowPrutForce_Checked=True
aShowPrutName_Checked=True
aZobrazMatici_Checked=False
aShowGrid_Checked=True
aShowSidePannel_Checked=True
aShowStycNo_Checked=False
aGridAsLine_Checked=True
""".format(*MAIN_WINDOW, GRID, FORCE).replace("\n", "\r\n")

# The truss, in drawing pixels (y grows downwards, as on the screen): A and B on one level, the
# apex C above and nearer to B. Every point lies on the 20-pixel grid.
A, B, C = (120, 480), (600, 480), (480, 300)
BARS = [(A, B), (B, C), (C, A)]
# Where along the bars their colours are looked at: clear of the joints and of the bar labels.
SAMPLES = (0.2, 0.35, 0.8)


def hand_solution():
    """Bar forces (tension positive) and reactions for the load FORCE pointing down at C.

    Moments about A: R_B * 480 = 20 * 360, so R_B = 15 upwards and R_A = 5 upwards; with y
    pointing down both reactions are negative. No horizontal load, so A's horizontal reaction is 0.
    Joint B: BC runs (-120, -180), length 60*sqrt(13); vertically N_BC * (-180/L) - 15 = 0 gives
    N_BC = -15 * L / 180 = -5*sqrt(13) (compression); horizontally -N_BA + N_BC * (-120/L) = 0
    gives N_BA = 10 (tension).
    Joint A: AC runs (360, -180), length 180*sqrt(5); vertically N_AC * (-180/L) - 5 = 0 gives
    N_AC = -5*sqrt(5) (compression); horizontally 10 + N_AC * 360/L + R_Ax = 10 - 10 + R_Ax = 0.
    """
    bars = {frozenset((A, B)): 10.0, frozenset((B, C)): -5 * math.sqrt(13),
            frozenset((C, A)): -5 * math.sqrt(5)}
    reactions = {A: (0.0, -5.0), B: (None, -15.0)}
    return bars, reactions


# --- Screen ------------------------------------------------------------------------------------

class Frame:
    """One picture of the screen, from an XWD image (32 or 24 bits per pixel, TrueColor)."""

    def __init__(self, raw):
        if len(raw) < 100:
            raise ValueError("short XWD image")
        h = struct.unpack(">25I", raw[:100])
        header_size, version, pixmap_format, _depth, self.w, self.h = h[0:6]
        byte_order, bits_per_pixel, self.stride = h[7], h[11], h[12]
        masks, ncolours = h[14:17], h[19]
        if version != 7 or pixmap_format != 2 or bits_per_pixel not in (24, 32):
            raise ValueError("unexpected XWD image: version %d, format %d, %d bits per pixel"
                             % (version, pixmap_format, bits_per_pixel))
        self.step = bits_per_pixel // 8
        self.offsets = []
        for mask in masks:
            shift = (mask & -mask).bit_length() - 1
            if shift % 8 or mask >> shift != 0xFF:
                raise ValueError("colour masks other than whole bytes: %r" % (masks,))
            byte = shift // 8
            self.offsets.append(self.step - 1 - byte if byte_order == 1 else byte)
        start = header_size + ncolours * 12
        self.raw = raw
        self.pixels = raw[start:start + self.stride * self.h]
        if len(self.pixels) < self.stride * self.h:
            raise ValueError("XWD image cut short")

    def rgb(self, x, y):
        if not (0 <= x < self.w and 0 <= y < self.h):
            return None
        i = y * self.stride + x * self.step
        p = self.pixels
        return (p[i + self.offsets[0]], p[i + self.offsets[1]], p[i + self.offsets[2]])

    def channel_row(self, y, x0, x1, channel):
        """The bytes of one colour channel of row y from x0 to x1 (exclusive), one per pixel."""
        base = y * self.stride + self.offsets[channel]
        return self.pixels[base + x0 * self.step:base + x1 * self.step:self.step]

    def find(self, colour, box):
        """Every pixel of exactly this colour inside box (x0, y0, x1, y1), x1 and y1 exclusive."""
        x0, y0, x1, y1 = clip(box, self)
        found = []
        for y in range(y0, y1):
            red = self.channel_row(y, x0, x1, 0)
            i = red.find(colour[0])
            while i >= 0:
                if self.rgb(x0 + i, y) == colour:
                    found.append((x0 + i, y))
                i = red.find(colour[0], i + 1)
        return found

    def count(self, test, box):
        x0, y0, x1, y1 = clip(box, self)
        return sum(1 for y in range(y0, y1) for x in range(x0, x1) if test(self.rgb(x, y)))

    def same_in(self, other, box):
        x0, y0, x1, y1 = clip(box, self)
        return all(self.pixels[y * self.stride + x0 * self.step:y * self.stride + x1 * self.step]
                   == other.pixels[y * self.stride + x0 * self.step:y * self.stride + x1 * self.step]
                   for y in range(y0, y1))

    def changed_rows(self, other, y0, y1):
        return [y for y in range(max(0, y0), min(self.h, y1))
                if self.pixels[y * self.stride:(y + 1) * self.stride]
                != other.pixels[y * self.stride:(y + 1) * self.stride]]

    def changed_columns(self, other, y):
        """First and last pixel of row y that differ from other, or None."""
        a = int.from_bytes(self.pixels[y * self.stride:(y + 1) * self.stride], "big")
        b = int.from_bytes(other.pixels[y * self.stride:(y + 1) * self.stride], "big")
        diff = a ^ b
        if not diff:
            return None
        last_byte = self.stride - 1 - ((diff & -diff).bit_length() - 1) // 8
        first_byte = self.stride - 1 - (diff.bit_length() - 1) // 8
        return first_byte // self.step, last_byte // self.step

    def save(self, stem):
        """Keeps the picture as stem.xwd (as the X server wrote it) and stem.png."""
        os.makedirs(os.path.dirname(stem), exist_ok=True)
        with open(stem + ".xwd", "wb") as f:
            f.write(self.raw)
        rows = []
        r, g, b = self.offsets
        for y in range(self.h):
            line = self.pixels[y * self.stride:y * self.stride + self.w * self.step]
            rgb = bytearray(self.w * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[r::self.step], line[g::self.step], line[b::self.step]
            rows.append(b"\0" + bytes(rgb))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        png = (b"\x89PNG\r\n\x1a\n"
               + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0))
               + chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b""))
        with open(stem + ".png", "wb") as f:
            f.write(png)
        return stem + ".png"


def clip(box, frame):
    x0, y0, x1, y1 = box
    return max(0, x0), max(0, y0), min(frame.w, x1), min(frame.h, y1)


def clusters(points, gap=1):
    """Groups of points that touch (within gap pixels), each as its bounding box and size."""
    left = set(points)
    groups = []
    while left:
        seed = left.pop()
        todo, members = [seed], [seed]
        while todo:
            x, y = todo.pop()
            for dx in range(-gap, gap + 1):
                for dy in range(-gap, gap + 1):
                    q = (x + dx, y + dy)
                    if q in left:
                        left.remove(q)
                        todo.append(q)
                        members.append(q)
        xs, ys = [p[0] for p in members], [p[1] for p in members]
        groups.append({"box": (min(xs), min(ys), max(xs) + 1, max(ys) + 1), "n": len(members),
                       "cx": (min(xs) + max(xs)) / 2, "cy": (min(ys) + max(ys)) / 2})
    return groups


def runs(values, gap):
    """Runs of sorted integers in which neighbours are at most gap apart, as (first, last)."""
    out = []
    for v in sorted(values):
        if out and v - out[-1][1] <= gap:
            out[-1][1] = v
        else:
            out.append([v, v])
    return [tuple(r) for r in out]


def dark(c):
    return c is not None and max(c) < 100


def differs(c, ref, by=60):
    return c is not None and sum(abs(a - b) for a, b in zip(c, ref)) > by


# --- The private X server and the input -------------------------------------------------------

class XSession:
    """Xvfb on a display number it chooses itself, its framebuffer file, and xdotool."""

    def __init__(self, scratch):
        self.fbdir = os.path.join(scratch, "framebuffer")
        os.makedirs(self.fbdir)
        read_end, write_end = os.pipe()
        with open(os.path.join(scratch, "xvfb.log"), "wb") as log:
            self.server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 "%dx%dx24" % (SCREEN_W, SCREEN_H), "-nolisten", "tcp", "-fbdir", self.fbdir,
                 # The server stays as it is between the program's starts of one scenario.
                 "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=log,
                preexec_fn=die_with_parent)
        os.close(write_end)
        # Xvfb writes the display number it took once it accepts connections.
        number = b""
        deadline = time.monotonic() + WAIT
        os.set_blocking(read_end, False)
        try:
            while not number.endswith(b"\n"):
                if self.server.poll() is not None or time.monotonic() > deadline:
                    raise RuntimeError("Xvfb did not start; see %s/xvfb.log" % scratch)
                try:
                    number += os.read(read_end, 16)
                except BlockingIOError:
                    time.sleep(0.02)
        except BaseException:
            stop(self.server)
            raise
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.fbfile = os.path.join(self.fbdir, "Xvfb_screen0")

    def close(self):
        stop(self.server)

    def grab(self):
        """The screen as it is now: the X server's own framebuffer file, pointer included."""
        with open(self.fbfile, "rb") as f:
            return Frame(f.read())

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True,
                                text=True, timeout=30)
        if result.returncode != 0:
            raise RuntimeError("xdotool %s: %s" % (" ".join(map(str, args)), result.stderr))
        return result.stdout

    def windows(self, name):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], env=self.env,
                             capture_output=True, text=True, timeout=30).stdout
        return [int(w) for w in out.split()]

    def focus(self):
        out = subprocess.run(["xdotool", "getwindowfocus"], env=self.env, capture_output=True,
                             text=True, timeout=30).stdout.strip()
        return int(out) if out.isdigit() else None

    def settled(self, box, pause=0.05):
        """A picture in which box no longer changes: the same in two grabs a moment apart."""
        def same():
            first = self.grab()
            time.sleep(pause)
            return first.same_in(self.grab(), box) and first
        return wait_for("the screen to settle at %s" % (box,), same)

    def park_pointer(self):
        # Xvfb draws the pointer into its framebuffer; out of the way it hides nothing.
        self.xdotool("mousemove", SCREEN_W - 2, SCREEN_H - 2)

    def click(self, x, y, repeat=1):
        self.xdotool("mousemove", round(x), round(y))
        self.xdotool("click", "--repeat", repeat, "--delay", 60, 1)

    def drag(self, start, end, steps=6):
        self.xdotool("mousemove", round(start[0]), round(start[1]))
        self.xdotool("mousedown", 1)
        for i in range(1, steps + 1):
            self.xdotool("mousemove", round(start[0] + (end[0] - start[0]) * i / steps),
                         round(start[1] + (end[1] - start[1]) * i / steps))
        self.xdotool("mouseup", 1)


PR_SET_PDEATHSIG = 1


def die_with_parent():
    """Run in a child before it starts: Linux kills it should this test die without cleaning up
    (a SIGKILL, say), so no X server or program outlives the test."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)
    except (OSError, AttributeError):
        pass


def stop(process, grace=5):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=grace)


def wait_for(what, probe, timeout=WAIT, pause=0.05):
    """Calls probe until it returns something true and returns that; fails after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except LookupError as e:
            last_error = e
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for %s%s"
                                 % (what, ": %s" % last_error if last_error else ""))
        time.sleep(pause)


# --- What is on the screen --------------------------------------------------------------------

def find_palette(frame):
    """The seven tool buttons' centres, left to right, from their icons.

    The two load icons hold the only pure red of the window, the move tool's hand the only skin
    colour; from the hand and the downward load arrow, five buttons apart, comes the pitch."""
    band = (MAIN_WINDOW[0], MAIN_WINDOW[1], MAIN_WINDOW[2], MAIN_WINDOW[1] + 150)
    reds = [g for g in clusters(frame.find(FORCE_ICON_RED, band), gap=2) if g["n"] >= 8]
    hands = [g for g in clusters(frame.find(HAND_ICON_SKIN, band), gap=2) if g["n"] >= 15]
    if len(reds) != 2 or len(hands) != 1:
        raise LookupError("palette icons not found (%d red arrows, %d hands)"
                          % (len(reds), len(hands)))
    down, across = sorted(reds, key=lambda g: g["cx"])
    height = lambda g: g["box"][3] - g["box"][1]
    width = lambda g: g["box"][2] - g["box"][0]
    if not (height(down) > width(down) and width(across) > height(across)):
        raise LookupError("the red icons are not a downward and a sideways arrow")
    hand = hands[0]
    pitch = (down["cx"] - hand["cx"]) / 5
    if not (20 <= pitch <= 60) or abs(across["cx"] - down["cx"] - pitch) > 3:
        raise LookupError("palette icons not evenly spaced: pitch %.1f" % pitch)
    cy = (down["cy"] + across["cy"] + hand["cy"]) / 3
    centres = [(hand["cx"] + i * pitch, cy) for i in range(7)]
    # Each guessed place must hold the icon that belongs there.
    for i, colour in ((1, BAR_ICON_FILL), (2, SUPPORT_ICON_FILL), (3, SUPPORT_ICON_FILL)):
        x, y = centres[i]
        if not frame.find(colour, (round(x) - 12, round(y) - 12, round(x) + 12, round(y) + 12)):
            raise LookupError("no icon of tool %d at (%d, %d)" % (i, x, y))
    names = ["btDtMove", "btDTPrut", "btDtPevnaPod", "btDtVolPodY", "btDtVolPodX",
             "btDtForceUp", "btDtForceLeft"]
    return dict(zip(names, centres)), round(cy - 12)


def lattice_point(frame, x, y, colour):
    """A lone grid dot of this colour at (x, y) with white pixels on its four sides."""
    if frame.rgb(x, y) != colour:
        return False
    return all(frame.rgb(x + dx, y + dy) == WHITE for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))


def corner_dot(frame, x, y, colour):
    """A grid dot with white to its right and below; the drawing's border may be on its other sides."""
    return (frame.rgb(x, y) == colour and frame.rgb(x + 1, y) == WHITE
            and frame.rgb(x, y + 1) == WHITE)


# Three dots in a row, GRID apart, with white between them; matches may overlap.
LATTICE_ROW = re.compile(b"(?=[^\xff]\xff{%d}[^\xff]\xff{%d}[^\xff])" % (GRID - 1, GRID - 1))


def find_drawing(frame, top):
    """The drawing: its top-left corner on the screen (the grid origin), its size, grid colour.

    Grid dots are lone pixels of one colour on white, GRID pixels apart; the dot at the drawing's
    top-left corner has the drawing's border just left of and above it."""
    x_end = MAIN_WINDOW[2]
    for y in range(top, frame.h - 2 * GRID):
        red = frame.channel_row(y, 0, x_end, 0)
        for m in LATTICE_ROW.finditer(red):
            x = m.start()
            colour = frame.rgb(x, y)
            if colour == WHITE or not all(lattice_point(frame, x + i * GRID, y + j * GRID, colour)
                                          for i in range(3) for j in range(3)):
                continue
            # Back along the lattice while the drawing goes on, to the dot in its top-left corner.
            while frame.rgb(x - 1, y) == WHITE and corner_dot(frame, x - GRID, y, colour):
                x -= GRID
            while frame.rgb(x, y - 1) == WHITE and corner_dot(frame, x, y - GRID, colour):
                y -= GRID
            border = frame.rgb(x - 1, y + 1) != WHITE and frame.rgb(x + 1, y - 1) != WHITE
            if not border:
                raise LookupError("grid dots at (%d, %d) do not start at the drawing's corner"
                                  % (x, y))
            row = frame.channel_row(y + 1, x, frame.w, 0)
            width = re.search(b"[^\xff]", row).start()
            height = 0
            while frame.rgb(x + 1, y + height) == WHITE:
                height += 1
            return {"x": x, "y": y, "w": width, "h": height, "grid": colour}
    raise LookupError("no grid on the screen")


def title_bar_above(frame, drawing):
    """The middle of the truss window's title bar, the bluish band above its drawing."""
    x = drawing["x"] + drawing["w"] // 2
    bluish = lambda c: c[2] > 120 and c[2] - c[0] > 40
    y = drawing["y"] - 1
    while y > 0 and not bluish(frame.rgb(x, y)):
        y -= 1
    bottom = y
    while y > 0 and bluish(frame.rgb(x, y)):
        y -= 1
    if bottom - y < 8:
        raise LookupError("no title bar above the drawing")
    return x, (y + 1 + bottom) / 2


def menu_titles(frame, palette_top, ink=dark):
    """The menu bar's titles, left to right, as the column spans of their text: by default of
    dark text, which leaves out disabled menus. Rows inked almost all across (the menu bar's
    bottom line) are no text."""
    columns = set()
    for y in range(MAIN_WINDOW[1], palette_top - 4):
        row = [x for x in range(MAIN_WINDOW[0], MAIN_WINDOW[2]) if ink(frame.rgb(x, y))]
        if len(row) < 0.9 * (MAIN_WINDOW[2] - MAIN_WINDOW[0]):
            columns.update(row)
    return runs(columns, gap=5)


def any_ink(frame, palette_top):
    """Whatever differs from the menu bar's own colour at its right end: the text of enabled and
    of disabled menu titles alike (with no truss window maximised, nothing else is there)."""
    background = frame.rgb(MAIN_WINDOW[2] - 4, (MAIN_WINDOW[1] + palette_top - 4) // 2)
    return lambda c: differs(c, background)


def menu_popup(before, after, below):
    """The rectangle of a menu that opened between two frames, under the row `below`: the first
    unbroken run of changed rows, less the rows that changed over a much narrower width (the
    highlighted title just above the menu)."""
    rows = after.changed_rows(before, below, after.h)
    if not rows:
        raise LookupError("no menu opened")
    block = [r for i, r in enumerate(rows) if r - rows[0] == i]
    spans = {y: after.changed_columns(before, y) for y in block}
    widest = max(x1 - x0 for x0, x1 in spans.values())
    block = [y for y in block if spans[y][1] - spans[y][0] >= 0.8 * widest]
    x0, x1 = min(spans[y][0] for y in block), max(spans[y][1] for y in block)
    return x0, block[0], x1 + 1, block[-1] + 1


def menu_items(frame, popup):
    """The menu's items, top to bottom, as (row centre, ink mask): its rows of text, taller than
    the separators. The ink mask holds the text's pixels relative to the item's first row."""
    x0, y0, x1, y1 = popup
    x0, y0, x1, y1 = x0 + 3, y0 + 3, x1 - 3, y1 - 3
    background = frame.rgb((x0 + x1) // 2, y0)
    ink_rows = []
    for y in range(y0, y1):
        xs = [x for x in range(x0, x1) if differs(frame.rgb(x, y), background)]
        if xs and (xs[-1] - xs[0]) < 0.9 * (x1 - x0):  # separators run almost the whole width
            ink_rows.append(y)
    items = []
    for first, last in runs(ink_rows, gap=1):
        if last - first < 4:
            continue
        mask = {(x - x0, y - first) for y in range(first, last + 1) for x in range(x0, x1)
                if differs(frame.rgb(x, y), background)}
        items.append(((first + last) / 2, mask))
    return items


def first_word(mask):
    """The part of an ink mask left of its first gap of 4 or more empty columns, moved to have its
    top-left corner at (0, 0)."""
    columns = runs({x for x, _ in mask}, gap=4)
    if not columns:
        return set()
    word = {(x, y) for x, y in mask if x <= columns[0][1]}
    left, top = min(x for x, _ in word), min(y for _, y in word)
    return {(x - left, y - top) for x, y in word}


def tension_colour(c):
    """A solved bar in tension is drawn yellow to red."""
    return c is not None and c[0] == 255 and c[1] < 255 and c[2] == 0


def compression_colour(c):
    """A solved bar in compression is drawn yellow to green."""
    return c is not None and c[1] == 255 and c[0] < 255 and c[2] == 0


def along(bar, t):
    """The point at the fraction t of a bar's length, rounded to pixels."""
    (x0, y0), (x1, y1) = bar
    return round(x0 + (x1 - x0) * t), round(y0 + (y1 - y0) * t)


def shows_forces(frame, origin, tension, compression, at):
    """Whether the bars, in drawing pixels with the drawing's corner at origin on the screen, show
    their forces' signs at the fractions `at` of their lengths."""
    def colours(bar):
        return [frame.rgb(origin[0] + x, origin[1] + y) for x, y in (along(bar, t) for t in at)]
    return (all(tension_colour(c) for bar in tension for c in colours(bar))
            and all(compression_colour(c) for bar in compression for c in colours(bar)))


def menu_bar(palette_top):
    """The band of the main window's menu bar, above the palette."""
    return MAIN_WINDOW[0], MAIN_WINDOW[1], MAIN_WINDOW[2], palette_top - 4


def read_ini(path):
    """An INI file's sections as dictionaries of its lines' names and values, as written."""
    sections, current = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1], {})
            elif "=" in line and current is not None:
                key, value = line.split("=", 1)
                current[key.strip()] = value.strip()
    return sections


# --- The test ----------------------------------------------------------------------------------

def keeps_failure_screen(scenario):
    """A scenario that on failing keeps its scratch folder (logs, saved files) and a screenshot."""
    def run(self):
        try:
            scenario(self)
        except BaseException:
            self.keep_failure_screen()
            raise
    run.__name__, run.__doc__ = scenario.__name__, scenario.__doc__
    return run


class TrabexSession(unittest.TestCase):
    """One scenario: its own X server, scratch folder (home, config, working folders) and as many
    program starts as it needs, one after another. Screenshots are named PREFIX-*."""

    PREFIX = None

    def setUp(self):
        for tool in ("Xvfb", "xdotool"):
            if shutil.which(tool) is None:
                self.fail("%s is missing; tools/install-deps.sh installs it" % tool)
        self.scratch = tempfile.mkdtemp(prefix="trabex-%s-" % self.PREFIX)
        self.keep_scratch = False
        self.addCleanup(lambda: self.keep_scratch or shutil.rmtree(self.scratch, ignore_errors=True))
        self.artifacts = os.path.join(ARTIFACTS, "e2e")
        os.makedirs(self.artifacts, exist_ok=True)
        for name in os.listdir(self.artifacts):  # pictures of an earlier run would mislead
            if name.startswith(self.PREFIX + "-") and name.endswith((".png", ".xwd")):
                os.remove(os.path.join(self.artifacts, name))
        self.home = os.path.join(self.scratch, "home")
        self.config = os.path.join(self.scratch, "config")
        self.runtime = os.path.join(self.scratch, "runtime")
        self.cwd = os.path.join(self.scratch, "work")
        for d in (self.home, self.config, self.runtime, self.cwd,
                  os.path.join(self.scratch, "data")):
            os.makedirs(d, mode=0o700)
        os.makedirs(os.path.join(self.config, "Trabex"))
        with open(os.path.join(self.config, "Trabex", "trabex.INI"), "w", newline="") as f:
            f.write(OPTIONS)
        # The per-user settings (QSettings, INI format) in the config folder given below.
        self.settings_file = os.path.join(self.config, "Trabex", "Trabex.ini")
        self.starts = 0
        self.x = XSession(self.scratch)
        self.addCleanup(self.x.close)
        self.app = None
        self.addCleanup(lambda: stop(self.app))

    def keep_failure_screen(self):
        self.keep_scratch = True
        print("logs of the failed run in %s" % self.scratch)
        if self.x.server.poll() is None:
            try:
                print("screen at the failure: %s" % self.shot(self.x.grab(), "failure"))
            except (OSError, ValueError) as e:
                print("no screenshot of the failure: %s" % e)

    def shot(self, frame, name):
        return frame.save(os.path.join(self.artifacts, "%s-%s" % (self.PREFIX, name)))

    def program_env(self):
        env = dict(self.x.env, HOME=self.home, XDG_CONFIG_HOME=self.config,
                   XDG_RUNTIME_DIR=self.runtime, XDG_DATA_HOME=os.path.join(self.scratch, "data"),
                   QT_QPA_PLATFORM="xcb", LANG="C.UTF-8", LC_ALL="C.UTF-8")
        # The C locale: without a stored language the program starts in English.
        env.pop("LANGUAGE", None)
        for key in ("QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"):
            env.pop(key, None)
        return env

    def start_program(self, cwd=None, program=None, files=()):
        """Starts trabex (or a copy of it) in cwd, by default the scenario's working folder, with
        the names of files as its arguments."""
        self.assertTrue(self.app is None or self.app.poll() is not None,
                        "trabex is still running from the previous start")
        self.starts += 1
        self.app_log = open(os.path.join(self.scratch, "trabex-%d.log" % self.starts), "wb")
        self.addCleanup(self.app_log.close)
        self.app = subprocess.Popen([program or TRABEX, *files], cwd=cwd or self.cwd,
                                    env=self.program_env(), stdout=self.app_log,
                                    stderr=subprocess.STDOUT, preexec_fn=die_with_parent)

    def start_again(self, cwd, files=()):
        """Starts trabex once more while it runs, and returns its exit code and output once it
        has ended."""
        later = subprocess.run([TRABEX, *files], cwd=cwd, env=self.program_env(),
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=WAIT,
                               preexec_fn=die_with_parent)
        return later.returncode, later.stdout.decode(errors="replace")

    def alive(self):
        if self.app.poll() is not None:
            raise AssertionError("trabex ended early with code %d" % self.app.returncode)
        return True

    def wait_for_main_window(self):
        """The palette's tool buttons, the palette's top row and the main window's X window, once
        the main window is up."""
        x = self.x
        tools, palette_top = wait_for("the tool palette",
                                      lambda: self.alive() and find_palette(x.grab()))
        main = wait_for("the main window", lambda: x.windows(r"^Trabex v\."))[0]
        x.park_pointer()
        return tools, palette_top, main

    def caption(self, main):
        return self.x.xdotool("getwindowname", main).rstrip("\n")

    def save_through_dialog(self, title, path):
        """Types path into the file dialog whose title matches title (a pattern) and accepts it;
        waits for the file."""
        x = self.x
        dialog = wait_for("the %s dialog" % title, lambda: x.windows("^%s" % title))[0]
        wait_for("the dialog to take the keyboard", lambda: x.focus() == dialog)
        x.xdotool("key", "ctrl+a")
        x.xdotool("type", "--delay", 8, path)
        # Should the name field's completion list still be open, the first Enter only closes it.
        for attempt in (1, 2):
            x.xdotool("key", "Return")
            try:
                wait_for("the dialog to close", lambda: not x.windows("^%s" % title),
                         timeout=WAIT / 4 if attempt == 1 else WAIT)
                break
            except AssertionError:
                if attempt == 2:
                    raise
        wait_for("the file %s" % path, lambda: os.path.isfile(path) and os.path.getsize(path) > 0)

    def give_keyboard(self, point, main):
        """A click at point gives the main window the keyboard; the pointer is then parked."""
        self.x.click(*point)
        wait_for("the main window to take the keyboard", lambda: self.x.focus() == main)
        self.x.park_pointer()

    def maximise(self, drawing, palette_top):
        """Maximises the truss window of this drawing by a double click on its title bar and
        returns the drawing that then fills the workspace. A double click that a loaded machine
        spread too far apart is given once more; should the first one count after all, the second
        lands on the drawing and does nothing."""
        x = self.x

        def maximised():
            d = find_drawing(x.grab(), palette_top)
            return d if d["w"] > 700 and d["h"] > 560 else None
        title = title_bar_above(x.grab(), drawing)
        for attempt in (1, 2):
            x.click(*title, repeat=2)
            x.park_pointer()
            try:
                return wait_for("the truss window to fill the workspace", maximised,
                                timeout=WAIT / 2 if attempt == 1 else WAIT)
            except AssertionError:
                if attempt == 2:
                    raise

    def open_menu(self, palette_top, title=None, ink=dark, what="the File menu"):
        """Clicks a menu bar title, the columns (left, right) of its text in the colours that ink
        accepts, by default the first one (File), and returns the menu that opens: its rectangle,
        its items (see menu_items) and the picture of it."""
        x = self.x
        x.park_pointer()
        before = x.settled(menu_bar(palette_top))
        if title is None:
            titles = [t for t in menu_titles(before, palette_top) if t[1] - t[0] >= 10]
            self.assertGreaterEqual(len(titles), 3, "menu bar titles not found: %s" % titles)
            # "&File" is the first title; a maximised truss window puts only its icon before it.
            title = titles[0]
        left, right = title
        text_rows = [y for y in range(MAIN_WINDOW[1], palette_top - 4)
                     if any(ink(before.rgb(c, y)) for c in range(left, right + 1))]
        x.click((left + right) / 2, (text_rows[0] + text_rows[-1]) / 2)
        x.park_pointer()

        def painted_menu():
            frame = x.grab()
            popup = menu_popup(before, frame, text_rows[-1] + 3)
            items = menu_items(frame, popup)
            if len(items) < 2:
                raise LookupError("menu at %s not painted yet" % (popup,))
            time.sleep(0.1)
            again = x.grab()
            if any(again.pixels[y * again.stride:(y + 1) * again.stride]
                   != frame.pixels[y * frame.stride:(y + 1) * frame.stride]
                   for y in range(popup[1], popup[3])):
                return None
            return popup, items, again
        popup, items, shown = wait_for(what, painted_menu)
        self.assertLessEqual(abs(popup[0] - left), 20, "%s is not under its title" % what)
        return popup, items, shown

    def choose(self, popup, item):
        self.x.click((popup[0] + popup[2]) / 2, item[0])

    def open_menu_and_choose(self, palette_top, choose):
        """Clicks the File menu's title, then the item that choose picks from its items; returns
        the picture of the open menu."""
        popup, items, shown = self.open_menu(palette_top)
        self.choose(popup, choose(items))
        return shown

    def exit_through_menu(self, palette_top, file_items=None):
        """File > Exit, the File menu's last item, with nothing unsaved: the program ends at once
        and cleanly. Checks the number of the File menu's items when given; returns the items."""
        popup, items, shown = self.open_menu(palette_top)
        picture = self.shot(shown, "exit-menu-%d" % self.starts)
        print("screen with the File menu before Exit: %s" % picture)
        if file_items is not None:
            self.assertEqual(len(items), file_items, "items of the File menu, shown in %s" % picture)
        self.choose(popup, items[-1])
        try:
            code = self.app.wait(timeout=WAIT)
        except subprocess.TimeoutExpired:
            self.fail("trabex did not end after File > Exit; windows shown: %s"
                      % [self.x.xdotool("getwindowname", w).strip() for w in self.x.windows(".")])
        with open(self.app_log.name, "rb") as log:
            self.assertEqual(code, 0, log.read().decode(errors="replace"))
        return items


class DrawSaveExit(TrabexSession):
    PREFIX = "e2e"

    @keeps_failure_screen
    def test_draw_save_check_and_exit(self):
        self.scenario()

    def scenario(self):
        started = time.monotonic()
        self.start_program()
        x = self.x

        # The main window is up when its palette shows.
        tools, palette_top, main = self.wait_for_main_window()

        # A click on the empty workspace activates the window (there is no window manager to do
        # it), then Ctrl+N brings a truss window with an empty drawing.
        frame = x.grab()
        cx, cy = (MAIN_WINDOW[0] + MAIN_WINDOW[2]) // 2, (MAIN_WINDOW[1] + MAIN_WINDOW[3]) // 2
        workspace = frame.rgb(cx, cy)
        self.assertEqual(frame.count(lambda c: c == workspace, (cx - 10, cy - 10, cx + 11, cy + 11)),
                         21 * 21, "the middle of the window is not empty workspace")
        self.give_keyboard((cx, cy), main)
        x.xdotool("key", "ctrl+n")
        drawing = wait_for("a truss window", lambda: find_drawing(x.grab(), palette_top))

        # Maximised, the truss window leaves room for the truss.
        drawing = self.maximise(drawing, palette_top)
        ox, oy = drawing["x"], drawing["y"]
        screen = lambda p: (ox + p[0], oy + p[1])
        print("drawing at (%d, %d), %d x %d, grid colour %s"
              % (ox, oy, drawing["w"], drawing["h"], drawing["grid"]))
        for p in (A, B, C):
            self.assertLess(p[0] + 40, drawing["w"])
            self.assertLess(p[1] + 40, drawing["h"])

        # Bars: each drag with the bar tool draws one. Pressed and released up to 9 pixels off
        # the joints, less than half a grid step, the drags still snap to them.
        empty = x.grab()
        samples = {bar: [along(bar, t) for t in SAMPLES] for bar in BARS}
        for bar in BARS:
            for p in samples[bar]:
                self.assertEqual(empty.rgb(*screen(p)), WHITE)
        x.click(*tools["btDTPrut"])
        offsets = [(7, -6), (-8, 9), (9, 8)]
        for (s, r), (dx, dy) in zip(BARS, offsets):
            x.drag((screen(s)[0] + dx, screen(s)[1] + dy), (screen(r)[0] - dy, screen(r)[1] + dx))
            x.park_pointer()
            wait_for("bar %s-%s on the screen" % (s, r),
                     lambda: all(x.grab().rgb(*screen(p)) not in (WHITE, None)
                                 for p in samples[(s, r)]))
        x.park_pointer()

        # Supports at A (fixed) and B (reaction in y only), each at a click's release point.
        for tool, joint in (("btDtPevnaPod", A), ("btDtVolPodY", B)):
            x.click(*tools[tool])
            before = x.grab()
            below = (screen(joint)[0] - 15, screen(joint)[1] + 6, screen(joint)[0] + 16,
                     screen(joint)[1] + 19)
            dark_before = before.count(dark, below)
            x.click(*screen(joint))
            x.park_pointer()
            wait_for("the support at %s" % (joint,),
                     lambda: x.grab().count(dark, below) > dark_before + 15)

        # The load at C: FORCE pointing down, drawn as a purple arrow under C.
        x.click(*tools["btDtForceUp"])
        x.click(*screen(C))
        x.park_pointer()
        arrow = (screen(C)[0] - 8, screen(C)[1] - FORCE, screen(C)[0] + 9, screen(C)[1] + FORCE + 3)
        wait_for("the load at C", lambda: len(x.grab().find(LOAD_ARROW, arrow)) >= FORCE)
        loaded = x.settled(arrow)
        # Its shaft runs down from C and its head, wider than the shaft, ends FORCE pixels below.
        widths = {}
        for px, py in loaded.find(LOAD_ARROW, arrow):
            widths[py - screen(C)[1]] = widths.get(py - screen(C)[1], 0) + 1
        self.assertFalse([dy for dy in widths if dy < 0], "load arrow above the joint")
        tip = max(widths)
        self.assertTrue(FORCE - 1 <= tip <= FORCE + 1, "load arrow ends %d below C" % tip)
        shaft = [widths.get(dy, 0) for dy in range(FORCE // 4, FORCE // 2)]
        head = [widths.get(dy, 0) for dy in range(FORCE // 2 + 1, FORCE)]
        self.assertTrue(all(0 < w <= 4 for w in shaft), "load arrow shaft: %s" % widths)
        self.assertGreaterEqual(max(head), 5, "no arrow head towards +y: %s" % widths)

        # Solved, the bars show their forces' signs: tension yellow to red, compression yellow to
        # green; unsolved they would all be grey.
        def bar_colours():
            frame = x.grab()
            return shows_forces(frame, (ox, oy), [(A, B)], [(B, C), (C, A)], SAMPLES) and frame
        drawn = wait_for("the solved bars' colours", bar_colours)
        print("screen with the truss: %s" % self.shot(drawn, "truss"))

        # File > Save: the File menu's third item, "Save", whose word also starts the fourth,
        # "Save as...". With no file name yet, it asks for one.
        target = os.path.join(self.cwd, "drawn-truss.trs")
        menu = self.open_menu_and_choose(palette_top, lambda items: self.save_item(items))
        print("screen with the File menu: %s" % self.shot(menu, "menu"))
        self.save_through_dialog("Save As$", target)
        self.check_saved_file(target)
        x.park_pointer()
        shown = wait_for("the window's new title",
                         lambda: "drawn-truss" in x.xdotool("getwindowname", main) and x.grab())
        print("screen after saving: %s" % self.shot(shown, "saved"))

        # File > Exit: nothing is unsaved, so the program ends at once and cleanly.
        self.exit_through_menu(palette_top)
        print("scenario took %.1f s" % (time.monotonic() - started))

    def save_item(self, items):
        self.assertGreaterEqual(len(items), 5, "too few items in the File menu")
        save, save_as = items[2], items[3]
        word = first_word(save[1])
        self.assertTrue(word and word == first_word(save_as[1]),
                        "the File menu's third and fourth items do not start with the same word, "
                        "as Save and Save as... do")
        return save

    def open_menu_and_choose(self, palette_top, choose):
        """Clicks the File menu's title, then the item that choose picks from its items."""
        x = self.x
        x.park_pointer()
        before = x.grab()
        titles = [t for t in menu_titles(before, palette_top) if t[1] - t[0] >= 10]
        self.assertGreaterEqual(len(titles), 3, "menu bar titles not found: %s" % titles)
        # "&File" is the first title; a maximised truss window puts only its icon before it.
        text_rows = [y for y in range(MAIN_WINDOW[1], palette_top - 4)
                     if any(dark(before.rgb(c, y)) for c in range(titles[0][0], titles[0][1] + 1))]
        x.click((titles[0][0] + titles[0][1]) / 2, (text_rows[0] + text_rows[-1]) / 2)
        x.park_pointer()

        def painted_menu():
            frame = x.grab()
            popup = menu_popup(before, frame, text_rows[-1] + 3)
            items = menu_items(frame, popup)
            if len(items) < 2:
                raise LookupError("menu at %s not painted yet" % (popup,))
            time.sleep(0.1)
            again = x.grab()
            if any(again.pixels[y * again.stride:(y + 1) * again.stride]
                   != frame.pixels[y * frame.stride:(y + 1) * frame.stride]
                   for y in range(popup[1], popup[3])):
                return None
            return popup, items
        popup, items = wait_for("the File menu", painted_menu)
        self.assertLessEqual(abs(popup[0] - titles[0][0]), 20, "the menu is not under File")
        item = choose(items)
        shown = x.grab()
        x.click((popup[0] + popup[2]) / 2, item[0])
        return shown

    def check_saved_file(self, path):
        self.check_file_text(path)
        self.check_analysis(path)

    def check_file_text(self, path):
        """The file as written: its sections and keys, read here without the program's code."""
        sections = read_ini(path)
        number = lambda text: float(text.replace(",", "."))
        bars = sections["Pruty"]
        self.assertEqual(int(bars["Count"]), len(BARS))
        for i, (s, r) in enumerate(BARS):
            self.assertEqual([number(bars[k % i]) for k in ("Sa_X%d", "Sa_Y%d", "Sb_X%d", "Sb_Y%d")],
                             [s[0], s[1], r[0], r[1]], "bar %d in the file" % i)
        supports = sections["Podpery"]
        self.assertEqual(int(supports["Count"]), 2)
        placed = {(number(supports["X%d" % i]), number(supports["Y%d" % i])):
                  (int(supports["P_X%d" % i]), int(supports["P_Y%d" % i])) for i in range(2)}
        self.assertEqual(placed, {A: (1, 1), B: (0, 1)})
        loads = sections["Zatizeni"]
        self.assertEqual(int(loads["Count"]), 1)
        self.assertEqual([number(loads[k]) for k in ("X0", "Y0", "Sila0", "Uhel0")],
                         [C[0], C[1], FORCE, 90])

    def check_analysis(self, path):
        result = subprocess.run([CLI, "json", path], capture_output=True, text=True, timeout=60,
                                env=dict(os.environ, QT_QPA_PLATFORM="offscreen",
                                         HOME=self.scratch, XDG_RUNTIME_DIR=self.scratch))
        self.assertEqual(result.returncode, 0, result.stderr)
        doc = json.loads(result.stdout)
        self.assertEqual(doc["err"], 0)
        self.assertEqual(doc["static_indeterminacy"], 0)

        # The geometry drawn: three bars as dragged, both supports, one load.
        self.assertEqual([(tuple(b["a"]), tuple(b["b"])) for b in doc["bars"]], BARS)
        self.assertEqual(sorted((j["x"], j["y"]) for j in doc["joints"]), sorted([A, B, C]))
        supports = {(s["x"], s["y"]): s for s in doc["supports"]}
        self.assertEqual(sorted(supports), sorted([A, B]))
        self.assertEqual(supports[A]["fixed"], "xy")
        self.assertEqual(supports[B]["fixed"], "y")
        self.assertEqual([(f["x"], f["y"], f["sila"], f["uhel"]) for f in doc["forces"]],
                         [(C[0], C[1], FORCE, 90)])

        # The forces, against the hand solution.
        bars, reactions = hand_solution()
        for b in doc["bars"]:
            expected = bars[frozenset((tuple(b["a"]), tuple(b["b"])))]
            self.assertAlmostEqual(b["force"], expected, places=9, msg="bar %s" % b)
        for point, (rx, ry) in reactions.items():
            s = supports[point]
            if rx is None:
                self.assertIsNone(s["reaction_x"])
            else:
                self.assertAlmostEqual(s["reaction_x"], rx, places=9, msg="support %s" % s)
            self.assertAlmostEqual(s["reaction_y"], ry, places=9, msg="support %s" % s)

        # And each joint is in balance with the program's own numbers.
        for j in doc["joints"]:
            p = (j["x"], j["y"])
            fx = fy = 0.0
            for b in doc["bars"]:
                ends = (tuple(b["a"]), tuple(b["b"]))
                if p in ends:
                    q = ends[1] if ends[0] == p else ends[0]
                    length = math.dist(p, q)
                    fx += b["force"] * (q[0] - p[0]) / length
                    fy += b["force"] * (q[1] - p[1]) / length
            for f in doc["forces"]:
                if (f["x"], f["y"]) == p:
                    fx += f["sila"] * math.cos(math.radians(f["uhel"]))
                    fy += f["sila"] * math.sin(math.radians(f["uhel"]))
            if p in supports:
                fx += supports[p]["reaction_x"] or 0.0
                fy += supports[p]["reaction_y"] or 0.0
            self.assertAlmostEqual(fx, 0, places=9, msg="joint %s" % (p,))
            self.assertAlmostEqual(fy, 0, places=9, msg="joint %s" % (p,))


class LanguageSwitch(TrabexSession):
    """Started in Czech from the stored settings, switched to English with the mouse."""

    PREFIX = "language"

    def caption_in(self, code):
        return "Trabex v.%s (%s)" % (VERSION, code)

    @keeps_failure_screen
    def test_language_menu_switches_the_program_and_is_stored(self):
        started = time.monotonic()
        x = self.x
        with open(self.settings_file, "w", encoding="utf-8") as f:
            f.write("[Last]\nLanguage=cs\n")
        self.start_program()
        _, palette_top, main = self.wait_for_main_window()
        self.assertEqual(self.caption(main), self.caption_in("cs"))
        bar = menu_bar(palette_top)
        palette = (MAIN_WINDOW[0], palette_top, MAIN_WINDOW[2], palette_top + 24)
        czech = x.settled(bar)
        print("screen in Czech: %s" % self.shot(czech, "czech"))
        # Soubor, Upravy (disabled with no truss window), Nastavit, Jazyk, Analyza, Okno: the
        # language menu is the fourth.
        ink = any_ink(czech, palette_top)
        titles_cs = menu_titles(czech, palette_top, ink)
        self.assertEqual(len(titles_cs), 6, "menu bar titles in Czech: %s" % titles_cs)

        popup, items, shown = self.open_menu(palette_top, titles_cs[3], ink, "the language menu")
        print("screen with the language menu: %s" % self.shot(shown, "menu"))
        # English and Czech, sorted by their names: "English" before "Cestina".
        self.assertEqual(len(items), 2, "items of the language menu")
        self.assertNotEqual(first_word(items[0][1]), first_word(items[1][1]))
        self.choose(popup, items[0])
        x.park_pointer()
        wait_for("the English caption", lambda: self.caption(main) == self.caption_in("en"))

        # The whole window speaks English at once: the menu bar and the palette's check boxes.
        def translated():
            frame = x.settled(bar)
            return not frame.same_in(czech, bar) and frame
        english = wait_for("the menu bar in English", translated)
        self.assertFalse(english.same_in(czech, palette), "the palette's texts did not change")
        print("screen in English: %s" % self.shot(english, "english"))
        titles_en = menu_titles(english, palette_top, ink)
        self.assertEqual(len(titles_en), 6, "menu bar titles in English: %s" % titles_en)
        # "File" is narrower than "Soubor", so the second title starts nearer the first;
        # "Language" is wider than "Jazyk".
        width = lambda title: title[1] - title[0]
        self.assertLess(titles_en[1][0] - titles_en[0][0], titles_cs[1][0] - titles_cs[0][0],
                        "the first menu title is not narrower: %s, then %s"
                        % (titles_cs, titles_en))
        self.assertGreater(width(titles_en[3]), width(titles_cs[3]),
                           "the language menu's title is not wider: %s, then %s"
                           % (titles_cs, titles_en))

        # No document was opened, so the File menu has no recent files: New, Open, Save,
        # Save as, Screenshot, Export, Print, Export report as PDF and Exit.
        self.exit_through_menu(palette_top, file_items=9)
        self.assertEqual(read_ini(self.settings_file).get("Last", {}).get("Language"), "en",
                         "the language stored in %s" % self.settings_file)

        # The next start is in English.
        self.start_program()
        _, palette_top, main = self.wait_for_main_window()
        self.assertEqual(self.caption(main), self.caption_in("en"))
        again = x.settled(bar)
        picture = self.shot(again, "restarted")
        print("screen after the next start: %s" % picture)
        self.assertTrue(again.same_in(english, bar),
                        "the menu bar differs from the one switched to; shown in %s" % picture)
        self.exit_through_menu(palette_top, file_items=9)
        print("scenario took %.1f s" % (time.monotonic() - started))


class TrussOnScreen:
    """For scenarios that open truss files: what a file holds and how it shows on the screen."""

    # Along the bars of the file's truss, clear of the joints and of the labels at the middle.
    SAMPLES = (0.15, 0.25, 0.75, 0.85)

    def truss_of(self, path):
        """The bars of a truss file, split by their forces' signs, as trabex-cli solves them."""
        result = subprocess.run([CLI, "json", path], capture_output=True, text=True, timeout=60,
                                env=dict(os.environ, QT_QPA_PLATFORM="offscreen",
                                         HOME=self.scratch, XDG_RUNTIME_DIR=self.runtime))
        self.assertEqual(result.returncode, 0, result.stderr)
        doc = json.loads(result.stdout)
        self.assertEqual(doc["err"], 0)
        bar = lambda b: (tuple(b["a"]), tuple(b["b"]))
        tension = [bar(b) for b in doc["bars"] if b["force"] > 1e-6]
        compression = [bar(b) for b in doc["bars"] if b["force"] < -1e-6]
        self.assertTrue(tension and compression and len(tension) + len(compression)
                        == len(doc["bars"]), "the file's truss is no use here: %s" % doc["bars"])
        return tension, compression

    def wait_for_truss(self, palette_top, tension, compression, what):
        """A drawing that shows these bars, solved: the drawing and the picture of it."""
        def drawn():
            frame = self.x.grab()
            drawing = find_drawing(frame, palette_top)
            if not shows_forces(frame, (drawing["x"], drawing["y"]), tension, compression,
                                self.SAMPLES):
                raise LookupError("a drawing at (%d, %d) without the truss"
                                  % (drawing["x"], drawing["y"]))
            return drawing, frame
        return wait_for(what, drawn)

    def check_title(self, main, drawing, palette_top, name):
        """The truss window's title, read from the main window's caption while the truss window
        is maximised: Qt adds the child's title to it, as " - [title]". With no stored language
        the program speaks the C locale's English."""
        drawing = self.maximise(drawing, palette_top)
        caption = "Trabex v.%s (en) - [%s]" % (VERSION, name)
        wait_for("the caption %r" % caption, lambda: self.caption(main) == caption)
        return drawing


class CommandFileAndReopen(TrussOnScreen, TrabexSession):
    """A start whose command file opens a truss, an exit with it open, and a start that reopens
    it from the recent-files list."""

    PREFIX = "startup"

    @keeps_failure_screen
    def test_command_file_opens_and_exit_keeps_it_for_the_next_start(self):
        started = time.monotonic()
        x = self.x
        folder = os.path.join(self.scratch, "bridge-folder")
        os.makedirs(folder)
        document = os.path.join(folder, "bridge.trs")
        shutil.copyfile(TRIANGLE_FILE, document)
        command_file = os.path.join(folder, "Trabex.run")
        with open(command_file, "w", encoding="utf-8") as f:
            f.write("[Open]\nbridge.trs\n[Delete]\nTrabex.run\n")
        tension, compression = self.truss_of(document)

        # First start: the command file opens the truss and is gone.
        self.start_program(cwd=folder)
        _, palette_top, main = self.wait_for_main_window()
        drawing, frame = self.wait_for_truss(palette_top, tension, compression,
                                             "the truss named in the command file")
        print("screen after the command file: %s" % self.shot(frame, "command-file"))
        wait_for("Trabex.run to be deleted", lambda: not os.path.exists(command_file))
        self.assertTrue(os.path.isfile(document), "the opened file was deleted too")
        self.check_title(main, drawing, palette_top, "bridge")
        print("screen with the truss window maximised: %s"
              % self.shot(x.grab(), "command-file-maximised"))

        # File > Exit with the truss open: the File menu now lists it as recent file 1, between
        # Screenshot and Export.
        first_items = self.exit_through_menu(palette_top, file_items=10)
        recent = read_ini(self.settings_file).get("LastLoad", {})
        # The relative name of the command file is kept as a full one.
        self.assertTrue(recent.get("File1") and os.path.isabs(recent["File1"]) and
                        os.path.samefile(recent["File1"], document), "recent files: %s" % recent)
        self.assertEqual(recent.get("Open1"), "1", "recent files: %s" % recent)
        self.assertFalse(os.path.exists(command_file))

        # Second start, no command file, in another folder: the truss opens again from the
        # recent-files list.
        self.start_program(cwd=self.cwd)
        _, palette_top, main = self.wait_for_main_window()
        drawing, frame = self.wait_for_truss(palette_top, tension, compression,
                                             "the truss reopened")
        print("screen after reopening: %s" % self.shot(frame, "reopened"))
        self.check_title(main, drawing, palette_top, "bridge")
        items = self.exit_through_menu(palette_top, file_items=10)
        # The recent-files item reads the same as before: "1 bridge [open]".
        self.assertEqual(items[5][1], first_items[5][1], "the File menu's recent-files item")
        self.assertNotEqual(items[5][1], items[4][1])
        print("scenario took %.1f s" % (time.monotonic() - started))


class FilesFromTheDesktop(TrussOnScreen, TrabexSession):
    """A start with a file named on its command line, then later starts while it runs: one
    with another file, which the running program opens, and one with none; both end at once
    without a window of their own and without counting as starts."""

    PREFIX = "desktop"

    @keeps_failure_screen
    def test_named_file_opens_and_later_starts_hand_over_to_the_running_program(self):
        started = time.monotonic()
        x = self.x
        folder = os.path.join(self.scratch, "trusses")
        os.makedirs(folder)
        first, second = (os.path.join(folder, name) for name in ("first.trs", "second.trs"))
        shutil.copyfile(TRIANGLE_FILE, first)
        shutil.copyfile(TRIANGLE_FILE, second)
        tension, compression = self.truss_of(first)

        # Started in the files' folder with a relative name.
        self.start_program(cwd=folder, files=["first.trs"])
        _, palette_top, main = self.wait_for_main_window()
        drawing, frame = self.wait_for_truss(palette_top, tension, compression,
                                             "the truss named on the command line")
        print("screen after a start with a file: %s" % self.shot(frame, "named-file"))
        self.check_title(main, drawing, palette_top, "first")

        # A later start in another folder names the second file relatively to that folder; the
        # running program opens it, maximised as the window before it.
        code, output = self.start_again(self.cwd, [os.path.relpath(second, self.cwd)])
        self.assertEqual(code, 0, output)
        caption = "Trabex v.%s (en) - [second]" % VERSION
        wait_for("the caption %r" % caption, lambda: self.caption(main) == caption)
        self.assertEqual(x.windows(r"^Trabex v\."), [main], "the later start showed a window")

        def fills_workspace():
            drawing = find_drawing(x.grab(), palette_top)
            return drawing["w"] > 700 and drawing["h"] > 560
        wait_for("the handed-over truss window to fill the workspace", fills_workspace)
        print("screen after the hand-over: %s" % self.shot(x.settled(MAIN_WINDOW), "handed-over"))

        # A later start with no file only brings the running program to the front.
        code, output = self.start_again(self.cwd)
        self.assertEqual(code, 0, output)
        self.assertEqual(x.windows(r"^Trabex v\."), [main])
        self.assertEqual(self.caption(main), caption)

        # New, Open, Save, Save as, Screenshot, the two files, Export, Print, Export report as
        # PDF, Exit.
        self.exit_through_menu(palette_top, file_items=11)
        settings = read_ini(self.settings_file)
        self.assertEqual(settings.get("Info", {}).get("NoOfExecute"), "1",
                         "the later starts were counted: %s" % settings.get("Info"))
        recent = settings.get("LastLoad", {})
        self.assertTrue(os.path.samefile(recent.get("File1"), second) and
                        os.path.samefile(recent.get("File2"), first), "recent files: %s" % recent)
        print("scenario took %.1f s" % (time.monotonic() - started))


def same_bars(count):
    """A truss file of count copies of one bar: count unknowns on two joints."""
    lines = ["[Pruty]", "Count=%d" % count]
    for i in range(count):
        lines += ["Sa_X%d=40" % i, "Sa_Y%d=40" % i, "Sb_X%d=120" % i, "Sb_Y%d=40" % i]
    return "\r\n".join(lines + ["", ""])


class UnsolvableDocument(TrabexSession):
    """A start whose command file names a truss of more unknowns than the 200 equations hold: the
    program keeps running, its warning can be dismissed, and the command file is still carried
    out to its end."""

    PREFIX = "unsolvable"

    @keeps_failure_screen
    def test_truss_beyond_the_equations_is_warned_of_and_the_program_goes_on(self):
        started = time.monotonic()
        x = self.x
        folder = os.path.join(self.scratch, "big-folder")
        os.makedirs(folder)
        document = os.path.join(folder, "over.trs")
        with open(document, "w", newline="") as f:
            f.write(same_bars(201))
        with open(document, "rb") as f:
            before = f.read()
        command_file = os.path.join(folder, "Trabex.run")
        with open(command_file, "w", encoding="utf-8") as f:
            f.write("[Open]\nover.trs\n[Delete]\nTrabex.run\n")

        self.start_program(cwd=folder)
        _, palette_top, _ = self.wait_for_main_window()
        # With no stored language the program speaks English: the warning is titled "Error!".
        box = wait_for("the warning box", lambda: self.alive() and x.windows(r"^Error!$"))[0]
        print("screen with the warning: %s" % self.shot(x.grab(), "warning"))
        x.xdotool("windowfocus", "--sync", box)
        x.xdotool("key", "Return")
        wait_for("the warning to close", lambda: self.alive() and not x.windows(r"^Error!$"))
        wait_for("Trabex.run to be deleted", lambda: not os.path.exists(command_file))
        wait_for("the truss window", lambda: find_drawing(x.grab(), palette_top))
        print("screen after the warning: %s" % self.shot(x.grab(), "after-warning"))
        self.exit_through_menu(palette_top, file_items=10)
        with open(document, "rb") as f:
            self.assertEqual(f.read(), before, "the document was changed")
        print("scenario took %.1f s" % (time.monotonic() - started))


def panel_changes(before, after, box):
    """Runs of rows inside box (x0, y0, x1, y1) where two pictures differ, top to bottom, each
    with the span of columns that differ in it: [((y0, y1), (x0, x1))], ends exclusive."""
    x0, y0, x1, y1 = clip(box, after)
    step = after.step
    rows = [y for y in range(y0, y1)
            if after.pixels[y * after.stride + x0 * step:y * after.stride + x1 * step]
            != before.pixels[y * before.stride + x0 * step:y * before.stride + x1 * step]]
    found = []
    for first, last in runs(rows, gap=2):
        xs = [x for y in range(first, last + 1) for x in range(x0, x1)
              if after.rgb(x, y) != before.rgb(x, y)]
        found.append(((first, last + 1), (min(xs), max(xs) + 1)))
    return found


def ink_mask(frame, rows, columns, margin=2):
    """The dark pixels (text) around a changed spot, relative to its box's corner, and the box's
    size."""
    x0, x1 = columns[0] - margin, columns[1] + margin
    y0, y1 = rows[0] - margin, rows[1] + margin
    mask = {(x - x0, y - y0) for y in range(y0, y1) for x in range(x0, x1)
            if dark(frame.rgb(x, y))}
    return mask, (x1 - x0, y1 - y0)


def holes(mask, size):
    """How many enclosed blank regions a glyph's ink has: 1 for "0", none for "2"."""
    w, h = size
    blank = {(x, y) for x in range(w) for y in range(h)} - mask
    outside = {p for p in blank if p[0] in (0, w - 1) or p[1] in (0, h - 1)}
    todo = list(outside)
    while todo:
        x, y = todo.pop()
        for q in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if q in blank and q not in outside:
                outside.add(q)
                todo.append(q)
    return len(clusters(blank - outside)) if blank - outside else 0


def read_digit(mask, size):
    """"0", "1" or "2" from the shape of one digit's ink: a hole makes a 0; without one, a foot
    across most of the glyph's width makes a 2, a narrow one a 1."""
    if not mask:
        raise LookupError("no digit")
    if holes(mask, size):
        return "0"
    xs = [x for x, _ in mask]
    bottom = max(y for _, y in mask)
    foot = [x for x, y in mask if y == bottom]
    return "2" if max(foot) - min(foot) + 1 >= 0.6 * (max(xs) - min(xs) + 1) else "1"


def is_dashes(mask):
    """Ink one or two pixels high: the "---" of a sum the panel cannot give."""
    ys = [y for _, y in mask]
    return bool(mask) and max(ys) - min(ys) <= 2


class BridgeMechanism(TrabexSession):
    """The 100-joint bridge opened, one diagonal picked with the Select tool and deleted with the
    Delete key: the side panel reads a mechanism (state 2, sums "---") and every bar turns grey;
    Ctrl+Z brings the diagonal and the forces back."""

    PREFIX = "select"
    BRIDGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples",
                          "pratt-bridge.trs")
    # A diagonal of the bridge, from the top chord down to the bottom one; its nearest neighbours
    # lie 10 pixels from its middle.
    DIAGONAL = ((220, 360), (240, 400))
    # Bars 40 pixels and longer are sampled a quarter from their ends, clear of the joints' dots.
    SAMPLES = (0.25, 0.75)

    def bars_of(self, path, width):
        """The long bars that lie wholly left of x = width, split by their forces' signs."""
        result = subprocess.run([CLI, "json", path], capture_output=True, text=True, timeout=60,
                                env=dict(os.environ, QT_QPA_PLATFORM="offscreen",
                                         HOME=self.scratch, XDG_RUNTIME_DIR=self.runtime))
        self.assertEqual(result.returncode, 0, result.stderr)
        doc = json.loads(result.stdout)
        self.assertEqual(doc["err"], 0)
        self.assertEqual(len(doc["joints"]), 100)
        shown = [b for b in doc["bars"] if max(b["a"][0], b["b"][0]) < width - 10
                 and math.dist(b["a"], b["b"]) >= 40 and abs(b["force"]) > 1e-3]
        bar = lambda b: (tuple(b["a"]), tuple(b["b"]))
        tension = [bar(b) for b in shown if b["force"] > 0]
        compression = [bar(b) for b in shown if b["force"] < 0]
        self.assertTrue(len(tension) >= 5 and len(compression) >= 5, "bars: %s" % shown)
        return tension, compression

    @keeps_failure_screen
    def test_deleted_diagonal_makes_a_mechanism_and_undo_brings_it_back(self):
        started = time.monotonic()
        x = self.x
        document = os.path.join(self.cwd, "bridge.trs")
        shutil.copyfile(self.BRIDGE, document)
        # Without the bars' labels, which at this density would cover the bars' colours.
        with open(os.path.join(self.config, "Trabex", "trabex.INI"), "w", newline="") as f:
            f.write(OPTIONS.replace("aShowPrutForce_Checked=True", "aShowPrutForce_Checked=False")
                    .replace("aShowPrutName_Checked=True", "aShowPrutName_Checked=False"))
        self.start_program(files=[document])
        tools, palette_top, main = self.wait_for_main_window()
        # The bridge opens fitted into the new window; back at 100 % its bars stand at their
        # drawing coordinates and the grid at its own step. A click above the bars with the bar
        # tool (pressed and released at one point, it adds nothing) gives the window the keys.
        fitted = wait_for("the bridge fitted", lambda: bar_box(x.grab(), MAIN_WINDOW))
        self.give_keyboard(((fitted[0] + fitted[2]) // 2, fitted[1] - 12), main)
        x.xdotool("key", "ctrl+0")
        drawing = wait_for("the bridge's window", lambda: find_drawing(x.grab(), palette_top))
        drawing = self.maximise(drawing, palette_top)
        ox, oy = drawing["x"], drawing["y"]
        screen = lambda p: (ox + p[0], oy + p[1])
        tension, compression = self.bars_of(document, drawing["w"])
        # The side panel stands right of the drawing, as high as the drawing.
        panel = (ox + drawing["w"] + 4, oy, MAIN_WINDOW[2], oy + drawing["h"])

        def solved_bars():
            frame = x.grab()
            return shows_forces(frame, (ox, oy), tension, compression, self.SAMPLES) and frame
        solved = wait_for("the solved bridge", solved_bars)
        solved = x.settled(panel)
        print("screen with the bridge: %s" % self.shot(solved, "bridge"))

        # The Select tool's button stands left of the move tool's, one button's pitch away.
        pitch = tools["btDTPrut"][0] - tools["btDtMove"][0]
        x.click(tools["btDtMove"][0] - pitch, tools["btDtMove"][1])
        middle = screen(along(self.DIAGONAL, 0.5))
        core = solved.rgb(*screen(along(self.DIAGONAL, 0.25)))
        x.click(middle[0] + 2, middle[1] + 1)
        x.park_pointer()
        wait_for("the main window to take the keyboard", lambda: x.focus() == main)
        # The highlight lies over the bar: its colour there is no longer the bar's.
        picked = wait_for("the diagonal highlighted",
                          lambda: (lambda f: f.rgb(*screen(along(self.DIAGONAL, 0.25))) != core
                                   and f)(x.grab()))
        print("screen with the diagonal selected: %s" % self.shot(picked, "selected"))

        x.xdotool("key", "Delete")

        def mechanism():
            frame = x.settled(panel)
            changes = panel_changes(solved, frame, panel)
            # Bars, indeterminacy, state, the two sums; then the report below them.
            if len(changes) < 5:
                raise LookupError("the panel has not changed enough: %s" % changes)
            state, sum1, sum2 = changes[2:5]
            if not (is_dashes(ink_mask(frame, *sum1)[0]) and is_dashes(ink_mask(frame, *sum2)[0])):
                raise LookupError("the sums are not dashes")
            return frame, state
        broken, state = wait_for("the panel to show a mechanism", mechanism)
        print("screen with the diagonal deleted: %s" % self.shot(broken, "deleted"))
        self.assertEqual(read_digit(*ink_mask(solved, *state)), "0", "the state before")
        self.assertEqual(read_digit(*ink_mask(broken, *state)), "2", "the state after")
        grey = (192, 192, 192)
        for bar in tension[:3] + compression[:3]:
            self.assertEqual(broken.rgb(*screen(along(bar, 0.25))), grey, "bar %s" % (bar,))
        self.assertNotEqual(broken.rgb(*screen(along(self.DIAGONAL, 0.25))), core)

        x.xdotool("key", "ctrl+z")
        back = wait_for("the forces back", solved_bars)
        back = x.settled(panel)
        print("screen after undo: %s" % self.shot(back, "undone"))
        self.assertTrue(back.same_in(solved, panel), "the panel differs from the solved one")
        self.assertEqual(back.rgb(*screen(along(self.DIAGONAL, 0.25))), core)
def bar_box(frame, box):
    """The bounding box (x0, y0, x1, y1, exclusive ends) of the solved bars' colours in box, or
    None."""
    x0, y0, x1, y1 = clip(box, frame)
    xs, ys = [], []
    for y in range(y0, y1):
        row = zip(frame.channel_row(y, x0, x1, 0), frame.channel_row(y, x0, x1, 1),
                  frame.channel_row(y, x0, x1, 2))
        hits = [x0 + i for i, c in enumerate(row) if tension_colour(c) or compression_colour(c)]
        if hits:
            xs += (hits[0], hits[-1])
            ys.append(y)
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None


class FitLargeTruss(TrabexSession):
    """The 100-joint bridge, 980 drawing units wide, opened by a command file in a new window of
    some 650 pixels: it opens fitted, runs off the drawing when zoomed in with the keys, and is
    whole again after Ctrl+F."""

    PREFIX = "fit"
    # Pixels a fit leaves free on each side of the truss.
    MARGIN = 30

    def drawing_edges(self, frame, bars):
        """The drawing's left and right edge along a row of white and grid just above the bars:
        the first pixels that are neither, out from the bars' middle."""
        y = bars[1] - 12
        background = lambda c: c == WHITE or (c is not None and c[0] == c[1] == c[2] == 192)
        left = right = (bars[0] + bars[2]) // 2
        while background(frame.rgb(left - 1, y)):
            left -= 1
        while background(frame.rgb(right, y)):
            right += 1
        if right - left < 300:
            raise LookupError("no drawing around the bars at row %d" % y)
        return left, right

    def wait_for_bars(self, what, shown):
        """A settled picture whose bars, against the drawing's edges, pass shown(bars, edges)."""
        area = (MAIN_WINDOW[0], MAIN_WINDOW[1], MAIN_WINDOW[2], MAIN_WINDOW[3])

        def probe():
            frame = self.x.grab()
            bars = bar_box(frame, area)
            if bars is None:
                raise LookupError("no solved bars on the screen")
            edges = self.drawing_edges(frame, bars)
            return shown(bars, edges) and (frame, bars, edges)
        return wait_for(what, probe)

    def whole(self, bars, edges):
        """The bars' colours span the drawing less the margins, give or take the joint dots (5
        pixels round the end joints) that cover the bars' ends."""
        left, right = bars[0] - edges[0], edges[1] - bars[2]
        return abs(left - self.MARGIN) <= 7 and abs(right - self.MARGIN) <= 7

    @keeps_failure_screen
    def test_bridge_is_fitted_on_opening_and_by_the_key(self):
        started = time.monotonic()
        x = self.x
        folder = os.path.join(self.scratch, "bridge-folder")
        os.makedirs(folder)
        shutil.copyfile(BRIDGE_FILE, os.path.join(folder, "bridge.trs"))
        with open(os.path.join(folder, "Trabex.run"), "w", encoding="utf-8") as f:
            f.write("[Open]\nbridge.trs\n[Delete]\nTrabex.run\n")
        self.start_program(cwd=folder)
        _, palette_top, main = self.wait_for_main_window()
        frame, bars, edges = self.wait_for_bars("the bridge fitted on opening", self.whole)
        print("screen with the bridge opened: %s" % self.shot(frame, "opened"))

        # A click on the drawing above the bridge (the bar tool adds nothing where it is
        # pressed and released) gives the window the keyboard; two steps in, about the middle.
        self.give_keyboard(((bars[0] + bars[2]) // 2, bars[1] - 12), main)
        for _ in range(2):
            x.xdotool("key", "ctrl+equal")
        frame, bars, edges = self.wait_for_bars(
            "the bridge zoomed in beyond the drawing",
            lambda b, e: b[0] <= e[0] + 2 and b[2] >= e[1] - 2)
        print("screen zoomed in: %s" % self.shot(frame, "zoomed"))

        x.xdotool("key", "ctrl+f")
        frame, bars, edges = self.wait_for_bars("the bridge fitted by Ctrl+F", self.whole)
        print("screen after Ctrl+F: %s" % self.shot(x.settled(
            (edges[0], bars[1] - 40, edges[1], bars[3] + 40)), "fitted"))
        self.exit_through_menu(palette_top, file_items=10)
        print("scenario took %.1f s" % (time.monotonic() - started))


class UpdateServer:
    """A web server on 127.0.0.1 publishing a newer Trabex: the information page, carrying the
    publisher's signature line, and the setup file. Records the paths asked for."""

    def __init__(self, setup, signature_line):
        import http.server
        import threading
        page = ("<html><head>\r\n"
                '<META NAME="mxProduct" CONTENT="Trabex">\r\n'
                '<META NAME="mxVersion" CONTENT="9.9.9.9">\r\n'
                '<META NAME="mxDownload" CONTENT="/files/setup.sh">\r\n'
                '<META NAME="mxClientSideName" CONTENT="TrabexSetup.sh">\r\n'
                + signature_line + "\r\n"
                "</head><body>Trabex 9.9.9.9</body></html>\r\n").encode()
        files = {"/TrabexUpdateInfo.htm": page, "/files/setup.sh": setup}
        self.paths = []
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                server.paths.append((self.path, self.request_version))
                body = files.get(self.path)
                if body is None:
                    self.send_error(404)
                    return
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.HTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


SIGN_UPDATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "update-server",
                           "sign-update.sh")


class UpdateSession(TrabexSession):
    """A publisher with a key pair of the signing script, a server and a copy of the program that
    trusts the publisher's key."""

    def sign_update(self, *args):
        result = subprocess.run(["bash", SIGN_UPDATE, *args], capture_output=True, text=True,
                                timeout=60)
        self.assertEqual(result.returncode, 0, "sign-update.sh %s: %s" % (args, result.stderr))
        return result.stdout.strip()

    def publish_and_start(self, tampered):
        """Signs a setup script that leaves a marker file when it runs and serves it, changed on
        the way when tampered; starts a copy of the program in a folder of its own (the setup file
        goes beside it). Returns that folder, the marker's path and the server."""
        program_dir = os.path.join(self.scratch, "program")
        os.makedirs(program_dir)
        program = os.path.join(program_dir, "trabex")
        shutil.copy2(TRABEX, program)
        shutil.copytree(os.path.join(os.path.dirname(TRABEX), "Langs"),
                        os.path.join(program_dir, "Langs"))
        marker = os.path.join(self.scratch, "setup-ran")
        publisher = os.path.join(self.scratch, "publisher")
        key = os.path.join(publisher, "update-key.pem")
        public_key = self.sign_update("keygen", key)
        setup = os.path.join(publisher, "trabex-setup.sh")
        script = ("#!/bin/sh\necho ran > '%s'\n" % marker).encode()
        with open(setup, "wb") as f:
            f.write(script)
        line = self.sign_update("sign", setup, key)
        server = UpdateServer(script + b"# changed on the way\n" if tampered else script, line)
        self.addCleanup(server.close)
        with open(self.settings_file, "w", encoding="utf-8") as f:
            f.write("[Update]\nHost=127.0.0.1\nPort=%d\nPublicKey=%s\n" % (server.port, public_key))
        self.start_program(program=program)
        return program_dir, marker, server

    def answer_yes(self):
        x = self.x
        question = wait_for("the update question",
                            lambda: self.alive() and x.windows("^New version available$"))[0]
        geometry = x.xdotool("getwindowgeometry", question)
        left, top = map(int, re.search(r"Position: (-?\d+),(-?\d+)", geometry).groups())
        print("screen with the update question: %s" % self.shot(x.settled(
            (left, top, left + 281, top + 164)), "question"))
        # "Yes" is the dialog's first button: 75 x 25 at (40, 128) of its client area.
        x.click(left + 40 + 37, top + 128 + 12)


class UpdateAccepted(UpdateSession):
    """A server publishes a newer version signed by the publisher; "Yes" downloads the setup file,
    it runs and the program ends."""

    PREFIX = "update"

    @keeps_failure_screen
    def test_newer_version_is_downloaded_started_and_the_program_ends(self):
        started = time.monotonic()
        program_dir, marker, server = self.publish_and_start(tampered=False)
        self.answer_yes()
        wait_for("the setup file to run", lambda: os.path.exists(marker))
        setup = os.path.join(program_dir, "TrabexSetup.sh")
        self.assertTrue(os.access(setup, os.X_OK), "the setup file is not executable")
        wait_for("the program to end", lambda: self.app.poll() is not None)
        self.assertEqual(self.app.returncode, 0)
        self.assertEqual(server.paths, [("/TrabexUpdateInfo.htm", "HTTP/1.0"),
                                        ("/files/setup.sh", "HTTP/1.0")])
        print("scenario took %.1f s" % (time.monotonic() - started))


class UpdateTampered(UpdateSession):
    """The setup file is changed after the publisher signed it; "Yes" downloads it, the program
    refuses it with one error box, deletes it, starts nothing and goes on."""

    PREFIX = "tampered"

    @keeps_failure_screen
    def test_a_file_changed_after_signing_is_deleted_and_not_started(self):
        started = time.monotonic()
        x = self.x
        program_dir, marker, server = self.publish_and_start(tampered=True)
        self.answer_yes()
        box = wait_for("the error box", lambda: self.alive() and x.windows("^Trabex$"))
        self.assertEqual(len(box), 1, "one error box")
        print("screen with the error box: %s" % self.shot(x.grab(), "refused"))
        self.assertEqual(server.paths, [("/TrabexUpdateInfo.htm", "HTTP/1.0"),
                                        ("/files/setup.sh", "HTTP/1.0")])
        self.assertEqual(sorted(os.listdir(program_dir)), ["Langs", "trabex"],
                         "the refused download is deleted")
        x.xdotool("windowfocus", "--sync", box[0])
        x.xdotool("key", "Return")
        wait_for("the error box to close", lambda: not x.windows("^Trabex$") or None)
        self.assertFalse(os.path.exists(marker), "the refused setup file ran")
        _tools, palette_top, _main = self.wait_for_main_window()
        self.exit_through_menu(palette_top)
        self.assertFalse(os.path.exists(marker), "the refused setup file ran")
        print("scenario took %.1f s" % (time.monotonic() - started))


class ResultsThroughTheMenus(TrabexSession):
    """The loaded triangle of tests/data opened from the command line; File > Export > Results as
    CSV and File > Export report as PDF write files that hold the forces worked out by hand: 5 up
    at each support, the sloping bars -10 / (2 sin 45) = -5 sqrt 2 in compression, the base +5 in
    tension."""

    PREFIX = "export"

    @keeps_failure_screen
    def test_results_csv_and_report_pdf_through_the_file_menu(self):
        started = time.monotonic()
        x = self.x
        document = os.path.join(self.cwd, "triangle.trs")
        shutil.copyfile(TRIANGLE_FILE, document)
        self.start_program(files=[document])
        _, palette_top, main = self.wait_for_main_window()
        wait_for("the truss window", lambda: find_drawing(x.grab(), palette_top))

        # New, Open, Save, Save as, Screenshot, the file, Export, Print, Export report as PDF,
        # Exit. The key E ("&Export") opens the submenu at its first item, Results as CSV.
        table = os.path.join(self.cwd, "results.csv")
        popup, items, shown = self.open_menu(palette_top)
        print("screen with the File menu: %s" % self.shot(shown, "file-menu"))
        self.assertEqual(len(items), 10, "items of the File menu")
        x.xdotool("key", "e")
        time.sleep(0.3)
        print("screen with the Export menu: %s" % self.shot(x.grab(), "export-menu"))
        x.xdotool("key", "Return")
        self.save_through_dialog("Results as CSV", table)

        report = os.path.join(self.cwd, "report.pdf")
        popup, items, _ = self.open_menu(palette_top)
        self.choose(popup, items[-2])
        self.save_through_dialog("Export report as PDF", report)

        with open(table, newline="", encoding="utf-8") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows[0], ["Bars"])
        bars = {int(r[0]): r for r in rows[2:5]}
        self.assertEqual(float(bars[1][3]), 200)
        self.assertAlmostEqual(float(bars[1][4]), 5, places=9)
        self.assertEqual(bars[1][5], "tension")
        for number in (2, 3):
            self.assertAlmostEqual(float(bars[number][4]), -5 * math.sqrt(2), places=9)
            self.assertEqual(bars[number][5], "compression")
        supports = rows[rows.index(["Supports"]) + 2:rows.index(["Supports"]) + 4]
        self.assertEqual([round(float(r[5]), 9) for r in supports], [-5, -5])

        with open(report, "rb") as f:
            self.assertEqual(f.read(5), b"%PDF-")
        if shutil.which("pdftotext"):
            text = subprocess.run(["pdftotext", "-layout", report, "-"], capture_output=True,
                                  text=True, timeout=60).stdout
            self.assertIn("triangle.trs", text)
            self.assertIn("-7.07107", text)
            self.assertIn("Page 1 of", text)

        self.exit_through_menu(palette_top, file_items=10)
        print("scenario took %.1f s" % (time.monotonic() - started))


if __name__ == "__main__":
    # Stopped from outside (ctest's timeout, say), the test still runs its clean-ups.
    for stop_signal in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(stop_signal, lambda number, _frame: sys.exit(128 + number))
    unittest.main(argv=[sys.argv[0], "-v"])
