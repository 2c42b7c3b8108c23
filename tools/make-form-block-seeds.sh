#!/usr/bin/env bash
# Rewrites the seed corpus of fuzz_form_block (tests/fuzz/corpus/fuzz_form_block/) from the
# application's form block. The machine's g++ builds the generator with texts as code page
# 936, as the program stores them, so the seeds are the program's own bytes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build/seeds"
mkdir -p "$out" "$root/tests/fuzz/corpus/fuzz_form_block"
g++ -std=c++20 -Wall -Wextra -Werror -finput-charset=UTF-8 -fexec-charset=CP936 \
  -I"$root/runtime/abi/include" -I"$root/image/include" -I"$root/image" \
  -I"$root/runtime/forms/templates" -I"$root/runtime/forms" -I"$root/tests/support" \
  "$root/tests/fuzz/form_block_seeds.cpp" "$root/image/form_block.cpp" \
  "$root"/runtime/forms/templates/archive.cpp "$root/runtime/forms/property_blocks.cpp" \
  -o "$out/form_block_seeds"
"$out/form_block_seeds" "$root/tests/fuzz/corpus/fuzz_form_block"
