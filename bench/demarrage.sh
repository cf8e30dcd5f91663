#!/usr/bin/env bash
# demarrage.sh BASE [RUNS]: times the real program from its launch to its shown main window,
# over repeated runs, on a copy of the shop database BASE in a temporary program folder, under
# a virtual display. Prints each run and the median in milliseconds, then the median time to open
# the database and load the article list alone (bench_ouverture, beside the program, run as many
# times) and the ratio of the two. Then the same start on an empty shop (made by creer_base,
# beside the program): the program's own start, which the shop's size does not change, and what
# the shop adds to it beside the open + list figure. The program is build/bin/TALMIR_vestimentaire
# unless TALMIR_PROGRAMME names another build of it.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
base="$1"
runs="${2:-7}"
dossier="$(mktemp -d)"
xvfb=""
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$dossier"' EXIT
programme="${TALMIR_PROGRAMME:-$racine/build/bin/TALMIR_vestimentaire}"
bin="$(dirname "$programme")"
ecran=":$((200 + RANDOM % 100))"
Xvfb "$ecran" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1

mediane() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# chronometrer SOURCE LABEL: the program started RUNS times on a copy of the shop SOURCE (its key
# beside it); prints each run and sets `median`.
chronometrer() {
    local source="$1" ici="$dossier/$2"
    mkdir -p "$ici"
    cp "$programme" "$ici/"
    cp "$bin"/*.wmf "$ici/" 2>/dev/null || true
    cp "$source" "$ici/TALMIR_vestimentaire.db"
    # The shop's signing key lies beside its database (a missing one would be made anew, and
    # the start-up's check of the last signed records would fail against it).
    cp "$(dirname "$source")"/cle_fiscale*.pem "$ici/" 2>/dev/null || true
    local mesures=() i
    for i in $(seq 1 "$runs"); do
        local debut fin prog attente=0
        debut=$(date +%s%N)
        DISPLAY="$ecran" "$ici/TALMIR_vestimentaire" >/dev/null 2>&1 &
        prog=$!
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
        kill "$prog"
        wait "$prog" 2>/dev/null || true
        mesures+=($(((fin - debut) / 1000000)))
        echo "$2, run $i: ${mesures[-1]} ms"
    done
    median=$(printf '%s\n' "${mesures[@]}" | mediane)
}

chronometrer "$base" boutique
demarrage=$median
echo "median: $demarrage ms ($runs runs, $(du -h "$base" | cut -f1) database)"
seule=""
if [ -x "$bin/bench_ouverture" ]; then
    seules=()
    for i in $(seq 1 "$runs"); do
        seules+=("$(TALMIR_BENCH_BASE="$base" "$bin/bench_ouverture" --benchmark_format=csv \
            2>/dev/null | awk -F, '/^"ouvertureEtListe/ {printf "%d", $3}')")
    done
    seule=$(printf '%s\n' "${seules[@]}" | mediane)
    echo "open and article list alone: median $seule ms ($runs runs)"
    awk -v d="$demarrage" -v s="$seule" \
        'BEGIN { if (s > 0) printf "start-up / (open + list): %.2f\n", d / s }'
else
    echo "($bin/bench_ouverture not built: no open + list figure)"
fi
if [ -x "$bin/creer_base" ]; then
    "$bin/creer_base" "$dossier/vide.db" >/dev/null
    chronometrer "$dossier/vide.db" "boutique vide"
    echo "the program's own start (empty shop): median $median ms"
    if [ -n "$seule" ]; then
        awk -v d="$demarrage" -v v="$median" -v s="$seule" 'BEGIN { if (s > 0)
            printf "start-up - own start: %d ms = %.2f x (open + list)\n", d - v, (d - v) / s }'
    fi
else
    echo "($bin/creer_base not built: no empty-shop start)"
fi
