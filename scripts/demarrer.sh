#!/usr/bin/env bash
# Installs, builds, creates a demo shop database beside the program when there is none, and
# starts the program. Without a display, the program runs on a virtual display (Xvfb): a
# screenshot of the main window is saved to build/bin/capture.png and the program is stopped.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
"$racine/scripts/installer.sh"
"$racine/scripts/construire.sh"
bin="$racine/build/bin"
base="$bin/TALMIR_vestimentaire.db"
if [ ! -e "$base" ]; then
    "$bin/creer_base" --demo "$base"
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/TALMIR_vestimentaire"
fi
echo "Pas d'écran sur cette machine : le programme démarre sur un écran virtuel (Xvfb)."
capture="$bin/capture.png"
"$racine/scripts/capture.sh" "$capture"
echo "Capture de la fenêtre principale : $capture"
