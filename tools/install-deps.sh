#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing for those already present.
# usage: tools/install-deps.sh [tool]
#   tool: only what the library and the nonet tool need (the quick first build)
set -euo pipefail
packages=(
  build-essential cmake pkg-config zlib1g-dev
  libcli11-dev nlohmann-json3-dev libstb-dev help2man libsqlite3-dev
)
if [ "${1:-}" != tool ]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 python3-numpy python3-pil
    python3-dev pybind11-dev python3-pybind11 python3-pytest
    python3-dask python3-distributed
    qqwing time
    clang
  )
fi
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
