#!/usr/bin/env bash
# Builds Zerlo and runs every test suite: the native build, the ASan+UBSan build, and the
# Windows cross build whose tests run under Wine. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh --test

jobs=$(nproc)
for preset in dev asan; do
  echo "==== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "==== $preset: tests"
  ctest --preset "$preset" -j "$jobs"
done

echo "==== windows: cross build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
echo "==== windows: tests under Wine"
# No Mono or Gecko installer prompts when a prefix is first made.
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
# One prefix for the whole run; its first start takes a while.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wineboot -i >/dev/null 2>&1 || true
  wine reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  # Run every program inside a Wine virtual desktop: on a bare X server without a window
  # manager, focus and keyboard input between windows are not dependable.
  wine reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1 || true
  wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1 || true
  wineserver -w  # the desktop setting takes effect when Wine starts again
  status=0
  ctest --preset windows -j 1 || status=$?
  wineserver -w || true
  exit $status
'
echo "==== all test suites passed"
