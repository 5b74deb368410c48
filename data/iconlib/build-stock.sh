#!/bin/sh
# Builds the stock icon library (VXIndex.Lib + VXIcon.Lib) from the Tango icon theme, in the
# order of stock.txt, through vxtool itself so the files are written exactly as the program
# writes them. Usage: build-stock.sh VXTOOL TANGO_DIR STOCK_LIST OUT_DIR
set -eu
vxtool=$1 tango=$2 list=$3 out=$4
work=$out/.work
rm -rf "$work" "$out/VXIndex.Lib" "$out/VXIcon.Lib"
mkdir -p "$work"

number=0
grep -v '^#' "$list" | while IFS='	' read -r name source; do
    [ -n "$name" ] || continue
    case $source in
    anim:*)
        strip=${source#anim:}
        # The theme's strip is a grid of 32x32 frames; its first frame is the idle one.
        convert "$tango/32x32/$strip.png" -crop 32x32 +repage "$work/frame_%02d.png"
        frames=
        for png in "$work"/frame_*.png; do
            case $png in */frame_00.png) continue ;; esac
            icotool -c -o "${png%.png}.ico" "$png"
            frames="$frames ${png%.png}.ico"
        done
        # shellcheck disable=SC2086  # one argument per frame
        "$vxtool" iconlib animate "$work/$name" 4 $frames
        ;;
    *)
        icotool -c -o "$work/$name" "$tango/16x16/$source.png" "$tango/32x32/$source.png"
        ;;
    esac
    got=$("$vxtool" iconlib add "$out" "$work/$name")
    if [ "$got" != "$number" ]; then
        echo "build-stock.sh: $name became entry $got, expected $number" >&2
        exit 1
    fi
    number=$((number + 1))
done
rm -rf "$work"
