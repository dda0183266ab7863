// Shared pieces of the browser tests: a page that fails its test on any console error or
// uncaught exception, the native nonet tool, and board helpers.
import { test as base, expect } from '@playwright/test';
import { spawnSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { fileURLToPath } from 'node:url';

export { expect };

const repo = fileURLToPath(new URL('../..', import.meta.url));
export const repoPath = (relative) => `${repo}${relative}`;

export const test = base.extend({
  page: async ({ page }, use) => {
    const problems = [];
    page.on('console', (message) => {
      if (message.type() === 'error') problems.push(`console: ${message.text()}`);
    });
    page.on('pageerror', (error) => problems.push(`uncaught: ${error.message}`));
    await use(page);
    expect(problems, 'console errors and uncaught exceptions').toEqual([]);
  },
});

/** The native tool's output: $NONET_CLI, else build/cli/nonet of this checkout. Exit status 1
 *  (a problem in the input, such as a puzzle with a repeated digit) still gives the output. */
export function nonet(args, input = '') {
  const tool = process.env.NONET_CLI ?? repoPath('build/cli/nonet');
  if (!existsSync(tool)) throw new Error(`native tool not found at ${tool} (build it or set NONET_CLI)`);
  const run = spawnSync(tool, args, { input, encoding: 'utf8', env: { ...process.env, SUDOKU_GROUP_MAPS_DIR: repoPath('data/groupmaps') } });
  if (run.status !== 0 && run.status !== 1) throw new Error(`nonet ${args.join(' ')}: exit ${run.status}: ${run.stderr}`);
  return run.stdout;
}

/** The puzzles of `nonet generate -f line` output: the cells, then a space and the groups of a jigsaw. */
export const generatedLines = (text) =>
  text.trim().split('\n').map((line) => line.trim().split(/\s+/).filter((word) => /^[.0-9]{81}$/.test(word)).join(' '));

export const jsonLines = (text) => text.trim().split('\n').filter(Boolean).map((line) => JSON.parse(line));

/** Calls the module in the page: fn receives the imported nonet.mjs. */
export async function withModule(page, fn, arg) {
  if (!page.url().startsWith('http')) await page.goto('nonet.d.ts'); // any page of the site can import the module
  return page.evaluate(
    async ([source, a]) => {
      const nonet = await import('/nonet.mjs');
      // eslint-disable-next-line no-new-func
      return new Function('nonet', 'arg', `return (${source})(nonet, arg);`)(nonet, a);
    },
    [fn.toString(), arg],
  );
}

/** The 81 cells of the board as the page shows them (digit or 0). */
export async function boardDigits(page) {
  return page.$$eval('#board [role=gridcell]', (cells) =>
    cells.map((cell) => (/^[1-9]$/.test(cell.textContent.trim()) ? Number(cell.textContent.trim()) : 0)),
  );
}

export async function waitForGame(page) {
  await expect(page.locator('#board [role=gridcell].given').first()).toBeVisible();
}
