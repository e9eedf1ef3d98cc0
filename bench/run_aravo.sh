#!/bin/sh
# Builds the Aravo pipeline benchmark (Release) and runs it on about 127 000 characters of
# generated Portuguese text (aravo_text.awk), against espeak-ng on the same text
# (apt-get install espeak-ng).
# Usage: bench/run_aravo.sh [build folder]   (default: build-aravo-bench beside bench/)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-aravo-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_aravo -j2 >/dev/null

text="$build_dir/bench_aravo.txt"
awk -f "$here/aravo_text.awk" >"$text"
"$build_dir/bench/bench_aravo" "$source_dir/data/aravo" "$text"
