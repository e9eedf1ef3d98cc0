#!/bin/sh
# Builds the internal voice benchmark (Release) and runs it on about 127 000 characters of
# generated Portuguese text (aravo_text.awk), translated with the shipped rules of
# data/diphone and spoken into a counting sink from a synthetic database in a scratch folder.
# Usage: bench/run_diphone.sh [build folder]   (default: build-diphone-bench beside bench/)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-diphone-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_diphone -j2 >/dev/null

text="$build_dir/bench_diphone.txt"
awk -f "$here/aravo_text.awk" >"$text"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$build_dir/bench/bench_diphone" "$source_dir/data/diphone" "$text" "$scratch"
