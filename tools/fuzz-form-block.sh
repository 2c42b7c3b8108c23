#!/usr/bin/env bash
# Builds the form-block fuzz target natively (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer, libFuzzer) and runs it for the given number of seconds (default 60).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build/fuzz"
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=address,undefined,fuzzer -fno-sanitize-recover=all \
  -I"$root/runtime/abi/include" -I"$root/runtime/forms/templates" -I"$root/runtime/forms" \
  "$root/tests/fuzz/form_block_fuzz.cpp" "$root"/runtime/forms/templates/*.cpp \
  "$root/runtime/forms/property_blocks.cpp" -o "$out/form_block_fuzz"
"$out/form_block_fuzz" -max_total_time="${1:-60}" -max_len=4096 "$out/corpus"
