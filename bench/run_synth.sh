#!/bin/sh
# Builds the synthesis-speed benchmark (Release) and runs it on a minute of speech: the test
# sentence of data/formant repeated, as .pho lines for the formant library and as text for
# espeak-ng (apt-get install espeak-ng).
# Usage: bench/run_synth.sh [build folder]   (default: build-formant-bench beside bench/)
set -e
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${1:-$source_dir/build-formant-bench}

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVERANTO_BENCH=ON >/dev/null
cmake --build "$build_dir" --target bench_synth -j2 >/dev/null

sentence="$source_dir/data/formant/teste.pho"
text=$(sed -n '1s/^; "\(.*\)"$/\1/p' "$sentence")
pho="$build_dir/bench_synth.pho"
txt="$build_dir/bench_synth.txt"
: >"$pho"
: >"$txt"
# 17 repetitions of a 3.7 s sentence: 63 s of speech.
i=0
while [ $i -lt 17 ]; do
  grep -v '^;' "$sentence" >>"$pho"
  echo "$text" >>"$txt"
  i=$((i + 1))
done

"$build_dir/bench/bench_synth" "$source_dir/data/formant/br1.voice" "$pho" "$txt"
