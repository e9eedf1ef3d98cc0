#!/bin/sh
# Runs a Windows program under Wine on a private X server with a private prefix, and ends
# with the program's exit code.   run_on_xvfb.sh PROGRAM.exe [ARGUMENTS...]
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_session.sh"
trap end_session EXIT
trap 'exit 130' INT TERM
start_session || exit 1
no_window_manager || exit 1
"$WINE" "$@"
status=$?
exit $status
