#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for the
# given number of seconds (default 60), starting from the committed seed
# corpus. New interesting inputs collect in build/fuzz/corpus/<target>;
# crashes land in build/fuzz/crashes/<target>/. Keep a crash that was fixed
# under tests/fuzz/regressions/<target>/ so that ./test.sh replays it.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=($(sed -n 's/^set(VELMORA_FUZZ_TARGETS \(.*\))$/\1/p' tests/fuzz/CMakeLists.txt))

cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build/fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
# A reader that takes more memory than a file could fill shows up as an
# out-of-memory report: the targets cap pictures at 64 MiB of pixels, and
# the quarantine of freed blocks is kept small enough not to count.
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=64
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in "${targets[@]}"; do
  mkdir -p "build/fuzz/corpus/$target" "build/fuzz/crashes/$target"
  echo "== fuzz_$target for ${seconds}s"
  "build/fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/crashes/$target/" \
    "build/fuzz/corpus/$target" "tests/fuzz/corpus/$target"
done
