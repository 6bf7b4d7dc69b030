#!/usr/bin/env python3
"""Builds an example program (examples/nes, examples/gb) from its test
picture's data, runs it in a headless emulator and checks the frame against
the picture pixel for pixel: NES master-palette indices, Game Boy shades.

    example_test.py nes|gb WORK_DIR

Without the console's assembler, node or the pinned emulator (scripts/deps
installs them all) the test is skipped (exit 77), unless
KESH_REQUIRE_READER_TOOLS is set: then it fails, so that a build machine
missing them cannot pass it unseen.
"""

import json
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
import gb_test_data  # noqa: E402
import nes_test_data  # noqa: E402

# What differs between the consoles. frames: twice what the start-up waits,
# the copying and the first whole frame took in the emulators pinned.
CONSOLES = {
    "nes": {
        "data": nes_test_data,
        "tools": ["ca65", "ld65"],
        "emulator": "jsnes",
        "runner": "nes-frame.mjs",
        "rom": "background.nes",
        "frames": 8,
        "offsets": ["palette_at", "pixels_at", "pixels_size", "cells_at", "attributes_at"],
        "colour": "${:02X}",
    },
    "gb": {
        "data": gb_test_data,
        "tools": ["sdasgb", "sdldgb", "makebin"],
        "emulator": "serverboy",
        "runner": "gb-frame.mjs",
        "rom": "background.gb",
        "frames": 30,
        "offsets": ["palette_at", "pixels_at", "pixels_size", "cells_at"],
        "colour": "shade {}",
    },
}


def missing_tools(console):
    missing = [tool for tool in console["tools"] + ["node"] if shutil.which(tool) is None]
    name = console["emulator"]
    with open(os.path.join(HERE, "package.json")) as f:
        pinned = json.load(f)["dependencies"][name]
    try:
        with open(os.path.join(HERE, "node_modules", name, "package.json")) as f:
            installed = json.load(f)["version"]
    except OSError:
        installed = None
    if installed != pinned:
        missing.append(f"{name} {pinned} in tests/emu/node_modules (found {installed or 'none'})")
    return missing


def required():
    return os.environ.get("KESH_REQUIRE_READER_TOOLS", "") not in ("", "0")


def run(command):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"failed: {' '.join(command)}\n{result.stdout}{result.stderr}")


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in CONSOLES:
        sys.exit(__doc__)
    name, work = sys.argv[1], sys.argv[2]
    console = CONSOLES[name]
    missing = missing_tools(console)
    if missing:
        print("missing: " + ", ".join(missing) + " (scripts/deps installs them)")
        sys.exit(1 if required() else 77)

    started = time.monotonic()
    os.makedirs(work, exist_ok=True)
    data = console["data"]
    picture = data.make_picture()
    tile_file, map_file, at = data.encode(picture)
    tiles, map_path = os.path.join(work, "art.til"), os.path.join(work, "art.map")
    with open(tiles, "wb") as f:
        f.write(tile_file)
    with open(map_path, "wb") as f:
        f.write(map_file)

    rom = os.path.join(work, console["rom"])
    build = [os.path.join(ROOT, "examples", name, "build.sh"), "--tiles", tiles, "--map", map_path, "--out", rom]
    for key in console["offsets"]:
        build += ["--" + key.replace("_", "-"), str(at[key])]
    run(build)
    frame_path, ppm = os.path.join(work, "frame.bin"), os.path.join(work, "frame.ppm")
    run(["node", os.path.join(HERE, console["runner"]), rom, str(console["frames"]), frame_path, ppm])

    with open(frame_path, "rb") as f:
        frame = f.read()
    if len(frame) != len(picture):
        sys.exit(f"the frame has {len(frame)} pixels, the picture {len(picture)}")
    wrong = [i for i in range(len(picture)) if frame[i] != picture[i]]
    if wrong:
        colour = console["colour"]
        lines = [f"  ({i % data.WIDTH}, {i // data.WIDTH}): expected {colour.format(picture[i])}, "
                 f"got {colour.format(frame[i])}" for i in wrong[:8]]
        sys.exit(f"{len(wrong)} of {len(frame)} pixels differ; the frame is in {ppm}\n" + "\n".join(lines))
    print(f"{len(frame)} pixels match ({time.monotonic() - started:.1f} s)")


if __name__ == "__main__":
    main()
