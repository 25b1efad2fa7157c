#!/usr/bin/env bash
# Installs the Debian packages Vardane needs to build, test and run, when any
# is missing. Usage: scripts/install-deps.sh [extra packages...]
set -euo pipefail
pkgs=(g++ cmake make libfltk1.3-dev libx11-dev libgmp-dev libgtest-dev libbenchmark-dev
      xvfb x11-utils xdotool xclip openbox python3-biopython "$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
