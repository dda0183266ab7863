// Browser tests of the web build: headless Debian Chromium (no browser download), the site
// served from web/dist on 127.0.0.1 by tools/serve-web.mjs, which Playwright starts and stops.
import { defineConfig } from '@playwright/test';

// One port for the whole run: chosen once, inherited by the test workers.
process.env.NONET_WEB_PORT ??= String(20000 + Math.floor(Math.random() * 20000));
const port = Number(process.env.NONET_WEB_PORT);

export default defineConfig({
  testDir: 'tests',
  timeout: 120_000,
  expect: { timeout: 60_000 },
  workers: 1,
  reporter: [['list']],
  outputDir: 'test-results',
  use: {
    baseURL: `http://127.0.0.1:${port}/`,
    browserName: 'chromium',
    launchOptions: {
      executablePath: process.env.CHROMIUM_PATH ?? '/usr/bin/chromium',
      args: ['--no-sandbox', '--disable-dev-shm-usage'],
    },
  },
  webServer: {
    command: `node ../tools/serve-web.mjs --port ${port} --exit-after 1800`,
    url: `http://127.0.0.1:${port}/index.html`,
    reuseExistingServer: false,
    timeout: 30_000,
  },
});
