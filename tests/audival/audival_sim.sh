#!/bin/sh
# audival-sim as a user runs it: the final screen in UTF-8 and the end of the run, the usage
# text, and clear errors for scripts it cannot read.
sim="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export VERANTO_WINDIR="$dir"
# No voice is installed: the program reports it, waits for Enter and ends.
printf '[TRADUTOR]\r\nDIRLETRAS=%s\r\nDIRDIFONES=%s\r\n[SINTETIZADOR]\r\nDIFONES3=NENHUM\r\n' "$dir" "$dir" > "$dir/VERANTO.INI"
failures=0
check() {
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$3], got [$2]"
    failures=$((failures + 1))
  fi
}
out=$("$sim" --keys enter)
check "exit code of a run" "$?" 0
check "first row" "$(printf '%s\n' "$out" | sed -n 2p)" ' 1 |Erro de inicialização: 1'
check "second row" "$(printf '%s\n' "$out" | sed -n 3p)" ' 2 |Banco de dados de voz: NENHUM'
check "end of the run" "$(printf '%s\n' "$out" | tail -n 1)" 'ended with exit code 0'
out=$("$sim" --keys "")
check "exit code of a run that waits in vain" "$?" 1
check "why it stopped" "$(printf '%s\n' "$out" | tail -n 1 | cut -c1-9)" 'stalled: '
"$sim" --help | grep -q -- '--mic SCRIPT'
check "usage text" "$?" 0
"$sim" --keys "enter bogus" > /dev/null 2> "$dir/error"
check "unknown key exit code" "$?" 2
check "unknown key message" "$(cat "$dir/error")" "audival-sim: unknown key 'bogus' in 'bogus'"
"$sim" --mic "200" > /dev/null 2>&1
check "bad level exit code" "$?" 2
"$sim" --mic-fail > /dev/null 2>&1
check "missing value exit code" "$?" 2
[ "$failures" -eq 0 ] && echo "audival-sim: all checks passed"
exit "$failures"
