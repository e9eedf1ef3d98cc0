#!/bin/sh
# `fala setting` as a user runs it: UTF-8 on the terminal, "@" references expanded, the
# Windows folder taken from VERANTO_WINDIR, clear usage errors, and the program's name in
# its message when it has no window.
fala="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export VERANTO_WINDIR="$dir"
printf '[VERANTO]\r\nPGMVERANTO=/opt/lumivar\r\n[AUDIVAL]\r\nDIRAUDIVAL=@\\som\\audival\r\nTITULO=medi\347\343o\r\n' > "$dir/VERANTO.INI"
failures=0
check() {
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$3], got [$2]"
    failures=$((failures + 1))
  fi
}
check "folder reference" "$("$fala" setting AUDIVAL DIRAUDIVAL)" '/opt/lumivar\som\audival'
check "case-insensitive names" "$("$fala" setting audival diraudival)" '/opt/lumivar\som\audival'
check "UTF-8 output" "$("$fala" setting AUDIVAL TITULO)" 'medição'
check "raw output" "$("$fala" --raw setting AUDIVAL TITULO | od -An -tu1 | tr -s ' ')" ' 109 101 100 105 231 227 111 10'
check "empty section is VERANTO" "$("$fala" setting '' PGMVERANTO)" '/opt/lumivar'
check "absent key" "$("$fala" setting AUDIVAL NADA)" ''
"$fala" setting AUDIVAL > /dev/null 2>&1
check "usage error exit code" "$?" 2
"$fala" nonsense > /dev/null 2>&1
check "unknown command exit code" "$?" 2
# A program that cannot open its window says which program it is.
check "no display" "$(env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy "$fala" console 2>&1 < /dev/null | tail -n 1)" \
  "fala: não foi possível abrir a janela (sem tela gráfica?)"
[ "$failures" -eq 0 ] && echo "fala setting: all checks passed"
exit "$failures"
