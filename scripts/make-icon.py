#!/usr/bin/env python3
"""Writes the application icon: a small thickness map (a dome on a hue ramp)
in a dark frame, as SVG and as 48 and 256 pixel PNGs (through a PPM that
ImageMagick's convert turns into PNG). Run from the repository root:
    python3 scripts/make-icon.py
"""
import colorsys
import subprocess

CELLS = 8          # map cells per side
SIDE = 256         # SVG user units
MARGIN = 20        # frame around the map
OUT = "packaging/icons/"


def cell_colour(i, j):
    # A dome with a slight tilt, coloured from blue-violet (thin) to red (thick).
    x = (i + 0.5) / CELLS - 0.5
    y = (j + 0.5) / CELLS - 0.5
    v = 1.0 - 2.2 * (x * x + y * y) + 0.15 * x
    v = max(0.0, min(1.0, v))
    hue = ((1.0 - v) * 280.0 - 20.0) % 360.0
    r, g, b = colorsys.hsv_to_rgb(hue / 360.0, 1.0, 1.0)
    return int(r * 255), int(g * 255), int(b * 255)


def svg():
    cell = (SIDE - 2 * MARGIN) / CELLS
    parts = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIDE}" height="{SIDE}" viewBox="0 0 {SIDE} {SIDE}">',
        f'  <rect x="4" y="4" width="{SIDE - 8}" height="{SIDE - 8}" rx="28" fill="#26313d"/>',
    ]
    for i in range(CELLS):
        for j in range(CELLS):
            r, g, b = cell_colour(i, j)
            parts.append(
                f'  <rect x="{MARGIN + i * cell:.2f}" y="{MARGIN + j * cell:.2f}" width="{cell + 0.3:.2f}" '
                f'height="{cell + 0.3:.2f}" fill="#{r:02x}{g:02x}{b:02x}"/>')
    parts.append('</svg>')
    return "\n".join(parts) + "\n"


def png(size):
    scale = size / SIDE
    pixels = bytearray()
    for py in range(size):
        for px in range(size):
            ux, uy = (px + 0.5) / scale, (py + 0.5) / scale
            colour = (0x26, 0x31, 0x3d)
            if MARGIN <= ux < SIDE - MARGIN and MARGIN <= uy < SIDE - MARGIN:
                cell = (SIDE - 2 * MARGIN) / CELLS
                colour = cell_colour(int((ux - MARGIN) / cell), int((uy - MARGIN) / cell))
            pixels += bytes(colour)
    ppm = OUT + f"morvaplot-{size}.ppm"
    with open(ppm, "wb") as f:
        f.write(f"P6 {size} {size} 255\n".encode() + pixels)
    subprocess.run(["convert", ppm, "-strip", OUT + f"morvaplot-{size}.png"], check=True)
    subprocess.run(["rm", ppm], check=True)


with open(OUT + "morvaplot.svg", "w") as f:
    f.write(svg())
for size in (48, 256):
    png(size)
