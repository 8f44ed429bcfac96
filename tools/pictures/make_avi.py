#!/usr/bin/env python3
"""Writes a small uncompressed 8-bit AVI (16x16, 9 frames): a magnifier circling, the scan animation
played by the animation control when no Scan.avi is given."""
import math
import struct
import sys

W = H = 16
FRAMES = 9
palette = [(255, 255, 255), (40, 60, 120), (120, 170, 230), (200, 200, 200)] + [(0, 0, 0)] * 252


def frame(n):
    angle = 2 * math.pi * n / FRAMES
    cx, cy = 8 + 3 * math.cos(angle), 8 + 3 * math.sin(angle)
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up DIB rows
        row = bytearray()
        for x in range(W):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d < 2.6:
                row.append(2)
            elif d < 4.0:
                row.append(1)
            elif abs((x - cx) - (y - cy)) < 1.2 and x > cx and y > cy and d < 7.5:
                row.append(1)
            else:
                row.append(0)
        rows.append(bytes(row))
    return b"".join(rows)


def chunk(tag, data):
    pad = b"\0" if len(data) % 2 else b""
    return tag + struct.pack("<I", len(data)) + data + pad


def lst(kind, data):
    return b"LIST" + struct.pack("<I", len(data) + 4) + kind + data


frame_size = W * H
usec = 125000
avih = struct.pack("<IIIIIIIIII4I", usec, frame_size * 8, 0, 0x10, FRAMES, 0, 1, frame_size, W, H, 0, 0, 0, 0)
strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1, 8, 0, FRAMES, frame_size, 0xFFFFFFFF, 0,
                   0, 0, W, H)
bih = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 8, 0, frame_size, 0, 0, 256, 0)
pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
strl = lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", bih + pal))
hdrl = lst(b"hdrl", chunk(b"avih", avih) + strl)
movi_items = []
offsets = []
pos = 4
for n in range(FRAMES):
    data = frame(n)
    offsets.append((pos, len(data)))
    c = chunk(b"00db", data)
    movi_items.append(c)
    pos += len(c)
movi = lst(b"movi", b"".join(movi_items))
idx = b"".join(struct.pack("<4sIII", b"00db", 0x10, off, size) for off, size in offsets)
body = b"AVI " + hdrl + movi + chunk(b"idx1", idx)
with open(sys.argv[1], "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", len(body)) + body)
