// Runs an NES ROM in jsnes with no screen and writes the last frame it drew
// as 256x240 NES master-palette indices, one byte a pixel, row by row.
//
//   node nes-frame.mjs game.nes frames out.bin [out.ppm]
//
// jsnes draws RGB, and several master-palette indices share one RGB value
// (all the blacks), so the colours are not mapped back. Instead the PPU's
// palette lookup is made to return the index itself, marked so that a pixel
// jsnes blanked on its own (it fills clipped edges with 0) stands out.
// The optional PPM shows the same frame in jsnes's own NTSC colours.
import { readFileSync, writeFileSync } from "node:fs";
import { NES } from "jsnes";

const WIDTH = 256;
const HEIGHT = 240;
const MARK = 0x1000000;

function fail(message) {
  process.stderr.write(`nes-frame: ${message}\n`);
  process.exit(1);
}

const [romPath, framesText, outPath, ppmPath] = process.argv.slice(2);
const frames = Number(framesText);
if (!romPath || !outPath || !Number.isInteger(frames) || frames < 1) {
  fail("usage: node nes-frame.mjs game.nes frames out.bin [out.ppm]");
}

let last = null;
const nes = new NES({ emulateSound: false, onFrame: (buffer) => (last = buffer) });
nes.loadROM(readFileSync(romPath));

// loadROM made a new PPU: show the whole picture, not the part a TV would.
const ppu = nes.ppu;
if (!ppu || !ppu.palTable || typeof ppu.palTable.getEntry !== "function") {
  fail("this jsnes has no ppu.palTable.getEntry; see tests/emu/package.json for the version this expects");
}
const rgb = Uint32Array.from(ppu.palTable.curTable);
ppu.clipToTvSize = false;
ppu.palTable.getEntry = (index) => MARK | index;
ppu.updatePalettes();

for (let i = 0; i < frames; i++) {
  nes.frame();
}
if (last === null || last.length !== WIDTH * HEIGHT) {
  fail(`no ${WIDTH}x${HEIGHT} frame after ${frames} frames`);
}

const indices = Buffer.alloc(WIDTH * HEIGHT);
for (let i = 0; i < indices.length; i++) {
  const value = last[i];
  if ((value & MARK) === 0) {
    fail(`pixel (${i % WIDTH}, ${Math.floor(i / WIDTH)}) was blanked by jsnes, not drawn by the PPU (rendering still off, or the left column clipped)`);
  }
  indices[i] = value & 0x3f;
}
writeFileSync(outPath, indices);

if (ppmPath) {
  const header = Buffer.from(`P6\n${WIDTH} ${HEIGHT}\n255\n`, "ascii");
  const pixels = Buffer.alloc(WIDTH * HEIGHT * 3);
  for (let i = 0; i < indices.length; i++) {
    const c = rgb[indices[i]]; // jsnes keeps colours as 0xBBGGRR
    pixels[i * 3] = c & 0xff;
    pixels[i * 3 + 1] = (c >> 8) & 0xff;
    pixels[i * 3 + 2] = (c >> 16) & 0xff;
  }
  writeFileSync(ppmPath, Buffer.concat([header, pixels]));
}
