#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (list: scripts/paquets-debian.txt).
set -euo pipefail
cd "$(dirname "$0")"
mapfile -t paquets < <(grep -v '^#' paquets-debian.txt | sed '/^$/d')
manquants=()
for p in "${paquets[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || manquants+=("$p")
done
if [ ${#manquants[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${manquants[@]}"
fi
