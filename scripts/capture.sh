#!/usr/bin/env bash
# capture.sh FICHIER.png: starts the program on a virtual display, saves a screenshot of the
# main window once it is shown, and stops the program.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
bin="$racine/build/bin"
sortie="$1"
ecran=":$((90 + RANDOM % 100))"
Xvfb "$ecran" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $prog $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY="$ecran" "$bin/TALMIR_vestimentaire" &
prog=$!
# Wait for the main window (its title starts with "Point de Vente").
for _ in $(seq 1 100); do
    if DISPLAY="$ecran" xwininfo -root -tree 2>/dev/null | grep -q 'Point de Vente'; then
        break
    fi
    sleep 0.2
done
sleep 1
id=$(DISPLAY="$ecran" xwininfo -root -tree | grep 'Point de Vente' | head -1 | awk '{print $1}')
DISPLAY="$ecran" import -window "${id:-root}" "$sortie"
kill "$prog" 2>/dev/null || true
wait "$prog" 2>/dev/null || true
