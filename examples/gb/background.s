; Shows one full-screen Game Boy background made with kesh, then waits.
; Assembled with SDCC's sdasgb, linked with sdldgb; makebin -Z writes the
; cartridge header (https://gbdev.io/pandocs/The_Cartridge_Header.html).
;
; build.sh copies kesh's tile file to tiles.bin and its map file to map.bin
; beside this source and writes the offsets of their parts to layout.inc:
;   PALETTE_AT   1 byte: the BGP palette, the shade of each colour 0-3
;   PIXELS_AT    PIXELS_SIZE bytes of tiles, 16 bytes each, each row its
;                low bits then its high bits, at most 256 tiles
;   CELLS_AT     360 bytes: the 20x18 screen, one tile number a cell
; See README.md.

    .include "layout.inc"

LCDC = 0x40             ; 0xFF00 + these, https://gbdev.io/pandocs/LCDC.html
SCY  = 0x42             ; https://gbdev.io/pandocs/Scrolling.html
SCX  = 0x43
LY   = 0x44             ; https://gbdev.io/pandocs/STAT.html
BGP  = 0x47             ; https://gbdev.io/pandocs/Palettes.html

COLUMNS = 20
ROWS = 18

    .area ROM (ABS)
    .org 0x100          ; entry point; makebin fills 0x104-0x14F
    nop
    jp start

    .org 0x150
start:
    di
    ld sp, #0xFFFE
    ; The LCD may be turned off only in vblank (LY 144-153).
1$: ldh a, (LY)
    cp #144
    jr c, 1$
    xor a
    ldh (LCDC), a

    ; Tiles to 0x8000, the block that numbers them 0-255 unsigned
    ; (https://gbdev.io/pandocs/Tile_Data.html).
    ld hl, #pixels
    ld de, #0x8000
    ld bc, #PIXELS_SIZE
2$: ld a, (hl+)
    ld (de), a
    inc de
    dec bc
    ld a, b
    or c
    jr nz, 2$

    ; The cells to the top left 20x18 of the 32x32 map at 0x9800
    ; (https://gbdev.io/pandocs/Tile_Maps.html).
    ld hl, #cells
    ld de, #0x9800
    ld c, #ROWS
3$: ld b, #COLUMNS
4$: ld a, (hl+)
    ld (de), a
    inc de
    dec b
    jr nz, 4$
    ld a, e             ; on to the next map row: 32 - 20 cells further
    add a, #32 - COLUMNS
    ld e, a
    jr nc, 5$
    inc d
5$: dec c
    jr nz, 3$

    ld a, (palette)
    ldh (BGP), a
    xor a
    ldh (SCY), a
    ldh (SCX), a
    ld a, #0x91         ; LCD on, tiles from 0x8000, map 0x9800, background on
    ldh (LCDC), a
6$: jr 6$

palette:
    .incbin "tiles.bin", PALETTE_AT, 1
pixels:
    .incbin "tiles.bin", PIXELS_AT, PIXELS_SIZE
cells:
    .incbin "map.bin", CELLS_AT, COLUMNS * ROWS
