#!/usr/bin/env bash
# Makes what a Windows user copies: the x64 and x86 programs without their debug sections,
# in build/release/ with a SHA256SUMS file. Each is checked after stripping, since a tool that
# rewrites the PE header could undo what keeps every address in a 32-bit word: the image
# base of 0x400000 and the large-address-aware bit cleared (the process stays below 2 GiB),
# and for x64 no relocation at load (dynamic base), which could move the image above 4 GiB.
# The debug builds in build/x64 and build/x86 stay what the tests use.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
[[ "${KX_SKIP_SETUP:-0}" == 1 ]] || tools/setup.sh

out=build/release
rm -rf "$out"
mkdir -p "$out"

# objdump -p FILE -> "characteristics image-base dll-characteristics", as 0x numbers.
header_words() {
  "$1-objdump" -p "$2" | awk '
    function hex(word) { sub(/^0x/, "", word); return "0x" word }
    /^Characteristics/    { c = hex($2) }
    /^ImageBase/          { b = hex($2) }
    /^DllCharacteristics/ { d = hex($2) }
    END { print c, b, d }'
}

for arch in x64 x86; do
  case $arch in
    x64) triple=x86_64-w64-mingw32 ;;
    x86) triple=i686-w64-mingw32 ;;
  esac
  cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch" --target clock-corrector >/dev/null
  program="$out/clock-corrector-$arch.exe"
  "$triple-strip" --strip-all -o "$program" "build/$arch/app/clock-corrector.exe"
  tools/clear-large-address-aware.sh "$program"

  read -r characteristics image_base dll_characteristics < <(header_words "$triple" "$program")
  problems=()
  (( ($characteristics & 0x20) == 0 )) || problems+=("large-address-aware")
  (( $image_base == 0x400000 )) || problems+=("image base $image_base")
  [[ $arch == x86 ]] || (( ($dll_characteristics & 0x40) == 0 )) || problems+=("dynamic base")
  (( ($characteristics & 0x200) != 0 )) || problems+=("debug information left in")
  if ((${#problems[@]})); then
    echo "release: $program: ${problems[*]}" >&2
    exit 1
  fi
done

(cd "$out" && sha256sum clock-corrector-*.exe > SHA256SUMS)
echo "release: $out (stripped, linked at 0x400000, not large-address-aware; x64 not relocatable)"
while read -r sum name; do
  printf '  %-24s %8d bytes  sha256 %s\n' "$name" "$(stat -c %s "$out/$name")" "$sum"
done < "$out/SHA256SUMS"
