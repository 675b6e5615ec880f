#!/usr/bin/env bash
# Builds the Debian package of Zapo-TV (Release, installed under /usr) and checks
# it with lintian (pedantic and informational tags too) when present.
#   paquet_deb.sh [DOSSIER_DE_SORTIE]     default: paquet/
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
cd "$racine"
sortie="$(realpath -m "${1:-paquet}")"
bash scripts/installer_dependances.sh --paquet

# ZAPO_DURCI: the distribution's hardening flags (dpkg-buildflags), as for any package of it.
cmake -S . -B build-paquet -DCMAKE_BUILD_TYPE=Release -DZAPO_TESTS=OFF -DZAPO_DURCI=ON \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-paquet -j "$(nproc)"
cpack --config build-paquet/CPackConfig.cmake -B "$sortie"
rm -rf "$sortie/_CPack_Packages"
paquet="$(ls -t "$sortie"/zapo-tv_*.deb | head -n 1)"
if command -v lintian >/dev/null; then
  lintian --pedantic -I "$paquet"
fi
echo "Paquet : $paquet"
echo "Installation : sudo apt install $paquet"
