#!/usr/bin/env bash
# Builds the example Game Boy program from a tile file and a map file kesh
# wrote with the gb preset, picking their parts out by byte offsets (which
# `kesh-cli layout --json` gives; see README.md):
#
#   examples/gb/build.sh --tiles art.til --palette-at 0 --pixels-at 1 \
#       --pixels-size 4096 --map art.map --cells-at 0 --out build/gb/background.gb
#
# Needs sdasgb, sdldgb and makebin (Debian's sdcc). Intermediate files go
# beside --out.
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
        *) usage ;;
    esac
    shift 2
done
[ -n "$tiles" ] && [ -n "$map" ] && [ -n "$out" ] && [ "${#at[@]}" -eq 4 ] || usage
for name in "${!at[@]}"; do
    [[ "${at[$name]}" =~ ^[0-9]+$ ]] || { echo "build.sh: $name must be a number of bytes: ${at[$name]}" >&2; exit 2; }
done
size="${at[PIXELS_SIZE]}"
if [ "$size" -eq 0 ] || [ "$size" -gt 4096 ] || [ $((size % 16)) -ne 0 ]; then
    echo "build.sh: PIXELS_SIZE must be 1 to 256 tiles of 16 bytes: $size" >&2
    exit 2
fi

mkdir -p "$(dirname "$out")"
out="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
work="$(dirname "$out")"
cp "$tiles" "$work/tiles.bin"
cp "$map" "$work/map.bin"
for name in "${!at[@]}"; do echo "$name = ${at[$name]}"; done > "$work/layout.inc"
cp "$here/background.s" "$work/background.s"
# sdas looks for included files beside the source, so it is assembled there.
cd "$work"
sdasgb -o background.rel background.s
sdldgb -i background.ihx background.rel >/dev/null
makebin -Z -yn KESH background.ihx "$out"
