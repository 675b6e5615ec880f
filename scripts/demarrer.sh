#!/usr/bin/env bash
# Installs what is missing, builds Zapo-TV and starts it from build/.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
cd "$racine"
bash scripts/installer_dependances.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAPO_TESTS=OFF
cmake --build build
exec ./build/zapo-tv "$@"
