#!/usr/bin/env python3
"""Writes the bundled sample .thk files (fixed seeds, so they are reproducible)."""
import math
import random
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "samples")


def write(name, size, pitch_x, pitch_y, points):
    with open(os.path.join(HERE, name), "w", newline="\n") as f:
        f.write(f"{size}\n{pitch_x},{pitch_y}\n")
        for x, y, z in points:
            f.write(f"{x},{y},{z:.3f},\n")


def dome():
    # A deposited film: dome towards the centre, slight tilt, measurement noise.
    rnd = random.Random(20261207)
    pts = []
    for x in range(0, 501, 10):
        for y in range(0, 501, 10):
            r2 = ((x - 250) ** 2 + (y - 250) ** 2) / 250.0 ** 2
            z = 1000.0 + 45.0 * (1.0 - r2) + 0.03 * (x - 250) - 0.015 * (y - 250) + rnd.gauss(0.0, 0.6)
            pts.append((x, y, z))
    write("dome.thk", 500, 10, 10, pts)


def tilt_rolloff():
    # A tilted film that thins towards the edges of the area.
    rnd = random.Random(7)
    pts = []
    for x in range(0, 301, 15):
        for y in range(0, 301, 15):
            edge = min(x, y, 300 - x, 300 - y)
            rolloff = 30.0 * math.exp(-edge / 18.0)
            z = 520.0 + 0.12 * x + 0.05 * y - rolloff + rnd.gauss(0.0, 0.4)
            pts.append((x, y, z))
    write("tilt-rolloff.thk", 300, 15, 15, pts)


def wafer49():
    # The classic 49-point polar pattern on a 500-unit area: centre and three rings.
    rnd = random.Random(49)
    pts = []
    for radius, count in ((0, 1), (80, 8), (160, 16), (230, 24)):
        for k in range(count):
            a = 2.0 * math.pi * k / count
            x = int(round(250 + radius * math.cos(a)))
            y = int(round(250 + radius * math.sin(a)))
            r2 = ((x - 250) ** 2 + (y - 250) ** 2) / 250.0 ** 2
            z = 2000.0 - 60.0 * r2 + 8.0 * math.cos(a) * radius / 230.0 + rnd.gauss(0.0, 1.0)
            pts.append((x, y, z))
    write("wafer49.thk", 500, 1, 1, pts)


def film_scan():
    # A dense scan of a spin-coated film: a thicker ring from the spin-off,
    # a slight tilt, a shallow scratch and measurement noise, every coordinate.
    rnd = random.Random(150)
    pts = []
    for x in range(0, 151):
        for y in range(0, 151):
            r = math.hypot(x - 75, y - 75) / 75.0
            ring = 6.0 * math.exp(-((r - 0.72) / 0.12) ** 2)
            scratch = -3.0 * math.exp(-(((x - 0.6 * y) - 40) / 2.5) ** 2) if 20 < y < 120 else 0.0
            z = 350.0 + ring + 0.04 * (x - 75) - 0.025 * (y - 75) - 2.0 * r * r + scratch + rnd.gauss(0.0, 0.25)
            pts.append((x, y, z))
    write("film-scan.thk", 150, 1, 1, pts)


if __name__ == "__main__":
    film_scan()
    dome()
    tilt_rolloff()
    wafer49()
