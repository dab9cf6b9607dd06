#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Velmora.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build/release --target velmora -j"$(nproc)"
exec ./build/release/velmora "$@"
