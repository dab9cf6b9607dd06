#!/usr/bin/env bash
# Installs what is missing, builds the sanitized test build and runs every test
# headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DVELMORA_STRICT=ON -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=ON >/dev/null
cmake --build build/test -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build/test && ctest --output-on-failure -j"$(nproc)")

# The engine's threads under ThreadSanitizer, in a small clang build of their
# own. Kernels with high address randomisation break its memory layout;
# setarch -R turns the randomisation off for the run where it may.
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_STRICT=ON \
  -DVELMORA_TSAN=ON -DVELMORA_BENCH=OFF >/dev/null
cmake --build build/tsan -j"$(nproc)"
norandom=()
setarch "$(uname -m)" -R true 2>/dev/null && norandom=(setarch "$(uname -m)" -R)
TSAN_OPTIONS=halt_on_error=1 "${norandom[@]}" build/tsan/tests/tsan/velmora_tsan_tests
