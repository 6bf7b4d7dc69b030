#!/usr/bin/env python3
"""Builds the NES example program (examples/nes) from a test picture the way
its README says: kesh-cli cuts the picture with the NES preset, and
`kesh-cli layout --json` says where each part of the two files lies. Runs
the program in jsnes and checks the frame against the picture pixel for
pixel as NES master-palette indices.

    example_test.py KESH_CLI WORK_DIR

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

def run_json(command):
    return json.loads(run(command))


def item(layout, name, path):
    """The offset and length of the item called `name` (its name before any
    parameters) in a `layout --json` answer."""
    for entry in layout["items"]:
        if entry["item"].split("[")[0] == name:
            return entry["offset"], entry["length"]
    sys.exit(f"{path}: no {name} item in {json.dumps(layout)}")


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
    return result.stdout


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cli, work = sys.argv[1], sys.argv[2]
    missing = missing_tools()
    if missing:
        print("missing: " + ", ".join(missing) + " (scripts/deps installs them)")
        sys.exit(1 if required() else 77)

    started = time.monotonic()
    os.makedirs(work, exist_ok=True)
    picture = data.make_picture()
    art = os.path.join(work, "art.png")
    with open(art, "wb") as f:
        f.write(data.png(picture))
    tiles, map_path = os.path.join(work, "art.til"), os.path.join(work, "art.map")
    for old in (tiles, map_path):
        if os.path.exists(old):
            os.remove(old)
    run([cli, "import-image", art, tiles, "--preset", "nes", "--map", map_path])
    tile_layout = run_json([cli, "layout", "--json", tiles])
    map_layout = run_json([cli, "layout", "--json", map_path])
    palette_at, _ = item(tile_layout, "Palette", tiles)
    pixels_at, pixels_size = item(tile_layout, "Pixels", tiles)
    cells_at, _ = item(map_layout, "CellsByte", map_path)
    attributes_at, _ = item(map_layout, "NesAttributes", map_path)

    rom = os.path.join(work, "background.nes")
    run([os.path.join(ROOT, "examples", "nes", "build.sh"), "--tiles", tiles, "--map", map_path,
         "--palette-at", str(palette_at), "--pixels-at", str(pixels_at), "--pixels-size", str(pixels_size),
         "--cells-at", str(cells_at), "--attributes-at", str(attributes_at), "--out", rom])
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
