#!/usr/bin/env bash
# Runs one fuzz target of the native build for as long as asked:
#   tools/fuzz.sh fuzz_gbk_scan 600
# The corpus grows in build/native/fuzz-corpus/<target>, started from the committed seeds;
# inputs that crash land in build/native/fuzz-artifacts/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
target="${1:?usage: tools/fuzz.sh TARGET SECONDS}"
seconds="${2:?usage: tools/fuzz.sh TARGET SECONDS}"
[[ -d "tests/fuzz/corpus/$target" ]] || { echo "fuzz.sh: no target $target" >&2; exit 2; }
tools/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native --target "$target"
corpus="build/native/fuzz-corpus/$target"
artifacts="build/native/fuzz-artifacts"
mkdir -p "$corpus" "$artifacts"
cp -n "tests/fuzz/corpus/$target"/* "$corpus"/
exec "build/native/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$artifacts/$target-" "$corpus"
