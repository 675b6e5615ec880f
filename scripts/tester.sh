#!/usr/bin/env bash
# Installs what is missing, builds Zapo-TV and its tests, and runs every test
# headless. Tests talk only to servers on 127.0.0.1; when this script has the
# rights, the suite runs inside a network namespace that has nothing but loopback.
#   tester.sh              the suite on every change
#   tester.sh --complet    also the suite built with AddressSanitizer and UBSan,
#                          and a minute of fuzzing for each fuzz target
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
cd "$racine"
bash scripts/installer_dependances.sh --tests

export ZAPO_TV_ADRESSE_TEST=127.0.0.1
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

construire() { # build dir, extra cmake options...
  local dossier="$1"; shift
  local options=("$@")
  # A folder configured earlier (by a preset, by hand) keeps the generator it was
  # made with: CMake refuses another one, so the one asked for here is dropped.
  if grep -qs '^CMAKE_GENERATOR:INTERNAL=' "$dossier/CMakeCache.txt"; then
    options=()
    while [[ $# -gt 0 ]]; do
      case "$1" in
        -G) shift 2 ;;
        -G*) shift ;;
        *) options+=("$1"); shift ;;
      esac
    done
  fi
  cmake -S . -B "$dossier" "${options[@]}" >/dev/null
  cmake --build "$dossier" -j "$jobs"
}


lancer_suite() { # build dir
  local dossier="$1"
  local commande=(ctest --test-dir "$dossier" --output-on-failure --timeout 600 -j "$jobs")
  if [[ $(id -u) -eq 0 ]] && unshare --net true 2>/dev/null; then
    echo "Suite lancée dans un espace réseau limité à la boucle locale."
    unshare --net bash -c 'ip link set lo up && exec "$@"' _ "${commande[@]}"
  else
    "${commande[@]}"
  fi
}

duree() { # label: time since the previous mark, so that CI logs show where the minutes go
  echo "$1 : $((SECONDS / 60)) min $((SECONDS % 60)) s"
  SECONDS=0
}

SECONDS=0
# The normal build uses CMake's default generator (Unix Makefiles), as a user's
# first build does; a folder already configured keeps its own. The benchmarks are
# built too (not run), so that a change cannot leave them behind.
construire build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAPO_TESTS=ON -DZAPO_BENCH=ON
duree "Construction"
lancer_suite build
duree "Suite"

if [[ "${1:-}" == "--complet" ]]; then
  # The sanitizer options and the leak suppressions are part of each test's
  # environment (tests/CMakeLists.txt), so they hold inside the namespace too.
  construire build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZAPO_TESTS=ON -DZAPO_SANITIZE=ON
  duree "Construction avec les sanitizers"
  lancer_suite build-asan
  duree "Suite avec les sanitizers"

  # The fuzz targets, built with clang, replay their corpus and then fuzz from it
  # for a minute each, so that a target cannot fall behind the code. What they
  # find is kept in build-fuzz/trouvailles; the corpora in the tree are left as they are.
  if [[ ! -d build-fuzz ]]; then
    CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DZAPO_FUZZ=ON -DZAPO_TESTS=OFF >/dev/null
  fi
  cmake --build build-fuzz -j "$jobs" --target fuzz_scanner fuzz_xmltv
  mkdir -p build-fuzz/trouvailles
  for cible in scanner xmltv; do
    corpus=fuzz/corpus
    options=(-dict=fuzz/scanner.dict)
    if [[ $cible == xmltv ]]; then
      corpus=fuzz/corpus_xmltv
      options=()
    fi
    rm -f "build-fuzz/trouvailles/$cible-"*
    nouveaux="$(mktemp -d)"
    journal="build-fuzz/trouvailles/journal-$cible.txt"
    statut=0
    "build-fuzz/fuzz/fuzz_$cible" -max_total_time=60 -timeout=25 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/trouvailles/$cible-" "${options[@]}" "$nouveaux" "$corpus" \
      >"$journal" 2>&1 || statut=$?
    rm -rf "$nouveaux"
    grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units)' "$journal" || true
    if [[ $statut -ne 0 ]]; then
      tail -n 40 "$journal" >&2
      echo "fuzz_$cible a échoué (statut $statut) ; voir build-fuzz/trouvailles/" >&2
      exit 1
    fi
  done
  duree "Fuzzing"
fi
