"""A test picture for the NES example and the files the example is built from.

The picture is 256x240 NES master-palette indices. `encode` turns it into
what kesh writes with the NES preset, worked out from the NESdev wiki rather
than by kesh: a tile file (palette, then tiles as 2bpp planes,
https://www.nesdev.org/wiki/PPU_pattern_tables) and a map file (960 cells,
then the attribute table, https://www.nesdev.org/wiki/PPU_attribute_tables).
Each file has a few bytes in front and between its parts, so that a build
that ignores the offsets shows a wrong picture. It stands in for
`kesh-cli import-image ... --preset nes` until that exists.
"""

import random

WIDTH, HEIGHT = 256, 240
COLUMNS, ROWS = WIDTH // 8, HEIGHT // 8
BACKDROP = 0x21
# Four background palettes; colour 0 of each is the shared backdrop
# (https://www.nesdev.org/wiki/PPU_palettes).
PALETTES = [
    [BACKDROP, 0x0F, 0x16, 0x30],
    [BACKDROP, 0x01, 0x11, 0x2A],
    [BACKDROP, 0x09, 0x19, 0x38],
    [BACKDROP, 0x04, 0x14, 0x27],
]


def make_picture(seed=28):
    """256 different tiles under a palette chosen at random for each 16x16
    area. Each tile is drawn with one palette only (64 tiles a palette, all
    used), so however an importer orders a palette's colours, the picture
    needs no more than 256 tiles."""
    rng = random.Random(seed)
    patterns = [[[rng.randrange(4) for _ in range(64)] for _ in range(64)] for _ in range(4)]
    patterns[0][0] = [0] * 64  # a tile of backdrop alone
    area_palette = [[rng.randrange(4) for _ in range(COLUMNS // 2)] for _ in range(ROWS // 2)]
    used = [0] * 4
    picture = [0] * (WIDTH * HEIGHT)
    for cy in range(ROWS):
        for cx in range(COLUMNS):
            number = area_palette[cy // 2][cx // 2]
            pattern = used[number] if used[number] < 64 else rng.randrange(64)
            used[number] += 1
            for i, value in enumerate(patterns[number][pattern]):
                picture[(cy * 8 + i // 8) * WIDTH + cx * 8 + i % 8] = PALETTES[number][value]
    assert min(used) >= 64, "every tile of every palette is used"
    return picture


def _area_palette(picture, ax, ay):
    colours = {picture[y * WIDTH + x] for y in range(ay * 16, ay * 16 + 16) for x in range(ax * 16, ax * 16 + 16)}
    for number, palette in enumerate(PALETTES):
        if colours <= set(palette):
            return number
    raise ValueError(f"no palette has the colours of the area at ({ax * 16}, {ay * 16})")


def _planes(values):
    """One tile's 16 bytes: bit 0 of rows 0-7, then bit 1; bit 7 is the left pixel."""
    return bytes(
        sum(((values[row * 8 + x] >> plane) & 1) << (7 - x) for x in range(8))
        for plane in (0, 1)
        for row in range(8)
    )


def encode(picture):
    """Returns (tile file bytes, map file bytes, offsets)."""
    areas = [[_area_palette(picture, ax, ay) for ax in range(COLUMNS // 2)] for ay in range(ROWS // 2)]
    tiles, cells = {}, bytearray()
    for cy in range(ROWS):
        for cx in range(COLUMNS):
            palette = PALETTES[areas[cy // 2][cx // 2]]
            values = tuple(palette.index(picture[(cy * 8 + i // 8) * WIDTH + cx * 8 + i % 8]) for i in range(64))
            if values not in tiles:
                if len(tiles) == 256:
                    raise ValueError(f"more than 256 tiles; the 257th is at ({cx * 8}, {cy * 8})")
                tiles[values] = len(tiles)
            cells.append(tiles[values])
    attributes = bytearray(64)
    for ay, row in enumerate(areas):
        for ax, number in enumerate(row):
            # Each byte covers 32x32 pixels: bits 1-0 top left, 3-2 top right,
            # 5-4 bottom left, 7-6 bottom right.
            attributes[(ay // 2) * 8 + ax // 2] |= number << (((ay % 2) * 2 + ax % 2) * 2)
    palette = bytes(colour for p in PALETTES for colour in p)
    pixels = b"".join(_planes(values) for values in tiles)

    tile_file = b"KESH-NES" + palette + b"\xaa" * 8 + pixels
    map_file = b"MAP!" + bytes(cells) + b"\x55" * 4 + bytes(attributes)
    offsets = {
        "palette_at": 8,
        "pixels_at": 8 + 16 + 8,
        "pixels_size": len(pixels),
        "cells_at": 4,
        "attributes_at": 4 + 960 + 4,
    }
    return tile_file, map_file, offsets
