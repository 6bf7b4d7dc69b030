#!/usr/bin/env python3
"""Makes the two generated true-colour sheets of the quantizer's quality test.

spheres.png: 8 x 8 sprites of 32 x 32, shaded balls of many hues on a
gradient. terrain.png: 8 x 8 tiles of 32 x 32, noisy grass, sand, stone and
water textures. Both are deterministic (seeded), so running this again gives
the same files.
"""
import colorsys
import math
import random

from PIL import Image


def spheres():
    img = Image.new("RGB", (256, 256))
    px = img.load()
    for ty in range(8):
        for tx in range(8):
            hue = (ty * 8 + tx) / 64.0
            for y in range(32):
                for x in range(32):
                    dx, dy = (x - 15.5) / 13.0, (y - 15.5) / 13.0
                    d = dx * dx + dy * dy
                    if d < 1.0:
                        z = math.sqrt(1.0 - d)
                        light = max(0.0, -0.4 * dx - 0.5 * dy + 0.77 * z)
                        shine = light ** 24
                        r, g, b = colorsys.hsv_to_rgb(hue, 0.85 - 0.6 * shine, 0.15 + 0.8 * light)
                        c = (r + shine * 0.3, g + shine * 0.3, b + shine * 0.3)
                    else:
                        v = 0.2 + 0.5 * (y / 31.0)
                        c = (v * 0.5, v * 0.55, v * 0.7 + tx / 40.0)
                    px[tx * 32 + x, ty * 32 + y] = tuple(min(255, int(255 * ch)) for ch in c)
    return img


def terrain():
    rnd = random.Random(31)
    bases = [(70, 140, 50), (200, 180, 120), (120, 120, 125), (40, 90, 170)]
    img = Image.new("RGB", (256, 256))
    px = img.load()
    for ty in range(8):
        for tx in range(8):
            base = bases[(tx + ty) % 4]
            shade = 0.75 + 0.5 * rnd.random()
            for y in range(32):
                for x in range(32):
                    n = rnd.gauss(0.0, 14.0)
                    wave = 10.0 * math.sin((x + tx * 5) / 4.0) * math.cos((y + ty * 3) / 5.0)
                    c = [base[i] * shade + n + wave * (i == 2) + rnd.gauss(0.0, 4.0) for i in range(3)]
                    px[tx * 32 + x, ty * 32 + y] = tuple(max(0, min(255, int(v))) for v in c)
    return img


if __name__ == "__main__":
    spheres().save("spheres.png")
    terrain().save("terrain.png")
