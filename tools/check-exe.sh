#!/bin/sh
# Run after each link of trovell.exe: refuses an exe whose header or imports are not what the
# build means, so that a fault there shows in every build, also of an exe this machine cannot
# run. Usage: check-exe.sh OBJDUMP EXE 32|64
objdump=$1 exe=$2 bits=$3
fail() { echo "check-exe: $exe: $*" >&2; exit 1; }
header=$("$objdump" -p "$exe") || fail "objdump cannot read it"
case $bits in
  32) format=pei-i386 magic='010b	(PE32)' ;;
  64) format=pei-x86-64 magic='020b	(PE32+)' ;;
  *) fail "unknown bitness $bits" ;;
esac
"$objdump" -f "$exe" | grep -q "file format $format\$" || fail "not a $format file"
printf '%s\n' "$header" | grep -q "^Magic[[:space:]]*$magic" || fail "optional header is not $magic"
printf '%s\n' "$header" | grep -q '^Subsystem[[:space:]]*00000002[[:space:]]*(Windows GUI)' ||
  fail "subsystem is not Windows GUI (a console would open with it)"
# The resident exe must not load COM, OLE, the codecs or the common controls at start-up
# (platform/LateImports_win.cpp): a function of theirs missing there, or declared with the
# wrong argument size on i686, shows up here as an import of its DLL.
if printf '%s\n' "$header" | grep -iE 'DLL Name: (ole32|oleaut32|windowscodecs|comctl32)'; then
  fail "imports the DLLs above at start-up"
fi
exit 0
