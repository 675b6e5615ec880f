#!/usr/bin/env bash
# Makes the Debian package of a build, checks its metadata and lintian's verdict,
# unpacks it into a throwaway root and runs the program found there.
#   paquet.sh DOSSIER_DE_CONSTRUCTION
source "$(dirname "$0")/commun.sh"
construction="$1"
cpack --config "$construction/CPackConfig.cmake" -B "$essai/sortie" >"$essai/cpack.log" 2>&1 ||
  { cat "$essai/cpack.log" >&2; echec "cpack"; }
paquet="$(find "$essai/sortie" -maxdepth 1 -name "zapo-tv_${version}_*.deb")"
[[ -n "$paquet" ]] || echec "pas de paquet zapo-tv_${version}_*.deb"

champ() { dpkg-deb -f "$paquet" "$1"; }
[[ "$(champ Package)" == zapo-tv && "$(champ Version)" == "$version" ]] || echec "nom ou version du paquet"
# Dependencies come from the binary's libraries, plus the platform plugins.
for dep in libqt6widgets6 libqt6core6 libsqlite3-0 libc6 qt6-qpa-plugins; do
  grep -q "$dep" <<<"$(champ Depends)" || echec "Depends sans $dep : $(champ Depends)"
done
contenu="$(dpkg-deb -c "$paquet")"
for f in ./usr/bin/zapo-tv ./usr/share/man/man1/zapo-tv.1.gz ./usr/share/doc/zapo-tv/copyright \
  ./usr/share/doc/zapo-tv/changelog.gz "./usr/share/applications/$id_appli.desktop"; do
  grep -q " $f\$" <<<"$contenu" || echec "$f absent du paquet"
done
! grep -qv ' root/root ' <<<"$contenu" || echec "fichiers qui n'appartiennent pas à root"

if command -v lintian >/dev/null; then
  # Every tag, pedantic and informational ones included (the hardening's are among them).
  verdict="$(lintian --pedantic -I --tag-display-limit 0 "$paquet" 2>&1 | grep -E '^[EWIPX]: ' || true)"
  [[ -z "$verdict" ]] || echec "lintian : $verdict"
else
  echo "lintian absent : verdict non vérifié"
fi

dpkg -x "$paquet" "$essai/racine"
# Built with the distribution's hardening: relocations read-only and bound at
# start, stack protector, fortified calls.
exe="$essai/racine/usr/bin/zapo-tv"
grep -q GNU_RELRO <<<"$(readelf -lW "$exe")" || echec "relro absent"
grep -qE 'BIND_NOW|FLAGS.*\bNOW\b' <<<"$(readelf -dW "$exe")" || echec "liaison immédiate (bindnow) absente"
symboles="$(readelf --dyn-syms -W "$exe")"
grep -q __stack_chk_fail <<<"$symboles" || echec "protection de la pile absente"
grep -qE '__[a-z0-9_]+_chk(@|$)' <<<"$symboles" || echec "fonctions fortifiées absentes"
verifier_ligne_commande "$essai/racine/usr/bin/zapo-tv"
echo "Paquet vérifié : $(basename "$paquet")"
