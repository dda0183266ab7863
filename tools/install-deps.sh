#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing for those already present.
# usage: tools/install-deps.sh [tool|web]
#   tool: only what the library and the nonet tool need (the quick first build)
#   web:  only what the browser build and its tests need (emscripten, chromium, node, npm),
#         then the test packages of web/ (npm ci); no argument installs everything
set -euo pipefail
cd "$(dirname "$0")/.."
packages=()
web_packages=(emscripten chromium nodejs)
# Some nodejs builds carry npm themselves; Debian's comes as its own package.
command -v npm >/dev/null || web_packages+=(npm)
if [ "${1:-}" != web ]; then
  packages+=(
    build-essential cmake pkg-config zlib1g-dev
    libcli11-dev nlohmann-json3-dev libstb-dev help2man libsqlite3-dev
  )
fi
if [ "${1:-}" = web ]; then
  packages+=("${web_packages[@]}")
elif [ "${1:-}" != tool ]; then
  packages+=("${web_packages[@]}")
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 python3-numpy python3-pil
    python3-dev pybind11-dev python3-pybind11 python3-pytest
    python3-dask python3-distributed
    qqwing time
    clang
  )
fi
bash "$(dirname "$0")/install-missing-packages.sh" "${packages[@]}"

# Playwright and axe-core for the browser tests, at the versions of web/package-lock.json; the
# tests drive the system Chromium, so no browser is downloaded.
if [ "${1:-}" != tool ] && [ ! -d web/node_modules/@playwright/test ]; then
  (cd web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund)
fi
