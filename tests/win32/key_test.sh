#!/bin/sh
# Real keys through the win32 backend: the key probe opens its window under Wine on a private
# X server, xdotool types at it through the XTEST extension, and the events the probe wrote
# are compared with what Windows' keyboard messages give.   key_test.sh KEY_PROBE.exe
here=$(cd "$(dirname "$0")" && pwd)
probe=$1
. "$here/wine_session.sh"
probe_pid=
finish() {
  [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null
  end_session
}
trap finish EXIT
trap 'exit 130' INT TERM
start_session || exit 1
no_window_manager || exit 1

events="$session_folder/events.txt"
"$WINE" "$probe" >"$events" 2>"$session_folder/probe.log" &
probe_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^win32 key probe$' | head -n 1)
if [ -z "$window" ]; then
  echo "the probe's window did not appear" >&2
  exit 1
fi
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.5

# a, A, Enter, Backspace, Ctrl+B, Alt+X, F10, Up, Ctrl+Break, Ctrl+Alt+A, ç (xdotool gives
# it a spare key of the X keyboard; Wine reports that key as VK_OEM_7), Escape. xdotool lets
# go of the modifiers before the key, so Alt goes up before X (a plain KeyUp, as Windows
# sends once another key was pressed with Alt), Ctrl before Break (which Windows then
# reports as VK_PAUSE: the backend pairs it with its press and gives 3), Ctrl before Alt
# (a SysKeyUp, Alt being held alone). No character with Alt, nor with Ctrl+Alt on a US
# keyboard. Ctrl+Alt with a function key cannot be typed here: the X server keeps it for
# switching consoles.
xdotool key --delay 80 a shift+a Return BackSpace ctrl+b alt+x F10 Up ctrl+Break ctrl+alt+a ccedilla
# The right button (the magnifier) and the mouse, at screen pixels inside the client area.
xdotool mousemove --sync 200 150 click 3 mousemove --sync 230 160
sleep 0.3
xdotool key Escape

tries=0
while [ $tries -lt 100 ] && kill -0 "$probe_pid" 2>/dev/null; do
  sleep 0.1
  tries=$((tries + 1))
done
wait "$probe_pid"
status=$?
probe_pid=

expected="$session_folder/expected.txt"
cat >"$expected" <<'END'
KeyDown 65
Char 97
KeyUp 65
KeyDown 16 shift
KeyDown 65 shift
Char 65 shift
KeyUp 16
KeyUp 65
KeyDown 13
Char 13
KeyUp 13
KeyDown 8
Char 8
KeyUp 8
KeyDown 17 ctrl
KeyDown 66 ctrl
Char 2 ctrl
KeyUp 17
KeyUp 66
SysKeyDown 18 alt
SysKeyDown 88 alt
KeyUp 18
KeyUp 88
SysKeyDown 121
SysKeyUp 121
KeyDown 38
KeyUp 38
KeyDown 17 ctrl
KeyDown 3 ctrl
KeyUp 17
KeyUp 3
KeyDown 17 ctrl
KeyDown 18 ctrl alt
KeyDown 65 ctrl alt
SysKeyUp 17 alt
KeyUp 18
KeyUp 65
KeyDown 223
Char 231
KeyUp 223
MouseMove 200 150
RightDown 200 150
RightUp 200 150
MouseMove 230 160
KeyDown 27
Char 27
KeyUp 27
END
tr -d '\r' <"$events" >"$events.unix"
if ! diff -u "$expected" "$events.unix"; then
  echo "key events differ from Windows' (expected -, received +); received:" >&2
  cat "$events.unix" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "the probe ended with $status" >&2
  exit 1
fi
echo "all key events as expected"
