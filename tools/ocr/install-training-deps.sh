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
bash "$(dirname "$0")/../install-missing-packages.sh" "${packages[@]}"
