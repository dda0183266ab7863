#!/usr/bin/env bash
# Debian packages the recogniser's training needs: python3 with numpy and PIL, and
# the font packages whose faces the printed digits are rendered in.
set -euo pipefail
packages=(
  python3 python3-numpy python3-pil
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation fonts-freefont-ttf fonts-noto-core fonts-urw-base35
  fonts-roboto-unhinted fonts-open-sans fonts-lato fonts-texgyre fonts-crosextra-carlito fonts-paratype
  fonts-adf-gillius fonts-league-spartan
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
