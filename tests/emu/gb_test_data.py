"""A test picture for the Game Boy example and the files it is built from.

The picture is 160x144 DMG shades (0 lightest to 3 darkest). `encode` turns
it into what kesh writes with the gb preset, worked out from the Pan Docs
rather than by kesh: a tile file (the BGP palette byte, then tiles with each
row's low bits, then its high bits, https://gbdev.io/pandocs/Tile_Data.html
and https://gbdev.io/pandocs/Palettes.html) and a map file of 20x18 cells.
Each file has a few bytes in front and between its parts, so that a build
that ignores the offsets shows a wrong picture. It stands in for
`kesh-cli import-image ... --preset gb` until that exists.
"""

import random

WIDTH, HEIGHT = 160, 144
COLUMNS, ROWS = WIDTH // 8, HEIGHT // 8
# The shade each colour 0-3 shows; not in order, so that a build that skips
# the palette shows other shades.
SHADES = [2, 0, 3, 1]


def make_picture(seed=28):
    """256 different tiles, each used at least once."""
    rng = random.Random(seed)
    patterns = [[rng.randrange(4) for _ in range(64)] for _ in range(256)]
    order = list(range(256)) + [rng.randrange(256) for _ in range(COLUMNS * ROWS - 256)]
    picture = [0] * (WIDTH * HEIGHT)
    for cell, pattern in enumerate(order):
        cx, cy = cell % COLUMNS, cell // COLUMNS
        for i, value in enumerate(patterns[pattern]):
            picture[(cy * 8 + i // 8) * WIDTH + cx * 8 + i % 8] = SHADES[value]
    return picture


def _rows(values):
    """One tile's 16 bytes: for each row, bit 0 of its pixels, then bit 1; bit 7 is the left pixel."""
    return bytes(
        sum(((values[row * 8 + x] >> plane) & 1) << (7 - x) for x in range(8))
        for row in range(8)
        for plane in (0, 1)
    )


def encode(picture):
    """Returns (tile file bytes, map file bytes, offsets)."""
    tiles, cells = {}, bytearray()
    for cy in range(ROWS):
        for cx in range(COLUMNS):
            values = tuple(SHADES.index(picture[(cy * 8 + i // 8) * WIDTH + cx * 8 + i % 8]) for i in range(64))
            if values not in tiles:
                if len(tiles) == 256:
                    raise ValueError(f"more than 256 tiles; the 257th is at ({cx * 8}, {cy * 8})")
                tiles[values] = len(tiles)
            cells.append(tiles[values])
    bgp = sum(shade << (2 * value) for value, shade in enumerate(SHADES))
    pixels = b"".join(_rows(values) for values in tiles)

    tile_file = b"KESH-GB!" + bytes([bgp]) + b"\xaa" * 7 + pixels
    map_file = b"MAP!" + bytes(cells)
    offsets = {"palette_at": 8, "pixels_at": 16, "pixels_size": len(pixels), "cells_at": 4}
    return tile_file, map_file, offsets
