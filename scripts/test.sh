#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite, then once more under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DBUILD_TESTING=ON -DMARIVANE_WERROR=ON >/dev/null
ninja -C build
ctest --test-dir build --output-on-failure -j "$jobs"
cmake -S . -B build-asan -G Ninja -DBUILD_TESTING=ON -DMARIVANE_SANITIZE=ON -DMARIVANE_WERROR=ON \
      -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C build-asan
ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
