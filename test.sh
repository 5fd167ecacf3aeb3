#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest.
#   ./test.sh             Release build in build/
#   ./test.sh --sanitize  AddressSanitizer and UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=Release)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-asan
  cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DQOXA_SANITIZE=ON -DQOXA_BUILD_BENCH=OFF)
fi

cmake -S . -B "$build_dir" "${cmake_args[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
