#!/bin/sh
# Seed corpora for the fuzz programs, made from the content tool's output (never committed).
# Usage: tests/fuzz/make_seeds.sh DATA_FOLDER CORPUS_FOLDER
set -eu
data=${1:-build/data}
out=${2:-build-fuzz/corpus}
[ -f "$data/Levels/Countries.txt" ] || { echo "no data folder at $data (build content_data first)" >&2; exit 1; }
for t in options texts gamedat tga jpeg uv dscr itf prt countries level colours unpack cursor script; do
    mkdir -p "$out/$t"
done
n=0
# Copies the given files into a corpus folder under numbered names.
put() {
    target=$1
    shift
    for f in "$@"; do
        [ -f "$f" ] || continue
        n=$((n + 1))
        cp "$f" "$out/$target/seed$n"
    done
}
printf 'Windowed 1\r\nWidth 1024\r\nHeight 768\r\nFormat X8R8G8B8\r\nRefreshRate $3C\r\nVSync true\r\n; comment\r\nCONST_Speed 0x10\r\n' > "$out/options/seed0"
{ head -n 1 "$data/Texts/Language.txt"; head -n 120 "$data/Texts/TextResourses.txt"; } > "$out/texts/seed0"
# A player data file of the right size: the defaults with one named player.
head -c 100032 /dev/zero > "$out/gamedat/seed0"
printf '\001\000\000\000\001\000\000\000\003Bot' | dd of="$out/gamedat/seed0" bs=1 seek=16 conv=notrunc 2>/dev/null
put tga $(find "$data/Textures" -name '*.tga' -size -8k | sort | head -n 6)
put jpeg $(find "$data/Textures" -name '*.jpg' -size -24k | sort | head -n 6)
put uv $(find "$data" -name '*.uv' | sort | head -n 4)
put dscr $(find "$data" -name '*.dscr' | sort | head -n 6)
put itf $(find "$data/Fonts" -name '*.itf' | sort | head -n 4)
put prt $(find "$data/Particles" -name '*.prt' | sort | head -n 10)
put countries "$data/Levels/Countries.txt"
put level $(find "$data/Levels" -name '*.map' | sort | head -n 8)
put colours $(find "$data/Textures/Arts" -name '!Colors.txt' | sort)
put unpack "$data/Textures/tga2jpgANDmask.txt"
put cursor $(find "$data" -name '*.xcr' | sort)
printf '# a script\n10 move 400 300\n12 down left 400 300\n13 up left 400 300\n20 key 27\n21 keydown 17\n22 keyup 17\n30 close\n' > "$out/script/seed0"
echo "seed corpora in $out"
