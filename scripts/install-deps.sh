#!/usr/bin/env bash
# Installs the Debian packages Talmeno needs to build, test and run; only what is
# missing, so a prepared machine returns at once.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build pkg-config
  qtbase5-dev libqt5serialport5-dev libqt5charts5-dev libqt5datavisualization5-dev
  qttools5-dev qttools5-dev-tools libqt5svg5-dev
  nlohmann-json3-dev libeigen3-dev libxlsxwriter-dev libbenchmark-dev
  xvfb xauth libgl1-mesa-dri fonts-wqy-microhei qttranslations5-l10n
  socat python3 python3-openpyxl
)
missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
