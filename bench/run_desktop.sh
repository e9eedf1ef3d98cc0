#!/bin/sh
# Builds AUDIVAL and the desktop benchmark (Release) and runs it on a private desktop (the
# rig of tests/desktop): start to the first prompt's sound, and key to silence, in wall time.
# Usage: bench/run_desktop.sh [build folder] [runs]   (default: build-bench beside bench/, 7)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_desktop audival -j2 >/dev/null
"$build_dir/bench/bench_desktop" ${2:-7}
