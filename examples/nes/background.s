; Shows one full-screen background made with kesh, then waits forever.
;
; The data comes from two files kesh writes with the NES preset, picked out
; by byte offsets that build.sh passes as symbols (-D), from the copies it
; makes of them in the build folder, tiles.bin and map.bin:
;   PALETTE_AT     16 bytes: 4 background palettes x 4 master-palette indices
;   PIXELS_AT      PIXELS_SIZE bytes of tiles, 16 bytes each, plane 0 rows
;                  then plane 1 rows, at most 256 tiles (pattern table $0000)
;   CELLS_AT       960 bytes: the 32x30 nametable, one tile number a cell
;   ATTRIBUTES_AT  64 bytes: the attribute table, one palette per 16x16 area
; See README.md.

PPUCTRL   = $2000       ; https://www.nesdev.org/wiki/PPU_registers
PPUMASK   = $2001
PPUSTATUS = $2002
PPUSCROLL = $2005
PPUADDR   = $2006
PPUDATA   = $2007
DMC_FREQ  = $4010       ; https://www.nesdev.org/wiki/APU_DMC
APU_FRAME = $4017       ; https://www.nesdev.org/wiki/APU_Frame_Counter

.assert PIXELS_SIZE > 0 && PIXELS_SIZE <= 4096 && PIXELS_SIZE .mod 16 = 0, error, "PIXELS_SIZE: 1 to 256 tiles of 16 bytes"

; iNES header: https://www.nesdev.org/wiki/INES
.segment "HEADER"
    .byte "NES", $1A
    .byte 1             ; 16 KiB PRG-ROM
    .byte 1             ; 8 KiB CHR-ROM
    .byte %00000001     ; mapper 0 (NROM), vertical mirroring
    .byte %00000000
    .res 8, 0

.segment "CHARS"
    .incbin "tiles.bin", PIXELS_AT, PIXELS_SIZE

.segment "RODATA"
palette:
    .incbin "tiles.bin", PALETTE_AT, 16
; The nametable's 960 tile bytes and its attribute table follow each other
; in the PPU at $2000-$23FF: https://www.nesdev.org/wiki/PPU_nametables
nametable:
    .incbin "map.bin", CELLS_AT, 960
    .incbin "map.bin", ATTRIBUTES_AT, 64

.segment "CODE"
; Start-up as on https://www.nesdev.org/wiki/Init_code: interrupts off, then
; two waits for vblank while the PPU warms up; it ignores writes to PPUCTRL,
; PPUMASK, PPUSCROLL and PPUADDR until then
; (https://www.nesdev.org/wiki/PPU_power_up_state).
reset:
    sei
    cld
    ldx #$40
    stx APU_FRAME       ; no APU frame interrupt
    ldx #$FF
    txs
    inx                 ; X = 0
    stx PPUCTRL         ; no NMI
    stx PPUMASK         ; rendering off
    stx DMC_FREQ        ; no DMC interrupt
    bit PPUSTATUS       ; clear the vblank flag left from before reset
@vblank1:
    bit PPUSTATUS
    bpl @vblank1
@vblank2:
    bit PPUSTATUS
    bpl @vblank2

    ; Rendering is off, so the PPU's memory may be written at any time.
    ; Palette at $3F00: https://www.nesdev.org/wiki/PPU_palettes
    bit PPUSTATUS       ; reset the PPUADDR write latch
    lda #$3F
    sta PPUADDR
    lda #$00
    sta PPUADDR
    ldx #0
@palette:
    lda palette,x
    sta PPUDATA
    inx
    cpx #16
    bne @palette

    ; Nametable 0 and its attribute table, 1,024 bytes from $2000.
    lda #$20
    sta PPUADDR
    lda #$00
    sta PPUADDR
    lda #<nametable
    sta $00
    lda #>nametable
    sta $01
    ldx #4              ; four pages of 256 bytes
    ldy #0
@page:
    lda ($00),y
    sta PPUDATA
    iny
    bne @page
    inc $01
    dex
    bne @page

    ; Wait for vblank so that the first frame drawn is whole, then scroll
    ; to (0, 0) of nametable 0 (writing PPUADDR moved the scroll:
    ; https://www.nesdev.org/wiki/PPU_scrolling) and turn the background on,
    ; in the leftmost 8 pixels too. Sprites stay off; their left-edge bit is
    ; set only so that no emulator blanks that column for them.
@vblank3:
    bit PPUSTATUS
    bpl @vblank3
    lda #%00000000      ; nametable $2000, background tiles from $0000
    sta PPUCTRL
    sta PPUSCROLL
    sta PPUSCROLL
    lda #%00001110      ; background on, nothing clipped at the left edge
    sta PPUMASK
forever:
    jmp forever

nmi:
irq:
    rti

.segment "VECTORS"
    .addr nmi, reset, irq
