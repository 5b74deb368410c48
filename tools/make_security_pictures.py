#!/usr/bin/env python3
"""Writes the lock and safe pictures of the log-in and password dialogs.

The pictures are 8-bit palette bitmaps whose background is the classic button-face grey
(192, 192, 192): loaded with LR_LOADMAP3DCOLORS it becomes the dialog's own face colour, so the
pictures sit on the panel without a frame. Run it again after changing a drawing:
    python3 tools/make_security_pictures.py src/win/security/pictures
"""
import struct
import sys
from pathlib import Path

SIZE = 32
PALETTE = {
    ".": (192, 192, 192),  # background (mapped to the face colour)
    "k": (0, 0, 0),  # outline
    "y": (240, 200, 40),  # brass body
    "o": (176, 128, 16),  # brass shade
    "s": (112, 116, 124),  # steel shackle / safe body shade
    "w": (236, 236, 240),  # highlight
    "d": (56, 60, 68),  # dark steel
    "g": (150, 156, 166),  # steel face
    "i": (24, 24, 28),  # interior
    "r": (200, 40, 40),  # dial mark
}
KEYS = list(PALETTE)


class Canvas:
    def __init__(self):
        self.px = [["." for _ in range(SIZE)] for _ in range(SIZE)]

    def put(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill, edge="k"):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                border = x in (x0, x1) or y in (y0, y1)
                self.put(x, y, edge if border and edge else fill)

    def ring(self, cx, cy, r_out, r_in, c, top_only=True):
        for y in range(SIZE):
            for x in range(SIZE):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if r_in**2 <= d2 <= r_out**2 and (not top_only or y <= cy):
                    self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(SIZE):
            for x in range(SIZE):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)


def shackle(cv, cx, top, legs_to):
    # A U-shaped steel bar: outline, then steel, then the hollow inside.
    cv.ring(cx, top + 7, 8, 3, "k")
    cv.ring(cx, top + 7, 7, 4, "s")
    for x in (cx - 8, cx - 7, cx - 6, cx - 5, cx - 4, cx + 4, cx + 5, cx + 6, cx + 7, cx + 8):
        for y in range(top + 7, legs_to + 1):
            edge = x in (cx - 8, cx - 4, cx + 4, cx + 8)
            cv.put(x, y, "k" if edge else "s")


def lock_body(cv):
    cv.rect(5, 15, 26, 30, "y")
    for y in range(16, 30):
        cv.put(6, y, "w")
        cv.put(25, y, "o")
    for x in range(6, 26):
        cv.put(x, 29, "o")
    # Keyhole
    cv.disc(15, 21, 2, "k")
    cv.rect(15, 21, 16, 26, "k", edge=None)


def closed_lock():
    cv = Canvas()
    shackle(cv, 15, 2, 16)
    lock_body(cv)
    return cv


def open_lock():
    cv = Canvas()
    # Lifted and swung: the shackle stands higher, its free leg out of the body.
    shackle(cv, 15, 0, 10)
    for y in range(10, 16):
        for x in (15 - 8, 15 - 7, 15 - 6, 15 - 5, 15 - 4):
            cv.put(x, y, "k" if x in (7, 11) else "s")
    lock_body(cv)
    return cv


def safe_box(cv):
    cv.rect(2, 3, 29, 28, "d")
    cv.rect(4, 26, 6, 30, "d")
    cv.rect(25, 26, 27, 30, "d")


def closed_safe():
    cv = Canvas()
    safe_box(cv)
    cv.rect(4, 5, 27, 26, "g")
    for x in range(5, 27):
        cv.put(x, 6, "w")
    # Dial with its mark, and the handle beside it
    cv.disc(13, 15, 5, "k")
    cv.disc(13, 15, 4, "s")
    cv.disc(13, 15, 1, "k")
    cv.put(13, 11, "r")
    cv.put(13, 12, "r")
    cv.rect(21, 11, 23, 20, "s")
    # Hinges
    cv.rect(3, 8, 4, 10, "k", edge=None)
    cv.rect(3, 20, 4, 22, "k", edge=None)
    return cv


def open_safe():
    cv = Canvas()
    safe_box(cv)
    cv.rect(4, 5, 27, 26, "i", edge="k")
    # A shelf inside
    for x in range(5, 27):
        cv.put(x, 16, "s")
    # The door swung out to the left, seen edge-on as a narrow slab
    cv.rect(0, 4, 4, 27, "g")
    cv.rect(1, 13, 2, 17, "k", edge=None)
    return cv


def write_bmp(path, cv):
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        rows.append(bytes(KEYS.index(c) for c in cv.px[y]))
    pixels = b"".join(rows)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE.values())
    colours += b"\0" * (4 * 256 - len(colours))
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    path.write_bytes(header + info + colours + pixels)


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "src/win/security/pictures")
    out.mkdir(parents=True, exist_ok=True)
    for name, make in (
        ("lock_open.bmp", open_lock),
        ("lock_closed.bmp", closed_lock),
        ("safe_open.bmp", open_safe),
        ("safe_closed.bmp", closed_safe),
    ):
        write_bmp(out / name, make())


if __name__ == "__main__":
    main()
