#!/usr/bin/env bash
# Builds the example NES program from a tile file and a map file kesh wrote
# with the NES preset, picking their parts out by byte offsets (which
# `kesh-cli layout --json` gives; see README.md):
#
#   examples/nes/build.sh --tiles art.til --palette-at 0 --pixels-at 20 \
#       --pixels-size 4096 --map art.map --cells-at 4 --attributes-at 964 \
#       --out build/nes/background.nes
#
# Needs ca65 and ld65 (Debian's cc65). Intermediate files go beside --out.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

usage() {
    sed -n '2,9p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

tiles="" map="" out=""
declare -A at=()
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || usage
    case "$1" in
        --tiles) tiles="$2" ;;
        --map) map="$2" ;;
        --out) out="$2" ;;
        --palette-at) at[PALETTE_AT]="$2" ;;
        --pixels-at) at[PIXELS_AT]="$2" ;;
        --pixels-size) at[PIXELS_SIZE]="$2" ;;
        --cells-at) at[CELLS_AT]="$2" ;;
        --attributes-at) at[ATTRIBUTES_AT]="$2" ;;
        *) usage ;;
    esac
    shift 2
done
[ -n "$tiles" ] && [ -n "$map" ] && [ -n "$out" ] && [ "${#at[@]}" -eq 5 ] || usage
defines=()
for name in "${!at[@]}"; do
    [[ "${at[$name]}" =~ ^[0-9]+$ ]] || { echo "build.sh: $name must be a number of bytes: ${at[$name]}" >&2; exit 2; }
    defines+=(-D "$name=${at[$name]}")
done
size="${at[PIXELS_SIZE]}"
if [ "$size" -eq 0 ] || [ "$size" -gt 4096 ] || [ $((size % 16)) -ne 0 ]; then
    echo "build.sh: PIXELS_SIZE must be 1 to 256 tiles of 16 bytes: $size" >&2
    exit 2
fi

work="$(dirname "$out")"
mkdir -p "$work"
# The source includes its data by fixed names, so copy the two files beside it.
cp "$tiles" "$work/tiles.bin"
cp "$map" "$work/map.bin"
ca65 --bin-include-dir "$work" "${defines[@]}" -o "$work/background.o" "$here/background.s"
ld65 -C "$here/nrom.cfg" -o "$out" "$work/background.o"
