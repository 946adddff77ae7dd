#!/usr/bin/env bash
# Installs what is missing, builds and starts Marivane.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DBUILD_TESTING=OFF >/dev/null
ninja -C build marivane
exec ./build/src/marivane "$@"
