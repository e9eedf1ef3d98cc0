#!/bin/sh
# Builds the Aravo engine benchmark (Release) and runs it on about 127 000 characters of
# generated Portuguese text (aravo_text.awk): text to samples with our synthesizer library,
# against espeak-ng -v pt-br -w on the same text (apt-get install espeak-ng).
# Usage: bench/run_engine.sh [build folder]   (default: build-aravo-bench beside bench/)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-aravo-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_engine mbrola -j2 >/dev/null

text="$build_dir/bench_engine.txt"
awk -f "$here/aravo_text.awk" >"$text"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$build_dir/bench/bench_engine" "$build_dir/formant/libmbrola.so" \
  "$source_dir/data/formant/br1.voice" "$source_dir/data/aravo" "$text" "$scratch"
