#!/usr/bin/env bash
# Builds the program, the tools and the tests into build/ (program in build/bin). Extra CMake
# options may be given in TALMIR_CMAKE_OPTIONS (CI: -DTALMIR_WERROR=ON).
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
type="${TALMIR_BUILD_TYPE:-RelWithDebInfo}"
read -r -a options <<<"${TALMIR_CMAKE_OPTIONS:-}"
cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${options[@]}" >/dev/null
cmake --build "$racine/build" -j"$(nproc)"
