# bash completion for kesh-cli                                    -*- shell-script -*-
# The word lists split below are fixed names without blanks or wildcards.
# shellcheck disable=SC2207

# Completes files whose extension matches the extglob alternatives in $2 (any case),
# and directories to walk into.
_kesh_cli_files() {
    local cur=$1 exts=$2 restore
    restore=$(shopt -p extglob)
    shopt -s extglob
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"
        compgen -f -X "!*.@($exts|${exts^^})" -- "$cur")
    eval "$restore"
    compopt -o filenames 2>/dev/null
}

# Completes the last name of a comma-separated item list.
_kesh_cli_items() {
    local cur=$1 names=$2 done=""
    if [[ $cur == *,* ]]; then
        done=${cur%,*},
        cur=${cur##*,}
    fi
    COMPREPLY=($(compgen -P "$done" -W "$names" -- "$cur"))
    compopt -o nospace 2>/dev/null
}

_kesh_cli() {
    local cword=$COMP_CWORD
    local cur=${COMP_WORDS[cword]} prev=${COMP_WORDS[cword - 1]}
    # "--option=value" arrives as three words when "=" breaks words.
    if [[ $cur == = ]]; then
        prev=${COMP_WORDS[cword - 1]}
        cur=""
    elif [[ $prev == = ]] && ((cword > 1)); then
        prev=${COMP_WORDS[cword - 2]}
    fi
    COMPREPLY=()

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "info export-bmp export-png import-image export-tmx import-tmx
            palette add-tiles delete-tile convert layout codegen --version --help" \
            -- "$cur"))
        return
    fi
    local command=${COMP_WORDS[1]}

    case $prev in
    --map-items)
        _kesh_cli_items "$cur" "SizeByte SizeWord SizeDword TileFile CellsByte CellsWord"
        return
        ;;
    --tile-items)
        _kesh_cli_items "$cur" "SizeByte SizeWord SizeDword CountByte CountWord CountDword
            TileData AttrData TileAttrData Palette768 Palette1024"
        return
        ;;
    --attr-width)
        COMPREPLY=($(compgen -W "1 2 4" -- "$cur"))
        return
        ;;
    --map-header | --tile-header)
        return
        ;;
    --lang)
        COMPREPLY=($(compgen -W "c python" -- "$cur"))
        return
        ;;
    -o)
        _kesh_cli_files "$cur" "h|py"
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        case $command in
        info) COMPREPLY=($(compgen -W "--cells --palette" -- "$cur")) ;;
        layout) COMPREPLY=($(compgen -W "--json" -- "$cur")) ;;
        codegen) COMPREPLY=($(compgen -W "--lang -o" -- "$cur")) ;;
        import-tmx)
            COMPREPLY=($(compgen -W "--palette --nearest --quantize --dither --drop-flips
                --map-items --tile-items" -- "$cur"))
            ;;
        import-image)
            COMPREPLY=($(compgen -W "--tile-size --palette --nearest --quantize --dither --pad
                --map" -- "$cur"))
            ;;
        palette) COMPREPLY=($(compgen -W "--quantize" -- "$cur")) ;;
        convert)
            COMPREPLY=($(compgen -W "--map-items --tile-items --attr-width --map-header
                --tile-header" -- "$cur"))
            ;;
        esac
        return
    fi

    # Count the plain arguments before this one: options and their values don't count.
    local i word plain=0
    for ((i = 2; i < cword; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
        --map-items | --tile-items | --attr-width | --map-header | --tile-header | --lang | -o)
            ((i++))
            [[ ${COMP_WORDS[i]} == = ]] && ((i++))
            ;;
        --quantize) [[ ${COMP_WORDS[i + 1]} =~ ^[0-9]+$ ]] && ((i++)) ;;
        -* | =) ;;
        *) ((plain++)) ;;
        esac
    done

    case $command in
    info | convert | layout | codegen) _kesh_cli_files "$cur" "map|til" ;;
    export-bmp)
        if ((plain == 0)); then
            _kesh_cli_files "$cur" "map|til"
        else
            _kesh_cli_files "$cur" "bmp"
        fi
        ;;
    export-png)
        if ((plain == 0)); then
            _kesh_cli_files "$cur" "map|til"
        else
            _kesh_cli_files "$cur" "png"
        fi
        ;;
    import-image)
        if ((plain == 0)); then
            _kesh_cli_files "$cur" "png|bmp|pcx"
        else
            _kesh_cli_files "$cur" "til|map"
        fi
        ;;
    export-tmx)
        if ((plain == 0)); then
            _kesh_cli_files "$cur" "map"
        else
            _kesh_cli_files "$cur" "tmx"
        fi
        ;;
    import-tmx)
        if ((plain == 0)); then
            _kesh_cli_files "$cur" "tmx"
        else
            _kesh_cli_files "$cur" "map"
        fi
        ;;
    palette) _kesh_cli_files "$cur" "pcx|bmp|png|gpl|pal" ;;
    add-tiles) _kesh_cli_files "$cur" "til" ;;
    delete-tile) [[ $cword -eq 2 ]] && _kesh_cli_files "$cur" "map|til" ;;
    esac
} &&
    complete -F _kesh_cli kesh-cli

# ex: filetype=sh
