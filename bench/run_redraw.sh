#!/bin/sh
# Builds the level-bar redraw benchmark (Release) and runs it on a virtual X server.
# Usage: bench/run_redraw.sh [build folder]   (default: build-bench beside bench/)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_redraw -j2 >/dev/null

SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build_dir/bench/bench_redraw" --benchmark_min_time=2 | tee "$build_dir/bench_redraw.txt"

awk '/^BM_RedrawLevelBar/ {
  time = $2; unit = $3
  us = (unit == "ns") ? time / 1000 : (unit == "ms") ? time * 1000 : time
  printf "one level-bar redraw, made visible: %.1f us (target under 1000 us): %s\n",
         us, (us < 1000) ? "met" : "NOT met"
}' "$build_dir/bench_redraw.txt"
