#!/usr/bin/env bash
# Builds the three presets and runs every test: the native x86-64 build of the pure logic
# with sanitizers and a short run of each fuzz target, the x64 build under Wine (GUI tests on
# a private Xvfb display); the x86 build is compiled only. The release programs are made and
# their headers checked on the way.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
tools/setup.sh

for preset in x86 x64 native; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
KX_SKIP_SETUP=1 tools/release.sh

# The pure logic natively, sanitized: its unit tests, then each fuzz target over a fixed
# number of inputs from its committed seeds (tools/fuzz.sh runs one for longer).
ctest --preset native -j 2
for corpus in tests/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  work=$(mktemp -d)
  cp "$corpus"* "$work"/
  echo "fuzz: $target"
  build/native/fuzz/"$target" -runs=20000 -artifact_prefix="build/native/$target-" "$work" 2>&1 | tail -1
  rm -rf "$work"
done

export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all
# One persistent Wine server for the whole run instead of one start per test process.
run_tests() {
  wineserver -p 60
  # Bring the prefix up once before the tests start their processes in parallel.
  tools/wine-run.sh build/x64/tests/runtime/abi_tests.exe --gtest_list_tests >/dev/null 2>&1 || true
  ctest --preset x64 -j 2
  local rc=$?
  wineserver -k 2>/dev/null || true
  return $rc
}
export -f run_tests
KX_FORCE_XVFB=1 tools/with-display.sh bash -c run_tests
