#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that Zapo-TV needs and that are missing.
# The fonts: Liberation Sans stands in for Arial, which the windows are drawn
# with; DejaVu Sans is the desktop's sans-serif face (without it fontconfig
# answers "Sans Serif" with a monospaced face).
#   installer_dependances.sh           to build and run the program
#   installer_dependances.sh --tests   to build and run every test as well
#   installer_dependances.sh --paquet  to build the Debian package
set -euo pipefail

paquets=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libgl-dev
  libsqlite3-dev zlib1g-dev
  fonts-liberation2 fonts-dejavu-core fontconfig iputils-ping
)
if [[ "${1:-}" == "--tests" ]]; then
  paquets+=(
    xvfb xauth xdotool dbus dbus-x11 python3 python3-dbus python3-dbusmock
    faketime desktop-file-utils iproute2 util-linux sqlite3 xmltv-util
    clang-14 libclang-rt-14-dev libbenchmark-dev ccache
    appstream man-db groff-base dpkg-dev lintian
  )
fi
if [[ "${1:-}" == "--paquet" ]]; then
  paquets+=(dpkg-dev lintian)
fi

manquants=()
for p in "${paquets[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || manquants+=("$p")
done
[[ ${#manquants[@]} -eq 0 ]] && exit 0

echo "Installation de : ${manquants[*]}"
sudo_=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Droits root nécessaires pour installer : ${manquants[*]}" >&2; exit 1; }
  sudo_="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo_ apt-get update -qq
$sudo_ apt-get install -y -qq --no-install-recommends "${manquants[@]}"
