#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite twice:
# once optimised, once in debug under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
"$root/scripts/deps.sh"

# The core must build without any widget.
cmake -S "$root" -B "$root/build-core" -DFICHORA_BUILD_UI=OFF -DFICHORA_BUILD_TESTS=OFF -DFICHORA_BUILD_BENCH=OFF \
      -DFICHORA_WERROR=ON >/dev/null
cmake --build "$root/build-core" --parallel "$jobs"

cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFICHORA_WERROR=ON >/dev/null
cmake --build "$root/build-test" --parallel "$jobs"
ctest --test-dir "$root/build-test" --output-on-failure --parallel "$jobs"

cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DFICHORA_SANITIZE=ON -DFICHORA_WERROR=ON \
      -DFICHORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-asan" --parallel "$jobs"
ctest --test-dir "$root/build-asan" --output-on-failure --parallel "$jobs" -E format_check
