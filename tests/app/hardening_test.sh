#!/usr/bin/env bash
# The program's exe as Windows' loader judges it: ASLR with the relocations it
# needs, DEP, no SEH handlers, terminal-server aware.
# Usage: hardening_test.sh EXE
set -u
exe=$1

. "$(dirname "$0")/../support/expect.sh"

headers=$(i686-w64-mingw32-objdump -p "$exe") || { echo "FAILED: objdump cannot read $exe" >&2; exit 1; }
# objdump names each DllCharacteristics bit on a line of its own below the value.
flags=$(sed -n '/^DllCharacteristics/,/^[A-Z]/p' <<<"$headers")
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH TERMINAL_SERVICE_AWARE; do
  expect "DllCharacteristics has $flag" "$(grep -ow "$flag" <<<"$flags")" "$flag"
done
expect "the base relocation directory's size" \
  "$(grep -E 'Base Relocation Directory' <<<"$headers" | awk '{print ($4 == "00000000") ? "empty" : "non-empty"}')" \
  non-empty

# A NO_SEH image whose code links a handler into the chain at %fs:0 is stopped by Windows.
expect "instructions writing %fs:0" \
  "$(i686-w64-mingw32-objdump -d "$exe" | grep -E ',%fs:0x0$' | tr -s ' \t' ' ')" ""

[ "$failures" -eq 0 ]
