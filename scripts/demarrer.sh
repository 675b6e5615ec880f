#!/usr/bin/env bash
# Installs what is missing, builds Zapo-TV and starts it from build/.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
cd "$racine"
# The window needs a graphical session; the terminal commands (any argument) do not.
if [[ $# -eq 0 && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "Zapo-TV a besoin d'une session graphique : aucun écran n'est disponible ici (ni DISPLAY ni WAYLAND_DISPLAY)." >&2
  echo "Lancez ce script depuis le bureau, ou essayez « $0 --help » pour les commandes sans fenêtre." >&2
  exit 1
fi
bash scripts/installer_dependances.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAPO_TESTS=OFF
cmake --build build
exec ./build/zapo-tv "$@"
