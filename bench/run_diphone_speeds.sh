#!/bin/sh
# How long one text lasts at each speed of the internal voice with the settings set-up writes:
# builds the diphone database and VERANTO.INI into a scratch folder with voicedata, speaks the
# text with `fala diphone --speed N --wav` for N = 1 to 5 and prints each WAV's duration (its
# data size over its rate: the time the player takes, fast playback included) and the span.
# Exits 1 when speed 1 does not last at least 1.8 times as long as speed 5, or when a speed is
# not faster than the one before.
# Usage: bench/run_diphone_speeds.sh BUILD_DIR [TEXT]   (BUILD_DIR has voicedata and fala built)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:?usage: run_diphone_speeds.sh BUILD_DIR [TEXT]}
text=${2:-"Estou testando o microfone agora mesmo, com calma. Depois vamos ver o resultado."}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/windows"
"$build_dir/tools/voicedata/voicedata" diphones "$source_dir/data" "$scratch/root/lumivar/som/difones" >/dev/null
mkdir -p "$scratch/root/lumivar/som/letras"
"$build_dir/tools/voicedata/voicedata" settings "$scratch/windows/VERANTO.INI" "$scratch/root" >/dev/null
for speed in 1 2 3 4 5; do
  VERANTO_WINDIR="$scratch/windows" "$build_dir/tools/fala/fala" diphone --speed "$speed" \
    --wav "$scratch/speed$speed.wav" "$text"
done
# Bytes 24-27: the rate; 40-43: the data size (canonical 44-byte header, little-endian).
field() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }
for speed in 1 2 3 4 5; do
  wav="$scratch/speed$speed.wav"
  echo "$speed $(field "$wav" 24) $(field "$wav" 40)"
done | awk '
  { rate[$1] = $2; seconds[$1] = $3 / $2
    printf "speed %d: %.2f s at %d Hz\n", $1, seconds[$1], rate[$1] }
  END {
    bad = 0
    for (s = 2; s <= 5; s++) {
      if (seconds[s] >= seconds[s - 1]) { printf "speed %d is not faster than speed %d\n", s, s - 1; bad = 1 }
      else printf "speed %d is %.2f times as fast as speed %d\n", s, seconds[s - 1] / seconds[s], s - 1
    }
    printf "speed 1 lasts %.2f times as long as speed 5 (at least 1.8 wanted)\n", seconds[1] / seconds[5]
    if (seconds[1] < 1.8 * seconds[5]) bad = 1
    exit bad
  }'
