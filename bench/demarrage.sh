#!/usr/bin/env bash
# demarrage.sh BASE [RUNS]: times the real program from its launch to its shown main window,
# over repeated runs, on a copy of the shop database BASE in a temporary program folder, under
# a virtual display. Prints each run and the median in milliseconds, then the median time to open
# the database and load the article list alone (bench_ouverture, beside the program, run as many
# times) and the ratio of the two. The program is build/bin/TALMIR_vestimentaire unless
# TALMIR_PROGRAMME names another build of it.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
base="$1"
runs="${2:-7}"
dossier="$(mktemp -d)"
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$dossier"' EXIT
programme="${TALMIR_PROGRAMME:-$racine/build/bin/TALMIR_vestimentaire}"
cp "$programme" "$(dirname "$programme")"/*.wmf "$dossier/" 2>/dev/null || true
cp "$base" "$dossier/TALMIR_vestimentaire.db"
# The shop's signing key lies beside its database (a missing one would be made anew, and the
# start-up's check of the last signed records would fail against it).
cp "$(dirname "$base")"/cle_fiscale*.pem "$dossier/" 2>/dev/null || true
ecran=":$((200 + RANDOM % 100))"
Xvfb "$ecran" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
mesures=()
for i in $(seq 1 "$runs"); do
    debut=$(date +%s%N)
    DISPLAY="$ecran" "$dossier/TALMIR_vestimentaire" >/dev/null 2>&1 &
    prog=$!
    attente=0
    until DISPLAY="$ecran" xwininfo -root -tree 2>/dev/null | grep -q '"Point de Vente'; do
        sleep 0.005
        attente=$((attente + 1))
        if [ "$attente" -gt 6000 ] || ! kill -0 "$prog" 2>/dev/null; then
            echo "run $i: the main window did not show" >&2
            DISPLAY="$ecran" xwininfo -root -tree 2>/dev/null | grep '"' >&2 || true
            exit 1
        fi
    done
    fin=$(date +%s%N)
    kill "$prog"; wait "$prog" 2>/dev/null || true
    ms=$(( (fin - debut) / 1000000 ))
    mesures+=("$ms")
    echo "run $i: $ms ms"
done
median=$(printf '%s\n' "${mesures[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "median: $median ms ($runs runs, $(du -h "$dossier/TALMIR_vestimentaire.db" | cut -f1) database)"
ouverture="$(dirname "$programme")/bench_ouverture"
if [ -x "$ouverture" ]; then
    seules=()
    for i in $(seq 1 "$runs"); do
        ms=$(TALMIR_BENCH_BASE="$base" "$ouverture" --benchmark_format=csv 2>/dev/null |
            awk -F, '/^"ouvertureEtListe/ {printf "%d", $3}')
        seules+=("$ms")
    done
    seule=$(printf '%s\n' "${seules[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    echo "open and article list alone: median $seule ms ($runs runs)"
    awk -v d="$median" -v s="$seule" 'BEGIN { if (s > 0) printf "start-up / (open + list): %.2f\n", d / s }'
else
    echo "($ouverture not built: no open + list figure)"
fi
