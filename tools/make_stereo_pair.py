#!/usr/bin/env python3
"""Renders the sample stereo pair: three spheres over a checkered floor, seen
by two cameras 6 cm apart, left view then right view side by side in one PNG.
Usage: make_stereo_pair.py OUT.png   (standard library only)"""
import math
import struct
import sys
import zlib

VIEW_W, VIEW_H = 320, 240
EYE_SEPARATION = 0.06
SPHERES = [  # centre (x, y, z), radius, colour
    ((-0.45, 0.25, 2.2), 0.25, (230, 60, 50)),
    ((0.10, 0.35, 3.2), 0.35, (60, 170, 230)),
    ((0.70, 0.30, 4.5), 0.30, (250, 210, 60)),
]
LIGHT = (-0.5, 0.8, -0.4)


def normalise(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


def trace(origin, direction):
    light = normalise(LIGHT)
    best, hit = math.inf, None
    for centre, radius, colour in SPHERES:
        oc = tuple(o - c for o, c in zip(origin, centre))
        b = sum(d * o for d, o in zip(direction, oc))
        disc = b * b - (sum(o * o for o in oc) - radius * radius)
        if disc > 0:
            t = -b - math.sqrt(disc)
            if 0 < t < best:
                best, hit = t, (centre, radius, colour)
    if hit:
        centre, radius, colour = hit
        point = tuple(o + best * d for o, d in zip(origin, direction))
        normal = normalise(tuple(p - c for p, c in zip(point, centre)))
        shade = 0.25 + 0.75 * max(0.0, sum(n * l for n, l in zip(normal, light)))
        return tuple(min(255, int(c * shade)) for c in colour)
    if direction[1] < -1e-6:  # the floor at y = -0.0
        t = -origin[1] / direction[1]
        x, z = origin[0] + t * direction[0], origin[2] + t * direction[2]
        checker = (math.floor(x * 4) + math.floor(z * 4)) % 2
        fade = max(0.35, 1.0 - z / 12.0)
        base = 200 if checker else 70
        return (int(base * fade), int(base * fade), int((base + 20) * fade))
    sky = int(140 + 100 * direction[1])
    return (sky // 2, sky - 20, 235)


def render(eye_x):
    rows = []
    for j in range(VIEW_H):
        row = []
        for i in range(VIEW_W):
            # Parallel cameras at height 0.4 looking along +z.
            d = normalise(((i - VIEW_W / 2) / VIEW_H, (VIEW_H / 2 - j) / VIEW_H - 0.15, 1.0))
            row.append(trace((eye_x, 0.4, 0.0), d))
        rows.append(row)
    return rows


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    left = render(-EYE_SEPARATION / 2)
    right = render(EYE_SEPARATION / 2)
    write_png(sys.argv[1], [l + r for l, r in zip(left, right)])


if __name__ == "__main__":
    main()
