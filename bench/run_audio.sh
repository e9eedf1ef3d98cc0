#!/bin/sh
# Builds the audio benchmarks (Release) and runs them: key to silence on the simulated
# machine (virtual time) and on SDL with its dummy audio driver under a virtual X server
# (wall time), and the CPU cost of one captured buffer (peak and live bar) on both.
# Usage: bench/run_audio.sh [build folder]   (default: build-bench beside bench/)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_audio_sim bench_audio_sdl -j2 >/dev/null

sim_csv="$build_dir/bench_audio_sim.csv"
sdl_csv="$build_dir/bench_audio_sdl.csv"
"$build_dir/bench/bench_audio_sim" --benchmark_out="$sim_csv" --benchmark_out_format=csv
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build_dir/bench/bench_audio_sdl" --benchmark_out="$sdl_csv" --benchmark_out_format=csv

# The CSV files begin with the machine's description; the table starts at the "name" header.
summary() {
  awk -F, '
    $1 == "name" { for (i = 1; i <= NF; ++i) { gsub(/"/, "", $i); column[$i] = i }; table = 1; next }
    !table { next }
    {
      name = $1; gsub(/"/, "", name)
      unit = $column["time_unit"]
      scale = (unit == "ns") ? 0.001 : (unit == "ms") ? 1000 : (unit == "s") ? 1000000 : 1
      real_us = $column["real_time"] * scale
      cpu_us = $column["cpu_time"] * scale
      if (name ~ /^BM_KeyToSilenceSim\/1000/)
        report("key to silence, sim, player polling for a free slot (virtual ms, max)",
               $column["max_virtual_ms"], "ms", $column["max_virtual_ms"] <= 10, "at most 10")
      else if (name ~ /^BM_KeyToSilenceSim\/20000/)
        report("key to silence, sim, every block queued (virtual ms, max)",
               $column["max_virtual_ms"], "ms", $column["max_virtual_ms"] <= 10, "at most 10")
      else if (name ~ /^BM_KeyToSilenceSdl/) {
        report("key to silence, sdl dummy driver (wall ms, mean)", real_us / 1000, "ms",
               real_us / 1000 < 30, "under 30")
        report("key to silence, sdl dummy driver (wall ms, max)", $column["max_ms"], "ms",
               $column["max_ms"] < 30, "under 30")
      } else if (name ~ /^BM_WaveOutCloseSdl/)
        printf "  (of which closing an idle sdl output device takes %.1f ms)\n", real_us / 1000
      else if (name ~ /^BM_CapturedBuffer/)
        report("one captured buffer, peak and bar, " (name ~ /Sim/ ? "sim console" : "sdl window") " (CPU us)",
               cpu_us, "us", cpu_us < 200, "under 200")
    }
    function report(what, value, unit, met, target) {
      printf "%s: %.2f %s (target %s %s): %s\n", what, value, unit, target, unit, met ? "met" : "NOT met"
    }' "$1"
}

echo
summary "$sim_csv"
summary "$sdl_csv"
