// Runs a Game Boy ROM in serverboy with no screen and writes the last frame
// as 160x144 DMG shades (0 lightest to 3 darkest), one byte a pixel, row by
// row.
//
//   node gb-frame.mjs game.gb frames out.bin [out.ppm]
//
// serverboy runs as a plain monochrome Game Boy here (not a Game Boy Color
// tinting it) and draws the four shades in four different colours of its
// own, so each pixel's colour is mapped back to its shade.
// The optional PPM shows the same frame in those colours.
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";

const require = createRequire(import.meta.url);
const Gameboy = require("serverboy");
const settings = require("serverboy/src/gameboy_core/settings.js");

const WIDTH = 160;
const HEIGHT = 144;

function fail(message) {
  process.stderr.write(`gb-frame: ${message}\n`);
  process.exit(1);
}

const [romPath, framesText, outPath, ppmPath] = process.argv.slice(2);
const frames = Number(framesText);
if (!romPath || !outPath || !Number.isInteger(frames) || frames < 1) {
  fail("usage: node gb-frame.mjs game.gb frames out.bin [out.ppm]");
}

settings[0] = false; // no sound
settings[2] = true; // a monochrome Game Boy, even for a colour-capable ROM
settings[4] = false; // shades, not colours made up for them

const gameboy = new Gameboy();
gameboy.loadRom(readFileSync(romPath));
let screen = null;
for (let i = 0; i < frames; i++) {
  screen = gameboy.doFrame();
}
if (!screen || screen.length !== WIDTH * HEIGHT * 4) {
  fail(`no ${WIDTH}x${HEIGHT} frame after ${frames} frames`);
}

// The emulator core sits in the interface's one hidden property.
const core = Object.getOwnPropertyNames(gameboy).map((key) => gameboy[key].gameboy)[0];
if (!core || !Array.isArray(core.colors) || core.colors.length !== 4 || core.cGBC) {
  fail("this serverboy is not the one tests/emu/package.json pins (no monochrome colours found)");
}
const shadeOf = new Map(core.colors.map((rgb, shade) => [rgb & 0xffffff, shade]));

const shades = Buffer.alloc(WIDTH * HEIGHT);
for (let i = 0; i < shades.length; i++) {
  const rgb = (screen[i * 4] << 16) | (screen[i * 4 + 1] << 8) | screen[i * 4 + 2];
  const shade = shadeOf.get(rgb);
  if (shade === undefined) {
    fail(`pixel (${i % WIDTH}, ${Math.floor(i / WIDTH)}) is #${rgb.toString(16).padStart(6, "0")}, not a shade`);
  }
  shades[i] = shade;
}
writeFileSync(outPath, shades);

if (ppmPath) {
  const header = Buffer.from(`P6\n${WIDTH} ${HEIGHT}\n255\n`, "ascii");
  const pixels = Buffer.alloc(WIDTH * HEIGHT * 3);
  for (let i = 0; i < shades.length; i++) {
    pixels[i * 3] = screen[i * 4];
    pixels[i * 3 + 1] = screen[i * 4 + 1];
    pixels[i * 3 + 2] = screen[i * 4 + 2];
  }
  writeFileSync(ppmPath, Buffer.concat([header, pixels]));
}
