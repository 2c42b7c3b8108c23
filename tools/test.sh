#!/usr/bin/env bash
# Builds both presets and runs every test: the x64 build under Wine (GUI tests on a private
# Xvfb display), the x86 build compiled only.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
tools/setup.sh

for preset in x86 x64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
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
