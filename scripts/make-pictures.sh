#!/usr/bin/env bash
# Draws the programs' pictures into resources/: python3 (standard library only)
# renders every picture as PNG from simple shapes, then ImageMagick's convert
# turns the banners into JPEG and bundles the program icons. Running it again
# gives the same files.
#   scripts/make-pictures.sh            # writes resources/
#   scripts/make-pictures.sh /tmp/pics  # writes elsewhere, to compare
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/resources}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$out/cleaner/sections" "$out/cleaner/actions" "$out/uninstaller"

python3 - "$out" "$work" <<'PY'
import math, os, struct, sys, zlib

out, work = sys.argv[1], sys.argv[2]

# ---- PNG writing

def write_png(path, w, h, px):
    """px: list of (r, g, b, a) floats 0..1, rows top-down."""
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            r, g, b, a = px[y * w + x]
            if a <= 0.002:
                raw += b"\0\0\0\0"  # one colour for all transparency packs better
            else:
                raw += bytes(max(0, min(255, round(c * 255))) for c in (r, g, b, a))
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)

# ---- colours

def hexc(s):
    s = s.lstrip("#")
    return tuple(int(s[i:i + 2], 16) / 255 for i in (0, 2, 4))

def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))

WHITE, BLACK = (1.0, 1.0, 1.0), (0.0, 0.0, 0.0)
COBALT = hexc("0047AB")
TEAL = hexc("00807F")
GOLD = hexc("F0B429")
TAN = hexc("C99A5B")
GREEN = hexc("2E9E48")
RED = hexc("D23B2E")
GREY = hexc("7C8794")
SLATE = hexc("3B4552")
PAPER = hexc("F6F8FB")
PURPLE = hexc("7B52C7")

def dark(c):
    return mix(c, BLACK, 0.5)

# ---- shapes: predicates on points in design units

def rect(x0, y0, x1, y1, r=0.0):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        if r <= 0:
            return True
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r

def ring(cx, cy, r0, r1, a0=None, a1=None):
    """Annulus; with angles (degrees, 0 = right, 90 = down) only that arc."""
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        if not (r0 * r0 <= d <= r1 * r1):
            return False
        if a0 is None:
            return True
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (a - a0) % 360 <= (a1 - a0) % 360
    return inside

def poly(*pts):
    def inside(x, y):
        c = False
        n = len(pts)
        for i in range(n):
            (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                c = not c
        return c
    return inside

def line(*pts, w=1.5):
    """A polyline with round ends, w wide."""
    def inside(x, y):
        for (xa, ya), (xb, yb) in zip(pts, pts[1:]):
            dx, dy = xb - xa, yb - ya
            t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / (dx * dx + dy * dy or 1)))
            if (x - xa - t * dx) ** 2 + (y - ya - t * dy) ** 2 <= (w / 2) ** 2:
                return True
        return False
    return inside

def union(*fs):
    return lambda x, y: any(f(x, y) for f in fs)

def minus(f, *gs):
    return lambda x, y: f(x, y) and not any(g(x, y) for g in gs)

# ---- rendering

class Canvas:
    def __init__(self, w, h, design):
        self.w, self.h, self.k = w, h, w / design
        self.px = [(0.0, 0.0, 0.0, 0.0)] * (w * h)

    def coverage(self, f, n=4):
        cov = [0.0] * (self.w * self.h)
        for y in range(self.h):
            for x in range(self.w):
                hits = 0
                for j in range(n):
                    for i in range(n):
                        if f((x + (i + 0.5) / n) / self.k, (y + (j + 0.5) / n) / self.k):
                            hits += 1
                cov[y * self.w + x] = hits / (n * n)
        return cov

    def over(self, i, col, a):
        if a <= 0:
            return
        r, g, b, da = self.px[i]
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        c = [(col[k] * a + (r, g, b)[k] * da * (1 - a)) / oa for k in range(3)]
        self.px[i] = (c[0], c[1], c[2], oa)

    def shape(self, f, col, outline=True, shade=0.28, edge=None, alpha=1.0):
        """Fills f with col (lighter at its top); outline: a 1-px darker rim
        just inside the silhouette, so it stays crisp at 16 px."""
        cov = self.coverage(f)
        w, h = self.w, self.h
        mask = [c >= 0.5 for c in cov]
        ys = [i // w for i in range(w * h) if mask[i]]
        if not ys:
            return
        top, bottom = min(ys), max(ys)
        rim = edge or dark(col)
        for i in range(w * h):
            x, y = i % w, i // w
            if mask[i]:
                border = outline and any(
                    not (0 <= x + dx < w and 0 <= y + dy < h) or not mask[(y + dy) * w + x + dx]
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                if border:
                    self.over(i, rim, alpha)
                else:
                    t = (y - top) / max(1, bottom - top)
                    self.over(i, mix(mix(col, WHITE, shade), col, t), alpha)
            elif cov[i] > 0.2:
                # A faint fringe softens diagonals without blurring straight edges.
                self.over(i, rim if outline else col, cov[i] * 0.55 * alpha)

    def save(self, path):
        write_png(path, self.w, self.h, self.px)

# ---- the pictures, each drawn on a 16-unit grid

def folder(c, col=GOLD):
    c.shape(union(rect(1, 3, 7, 7, 1), rect(1, 5, 15, 14, 1)), col)
    c.shape(rect(1, 7, 15, 14, 1), mix(col, WHITE, 0.15))

def cube(c, col, x=0.0, y=0.0, s=1.0):
    p = lambda a, b: (x + a * s, y + b * s)
    c.shape(poly(p(8, 1), p(15, 4.5), p(8, 8), p(1, 4.5)), mix(col, WHITE, 0.45), shade=0.1)
    c.shape(poly(p(1, 4.5), p(8, 8), p(8, 15), p(1, 11.5)), col, shade=0.15, edge=dark(col))
    c.shape(poly(p(8, 8), p(15, 4.5), p(15, 11.5), p(8, 15)), mix(col, BLACK, 0.25), shade=0.1, edge=dark(col))

def document(c):
    c.shape(poly((3, 1), (10, 1), (13, 4), (13, 15), (3, 15)), PAPER, edge=GREY, shade=0)
    c.shape(poly((9.5, 1), (13, 4.5), (9.5, 4.5)), mix(GREY, WHITE, 0.5), edge=GREY)

def person(c, col, dx=0.0, dy=0.0, s=1.0):
    c.shape(circle(8 + dx, 5 + dy, 3.2 * s), mix(col, WHITE, 0.2))
    c.shape(minus(rect(2.5 + dx, 9 + dy, 13.5 + dx, 18 + dy, 4.5 * s), rect(0, 15.01, 99, 99)), col)

def box(c, col=TAN):
    c.shape(rect(1, 5, 13, 15, 0.5), col)
    c.shape(rect(0.5, 3, 13.5, 6.5, 0.5), mix(col, WHITE, 0.2))
    c.shape(rect(5.5, 3, 8.5, 9), mix(col, BLACK, 0.15), outline=False)

def badge(c, col, cx=11.5, cy=11.5, r=4.2):
    c.shape(circle(cx, cy, r), col)

def gear(c, col, cx=8, cy=8, r=7.2, teeth=8):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        a = math.atan2(y - cy, x - cx) * teeth / (2 * math.pi)
        tooth = (a % 1.0) < 0.5
        return d <= (r if tooth else r - 1.9) and d >= 2.3
    c.shape(inside, col)

def chip(c, col, dashed=False):
    pins = [line((x, 1.5), (x, 14.5), w=1.2) for x in (5.5, 8, 10.5)]
    pins += [line((1.5, y), (14.5, y), w=1.2) for y in (5.5, 8, 10.5)]
    if not dashed:
        c.shape(union(*pins), mix(GREY, WHITE, 0.3), outline=False)
        c.shape(rect(3.5, 3.5, 12.5, 12.5, 1), col)
        c.shape(circle(5.5, 5.5, 0.8), mix(col, WHITE, 0.5), outline=False)
        return
    # Dashed: every other pixel of the rim and pins, read as "not physical".
    on = lambda x, y: (int(x) + int(y)) % 3 != 2
    c.shape(lambda x, y: on(x, y) and union(*pins)(x, y) and not rect(3, 3, 13, 13)(x, y), col, outline=False)
    c.shape(lambda x, y: on(x, y) and minus(rect(3.5, 3.5, 12.5, 12.5), rect(4.6, 4.6, 11.4, 11.4))(x, y),
            col, outline=False)
    c.shape(rect(6, 6, 10, 10), mix(col, WHITE, 0.55), outline=False)

def question(c, col, cx=8, cy=6, s=1.0, w=2.0):
    c.shape(union(ring(cx, cy, 2.8 * s - w / 2, 2.8 * s + w / 2, 170, 95),
                  line((cx + 0.6 * s, cy + 2.7 * s), (cx, cy + 3.8 * s), (cx, cy + 4.6 * s), w=w),
                  circle(cx, cy + 7.2 * s, w * 0.62)), col, outline=False)

def magnifier(c, lens=COBALT, cx=6.5, cy=6.5, r=4.6, hx=14.5, hy=14.5, w=2.6):
    c.shape(line((cx + r * 0.7, cy + r * 0.7), (hx, hy), w=w), SLATE)
    c.shape(circle(cx, cy, r), mix(lens, WHITE, 0.55), shade=0.4, edge=dark(lens))
    c.shape(ring(cx, cy, r - 1.6, r - 0.6, 190, 260), WHITE, outline=False, alpha=0.8)

def monitor(c, col=COBALT):
    c.shape(rect(5.5, 11, 10.5, 14.2), GREY)
    c.shape(rect(3, 13.5, 13, 15, 0.6), GREY)
    c.shape(rect(0.5, 1.5, 15.5, 12, 1), mix(SLATE, WHITE, 0.15))
    c.shape(rect(2, 3, 14, 10.5), col, shade=0.5, outline=False)

def arrow_shortcut(c):
    c.shape(rect(1, 1, 15, 15, 1.5), WHITE, edge=GREY, shade=0)
    c.shape(union(line((4.5, 12.5), (5, 9.5), (6.8, 7.6), (9.5, 6.6), w=2.4), poly((9, 2.6), (13.8, 6.6), (9, 10.6))),
            COBALT, outline=False)

def bug(c):
    legs = union(line((3, 6.5), (5.5, 8), w=1.1), line((2.5, 10), (5, 10), w=1.1), line((3, 14), (5.5, 12), w=1.1),
                 line((13, 6.5), (10.5, 8), w=1.1), line((13.5, 10), (11, 10), w=1.1), line((13, 14), (10.5, 12), w=1.1),
                 line((6.5, 3), (5, 1.2), w=1.0), line((9.5, 3), (11, 1.2), w=1.0))
    c.shape(legs, SLATE, outline=False)
    c.shape(circle(8, 4.5, 2.6), SLATE)
    c.shape(lambda x, y: ((x - 8) / 4.3) ** 2 + ((y - 10) / 5) ** 2 <= 1, RED)
    c.shape(rect(7.5, 6.5, 8.5, 14.6), dark(RED), outline=False)

def clock(c, cx, cy, r, col=COBALT):
    c.shape(circle(cx, cy, r), WHITE, edge=dark(col), shade=0)
    c.shape(union(line((cx, cy), (cx, cy - r * 0.6), w=1.1), line((cx, cy), (cx + r * 0.45, cy + r * 0.2), w=1.1)),
            dark(col), outline=False)

def lines_on(c, x0, x1, ys, col=GREY):
    c.shape(union(*[rect(x0, y, x1, y + 1) for y in ys]), col, outline=False)

def power(c, col=GREEN):
    c.shape(union(ring(8, 8.8, 4, 6.4, 300, 240), line((8, 1.4), (8, 7.4), w=2.4)), col)

def restore_arrow(c, col=GREEN):
    c.shape(union(ring(8, 8.5, 4, 6.3, 200, 140), poly((0.3, 3.5), (6, 3.5), (1.5, 9))), col)

SECTIONS = []
def section(f):
    SECTIONS.append(f)
    return f

@section
def registry_integrity(c):
    c.shape(poly((8, 0.6), (14.6, 2.8), (14, 9), (8, 15.4), (2, 9), (1.4, 2.8)), COBALT, shade=0.35)
    c.shape(line((4.8, 8.2), (7.2, 10.6), (11.3, 5.2), w=2.1), WHITE, outline=False)

@section
def files_and_folders(c):
    folder(c)

@section
def hkey_local_machine(c):
    cube(c, COBALT)

@section
def hkey_current_user(c):
    person(c, COBALT)

@section
def hkey_users(c):
    person(c, mix(COBALT, WHITE, 0.45), dx=3, dy=-1, s=0.85)
    person(c, COBALT, dx=-2, dy=0.5, s=0.95)

@section
def obsolete_software(c):
    box(c, mix(TAN, GREY, 0.45))
    clock(c, 11.3, 10.8, 4.3, SLATE)

@section
def custom_controls(c):
    c.shape(union(rect(1.5, 4.5, 11.5, 14.5, 1), circle(6.5, 3.3, 2.3), circle(13, 9.5, 2.4)), PURPLE)

@section
def file_extensions(c):
    document(c)
    c.shape(rect(0.5, 8, 12, 14, 1), COBALT)
    c.shape(union(rect(2.5, 11.5, 3.6, 12.6), rect(5, 10, 6.2, 12.6), rect(7.5, 10, 10, 11.2), rect(7.5, 10, 8.6, 12.6)),
            WHITE, outline=False)

@section
def file_associations(c):
    document(c)
    lines_on(c, 5, 10, (6, 8))
    c.shape(union(ring(9.2, 12.2, 1.5, 2.9), ring(12.8, 12.2, 1.5, 2.9)), GREEN, edge=dark(GREEN))

@section
def start_menu(c):
    c.shape(rect(1.5, 0.5, 14.5, 15.5, 1), WHITE, edge=GREY, shade=0)
    c.shape(rect(2.5, 1.5, 5.5, 14.5), COBALT, outline=False, shade=0.4)
    for y, col in ((3, GREEN), (7, GOLD), (11, RED)):
        c.shape(rect(7, y, 9.5, y + 2.5), col, outline=False)
        c.shape(rect(10.5, y + 0.8, 13.3, y + 1.8), GREY, outline=False)

@section
def startup_programs(c):
    power(c)

@section
def shared_programs(c):
    c.shape(line((5, 5), (11, 11), w=1.6), SLATE, outline=False)
    c.shape(rect(0.5, 0.5, 8.5, 8.5, 0.6), COBALT)
    c.shape(rect(7.5, 7.5, 15.5, 15.5, 0.6), GOLD)
    c.shape(union(rect(2.5, 3.5, 6.5, 4.5), rect(2.5, 5.2, 5.5, 6.2)), WHITE, outline=False)

@section
def software_locations(c):
    folder(c)
    c.shape(union(circle(11.5, 4.5, 3.6), poly((8.4, 6.3), (14.6, 6.3), (11.5, 11.6))), RED)
    c.shape(circle(11.5, 4.5, 1.3), WHITE, outline=False)

@section
def add_remove_programs(c):
    box(c)
    badge(c, RED)
    c.shape(rect(9, 10.8, 14, 12.4), WHITE, outline=False)

@section
def windows_fonts(c):
    c.shape(union(line((2.5, 14.5), (8, 1.8), (13.5, 14.5), w=2.8), rect(4.5, 9.5, 11.5, 11.5)), COBALT, shade=0.2,
            outline=False)

@section
def help_and_resources(c):
    c.shape(rect(2, 0.5, 14.5, 15.5, 1), WHITE, edge=GREY, shade=0)
    c.shape(rect(1.5, 0.5, 13, 14, 1), COBALT, shade=0.35)
    question(c, WHITE, cx=7.3, cy=5, s=0.85, w=1.7)

@section
def sounds_and_appevents(c):
    c.shape(poly((1.5, 5.5), (5, 5.5), (9, 1.8), (9, 14.2), (5, 10.5), (1.5, 10.5)), mix(SLATE, WHITE, 0.2))
    c.shape(union(ring(8.5, 8, 3.3, 4.6, 300, 60), ring(8.5, 8, 5.8, 7.1, 300, 60)), COBALT, outline=False)

@section
def mru_and_history(c):
    c.shape(rect(0.5, 3.5, 10.5, 15.5, 0.5), WHITE, edge=GREY, shade=0)
    for y in (6, 9, 12):
        c.shape(rect(2, y, 3.2, y + 1.2), COBALT, outline=False)
        c.shape(rect(4.2, y, 8.6, y + 1.2), GREY, outline=False)
    clock(c, 11, 5, 4.6)

@section
def device_drivers(c):
    chip(c, SLATE)

@section
def windows_services(c):
    gear(c, mix(COBALT, GREY, 0.45))

@section
def virtual_devices(c):
    chip(c, COBALT, dashed=True)

@section
def shortcuts(c):
    arrow_shortcut(c)

@section
def adware_and_spyware(c):
    bug(c)

@section
def my_computer(c):
    monitor(c)

ACTIONS = {
    "scan": lambda c: magnifier(c),
    "repair": lambda c: (c.shape(line((3, 13), (9.5, 6.5), w=3), GREY),
                         c.shape(minus(circle(11, 5, 4.4), rect(10, 0, 12, 5.2), circle(11, 0.5, 1.6)), GREY, shade=0.45)),
    "restore": restore_arrow,
    "help": lambda c: (c.shape(circle(8, 8, 7.4), COBALT, shade=0.4), question(c, WHITE, cx=8, cy=5.6, s=0.9, w=1.9)),
    "uninstall": lambda c: (box(c), badge(c, RED),
                            c.shape(union(line((9.6, 9.6), (13.4, 13.4), w=1.6), line((13.4, 9.6), (9.6, 13.4), w=1.6)),
                                    WHITE, outline=False)),
}

def render(draw, size, path, design=16):
    c = Canvas(size, size, design)
    draw(c)
    c.save(path)

for n, draw in enumerate(SECTIONS):
    render(draw, 16, os.path.join(out, "cleaner", "sections", "%02d.png" % n))
assert len(SECTIONS) == 24, len(SECTIONS)
for name, draw in ACTIONS.items():
    render(draw, 16, os.path.join(out, "cleaner", "actions", name + ".png"))

def progress(c):
    # A magnifier searching a registry hive, on a 25-unit grid.
    cube(c, COBALT, x=0.5, y=0.5, s=1.0)
    magnifier(c, lens=TEAL, cx=15, cy=14.5, r=5.8, hx=23, hy=23, w=3.2)
render(progress, 25, os.path.join(out, "cleaner", "progress.png"), design=25)

def cleaner_icon(c):
    cube(c, COBALT, x=0, y=0.5, s=0.95)
    spark = poly((12.5, 0.2), (13.4, 2.6), (15.8, 3.5), (13.4, 4.4), (12.5, 6.8), (11.6, 4.4), (9.2, 3.5), (11.6, 2.6))
    c.shape(spark, hexc("FFD84A"), edge=hexc("B07A00"), shade=0.3)

def uninstaller_icon(c):
    cube(c, TEAL, x=0, y=0, s=0.95)
    badge(c, WHITE, cx=11.8, cy=11.8, r=4)
    c.shape(rect(9.6, 11.1, 14, 12.6), RED, outline=False)

for size in (16, 32, 48):
    render(cleaner_icon, size, os.path.join(work, "cleaner-%d.png" % size))
    render(uninstaller_icon, size, os.path.join(work, "uninstaller-%d.png" % size))

# ---- banners: dark on the left for the white title, a quiet motif on the right

def banner(path, left, right, motif):
    w, h = 686, 60
    px = []
    for y in range(h):
        for x in range(w):
            t = (x / (w - 1)) ** 1.6  # the left two thirds stay dark
            c = mix(left, right, t)
            c = mix(c, BLACK, 0.10 * (y / (h - 1)))  # a touch of depth towards the bottom
            px.append(list(c) + [1.0])
    # Concentric arcs around a point past the right end, drawn white and faint.
    cx, cy = 700, 64
    for i, r in enumerate(range(34, 260, 22)):
        strength = 0.16 * max(0.0, 1 - i / 11)
        for y in range(h):
            for x in range(440, w):
                d = math.hypot(x - cx, y - cy)
                cov = max(0.0, 1 - abs(d - r) / 1.2)
                if cov > 0:
                    fade = min(1.0, (x - 440) / 140)
                    p = px[y * w + x]
                    a = cov * strength * fade
                    for k in range(3):
                        p[k] = p[k] + (motif[k] - p[k]) * a
    write_png(path, w, h, [tuple(p) for p in px])

banner(os.path.join(work, "cleaner-banner.png"), hexc("06214F"), hexc("1C64C8"), WHITE)
banner(os.path.join(work, "uninstaller-banner.png"), hexc("043A3B"), hexc("139B93"), WHITE)
PY

# No timestamps or other metadata, so reruns give identical bytes.
strip=(-strip -define png:exclude-chunks=date,time)
convert "$work/cleaner-banner.png" -strip -quality 88 -sampling-factor 4:2:0 "$out/cleaner/banner.jpg"
convert "$work/uninstaller-banner.png" -strip -quality 88 -sampling-factor 4:2:0 "$out/uninstaller/banner.jpg"
convert "$work/cleaner-16.png" "$work/cleaner-32.png" "$work/cleaner-48.png" "${strip[@]}" "$out/cleaner/cobaltine.ico"
convert "$work/uninstaller-16.png" "$work/uninstaller-32.png" "$work/uninstaller-48.png" "${strip[@]}" \
  "$out/uninstaller/uninstaller.ico"
echo "pictures written to $out"
