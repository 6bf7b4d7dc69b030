"""A test picture for the NES example, and the PNG kesh-cli imports it from.

The picture is 256x240 NES master-palette indices. `png` writes it in the
colours the NESdev wiki's 2C02 table gives those indices
(https://www.nesdev.org/wiki/PPU_palettes), so that kesh, reducing each
colour to the NES encoding, gives back the index itself; the colours are
ones the table holds once (not the repeated blacks and whites).
"""

import random
import struct
import zlib

WIDTH, HEIGHT = 256, 240
COLUMNS, ROWS = WIDTH // 8, HEIGHT // 8
BACKDROP = 0x21
# Four background palettes; colour 0 of each is the shared backdrop
# (https://www.nesdev.org/wiki/PPU_palettes).
PALETTES = [
    [BACKDROP, 0x0F, 0x16, 0x20],
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


# The 2C02 table's colours of the indices PALETTES uses
# (https://www.nesdev.org/wiki/PPU_palettes); $0F is black, which kesh keeps
# as $0F.
RGB = {
    0x01: (0, 30, 116), 0x04: (68, 0, 100), 0x09: (8, 58, 0), 0x0F: (0, 0, 0),
    0x11: (8, 76, 196), 0x14: (136, 20, 176), 0x16: (152, 34, 32), 0x19: (40, 114, 0),
    0x20: (236, 238, 236), 0x21: (76, 154, 236), 0x27: (212, 136, 32), 0x2A: (76, 208, 32),
    0x38: (204, 210, 120),
}


def png(picture):
    """The picture as an 8-bit RGB PNG."""
    raw = bytearray()
    for y in range(HEIGHT):
        raw.append(0)  # filter: none
        for x in range(WIDTH):
            raw += bytes(RGB[picture[y * WIDTH + x]])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw)))
            + chunk(b"IEND", b""))
