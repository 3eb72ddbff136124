#!/usr/bin/env bash
# Installs what is missing, builds Fichora and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFICHORA_BUILD_TESTS=OFF -DFICHORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build" --parallel "$(nproc)" --target fichora
exec "$root/build/bin/fichora" "$@"
