#!/usr/bin/env bash
# captures.sh [DOSSIER]: screenshots of the real program on a virtual display (Xvfb, openbox),
# on a copy of the demo shop, written to DOSSIER (default build/captures):
#   <largeur>x<hauteur>/<n>-<onglet>.png  every tab at 680 x 540, 1366 x 768 and 1920 x 1080;
#   caisse.png, article.png, etiquettes.png  at 1366 x 768: the till during a sale, the article
#                                            form with an article, the label preview;
#   haute-resolution-caisse.png              the same sale on a screen of twice the density
#                                            (2732 x 1536 pixels, everything drawn twice as
#                                            large), to see that it is as sharp.
# The program is the one built into build/bin (or TALMIR_BIN). Needs Xvfb, openbox, xdotool and
# ImageMagick's import.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
bin="${TALMIR_BIN:-$racine/build/bin}"
sortie="$(mkdir -p "${1:-$racine/build/captures}" && cd "${1:-$racine/build/captures}" && pwd)"
onglets=(caisse gen-codes arrivages fournisseurs parametres inventaire journaux cloture)

for outil in Xvfb openbox xdotool import; do
    command -v "$outil" >/dev/null || { echo "captures.sh : $outil est absent" >&2; exit 1; }
done

travail="$(mktemp -d)"
pids=()
arreter() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    pids=()
}
trap 'arreter; rm -rf "$travail"' EXIT

# attendreFenetre TITRE ESSAIS: the first shown window whose title matches, looked for every
# 0.2 s; nothing when none came.
attendreFenetre() {
    local w=""
    for _ in $(seq 1 "$2"); do
        w="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)" && [ -n "$w" ] && break
        sleep 0.2
    done
    echo "$w"
}

# demarrer LARGEURxHAUTEUR [PLACE [DENSITE]]: a fresh installation with the demo shop, a screen
# of that size, the window manager and the program; PLACE is the window's place kept in the
# settings ("0 0 680 540"), empty to let the program take its first place (maximised); DENSITE
# the screen's pixels to a point (2 for a high-density screen).
demarrer() {
    local ecran="$1" place="${2:-}" densite="${3:-1}"
    arreter
    rm -rf "$travail/inst" && mkdir -p "$travail/inst"
    cp "$bin/TALMIR_vestimentaire" "$bin"/*.wmf "$travail/inst/"
    "$bin/creer_base" --demo "$travail/inst/TALMIR_vestimentaire.db" >/dev/null
    if [ -n "$place" ]; then
        printf '[systeme]\r\nfenetre principale=%s\r\n' "$place" \
            >"$travail/inst/TALMIR_vestimentaire.ini"
    fi
    export DISPLAY=":$((150 + RANDOM % 100))"
    Xvfb "$DISPLAY" -screen 0 "${ecran}x24" -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    QT_SCALE_FACTOR="$densite" "$travail/inst/TALMIR_vestimentaire" >/dev/null 2>&1 &
    pids+=($!)
    fenetre="$(attendreFenetre '^Point de Vente' 100)"
    [ -n "$fenetre" ] || { echo "captures.sh : la fenêtre n'est pas apparue" >&2; exit 1; }
    xdotool windowactivate --sync "$fenetre" >/dev/null 2>&1 || true
    sleep 2
}

# photo FICHIER [FENETRE]: the window as it is drawn now.
photo() {
    sleep 1
    import -window "${2:-$fenetre}" "$1"
}

# Every tab at the three sizes; the window of 680 x 540 on a larger screen.
for taille in 680x540 1366x768 1920x1080; do
    if [ "$taille" = 680x540 ]; then
        demarrer 1024x768 "0 0 680 540"
    else
        demarrer "$taille"
    fi
    mkdir -p "$sortie/$taille"
    for i in "${!onglets[@]}"; do
        photo "$sortie/$taille/$i-${onglets[$i]}.png"
        xdotool key --window "$fenetre" ctrl+Tab
    done
done

# vendre: three articles scanned.
vendre() {
    for code in ART000001 ART000007 ART000012; do
        xdotool type --delay 5 "$code"
        xdotool key Return
        sleep 0.3
    done
}

# The same sale on a high-density screen.
demarrer 2732x1536 "" 2
vendre
photo "$sortie/haute-resolution-caisse.png"

# The README's pictures, at a common counter screen's size.
demarrer 1366x768
vendre
photo "$sortie/caisse.png"
# The article form: the first article of the list.
xdotool key ctrl+Tab
sleep 1
xdotool key Down
photo "$sortie/article.png"
# The label preview, from its button on the article form: "Imprimer 1 feuilles d'Etiquettes"
# lies at (340, 344) pixels of the tab's design, the tab 31 pixels below the window's design top,
# the design centred in the window at its scale.
eval "$(xdotool getwindowgeometry --shell "$fenetre")"
read -r x y < <(awk -v l="$WIDTH" -v h="$HEIGHT" 'BEGIN {
    f = l / 680 < h / 540 ? l / 680 : h / 540
    printf "%d %d\n", (l - 680 * f) / 2 + 346 * f, (h - 540 * f) / 2 + 375 * f }')
xdotool mousemove --window "$fenetre" "$x" "$y" click 1
apercu="$(attendreFenetre '^Impression$' 50)"
if [ -n "$apercu" ]; then
    photo "$sortie/etiquettes.png" "$apercu"
else
    echo "captures.sh : l'aperçu des étiquettes n'est pas apparu" >&2
fi
arreter
