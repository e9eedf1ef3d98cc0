# Sourced by the win32 test scripts: a private X server and a private Wine prefix with its
# own wineserver, for one test. Both are started here and ended by their process ids.
#
#   start_session     sets DISPLAY, WINEPREFIX, WINE (the wine loader to run programs with)
#   no_window_manager tells Wine that no window manager runs (see there)
#   end_session       ends the wineserver and the X server, removes the prefix
#
# The X server takes the first free display from $VERANTO_XVFB_FIRST_DISPLAY (57) on.

session_xvfb_pid=
session_wineserver_pid=
session_folder=

start_session() {
  session_folder=$(mktemp -d "${TMPDIR:-/tmp}/veranto-win32.XXXXXX") || return 1
  display=${VERANTO_XVFB_FIRST_DISPLAY:-57}
  last=$((display + 40))
  while [ "$display" -le "$last" ]; do
    if [ ! -e "/tmp/.X$display-lock" ] && [ ! -e "/tmp/.X11-unix/X$display" ]; then
      Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$session_folder/xvfb.log" 2>&1 &
      session_xvfb_pid=$!
      tries=0
      while [ $tries -lt 50 ] && [ ! -e "/tmp/.X11-unix/X$display" ] && kill -0 "$session_xvfb_pid" 2>/dev/null; do
        sleep 0.1
        tries=$((tries + 1))
      done
      # Ours only if the lock names our server (a test started at the same moment may have
      # won the display).
      owner=$(tr -d ' \n' <"/tmp/.X$display-lock" 2>/dev/null)
      if [ -e "/tmp/.X11-unix/X$display" ] && [ "$owner" = "$session_xvfb_pid" ] &&
         kill -0 "$session_xvfb_pid" 2>/dev/null; then
        break
      fi
      kill "$session_xvfb_pid" 2>/dev/null
      wait "$session_xvfb_pid" 2>/dev/null
      session_xvfb_pid=
    fi
    display=$((display + 1))
  done
  if [ -z "$session_xvfb_pid" ]; then
    echo "no X server could be started" >&2
    return 1
  fi
  export DISPLAY=":$display"
  export WINEPREFIX="$session_folder/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=d"  # no .NET or Gecko installer dialogs
  WINE=/usr/lib/wine/wine
  [ -x "$WINE" ] || WINE=/usr/lib/wine/wine64
  wineserver=/usr/lib/wine/wineserver
  [ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
  mkdir -p "$WINEPREFIX"
  # A server of our own (persistent, in the foreground of its own background job), so that
  # its process id is known; every wine process of the prefix connects to it.
  "$wineserver" -f -p >"$session_folder/wineserver.log" 2>&1 &
  session_wineserver_pid=$!
  # The server works in its own folder, where it makes the socket that the wine processes
  # connect to; none may start before it is there, or it would start a server of its own
  # whose id is not known here.
  socket="/proc/$session_wineserver_pid/cwd/socket"
  tries=0
  while [ $tries -lt 100 ] && [ ! -S "$socket" ] && kill -0 "$session_wineserver_pid" 2>/dev/null; do
    sleep 0.1
    tries=$((tries + 1))
  done
  if [ ! -S "$socket" ]; then
    echo "the prefix's wineserver did not start" >&2
    return 1
  fi
  # Let the prefix be made (wineboot) before the test's clock starts.
  "$WINE" wineboot.exe --init >"$session_folder/wineboot.log" 2>&1
  return 0
}

# A bare X server has no window manager: Wine, which by default leaves its windows to one,
# would wait two seconds for it each time a window goes. Its windows are then its own.
no_window_manager() {
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

end_session() {
  if [ -n "$session_wineserver_pid" ]; then
    # -k asks this prefix's server (ours) to end every process of the prefix, then itself.
    "$wineserver" -k >/dev/null 2>&1
    tries=0
    while [ $tries -lt 50 ] && kill -0 "$session_wineserver_pid" 2>/dev/null; do
      sleep 0.1
      tries=$((tries + 1))
    done
    kill "$session_wineserver_pid" 2>/dev/null
    wait "$session_wineserver_pid" 2>/dev/null
    session_wineserver_pid=
    # Whatever process of the prefix is still there (it would hang on without its server):
    # found by the prefix in its environment, ended by its id.
    for environment in /proc/[0-9]*/environ; do
      if { tr '\0' '\n' <"$environment"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        pid=${environment#/proc/}
        kill -9 "${pid%/environ}" 2>/dev/null
      fi
    done
  fi
  if [ -n "$session_xvfb_pid" ]; then
    kill "$session_xvfb_pid" 2>/dev/null
    wait "$session_xvfb_pid" 2>/dev/null
    session_xvfb_pid=
  fi
  [ -n "$session_folder" ] && rm -rf "$session_folder"
  session_folder=
}
