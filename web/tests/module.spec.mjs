// nonet.mjs in the browser: its calls agree with the native tool on a fixed set of puzzles,
// generation gives sound puzzles, bad input rejects with the engine's reason, cancel works.
import { test, expect, nonet, jsonLines, generatedLines, withModule } from './fixtures.mjs';

// Puzzles of every kind: well-known box puzzles, and native puzzles made with fixed seeds
// (X, jigsaw, jigsaw with diagonals), one with several solutions and one with none.
function fixedPuzzles() {
  const lines = [
    '003020600900305001001806400008102900700000008006708200002609500800203009005010300',
    '100007090030020008009600500005300900010080002600004000300000010040000007007000300',
    '000000010400000000020000000000050407008000300001090000300400200050100000000806000',
  ];
  for (const flags of [['--x'], ['--jigsaw'], ['--jigsaw', '--x']]) {
    const made = generatedLines(nonet(['generate', '-n', '2', '-d', 'hard', '--seed', '2121', '-f', 'line', ...flags]));
    lines.push(...made.map((line) => (flags.includes('--x') ? `${line} x` : line)));
  }
  // Several solutions: the first puzzle without its first 27 givens; none: a digit twice in row 1.
  lines.push(`${'.'.repeat(27)}${lines[0].slice(27)}`);
  lines.push(`33${lines[0].slice(2)}`);
  return lines;
}

test('solve, classify and hint agree with the native tool', async ({ page }) => {
  const puzzles = fixedPuzzles();
  const input = `${puzzles.join('\n')}\n`;
  const solved = jsonLines(nonet(['solve', '-f', 'json'], input));
  const classified = jsonLines(nonet(['classify', '-f', 'json'], input));
  const unique = puzzles.filter((_, k) => solved[k].solutions === 1);
  const hinted = jsonLines(nonet(['hint', '-f', 'json'], `${unique.join('\n')}\n`));
  expect(solved).toHaveLength(puzzles.length);
  expect(unique.length).toBeGreaterThanOrEqual(6);

  const browser = await withModule(
    page,
    async (m, list) => {
      const out = [];
      for (const { puzzle, isUnique } of list) {
        const s = await m.solve(puzzle);
        const c = await m.classify(puzzle);
        const h = isUnique ? await m.hint({ puzzle }) : null;
        out.push({ s, c, h });
      }
      return out;
    },
    puzzles.map((puzzle, k) => ({ puzzle, isUnique: solved[k].solutions === 1 })),
  );

  let u = 0;
  browser.forEach(({ s, c, h }, k) => {
    const native = solved[k];
    const nativeCount = native.solutions === '2+' ? 2 : native.solutions;
    expect(s.solutions, `solutions of ${puzzles[k]}`).toBe(nativeCount);
    if (nativeCount === 1) expect(s.solution).toBe(native.solution);
    expect(c.bucket).toBe(classified[k].bucket);
    expect(c.levelIndex).toBe(classified[k].level_index);
    expect(c.label).toBe(classified[k].label);
    expect(c.unique).toBe(!!classified[k].unique);
    expect(c.givens).toBe(classified[k].givens);
    if (h) {
      const n = hinted[u++];
      expect(h.name).toBe(n.technique);
      expect(h.text).toBe(n.text);
      expect(h.placements.map((p) => [p.cell, p.digit])).toEqual(n.placements);
      expect(h.eliminations.map((e) => [e.cell, e.digit])).toEqual(n.eliminations);
    }
  });
});

test('seeded generation gives the puzzles of the native tool', async ({ page }) => {
  const kinds = [
    { level: 1, flags: [] },
    { level: 5, flags: ['--x'] },
    { level: 2, flags: ['--jigsaw', '--x'] },
  ];
  for (const { level, flags } of kinds) {
    const native = generatedLines(nonet(['generate', '-n', '3', '-j', '1', '-d', String(level), '--seed', '515', '-f', 'line', ...flags]));
    const browser = await withModule(
      page,
      async (m, kind) => {
        const out = [];
        for (let index = 0; index < 3; index++) out.push((await m.generate({ ...kind, seed: '515', index })).puzzle);
        return out;
      },
      { level, jigsaw: flags.includes('--jigsaw'), diagonals: flags.includes('--x') },
    );
    expect(browser.map((p) => p.replace(/x$/, '')), `level ${level} ${flags.join(' ')}`).toEqual(native.map((p) => p.replace(' ', '')));
  }
});

test('generated puzzles are sound and a seed repeats its puzzle', async ({ page }) => {
  const results = await withModule(page, async (m) => {
    const kinds = [
      { level: 0 }, { level: 'moderately_easy' }, { level: 5 },
      { level: 3, diagonals: true }, { level: 'easy', jigsaw: true, diagonals: true },
    ];
    const out = [];
    for (const kind of kinds) {
      const g = await m.generate({ ...kind, seed: 77 });
      const again = await m.generate({ ...kind, seed: 77 });
      const s = await m.solve(g.puzzle);
      out.push({ kind, g, same: again.puzzle === g.puzzle, s });
    }
    return out;
  });
  for (const { kind, g, same, s } of results) {
    expect(same, `seed repeats ${JSON.stringify(kind)}`).toBe(true);
    expect(s.solutions).toBe(1);
    expect(s.solution).toBe(g.solution);
    expect(g.givensArray.every((d, i) => d === 0 || d === g.solutionArray[i])).toBe(true);
    expect(g.diagonals).toBe(!!kind.diagonals);
    expect(g.groups.length).toBe(kind.jigsaw ? 81 : 0);
    if (kind.jigsaw) expect(g.groups).not.toBe('000111222000111222000111222333444555333444555333444555666777888666777888666777888');
  }
});

test('bad input rejects with the reason and cancel stops a call', async ({ page }) => {
  const outcome = await withModule(page, async (m) => {
    const reason = (promise) => promise.then(() => 'resolved', (e) => `${e.name} ${e.code}`);
    const engine = new m.NonetEngine();
    const controller = new AbortController();
    const slow = reason(engine.generate({ level: 'beyond_hell', jigsaw: true }, { signal: controller.signal }));
    const queued = reason(engine.solve('.'.repeat(81)));
    setTimeout(() => controller.abort(), 50);
    const out = {
      short: await reason(m.solve('123')),
      letter: await reason(m.solve('a'.repeat(81))),
      groups: await reason(m.classify({ givens: '.'.repeat(81), groups: '0'.repeat(81) })),
      level: await reason(m.generate({ level: 'impossible' })),
      noSolution: await reason(m.hint({ puzzle: `11${'.'.repeat(79)}` })),
      picture: await reason(m.readPhoto({ width: 10, height: 10, data: new Uint8Array(400) })),
      blank: await reason(m.readPhoto({ width: 64, height: 64, data: new Uint8Array(64 * 64 * 4).fill(255) })),
      slow: await slow,
      queuedAfterCancel: await queued,
      afterCancel: (await engine.solve('003020600900305001001806400008102900700000008006708200002609500800203009005010300')).solutions,
    };
    engine.terminate();
    return out;
  });
  expect(outcome).toEqual({
    short: 'NonetError invalid_argument',
    letter: 'NonetError invalid_argument',
    groups: 'NonetError invalid_groups',
    level: 'NonetError invalid_argument',
    noSolution: 'NonetError no_solution',
    picture: 'NonetError bad_picture',
    blank: 'NonetError no_grid',
    slow: 'NonetError cancelled',
    queuedAfterCancel: 'resolved',
    afterCancel: 1,
  });
});
