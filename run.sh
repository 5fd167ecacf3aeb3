#!/usr/bin/env bash
# Installs what is missing, builds the Release configuration and opens the window.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target qoxa-json
exec ./build/app/qt/qoxa-json "$@"
