#!/usr/bin/env python3
"""Builds the NES example program (examples/nes) from its test picture's
data, runs it in jsnes and checks the frame against the picture pixel for
pixel as NES master-palette indices.

    example_test.py WORK_DIR

Without ca65/ld65, node or the pinned jsnes (scripts/deps installs them all)
the test is skipped (exit 77), unless KESH_REQUIRE_READER_TOOLS is set: then
it fails, so that a build machine missing them cannot pass it unseen.
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
import nes_test_data as data  # noqa: E402

TOOLS = ["ca65", "ld65", "node"]
EMULATOR = "jsnes"
# Twice what the start-up waits, the copying and the first whole frame took in
# the jsnes pinned.
FRAMES = 8
OFFSETS = ["palette_at", "pixels_at", "pixels_size", "cells_at", "attributes_at"]


def missing_tools():
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    name = EMULATOR
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
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    work = sys.argv[1]
    missing = missing_tools()
    if missing:
        print("missing: " + ", ".join(missing) + " (scripts/deps installs them)")
        sys.exit(1 if required() else 77)

    started = time.monotonic()
    os.makedirs(work, exist_ok=True)
    picture = data.make_picture()
    tile_file, map_file, at = data.encode(picture)
    tiles, map_path = os.path.join(work, "art.til"), os.path.join(work, "art.map")
    with open(tiles, "wb") as f:
        f.write(tile_file)
    with open(map_path, "wb") as f:
        f.write(map_file)

    rom = os.path.join(work, "background.nes")
    build = [os.path.join(ROOT, "examples", "nes", "build.sh"), "--tiles", tiles, "--map", map_path, "--out", rom]
    for key in OFFSETS:
        build += ["--" + key.replace("_", "-"), str(at[key])]
    run(build)
    frame_path, ppm = os.path.join(work, "frame.bin"), os.path.join(work, "frame.ppm")
    run(["node", os.path.join(HERE, "nes-frame.mjs"), rom, str(FRAMES), frame_path, ppm])

    with open(frame_path, "rb") as f:
        frame = f.read()
    if len(frame) != len(picture):
        sys.exit(f"the frame has {len(frame)} pixels, the picture {len(picture)}")
    wrong = [i for i in range(len(picture)) if frame[i] != picture[i]]
    if wrong:
        lines = [f"  ({i % data.WIDTH}, {i // data.WIDTH}): expected ${picture[i]:02X}, "
                 f"got ${frame[i]:02X}" for i in wrong[:8]]
        sys.exit(f"{len(wrong)} of {len(frame)} pixels differ; the frame is in {ppm}\n" + "\n".join(lines))
    print(f"{len(frame)} pixels match ({time.monotonic() - started:.1f} s)")


if __name__ == "__main__":
    main()
