#!/bin/sh
# Checks what the Windows build made, as Windows' loader will see it: the synthesizer
# library exports each of its functions under its plain name and nothing else; audival.exe is
# a window program and fala.exe a console one; and every file needs only Windows' own DLLs.
# usage: check_windows_files.sh BIN_FOLDER OBJDUMP
set -u
bin=$1
objdump=$2
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

expected="appendf0_Phone close_MBR close_Phone flush_MBR getDatabaseInfo_MBR getFreq_MBR
getNoError_MBR getVersion_MBR getVolumeRatio_MBR init_MBR init_Phone init_rename_MBR
lastErrorStr_MBR lastError_MBR read_MBR readtype_MBR resetError_MBR reset_MBR reset_Phone
setFreq_MBR setNoError_MBR setParser_MBR setVolumeRatio_MBR write_MBR"
exports=$("$objdump" -p "$bin/mbrola.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
wanted=$(echo $expected | tr ' ' '\n' | sort | tr '\n' ' ')
[ "$exports" = "$wanted" ] || fail "mbrola.dll exports '$exports', not '$wanted'"

subsystem() { "$objdump" -p "$1" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*//p'; }
[ "$(subsystem "$bin/audival.exe")" = "(Windows GUI)" ] || fail "audival.exe is not a window program"
[ "$(subsystem "$bin/fala.exe")" = "(Windows CUI)" ] || fail "fala.exe is not a console program"

system_dlls="advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
shell32.dll user32.dll winmm.dll"
for file in "$bin/audival.exe" "$bin/fala.exe" "$bin/mbrola.dll"; do
  for dll in $("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case " $(echo $system_dlls) " in
      *" $dll "*) ;;
      *) fail "$(basename "$file") needs $dll" ;;
    esac
  done
done
[ $status -eq 0 ] && echo "audival.exe, fala.exe and mbrola.dll are as Windows expects"
exit $status
