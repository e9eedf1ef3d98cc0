#!/usr/bin/env bash
# Sets everything up on Debian 12 and then starts the program or runs every test.
#   bash setup.sh run    install what is missing, build, prepare the voice data, start AUDIVAL
#   bash setup.sh test   install what is missing, build with sanitizers, run every test
#   bash setup.sh build  install what is missing and build, nothing else
#   bash setup.sh bench  the benchmarks;  bash setup.sh fuzz [SECONDS]  the fuzz targets
#   bash setup.sh windows  cross-build the Windows programs and pack them with their data into
#                          build-windows/audival-windows.zip
set -euo pipefail
cd "$(dirname "$0")"
mode=${1:-run}
shift || true

build_packages=(cmake g++ make pkg-config libsdl2-dev libsdl2-ttf-dev libfontconfig-dev
                fonts-dejavu-core fontconfig espeak-ng libespeak-ng-dev
                libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng)
# The desktop tests also run a private session bus, window manager and PipeWire sound server.
test_packages=(googletest libgtest-dev xvfb xauth xdotool libx11-dev libxtst-dev
               pipewire pipewire-pulse pipewire-bin wireplumber pulseaudio-utils openbox dbus
               x11-utils wmctrl)
bench_packages=(libbenchmark-dev)
# The Windows build: MinGW-w64 for 32-bit programs (the package) and for 64-bit ones (the
# tests, which run under Wine's 64-bit loader: its 32-bit one needs Debian's i386
# architecture).
windows_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 zip)
windows_test_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64)

install_missing() {
  local missing=()
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The voice data (diphone database, character, number and prompt recordings) spoken by
# espeak-ng into the data folder ($VERANTO_DATA, else $XDG_DATA_HOME/veranto, else
# ~/.local/share/veranto), and a VERANTO.INI in the Windows folder ($VERANTO_WINDIR, else
# $XDG_CONFIG_HOME/veranto, else ~/.config/veranto) that points at it, so that the programs
# speak without anyone editing a file. Keys already in VERANTO.INI keep their values; data
# built from the same sources is not built again.
prepare_voice_data() {
  "$1/tools/voicedata/voicedata" setup data "$(pwd)"
}

jobs=$(nproc 2>/dev/null || echo 2)

# A build of the Windows programs in folder $1 with the MinGW-w64 toolchain $2; more CMake
# options follow.
cross_build() {
  local folder=$1 toolchain=$2
  shift 2
  cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" "$@" > /dev/null
  cmake --build "$folder" -j"$jobs"
}

# The Windows tests: the portable suite and the win32 backend, under Wine in a prefix of the
# build's own (made before the build, whose test discovery already runs the programs).
windows_tests() {
  local folder=build-test-windows status=0
  mkdir -p "$folder"
  export WINEPREFIX="$(pwd)/$folder/wineprefix" WINEDEBUG=-all
  # One server for the prefix while the tests run: one that ends between two programs of a
  # busy run drops the programs that connect to it as it goes.
  /usr/lib/wine/wineserver64 -p
  /usr/lib/wine/wine64 wineboot -i > /dev/null 2>&1
  cross_build "$folder" mingw-x86_64 -DCMAKE_BUILD_TYPE=Debug -DVERANTO_WERROR="$werror" || status=$?
  # The package's data, for the test of audival.exe as the package runs it.
  if [ "$status" -eq 0 ]; then
    build-test/tools/voicedata/voicedata package data "$folder/package" > /dev/null
    # Wine itself now and then drops a program as it starts ("wine client error: recvmsg:
    # Connection reset by peer", about one in 250 here): a failed test gets a second run.
    (cd "$folder" && ctest --output-on-failure -j"$jobs" --repeat until-pass:2 "$@") || status=$?
  fi
  /usr/lib/wine/wineserver64 -k
  unset WINEPREFIX WINEDEBUG
  [ "$status" -eq 0 ] || return "$status"
  # The 32-bit programs of the package: built, and checked as Windows' loader sees them.
  cross_build build-windows mingw-i686 -DCMAKE_BUILD_TYPE=Release -DVERANTO_TESTS=OFF \
    -DVERANTO_PACKAGE_DATA=ON -DVERANTO_WERROR="$werror"
  sh tests/wine/check_windows_files.sh build-windows/bin i686-w64-mingw32-objdump
}

case "$mode" in
  run|build)
    install_missing "${build_packages[@]}"
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVERANTO_TESTS=OFF > /dev/null
    cmake --build build -j"$jobs"
    prepare_voice_data build
    if [ "$mode" = run ]; then
      exec build/src/audival/audival "$@"
    fi
    ;;
  test)
    install_missing "${build_packages[@]}" "${test_packages[@]}" "${windows_test_packages[@]}"
    werror=OFF
    [ -n "${CI:-}" ] && werror=ON
    cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DVERANTO_SANITIZE=ON \
      -DVERANTO_WERROR="$werror" > /dev/null
    cmake --build build-test -j"$jobs"
    windows_status=0
    windows_tests "$@" || windows_status=$?
    linux_status=0
    (cd build-test && ctest --output-on-failure -j"$jobs" "$@") || linux_status=$?
    [ "$windows_status" -eq 0 ] || echo "The Windows tests failed (build-test-windows)." >&2
    [ "$linux_status" -eq 0 ] && [ "$windows_status" -eq 0 ]
    ;;
  windows)
    install_missing "${build_packages[@]}" "${windows_packages[@]}"
    # The voice data is made on Linux, by the Linux build's voicedata.
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVERANTO_TESTS=OFF > /dev/null
    cmake --build build -j"$jobs" --target voicedata
    cross_build build-windows mingw-i686 -DCMAKE_BUILD_TYPE=Release -DVERANTO_TESTS=OFF \
      -DVERANTO_PACKAGE_DATA=ON
    package=build-windows/AUDIVAL
    rm -rf "$package" build-windows/audival-windows.zip
    mkdir -p "$package"
    build/tools/voicedata/voicedata package data "$package"
    cp build-windows/bin/audival.exe build-windows/bin/fala.exe build-windows/bin/mbrola.dll "$package"
    cp data/windows/LEIAME.txt "$package"
    (cd build-windows && zip -qr audival-windows.zip AUDIVAL)
    echo "build-windows/audival-windows.zip"
    ;;
  bench)
    install_missing "${build_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}"
    cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVERANTO_TESTS=OFF -DVERANTO_BENCH=ON > /dev/null
    cmake --build build-bench -j"$jobs"
    bash bench/run_redraw.sh build-bench
    ;;
  fuzz)
    # Fuzzes every parser of outside input for the given number of seconds (default 60);
    # inputs that crash land in build-fuzz/ to be kept in tests/fuzz.
    install_missing "${build_packages[@]}" "${test_packages[@]}" clang libclang-rt-14-dev
    cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
    for target in profile wave_image pho; do
      cmake --build build-fuzz --target "${target}_fuzz" -j"$jobs"
      mkdir -p "build-fuzz/${target}_corpus"
      "build-fuzz/tests/fuzz/${target}_fuzz" -max_total_time="${1:-60}" -max_len=70000 \
        -artifact_prefix=build-fuzz/ "build-fuzz/${target}_corpus" "tests/fuzz/${target}_corpus"
    done
    ;;
  *)
    echo "usage: bash setup.sh run|test|build|bench|fuzz|windows" >&2
    exit 2
    ;;
esac
