#!/bin/sh
# Builds the system voice benchmark (Release) and runs it under a virtual X server with SDL's
# dummy audio driver: speak to the first block queued against espeak-ng's first samples.
# Usage: bench/run_system_voice.sh [build folder] [runs]   (default: build-bench beside bench/, 7)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_system_voice -j2 >/dev/null
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1024x768x24" "$build_dir/bench/bench_system_voice" ${2:-7}
