#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks the installed tree: programs, desktop
# entry, AppStream data, icons, MIME types, manual pages and shell completion.
# Usage: check-install.sh CMAKE BUILD_DIR UI_BUILT(ON/OFF) VERSION
set -uo pipefail

cmake=$1
build=$2
case ${3^^} in ON | TRUE | YES | 1) ui=1 ;; *) ui=0 ;; esac
version=$4

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
have() { command -v "$1" >/dev/null 2>&1; }

if ! "$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
    cat "$prefix.log"
    rm -f "$prefix.log"
    echo "FAIL: cmake --install"
    exit 1
fi
rm -f "$prefix.log"

share=$prefix/share
desktop=$share/applications/kesh.desktop
metainfo=$share/metainfo/io.github.kesh.kesh.metainfo.xml
mime=$share/mime/packages/kesh-mime.xml
completion=$share/bash-completion/completions/kesh-cli

# --- what must be there, and what must not be without the editor
copyright=$share/doc/kesh/copyright
expect=("$prefix/bin/kesh-cli" "$mime" "$completion" "$share/man/man1/kesh-cli.1.gz" "$copyright")
editor=("$prefix/bin/kesh" "$desktop" "$metainfo" "$share/man/man1/kesh.1.gz"
    "$share/icons/hicolor/scalable/apps/kesh.svg")
for size in 16 32 48 64 128 256; do
    editor+=("$share/icons/hicolor/${size}x${size}/apps/kesh.png")
done
if ((ui)); then expect+=("${editor[@]}"); fi
for f in "${expect[@]}"; do
    [ -f "$f" ] || fail "not installed: ${f#"$prefix"/}"
done
if ((!ui)); then
    for f in "${editor[@]}"; do
        [ ! -e "$f" ] || fail "installed without the editor: ${f#"$prefix"/}"
    done
fi
for f in "$prefix/bin/kesh-cli" "$prefix/bin/kesh"; do
    if [ -e "$f" ] && [ ! -x "$f" ]; then fail "not executable: ${f#"$prefix"/}"; fi
done
# The editor answers --help and --version without a display, in Korean.
if ((ui)) && [ -x "$prefix/bin/kesh" ]; then
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/kesh" --help 2>&1) ||
        fail "kesh --help without a display failed: $out"
    [ "${out%%$'\n'*}" = "사용법: kesh [파일]" ] || fail "kesh --help printed: ${out%%$'\n'*}"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/kesh" --version 2>&1)
    [ "${out%% *}" = "kesh" ] || fail "kesh --version printed: $out"
fi
if [ -x "$prefix/bin/kesh-cli" ]; then
    out=$("$prefix/bin/kesh-cli" --version 2>&1)
    [ "$out" = "kesh-cli $version" ] || fail "installed kesh-cli --version printed: $out"
fi

# --- PNG icons have the size of their folder (width and height from the IHDR chunk)
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'; }
for png in "$share"/icons/hicolor/*x*/apps/kesh.png; do
    [ -f "$png" ] || continue
    want=$(basename "$(dirname "$(dirname "$png")")")
    got=$(png_size "$png")
    [ "$got" = "$want" ] || fail "icon in $want is $got"
done

# --- validators
if ((ui)); then
    if have desktop-file-validate; then
        out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
        # Hints (such as two main categories) are fine; warnings and errors are not.
        if grep -Eq ': (warning|error):' <<<"$out"; then fail "desktop-file-validate: $out"; fi
    else
        fail "desktop-file-validate is missing (scripts/deps installs desktop-file-utils)"
    fi
    if have appstreamcli; then
        out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
    else
        fail "appstreamcli is missing (scripts/deps installs appstream)"
    fi
fi
if have xmllint; then
    xmllint --noout "$mime" || fail "xmllint rejects kesh-mime.xml"
    if ((ui)); then xmllint --noout "$metainfo" || fail "xmllint rejects the metainfo"; fi
fi

# --- the MIME database built from our package file: globs, weights, and no magic for .map
if have update-mime-database; then
    if update-mime-database "$share/mime" >/dev/null 2>&1; then
        for line in "10:application/x-kesh-map:*.map" "50:application/x-kesh-tileset:*.til" \
            "50:application/x-kesh-tile-layout:*.ktf" "50:application/x-kesh-map-layout:*.kmf"; do
            grep -qxF "$line" "$share/mime/globs2" || fail "globs2 lacks $line"
        done
        if [ -f "$share/mime/magic" ] && grep -aq "x-kesh" "$share/mime/magic"; then
            fail "a magic rule claims a kesh type"
        fi
    else
        fail "update-mime-database rejects kesh-mime.xml"
    fi
fi

# --- the types the desktop entry opens are the types we define and announce
types_defined=$(grep -o 'mime-type type="[^"]*"' "$mime" | cut -d'"' -f2 | sort)
if ((ui)); then
    types_desktop=$(grep '^MimeType=' "$desktop" | cut -d= -f2 | tr ';' '\n' | sed '/^$/d' | sort)
    types_meta=$(grep -o '<mediatype>[^<]*' "$metainfo" | cut -d'>' -f2 | sort)
    [ "$types_desktop" = "$types_defined" ] || fail "desktop MimeType differs from kesh-mime.xml"
    [ "$types_meta" = "$types_defined" ] || fail "metainfo mediatypes differ from kesh-mime.xml"
    grep -qx 'Exec=kesh %f' "$desktop" || fail "desktop entry does not run kesh %f"
    grep -qx 'Icon=kesh' "$desktop" || fail "desktop entry icon is not kesh"
    grep -q '<launchable type="desktop-id">kesh.desktop</launchable>' "$metainfo" ||
        fail "metainfo does not launch kesh.desktop"
fi

# --- the licence: MIT, in Debian's machine-readable copyright file and the metainfo
if [ -f "$copyright" ]; then
    head -n1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "copyright is not in the machine-readable format"
    grep -qx 'License: Expat' "$copyright" || fail "copyright does not name the MIT (Expat) licence"
    grep -qx 'Files: \*' "$copyright" || fail "copyright has no Files: * paragraph"
fi
if ((ui)); then
    grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "metainfo licence is not MIT"
fi

# --- manual pages format without warnings
if have groff; then
    for page in "$share"/man/man1/*.1.gz; do
        out=$(gzip -dc "$page" | LC_ALL=C.UTF-8 groff -man -ww -z 2>&1)
        [ -z "$out" ] || fail "groff warns on $(basename "$page"): $out"
    done
fi

# --- bash completion: registered, completes commands, options, item lists and files
files=$(mktemp -d)
touch "$files/a.map" "$files/b.til" "$files/c.PCX" "$files/d.bmp" "$files/e.txt"
out=$(cd "$files" && bash --norc -c '
    source "$1" || exit 1
    complete -p kesh-cli || exit 1
    run() {
        COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=()
        _kesh_cli
        printf "%s\n" "${COMPREPLY[*]}"
    }
    run kesh-cli ""
    run kesh-cli --ver
    run kesh-cli info --
    run kesh-cli convert out.map --map-items SizeWord,Cells
    run kesh-cli convert --attr-width ""
    run kesh-cli palette "" | tr " " "\n" | sort | xargs
    run kesh-cli export-bmp a.map ""
    run kesh-cli codegen a.map --lang ""
' _ "$completion" 2>&1)
rm -rf "$files"
expected="complete -F _kesh_cli kesh-cli
info export-bmp export-png import-image export-tmx import-tmx palette add-tiles delete-tile convert layout codegen --version --help
--version
--cells --palette
SizeWord,CellsByte SizeWord,CellsWord
1 2 4
c.PCX d.bmp
d.bmp
c python"
[ "$out" = "$expected" ] || fail "bash completion gave:
$out"

if ((failures)); then
    echo "$failures install check(s) failed"
    exit 1
fi
echo "install checks passed"
