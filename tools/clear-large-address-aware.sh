#!/usr/bin/env bash
# Clears IMAGE_FILE_LARGE_ADDRESS_AWARE in a PE file's header, so that Windows keeps the
# whole process below 2 GiB and every address fits a 32-bit word. MinGW's x64 linker always
# sets the flag and has no switch to clear it.
set -euo pipefail
exe="$1"
read_le() {  # offset, byte count -> unsigned decimal
  od -An -t u"$2" -j "$1" -N "$2" --endian=little "$exe" | tr -d ' '
}
pe_offset=$(read_le 60 4)
[[ "$(od -An -c -j "$pe_offset" -N 2 "$exe" | tr -d ' ')" == "PE" ]] || {
  echo "clear-large-address-aware: $exe is not a PE file" >&2; exit 1; }
characteristics_offset=$((pe_offset + 4 + 18))
characteristics=$(read_le "$characteristics_offset" 2)
cleared=$((characteristics & ~0x20))
printf "$(printf '\\x%02x\\x%02x' $((cleared & 0xFF)) $((cleared >> 8)))" |
  dd of="$exe" bs=1 seek="$characteristics_offset" conv=notrunc status=none
