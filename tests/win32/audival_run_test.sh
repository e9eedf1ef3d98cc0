#!/bin/sh
# audival.exe under Wine as a user starts it from the unpacked Windows package: its window
# opens, the prompts come from the folders of the package's VERANTO.INI ("@" references) and
# reach Wine's wave device (ALSA's file plugin, whose output file each new sound starts
# afresh), and once the first question has been said whole, Escape ends the program with 0.
# Then fala.exe says a text through Wine's own SAPI 5 and 4, which open no voice there: the
# internal voice says it instead, exactly as with no engine asked for.
#   audival_run_test.sh PACKAGE_FOLDER AUDIVAL.exe MBROLA.dll FALA.exe
here=$(cd "$(dirname "$0")" && pwd)
package=$1
audival=$2
library=$3
fala=$4
[ -f "$package/VERANTO.INI" ] || { echo "no package in $package (voicedata package makes it)" >&2; exit 1; }
. "$here/wine_session.sh"
home=$(mktemp -d "${TMPDIR:-/tmp}/veranto-audival.XXXXXX") || exit 1
program_pid=
finish() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  end_session
  rm -rf "$home"
}
trap finish EXIT
trap 'exit 130' INT TERM

export HOME="$home"
printf 'pcm.!default { type file slave.pcm "null" file "%s/out.raw" infile "%s/in.raw" format "raw" }\n' \
  "$HOME" "$HOME" >"$HOME/.asoundrc"
: >"$HOME/in.raw"
folder="$home/AUDIVAL"
cp -r "$package" "$folder" && cp "$audival" "$library" "$fala" "$folder" || exit 1
start_session || exit 1
no_window_manager || exit 1
"$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1

# The bytes of a sound that are not silence (128), one a line.
sounding() { od -An -v -tu1 "$1" | tr -s ' \n' '\n\n' | grep -v '^$' | grep -vx 128; }
# The first question's prompt as the player plays it: the samples after its 44-byte header,
# the last of them silence.
prompt="$folder/lumivar/som/audival/AVENTSIL.wav"
{ tail -c +45 "$prompt" | head -c $(($(wc -c <"$prompt") - 45)); printf '\200'; } >"$home/question.raw"
sounding "$home/question.raw" >"$home/question.txt"

cd "$folder" || exit 1
"$WINE" audival.exe >"$home/audival.log" 2>&1 &
program_pid=$!
# Its title is the program's path.
window=$(timeout 30 xdotool search --sync --onlyvisible --name 'audival\.exe$' | head -n 1)
if [ -z "$window" ]; then
  echo "AUDIVAL's window did not appear" >&2
  exit 1
fi
# Said whole: the output file holds exactly the question's samples.
tries=0
until [ -f "$HOME/out.raw" ] && sounding "$HOME/out.raw" | cmp -s - "$home/question.txt"; do
  tries=$((tries + 1))
  if [ $tries -gt 300 ] || ! kill -0 "$program_pid" 2>/dev/null; then
    echo "the first question was not said whole ($(sounding "$HOME/out.raw" 2>/dev/null | wc -l) of $(wc -l <"$home/question.txt") sounding bytes)" >&2
    exit 1
  fi
  sleep 0.1
done
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key Escape
tries=0
while kill -0 "$program_pid" 2>/dev/null && [ $tries -lt 200 ]; do
  sleep 0.1
  tries=$((tries + 1))
done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "Escape at the first question did not end AUDIVAL" >&2
  exit 1
fi
wait "$program_pid"
status=$?
program_pid=
[ "$status" -eq 0 ] || { echo "AUDIVAL ended with $status" >&2; exit 1; }
echo "AUDIVAL said its first question whole from the package and ended at Escape"

# The sounding bytes `fala say` plays for a text, with the engine given first, if any.
say() {
  rm -f "$HOME/out.raw"
  "$WINE" fala.exe say "$@" >"$home/say.log" 2>&1 || { echo "fala say $* failed" >&2; exit 1; }
  sounding "$HOME/out.raw"
}
say "bom dia a todos" >"$home/internal.txt"
[ -s "$home/internal.txt" ] || { echo "fala say played nothing with the internal voice" >&2; exit 1; }
for engine in sapi5 sapi54 sapi4; do
  say --engine "$engine" "bom dia a todos" >"$home/$engine.txt"
  grep -q "the $engine engine cannot start" "$home/say.log" ||
    { echo "fala say --engine $engine did not say its engine failed: $(cat "$home/say.log")" >&2; exit 1; }
  cmp -s "$home/internal.txt" "$home/$engine.txt" ||
    { echo "with $engine failing, the internal voice did not say the text as it does alone" >&2; exit 1; }
done
echo "with Wine's SAPI 5, 5.4 and 4 unable to open, the internal voice said the text"
