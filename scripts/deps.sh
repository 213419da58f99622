#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Brumaria need.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-multimedia-dev libqt6svg6 libgl1-mesa-dev qt6-qpa-plugins qt6-translations-l10n
      libgtest-dev libgmock-dev googletest libbenchmark-dev
      fonts-dejavu-core ccache
      xvfb xauth xdotool dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
      dpkg-dev desktop-file-utils appstream lintian man-db libminiupnpc-dev libnatpmp-dev
      nftables miniupnpd-nftables
      libsodium-dev libnice-dev libtorrent-rasterbar-dev coturn tcpdump)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
