#!/usr/bin/env bash
# The browser tests: builds the site (tools/build-web.sh, only what changed) and runs the
# Playwright tests in headless Debian Chromium against a server on 127.0.0.1 that stops with them.
# usage: tools/test-web.sh [WEB_BUILD_DIR]
#   NONET_CLI: the native nonet tool the module is compared with (default build/cli/nonet)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -d web/node_modules/@playwright/test ]; then
  echo "test-web.sh: web/node_modules is missing: run  bash tools/install-deps.sh web" >&2
  exit 1
fi
bash tools/build-web.sh "${1:-build-web}"
cd web
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 exec node node_modules/@playwright/test/cli.js test
