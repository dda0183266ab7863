#!/usr/bin/env bash
# Builds the browser site into web/dist/: the engine compiled to WebAssembly (nonet-engine.mjs,
# nonet.wasm), the module for web games (nonet.mjs and its worker), the play page and the
# compressed group-map files. Needs Debian's emscripten; uses no network.
# usage: tools/build-web.sh [BUILD_DIR]   (default build-web; reruns rebuild only what changed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-web}
# Debian's emcc runs its JavaScript optimiser with the system node, which finds its modules here.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
emcmake cmake -S web -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)"

dist=web/dist
rm -rf "$dist"
mkdir -p "$dist/maps"
cp -R web/src/. "$dist/"
cp "$build/nonet-engine.mjs" "$dist/nonet-engine.mjs"
cp "$build/nonet-engine.wasm" "$dist/nonet.wasm"
cp data/groupmaps/*.z "$dist/maps/"
echo "web site written to $dist/"
