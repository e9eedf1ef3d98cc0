#!/bin/sh
# fala.exe's sound under Wine, through Wine's wave devices on ALSA's file plugin (a private
# HOME whose .asoundrc writes playback to out.raw and reads capture from in.raw), on a private
# X server and prefix: a prompt's samples reach the output file, and a measurement of an input
# file of known peak reads that peak.   fala_sound_test.sh FALA.exe
here=$(cd "$(dirname "$0")" && pwd)
fala=$1
. "$here/wine_session.sh"
home=$(mktemp -d "${TMPDIR:-/tmp}/veranto-fala-sound.XXXXXX") || exit 1
trap 'end_session; rm -rf "$home"' EXIT
trap 'exit 130' INT TERM
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Bytes as octal escapes for printf: a little-endian number of `2` or `4` bytes.
le() {
  le_value=$1
  le_bytes=$2
  while [ "$le_bytes" -gt 0 ]; do
    printf "\\$(printf %03o $((le_value % 256)))"
    le_value=$((le_value / 256))
    le_bytes=$((le_bytes - 1))
  done
}
# The input file: a square wave of peak 50 (bytes 178 and 78 about the centre 128) for 20 s.
# Wine lists the capture device only when the file is there before it first starts.
export HOME="$home"
printf 'pcm.!default { type file slave.pcm "null" file "%s/out.raw" infile "%s/in.raw" format "raw" }\n' \
  "$HOME" "$HOME" >"$HOME/.asoundrc"
square=$(printf '\262\116%.0s' $(seq 1 100))
for _ in $(seq 1 1103); do printf '%s' "$square"; done >"$HOME/in.raw"
start_session || exit 1
no_window_manager || exit 1
# Wine must take ALSA (and so the file plugin), not a sound server that may be running.
"$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1

# The prompt: 8-bit mono 11 025 Hz, 4000 samples of the pattern 128 144 160 144.
prompt="$session_folder/prompt.wav"
count=4000
{
  printf 'RIFF'; le $((36 + count)) 4; printf 'WAVEfmt '; le 16 4; le 1 2; le 1 2
  le 11025 4; le 11025 4; le 1 2; le 8 2; printf 'data'; le $count 4
  for _ in $(seq 1 $((count / 4))); do printf '\200\220\240\220'; done
} >"$prompt"

played=$("$WINE" "$fala" play "Z:$prompt" 2>&1 | tr -d '\r')
[ "$played" = "Terminado." ] || fail "fala play printed '$played'"
# What reached the device: the prompt's samples in order, nothing else but silence (128),
# its last sample too, since the player ends a block that is not full at silence.
sounding=$(od -An -v -tu1 "$HOME/out.raw" | tr -s ' \n' '\n\n' | grep -v '^$' | grep -vx 128 | tr '\n' ' ')
expected="$(for _ in $(seq 2 $((count / 4))); do printf '144 160 144 '; done)144 160 "
[ "$sounding" = "$expected" ] ||
  fail "the output file does not hold the prompt's samples ($(echo "$sounding" | wc -w) sounding bytes of $(echo "$expected" | wc -w))"

measured=$("$WINE" "$fala" level 1 2>&1 | tr -d '\r' | tail -n 1)
case "$measured" in
  *"50 de 128"*) ;;
  *) fail "fala level printed '$measured', not the input file's peak 50" ;;
esac

[ $failures -eq 0 ] && echo "fala.exe played the prompt into the output file and measured peak 50"
[ $failures -eq 0 ]
