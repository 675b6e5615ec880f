# Shared by the install and package checks: a throwaway folder and a failure helper.
set -euo pipefail
id_appli=fr.zapotv.ZapoTV
essai="$(mktemp -d)"
pid_programme=""
pid_bus=""
nettoyer() {
  [[ -n "$pid_programme" ]] && kill -KILL "$pid_programme" 2>/dev/null || true
  [[ -n "$pid_bus" ]] && kill -TERM "$pid_bus" 2>/dev/null || true
  rm -rf "$essai"
}
trap nettoyer EXIT
echec() { echo "ÉCHEC : $*" >&2; exit 1; }
# The version the project's CMake declares, read from the build folder given as $1.
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt")"
[[ -n "$version" ]] || echec "pas de version dans $1/CMakeCache.txt"

# The command line of the binary $1, with no display and an empty HOME: help,
# version and a refused option, none of which may write anything.
verifier_ligne_commande() {
  local exe="$1" maison="$essai/maison_vide" sortie rc
  mkdir -p "$maison"
  lancer() { env -i PATH=/usr/bin:/bin HOME="$maison" LC_ALL=C.UTF-8 "$exe" "$@"; }
  sortie="$(lancer --version)" || echec "--version : code $?"
  [[ "$sortie" == "Zapo-TV $version" ]] || echec "--version a écrit « $sortie »"
  sortie="$(lancer --help)" || echec "--help : code $?"
  grep -q "Codes de retour" <<<"$sortie" || echec "--help sans les codes de retour"
  rc=0; sortie="$(lancer --chaine-inconnue 2>&1 >/dev/null)" || rc=$?
  [[ $rc -eq 2 ]] || echec "option inconnue : code $rc au lieu de 2"
  grep -q "Option inconnue : --chaine-inconnue" <<<"$sortie" || echec "option inconnue : « $sortie »"
  [[ -z "$(find "$maison" -mindepth 1)" ]] || echec "la ligne de commande a écrit : $(find "$maison" -mindepth 1)"
}
