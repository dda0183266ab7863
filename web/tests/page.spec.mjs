// The play page in a real browser: generation, keyboard play to the end, hints, photo import,
// saved progress, bad input, accessibility.
import AxeBuilder from '@axe-core/playwright';
import { readFileSync } from 'node:fs';
import { test, expect, nonet, jsonLines, generatedLines, boardDigits, waitForGame, repoPath } from './fixtures.mjs';

const LEVELS = { easy: 1, hard: 5 };

async function newPuzzle(page, { level, jigsaw = false, diagonals = false, seed = '' }) {
  await page.selectOption('#level', level);
  await page.selectOption('#kind', jigsaw ? 'jigsaw' : 'boxes');
  await page.setChecked('#diagonals', diagonals);
  await page.fill('#seed', seed);
  await page.click('#generate');
  await expect(page.locator('#status')).toContainText(`New ${level.replace(/_/g, ' ')} puzzle`);
}

// The puzzle the page shows, read back from its address.
function addressPuzzle(page) {
  const params = new URL(page.url()).searchParams;
  return { givens: params.get('p'), groups: params.get('g'), diagonals: params.get('x') === '1' };
}

test.describe('new puzzles', () => {
  for (const [name, options] of [
    ['easy boxes', { level: 'easy' }],
    ['hard boxes', { level: 'hard', seed: '5' }],
    ['jigsaw with diagonals', { level: 'easy', jigsaw: true, diagonals: true, seed: '9' }],
  ]) {
    test(name, async ({ page }) => {
      await page.goto('index.html');
      await waitForGame(page);
      await newPuzzle(page, options);
      const p = addressPuzzle(page);
      const line = `${p.givens} ${p.groups ?? ''}${p.diagonals ? ' x' : ''}`;
      expect(jsonLines(nonet(['solve', '-f', 'json'], `${line}\n`))[0].solutions).toBe(1);
      expect(p.diagonals).toBe(!!options.diagonals);
      expect(!!p.groups).toBe(!!options.jigsaw);
      const digits = await boardDigits(page);
      expect(digits.join('').replace(/0/g, '.')).toBe(p.givens);
      if (options.jigsaw) {
        // Heavy borders follow the regions; diagonal cells are shaded.
        const groups = Array.from(p.groups, Number);
        const edges = await page.$$eval('#board [role=gridcell]', (cells) => cells.map((c) => c.classList.contains('edge-right')));
        edges.forEach((edge, i) => expect(edge).toBe(i % 9 < 8 && groups[i] !== groups[i + 1]));
        await expect(page.locator('#board .cell.diagonal')).toHaveCount(17);
      }
      expect(LEVELS[options.level] ?? -1).toBeGreaterThanOrEqual(0);
    });
  }

  test('cancel stops a generation and keeps the game', async ({ page }) => {
    await page.goto('index.html');
    await waitForGame(page);
    const before = page.url();
    await page.selectOption('#level', 'beyond_hell');
    await page.selectOption('#kind', 'jigsaw');
    await page.click('#generate');
    await expect(page.locator('#cancel')).toBeVisible();
    await page.click('#cancel');
    await expect(page.locator('#status')).toHaveText('Cancelled.');
    await expect(page.locator('#cancel')).toBeHidden();
    expect(page.url()).toBe(before);
  });
});

test('a puzzle played to the end by keyboard alone', async ({ page }) => {
  const puzzle = '003020600900305001001806400008102900700000008006708200002609500800203009005010300';
  const solution = jsonLines(nonet(['solve', '-f', 'json'], `${puzzle}\n`))[0].solution;
  await page.goto(`index.html?p=${puzzle}`);
  await waitForGame(page);
  await expect(page.locator('#status')).toHaveText('Playing the puzzle from the address.');
  // Into the grid (it starts at the centre), then to r1c1 with Home and the arrow keys.
  await page.locator('#board [role=gridcell][tabindex="0"]').focus();
  await page.keyboard.press('Home');
  for (let k = 0; k < 4; k++) await page.keyboard.press('ArrowUp');
  await expect(page.locator('#board [role=gridcell][tabindex="0"]')).toHaveAttribute('aria-label', /^row 1, column 1, /);
  // One wrong digit first, shown on request, then corrected.
  await page.keyboard.press(String((Number(solution[0]) % 9) + 1));
  await page.click('#mistakes');
  await expect(page.locator('#board .cell.mistake')).toHaveCount(1);
  await page.locator('#board [role=gridcell]').first().focus();
  await page.keyboard.press('Backspace');
  await expect(page.locator('#board [role=gridcell]').first()).toHaveAttribute('aria-label', 'row 1, column 1, empty');
  // Pencil marks by keyboard.
  await page.keyboard.press('p');
  await page.keyboard.press('4');
  await page.keyboard.press('7');
  await expect(page.locator('#board [role=gridcell]').first()).toHaveAttribute('aria-label', 'row 1, column 1, pencil 4 7');
  await page.keyboard.press('p');
  // Row by row: the digits of the empty cells, ArrowRight along a row (it wraps), ArrowDown.
  for (let i = 0; i < 81; i++) {
    if (puzzle[i] === '0') await page.keyboard.press(solution[i]);
    await page.keyboard.press('ArrowRight');
    if (i % 9 === 8) await page.keyboard.press('ArrowDown');
  }
  await expect(page.locator('#solved-banner')).toBeVisible();
  await expect(page.locator('#solved-banner')).toContainText('Solved in');
  expect((await boardDigits(page)).join('')).toBe(solution);
  // Undo takes the last digit back; redo puts it again.
  await page.keyboard.press('Control+z');
  await expect(page.locator('#solved-banner')).toBeHidden();
  await page.keyboard.press('Control+y');
  await expect(page.locator('#solved-banner')).toBeVisible();
});

test('a hint on a hard puzzle is sound and applies', async ({ page }) => {
  const [line] = generatedLines(nonet(['generate', '-d', 'hard', '--seed', '31', '-f', 'line']));
  const solution = jsonLines(nonet(['solve', '-f', 'json'], `${line}\n`))[0].solution;
  await page.goto(`index.html?p=${line}`);
  await waitForGame(page);
  await page.click('#assistant');
  await expect(page.locator('#board .marks').first()).toBeVisible();
  await page.click('#hint');
  await expect(page.locator('#hint-panel')).toBeVisible();
  const text = await page.textContent('#hint-text');
  expect(text.length).toBeGreaterThan(10);
  // Placements are the solution's digits; eliminations never remove a cell's true digit.
  const placed = await page.$$eval('#board .cell.hint-place', (cells) => cells.map((c) => [Number(c.dataset.cell), c.dataset.place]));
  const struck = await page.$$eval('#board .cell.hint-elim', (cells) =>
    cells.map((c) => [Number(c.dataset.cell), [...c.querySelectorAll('.struck')].map((s) => s.textContent)]));
  expect(placed.length + struck.length).toBeGreaterThan(0);
  for (const [cell, digit] of placed) expect(digit).toBe(solution[cell]);
  for (const [cell, digits] of struck) expect(digits).not.toContain(solution[cell]);
  await expect(page.locator('#board .cell.hint-pattern').first()).toBeVisible();
  const before = await boardDigits(page);
  await page.click('#hint-apply');
  await expect(page.locator('#hint-panel')).toBeHidden();
  const after = await boardDigits(page);
  for (const [cell, digit] of placed) expect(String(after[cell])).toBe(digit);
  after.forEach((d, i) => expect(d === before[i] || String(d) === solution[i]).toBe(true));
});

test('a newspaper photo is read as its ground truth', async ({ page }) => {
  // One of the newspaper photos kept with the tests (from shared/photos, with its ground truth).
  const photo = repoPath('tests/data/ocr/image1050.jpg');
  const truth = readFileSync(photo.replace(/\.jpg$/, '.dat'), 'utf8').split('\n').slice(2, 11).join(' ').trim().split(/\s+/).join('');
  await page.goto('index.html');
  await waitForGame(page);
  await page.setInputFiles('#photo', photo);
  await expect(page.locator('#photo-review')).toBeVisible();
  const read = await page.$$eval('#photo-cells input', (inputs) => inputs.map((i) => i.value || '0').join(''));
  expect(read).toBe(truth);
  await expect(page.locator('#photo-class')).toContainText('givens');
  await page.click('#photo-play');
  await expect(page.locator('#status')).toHaveText('Playing the photo.');
  expect((await boardDigits(page)).join('')).toBe(truth);
});

test('a reload keeps the progress', async ({ page }) => {
  await page.goto('index.html?p=003020600900305001001806400008102900700000008006708200002609500800203009005010300');
  await waitForGame(page);
  await page.locator('#board [role=gridcell]').first().click();
  await page.keyboard.press('4');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('p');
  await page.keyboard.press('5');
  await page.reload();
  await waitForGame(page);
  await expect(page.locator('#status')).toHaveText('Progress restored.');
  await expect(page.locator('#board [role=gridcell]').nth(0)).toHaveAttribute('aria-label', 'row 1, column 1, 4');
  await expect(page.locator('#board [role=gridcell]').nth(1)).toHaveAttribute('aria-label', 'row 1, column 2, pencil 5');
});

test('bad input: a clear message and the game kept', async ({ page }) => {
  await page.goto('index.html?p=12x');
  await waitForGame(page);
  await expect(page.locator('#status')).toContainText('not valid');
  const address = page.url();
  const board = await boardDigits(page);
  const status = page.locator('#status');

  await page.fill('#import-text', '1234');
  await page.click('#import-play');
  await expect(status).toContainText('That is not a puzzle');

  await page.fill('#import-text', `${'.'.repeat(27)}${'003020600900305001001806400008102900700000008006708200002609500800203009005010300'.slice(27)}`);
  await page.click('#import-play');
  await expect(status).toContainText('more than one solution');

  await page.fill('#import-text', `11${'.'.repeat(79)}`);
  await page.click('#import-play');
  await expect(status).toContainText('no solution');

  await page.setInputFiles('#photo', { name: 'notes.txt', mimeType: 'text/plain', buffer: Buffer.from('not a picture') });
  await expect(status).toContainText('not a picture');

  const whiteUrl = await page.evaluate(() => {
    const canvas = document.createElement('canvas');
    canvas.width = 200;
    canvas.height = 150;
    const context = canvas.getContext('2d');
    context.fillStyle = '#fff';
    context.fillRect(0, 0, 200, 150);
    return canvas.toDataURL('image/png');
  });
  const white = Buffer.from(whiteUrl.split(',')[1], 'base64');
  await page.setInputFiles('#photo', { name: 'white.png', mimeType: 'image/png', buffer: white });
  await expect(status).toContainText(/No puzzle grid|No digits/);

  expect(page.url()).toBe(address);
  expect(await boardDigits(page)).toEqual(board);
});

test('accessibility: no serious or critical violations, named cells', async ({ page }) => {
  await page.setViewportSize({ width: 360, height: 800 });
  await page.goto('index.html?p=003020600900305001001806400008102900700000008006708200002609500800203009005010300&x=0');
  await waitForGame(page);
  await expect(page.locator('[role=grid] [role=row]')).toHaveCount(9);
  await expect(page.locator('[role=grid] [role=gridcell]')).toHaveCount(81);
  await expect(page.locator('#board [role=gridcell]').nth(2)).toHaveAttribute('aria-label', 'row 1, column 3, 3, given');
  // The board fits a 360-pixel screen without scrolling sideways.
  const width = await page.evaluate(() => document.documentElement.scrollWidth);
  expect(width).toBeLessThanOrEqual(360);
  const results = await new AxeBuilder({ page }).analyze();
  const serious = results.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical');
  expect(serious.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`)).toEqual([]);
});
