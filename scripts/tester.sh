#!/usr/bin/env bash
# Installs, builds and runs every test (headless).
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
"$racine/scripts/installer.sh"
"$racine/scripts/construire.sh"
cd "$racine/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
