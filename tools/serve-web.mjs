#!/usr/bin/env node
// Serves a folder (default web/dist) on 127.0.0.1 only, gzip-compressed where the browser asks,
// with the types browsers need for ES modules and WebAssembly.
// usage: node tools/serve-web.mjs [--port N] [--root DIR] [--exit-after SECONDS]
import { createServer } from 'node:http';
import { createReadStream, statSync } from 'node:fs';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { createGzip } from 'node:zlib';
import { fileURLToPath } from 'node:url';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const k = args.indexOf(name);
  return k >= 0 && k + 1 < args.length ? args[k + 1] : fallback;
};
const here = fileURLToPath(new URL('.', import.meta.url));
const root = resolve(option('--root', join(here, '..', 'web', 'dist')));
const port = Number(option('--port', '8000'));
const exitAfter = Number(option('--exit-after', '0'));

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.json': 'application/json',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.jpg': 'image/jpeg',
  '.z': 'application/octet-stream',
  '.ts': 'text/plain; charset=utf-8',
  '.md': 'text/plain; charset=utf-8',
};
// Already compressed: sent as they are.
const COMPRESSED = new Set(['.z', '.png', '.jpg']);

const server = createServer((request, response) => {
  const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
  let file = normalize(join(root, path));
  if (file !== root && !file.startsWith(root + sep)) {
    response.writeHead(403).end();
    return;
  }
  try {
    if (statSync(file).isDirectory()) file = join(file, 'index.html');
    statSync(file);
  } catch {
    // Browsers ask for an icon on every page; the site has none to give.
    if (path === '/favicon.ico') {
      response.writeHead(204).end();
      return;
    }
    response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
    return;
  }
  const type = TYPES[extname(file)] ?? 'application/octet-stream';
  const gzip = !COMPRESSED.has(extname(file)) && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
  response.writeHead(200, {
    'Content-Type': type,
    'Cache-Control': 'no-cache',
    ...(gzip ? { 'Content-Encoding': 'gzip' } : {}),
  });
  const stream = createReadStream(file);
  (gzip ? stream.pipe(createGzip()) : stream).pipe(response);
});

server.listen(port, '127.0.0.1', () => {
  console.log(`serving ${root} at http://127.0.0.1:${server.address().port}/`);
});
if (exitAfter > 0) setTimeout(() => process.exit(0), exitAfter * 1000).unref();
