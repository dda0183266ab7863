#!/usr/bin/env node
// Speed and size of the web build against the native library on the same machine:
// generation at levels 0-5 (the same seeded puzzles on both sides), solution counting, a
// 640x480 photo read, the page's time to interactive and the compressed transfer size.
// usage: tools/build-web.sh && node bench/web_bench.mjs [--puzzles N] [--runs R]
//   NONET_CLI: the native tool (default build/cli/nonet). Medians of R runs; run under nice.
import { spawn, spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

const repo = fileURLToPath(new URL('..', import.meta.url));
const require = createRequire(`${repo}web/`);
const { chromium } = require('playwright-core');
const arg = (name, fallback) => {
  const k = process.argv.indexOf(name);
  return k > 0 ? Number(process.argv[k + 1]) : fallback;
};
const N = arg('--puzzles', 20);
const RUNS = arg('--runs', 3);
const SEED = 4242;
const tool = process.env.NONET_CLI ?? `${repo}build/cli/nonet`;
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

function nativeSeconds(args, input = '') {
  const times = [];
  let output = '';
  for (let r = 0; r < RUNS; r++) {
    const t0 = process.hrtime.bigint();
    // Exit status 1 (a puzzle not met at its level, a reading with a problem) keeps the output.
    const run = spawnSync(tool, args, { input, encoding: 'utf8', env: { ...process.env, SUDOKU_GROUP_MAPS_DIR: `${repo}data/groupmaps` } });
    if (run.status !== 0 && run.status !== 1) throw new Error(`nonet ${args.join(' ')}: ${run.stderr}`);
    output = run.stdout;
    times.push(Number(process.hrtime.bigint() - t0) / 1e9);
  }
  return { seconds: median(times), output };
}

const port = 20000 + Math.floor(Math.random() * 20000);
const server = spawn('node', [`${repo}tools/serve-web.mjs`, '--port', String(port), '--exit-after', '3600'], { stdio: 'ignore' });
await new Promise((resolve) => setTimeout(resolve, 700));
const browser = await chromium.launch({ executablePath: process.env.CHROMIUM_PATH ?? '/usr/bin/chromium', args: ['--no-sandbox'] });
const base = `http://127.0.0.1:${port}/`;

try {
  // ---- page load: interactive time and transfer size (a fresh context: nothing cached) ----
  const loads = [];
  let transfer = 0;
  let files = 0;
  for (let r = 0; r < RUNS; r++) {
    const context = await browser.newContext();
    const page = await context.newPage();
    let bytes = 0;
    let count = 0;
    page.on('requestfinished', async (request) => {
      const sizes = await request.sizes().catch(() => null);
      if (sizes) {
        bytes += sizes.responseBodySize + sizes.responseHeadersSize;
        count++;
      }
    });
    const t0 = Date.now();
    await page.goto(`${base}index.html?p=003020600900305001001806400008102900700000008006708200002609500800203009005010300`);
    await page.waitForSelector('#board .cell.given');
    await page.waitForFunction(() => document.getElementById('status').textContent.startsWith('Playing'));
    loads.push(Date.now() - t0);
    await page.waitForTimeout(300);
    transfer = bytes;
    files = count;
    await context.close();
  }
  console.log(`page interactive (playable board, engine loaded): median ${median(loads)} ms of ${RUNS}`);
  console.log(`transfer on first load: ${(transfer / 1024).toFixed(0)} KiB in ${files} responses (gzip)`);

  const page = await browser.newPage();
  await page.goto(`${base}nonet.d.ts`);
  await page.evaluate(async () => {
    window.nonet = await import('/nonet.mjs');
    await window.nonet.version();
  });

  // ---- generation: the same seeded puzzles on both sides ----
  console.log(`\ngeneration, ${N} puzzles a level, seed ${SEED} (ms a puzzle, median of ${RUNS} runs)`);
  console.log('level  browser  native  ratio  same puzzles');
  for (let level = 0; level <= 5; level++) {
    const native = nativeSeconds(['generate', '-n', String(N), '-j', '1', '-d', String(level), '--seed', String(SEED), '-f', 'line']);
    const nativeLines = native.output.trim().split('\n').map((l) => l.trim().split(/\s+/).find((w) => /^[.0-9]{81}/.test(w)));
    const runs = [];
    let browserLines = [];
    for (let r = 0; r < RUNS; r++) {
      const out = await page.evaluate(
        async ([lv, n, seed]) => {
          const t0 = performance.now();
          const lines = [];
          for (let k = 0; k < n; k++) lines.push((await window.nonet.generate({ level: lv, seed, index: k })).givens);
          return { ms: performance.now() - t0, lines };
        },
        [level, N, SEED],
      );
      runs.push(out.ms);
      browserLines = out.lines;
    }
    const b = median(runs) / N;
    const n = (native.seconds * 1000) / N;
    const same = browserLines.filter((line, k) => line === nativeLines[k]).length;
    console.log(`${String(level).padStart(5)}  ${b.toFixed(1).padStart(7)}  ${n.toFixed(1).padStart(6)}  ${(b / n).toFixed(2).padStart(5)}  ${same}/${N}`);
  }

  // ---- counting: solutions up to 2 of hard puzzles ----
  const hard = nativeSeconds(['generate', '-n', '100', '-j', '2', '-d', 'fiendish', '--seed', '99', '-f', 'line']).output
    .trim().split('\n').map((l) => l.trim().split(/\s+/).find((w) => /^[.0-9]{81}/.test(w))).filter(Boolean);
  const countNative = nativeSeconds(['solve', '-j', '1', '-f', 'line'], `${hard.join('\n')}\n`).seconds;
  const countRuns = [];
  for (let r = 0; r < RUNS; r++) {
    countRuns.push(
      await page.evaluate(async (list) => {
        const t0 = performance.now();
        for (const p of list) await window.nonet.solve(p);
        return performance.now() - t0;
      }, hard),
    );
  }
  const cb = (median(countRuns) * 1000) / hard.length;
  const cn = (countNative * 1e6) / hard.length;
  console.log(`\ncounting (up to 2 solutions) of ${hard.length} fiendish puzzles: browser ${cb.toFixed(0)} us, native ${cn.toFixed(0)} us a puzzle (native includes parsing and printing; browser includes the worker round trip), ratio ${(cb / cn).toFixed(2)}`);

  // ---- a 640x480 photo ----
  const jpeg = readFileSync(`${repo}tests/data/ocr/image1050.jpg`).toString('base64');
  const photoMs = await page.evaluate(async (b64) => {
    const bytes = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/jpeg' }));
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const image = context.getImageData(0, 0, bitmap.width, bitmap.height);
    const times = [];
    for (let r = 0; r < 5; r++) {
      const t0 = performance.now();
      await window.nonet.readPhoto(image);
      times.push(performance.now() - t0);
    }
    return { size: `${bitmap.width}x${bitmap.height}`, ms: times.sort((a, b) => a - b)[2] };
  }, jpeg);
  const photoNative = nativeSeconds(['ocr', `${repo}tests/data/ocr/image1050.jpg`, '-f', 'line']).seconds;
  console.log(`photo ${photoMs.size} read: browser ${photoMs.ms.toFixed(0)} ms (median of 5), native tool ${(photoNative * 1000).toFixed(0)} ms (with JPEG decoding and start-up)`);
} finally {
  await browser.close();
  server.kill();
}
