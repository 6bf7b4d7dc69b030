#!/usr/bin/env python3
"""Builds examples/nes from the test picture's data, runs it in jsnes and
checks the frame against the picture, pixel for pixel, as NES colour indices.

    nes_example_test.py WORK_DIR

Without ca65/ld65, node or the pinned jsnes (scripts/deps installs them) the
test is skipped (exit 77), unless KESH_REQUIRE_READER_TOOLS is set: then it
fails, so that a build machine missing them cannot pass it unseen.
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

FRAMES = 6  # two warm-up waits, the loading, then whole frames


def missing_tools():
    missing = [tool for tool in ("ca65", "ld65", "node") if shutil.which(tool) is None]
    with open(os.path.join(HERE, "package.json")) as f:
        pinned = json.load(f)["dependencies"]["jsnes"]
    try:
        with open(os.path.join(HERE, "node_modules", "jsnes", "package.json")) as f:
            installed = json.load(f)["version"]
    except OSError:
        installed = None
    if installed != pinned:
        missing.append(f"jsnes {pinned} in tests/emu/node_modules (found {installed or 'none'})")
    return missing


def required():
    value = os.environ.get("KESH_REQUIRE_READER_TOOLS", "")
    return value not in ("", "0")


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
    for name, content in (("art.til", tile_file), ("art.map", map_file)):
        with open(os.path.join(work, name), "wb") as f:
            f.write(content)

    rom = os.path.join(work, "background.nes")
    run([os.path.join(ROOT, "examples", "nes", "build.sh"),
         "--tiles", os.path.join(work, "art.til"), "--map", os.path.join(work, "art.map"),
         "--palette-at", str(at["palette_at"]), "--pixels-at", str(at["pixels_at"]),
         "--pixels-size", str(at["pixels_size"]), "--cells-at", str(at["cells_at"]),
         "--attributes-at", str(at["attributes_at"]), "--out", rom])
    frame_path = os.path.join(work, "frame.bin")
    ppm = os.path.join(work, "frame.ppm")
    run(["node", os.path.join(HERE, "nes-frame.mjs"), rom, str(FRAMES), frame_path, ppm])

    with open(frame_path, "rb") as f:
        frame = f.read()
    wrong = [i for i in range(data.WIDTH * data.HEIGHT) if frame[i] != picture[i]]
    if wrong:
        lines = [f"  ({i % data.WIDTH}, {i // data.WIDTH}): expected ${picture[i]:02X}, got ${frame[i]:02X}"
                 for i in wrong[:8]]
        sys.exit(f"{len(wrong)} of {len(frame)} pixels differ; the frame is in {ppm}\n" + "\n".join(lines))
    print(f"{len(frame)} pixels match ({time.monotonic() - started:.1f} s)")


if __name__ == "__main__":
    main()
