#!/usr/bin/env bash
# A rebuild of the delivered base never touches the user's build/programmes.mdb:
# the base the program laid down and used stays byte for byte, and only
# db/programmes.mdb is made again.
#   base_livree.sh DOSSIER_DE_CONSTRUCTION
source "$(dirname "$0")/commun.sh"
construction="$1"
utilisateur="$construction/programmes.mdb"
livree="$construction/db/programmes.mdb"
[[ -f "$livree" ]] || echec "pas de base livrée $livree"

# The user's base: the real one when there is one, else a stand-in removed afterwards.
a_retirer=""
if [[ ! -e "$utilisateur" ]]; then
  printf 'chaînes et programmes de l’utilisateur\n' >"$utilisateur"
  a_retirer="$utilisateur"
fi
trap '[[ -n "$a_retirer" ]] && rm -f "$a_retirer"; nettoyer' EXIT
empreinte="$(sha256sum <"$utilisateur")"
date_livree="$(stat -c %Y.%y "$livree")"

# As after an edit of db/catalogue.sql: the builder is newer than its output.
sleep 1
touch "$(dirname "$livree")/fabriquer_base"
cmake --build "$construction" --target base_livree >"$essai/construction.log" 2>&1 ||
  { cat "$essai/construction.log" >&2; echec "reconstruction de la base livrée"; }
[[ "$date_livree" != "$(stat -c %Y.%y "$livree")" ]] || echec "la base livrée n'a pas été refaite"
[[ "$empreinte" == "$(sha256sum <"$utilisateur")" ]] || echec "la base de l'utilisateur a changé"
# Nor is it a file any rule makes.
if [[ -f "$construction/build.ninja" ]]; then
  ! ninja -C "$construction" -t targets all | grep -qE '^programmes\.mdb:' ||
    echec "build/programmes.mdb est une sortie de la construction"
else
  regles="$(find "$construction" -name build.make -exec grep -hE '^[^ #]*programmes\.mdb:' {} + | sort -u)"
  ! grep -vqE '^db/programmes\.mdb:' <<<"$regles" || echec "autre sortie programmes.mdb : $regles"
fi
echo "Base de l'utilisateur intacte, base livrée refaite."
