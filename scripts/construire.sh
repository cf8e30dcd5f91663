#!/usr/bin/env bash
# Builds the program, the tools and the tests into build/ (program in build/bin).
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
type="${TALMIR_BUILD_TYPE:-RelWithDebInfo}"
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build "$racine/build" -j"$(nproc)"
