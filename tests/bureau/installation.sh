#!/usr/bin/env bash
# Installs a build into a throwaway DESTDIR and checks what a desktop finds there:
# the file list, both validators, the manual page, the command line, and a run of
# the installed program that may write only under the XDG folders of its user.
#   installation.sh DOSSIER_DE_CONSTRUCTION
source "$(dirname "$0")/commun.sh"
construction="$1"
racine="$essai/racine"
DESTDIR="$racine" cmake --install "$construction" --prefix /usr >/dev/null

# The file list, exactly.
attendus=(usr/bin/zapo-tv "usr/share/applications/$id_appli.desktop" "usr/share/metainfo/$id_appli.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$id_appli.svg" usr/share/man/man1/zapo-tv.1
  usr/share/doc/zapo-tv/copyright usr/share/doc/zapo-tv/changelog usr/share/lintian/overrides/zapo-tv)
tailles=(16 22 24 32 48 64 128 256)
for t in "${tailles[@]}"; do attendus+=("usr/share/icons/hicolor/${t}x${t}/apps/$id_appli.png"); done
diff <(printf '%s\n' "${attendus[@]}" | sort) <(cd "$racine" && find . -type f -printf '%P\n' | sort) ||
  echec "liste des fichiers installés"

# Each PNG has the size its folder names (width and height from the IHDR chunk).
for t in "${tailles[@]}"; do
  dim="$(od -An -tu1 -j16 -N8 "$racine/usr/share/icons/hicolor/${t}x${t}/apps/$id_appli.png" |
    awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')"
  [[ "$dim" == "${t}x${t}" ]] || echec "icône ${t}x${t} : $dim"
done

# Validators: not even a hint.
sortie="$(desktop-file-validate "$racine/usr/share/applications/$id_appli.desktop" 2>&1)" ||
  echec "desktop-file-validate : $sortie"
[[ -z "$sortie" ]] || echec "desktop-file-validate : $sortie"
sortie="$(appstreamcli validate --no-net "$racine/usr/share/metainfo/$id_appli.metainfo.xml" 2>&1)" ||
  echec "appstreamcli : $sortie"
! grep -qE '^[EWI]: ' <<<"$sortie" || echec "appstreamcli : $sortie"
grep -q "$id_appli.desktop" "$racine/usr/share/metainfo/$id_appli.metainfo.xml" || echec "launchable"

# The manual page renders without a warning and has every section.
page="$racine/usr/share/man/man1/zapo-tv.1"
avertissements="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
[[ -z "$avertissements" ]] || echec "man : $avertissements"
texte="$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | col -b)"
for section in NOM SYNOPSIS DESCRIPTION OPTIONS FICHIERS ENVIRONNEMENT "CODE DE RETOUR"; do
  grep -q "^$section" <<<"$texte" || echec "page de manuel sans la section $section"
done
for mot in ZAPO_TV_ADRESSE_TEST XDG_DATA_HOME XDG_CONFIG_HOME version maintenant exporter; do
  grep -q -- "$mot" <<<"$texte" || echec "page de manuel sans « $mot »"
done

verifier_ligne_commande "$racine/usr/bin/zapo-tv"

# Whatever the build folder was configured with (tests on here), the installed
# program carries none of the test build's journals or start-up measure.
crochets="$({ strings "$racine/usr/bin/zapo-tv"; nm -C "$racine/usr/bin/zapo-tv" 2>/dev/null; } |
  grep -E 'ZAPO_TV_(JOURNAL_BOITES|JOURNAL_VUES|MESURE_DEMARRAGE)|premier_affichage_ms|zapo::crochets' || true)"
[[ -z "$crochets" ]] || echec "crochets d'essai dans le programme installé : $crochets"

# A run under a private HOME. As root too, nothing may land beside the program.
# No display and a private session bus, wherever the test runs: the program
# reaches no bus of the user's, and D-Bus has no reason to autolaunch one (which
# writes ~/.dbus).
bus="unix:path=$essai/bus"
if command -v dbus-daemon >/dev/null; then
  dbus-daemon --session --nofork --nopidfile --address="$bus" >/dev/null 2>&1 &
  pid_bus=$!
  for _ in $(seq 1 50); do [[ -S "$essai/bus" ]] && break; sleep 0.1; done
fi
maison="$essai/maison"
export HOME="$maison" XDG_DATA_HOME="$maison/.local/share" XDG_CONFIG_HOME="$maison/.config"
export XDG_CACHE_HOME="$maison/.cache" XDG_RUNTIME_DIR="$maison/run"
mkdir -p "$XDG_DATA_HOME/Zapo-TV" "$XDG_RUNTIME_DIR" "$essai/courant"
chmod 700 "$XDG_RUNTIME_DIR"
# Options already chosen (no first-run questions): no automatic update, no agent.
printf '#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n' >"$XDG_DATA_HOME/Zapo-TV/config.ini"
avant="$(cd "$racine" && find . -printf '%P %s %T@\n' | sort)"
(cd "$essai/courant" && exec env -u DISPLAY -u WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS="$bus" \
  DBUS_SYSTEM_BUS_ADDRESS="unix:path=$essai/aucun_bus" QT_QPA_PLATFORM=offscreen ZAPO_TV_ADRESSE_TEST=127.0.0.1 \
  "$racine/usr/bin/zapo-tv" >"$essai/journal" 2>&1) &
pid_programme=$!
for _ in $(seq 1 100); do
  [[ -f "$XDG_DATA_HOME/Zapo-TV/programmes.mdb" && -f "$XDG_DATA_HOME/Zapo-TV/.zapo-tv.lock" ]] && break
  kill -0 "$pid_programme" 2>/dev/null || { cat "$essai/journal" >&2; echec "le programme s'est arrêté"; }
  sleep 0.2
done
sleep 1
kill -0 "$pid_programme" 2>/dev/null || { cat "$essai/journal" >&2; echec "le programme s'est arrêté"; }
kill -TERM "$pid_programme"
wait "$pid_programme" 2>/dev/null || true
pid_programme=""

[[ -s "$XDG_DATA_HOME/Zapo-TV/programmes.mdb" ]] || echec "base non déposée dans $XDG_DATA_HOME/Zapo-TV"
[[ "$avant" == "$(cd "$racine" && find . -printf '%P %s %T@\n' | sort)" ]] ||
  echec "le programme installé a écrit dans son préfixe"
[[ -z "$(find "$essai/courant" -mindepth 1)" ]] || echec "le programme a écrit dans le dossier courant"
hors_xdg="$(find "$maison" -type f ! -path "$XDG_DATA_HOME/*" ! -path "$XDG_CONFIG_HOME/*" \
  ! -path "$XDG_CACHE_HOME/*" ! -path "$XDG_RUNTIME_DIR/*")"
[[ -z "$hors_xdg" ]] || echec "fichiers hors des dossiers XDG : $hors_xdg"
echo "Installation vérifiée."
