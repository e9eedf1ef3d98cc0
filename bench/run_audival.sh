#!/bin/sh
# Builds the test-run benchmark (Release) and runs it: CPU time from program start to the
# first prompt's first block queued, and the peak memory of a whole test run, both on the
# simulated machine. The generated voice is used when the data folder ($VERANTO_DATA, else
# ~/.local/share/veranto) holds it; else a synthetic database with the shipped rules.
# Usage: bench/run_audival.sh [build folder]   (default: build-bench beside bench/)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_audival -j2 >/dev/null
"$build_dir/bench/bench_audival"
