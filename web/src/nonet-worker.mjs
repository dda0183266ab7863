// The Web Worker behind nonet.mjs: it loads the engine (WebAssembly) and answers one call at a
// time. Every call builds what it needs from its arguments, so a worker that was stopped (a
// cancel) is replaced by a fresh one without losing anything.
import createNonetEngine from './nonet-engine.mjs';
import { MAP_NAMES } from './nonet-format.mjs';

let engine = null;
let mapsLoaded = false;
let currentCall = null;

class EngineError extends Error {}

async function loadEngine() {
  engine = await createNonetEngine({
    locateFile: (path) => new URL(path.endsWith('.wasm') ? 'nonet.wasm' : path, import.meta.url).href,
    print: (line) => postMessage({ id: currentCall, log: line }),
    printErr: (line) => postMessage({ id: currentCall, log: line }),
    onEngineMessage: (line) => postMessage({ id: currentCall, log: line }),
  });
  engine._nonet_web_route_messages();
}

// ---- memory helpers: every call frees what it allocates ----

function withMemory(byteCounts, fn) {
  const pointers = byteCounts.map((n) => engine._malloc(Math.max(n, 4)));
  try {
    return fn(...pointers);
  } finally {
    pointers.forEach((p) => engine._free(p));
  }
}
const ints = (ptr, n = 81) => new Int32Array(engine.HEAP32.buffer, ptr, n);
const writeInts = (ptr, values) => ints(ptr, values.length).set(values);
const readInts = (ptr, n = 81) => Array.from(ints(ptr, n));
const readText = (ptr, size) => {
  const bytes = new Uint8Array(engine.HEAPU8.buffer, ptr, size);
  const end = bytes.indexOf(0);
  return new TextDecoder().decode(bytes.slice(0, end < 0 ? size : end));
};

function lastError() {
  return withMemory([256], (buf) => {
    const code = engine._sudoku_last_error(buf, 256);
    return { code, text: readText(buf, 256) };
  });
}

function fail(fallback) {
  const { code, text } = lastError();
  throw new EngineError(code ? text : fallback);
}

// ---- group maps: the page's files are zlib streams; the browser inflates them ----

async function loadGroupMaps() {
  if (mapsLoaded) return;
  await Promise.all(
    MAP_NAMES.map(async (name) => {
      const response = await fetch(new URL(`maps/${name}.z`, import.meta.url));
      if (!response.ok) throw new EngineError(`maps_not_found: maps/${name}.z: HTTP ${response.status}`);
      const inflated = new Uint8Array(
        await new Response(response.body.pipeThrough(new DecompressionStream('deflate'))).arrayBuffer(),
      );
      const nameBytes = new TextEncoder().encode(`${name}\0`);
      withMemory([inflated.length, nameBytes.length], (data, namePtr) => {
        engine.HEAPU8.set(inflated, data);
        engine.HEAPU8.set(nameBytes, namePtr);
        if (!engine._sudoku_set_group_map_data(namePtr, data, BigInt(inflated.length))) fail('cannot keep map');
      });
    }),
  );
  mapsLoaded = true;
}

// ---- boards: a handle built from a board description ----

const u64 = (x) => BigInt.asUintN(64, x);

// The seed of draw k of a batch seeded with seed (splitmix64 of seed + k + 1; never 0), as the
// nonet tool seeds `generate -n N --seed S`: generation k of a puzzle, attempt a, draws
// puzzleSeed(seed, 20 * k + a).
function puzzleSeed(seed, k) {
  let z = u64(seed + 0x9e3779b97f4a7c15n * BigInt(k + 1));
  z = u64((z ^ (z >> 30n)) * 0xbf58476d1ce4e5b9n);
  z = u64((z ^ (z >> 27n)) * 0x94d049bb133111ebn);
  z ^= z >> 31n;
  return z || 1n;
}
const ATTEMPTS_PER_PUZZLE = 20;

// Counts solutions up to limit; returns { count, solution }.
function countSolutions(board, limit) {
  return withMemory([324, 324, 324], (clues, groups, solution) => {
    writeInts(clues, board.givens);
    if (board.groups) writeInts(groups, board.groups);
    const count = engine._sudoku_count_solutions(clues, board.groups ? groups : 0, board.diagonals ? 1 : 0, limit, solution);
    if (count < 0) fail('invalid_argument: bad puzzle');
    return { count, solution: count > 0 ? readInts(solution) : null };
  });
}

const BOX_GROUPS = Array.from({ length: 81 }, (_, i) => 3 * Math.floor(i / 27) + Math.floor((i % 9) / 3));

// A handle holding the board's givens, solution, answers and marks; the caller frees it.
function buildHandle(board) {
  let solution = board.solution;
  if (!solution) {
    const counted = countSolutions(board, 2);
    if (counted.count === 0) throw new EngineError('no_solution: the puzzle has no solution');
    if (counted.count > 1) throw new EngineError('invalid_argument: the puzzle has more than one solution');
    solution = counted.solution;
  }
  const h = engine._sudoku_new();
  const groups = board.groups || BOX_GROUPS;
  const built = withMemory([324, 324, 324, 36], (clues, sol, grp, colors) => {
    writeInts(clues, board.givens);
    writeInts(sol, solution);
    writeInts(grp, groups);
    writeInts(colors, [0, 1, 2, 3, 4, 5, 6, 7, 8]);
    return engine._sudoku_build_from_clues(h, board.groups ? 1 : 0, board.diagonals ? 1 : 0, 3, clues, sol, grp, colors);
  });
  if (!built) {
    engine._sudoku_free(h);
    fail('invalid_groups: bad group map');
  }
  for (let i = 0; i < 81; i++) {
    const answer = board.answers?.[i] || 0;
    if (answer && !board.givens[i]) engine._sudoku_set_user_answer(h, i, answer, 0, 0);
    const marks = board.marks?.[i] || 0;
    if (marks && !answer && !board.givens[i]) {
      engine._sudoku_toggle_small_mode(h, i);
      for (let d = 1; d <= 9; d++) if (marks & (1 << d)) engine._sudoku_toggle_elim_bit(h, i, d);
    }
  }
  return h;
}

function readBoard(h, board) {
  return withMemory([36], (cell) => {
    const answers = [];
    const marks = [];
    for (let i = 0; i < 81; i++) {
      engine._sudoku_get_cell(h, i, cell);
      const view = ints(cell, 9);
      const given = view[1] & 1;
      answers.push(given ? 0 : view[3]);
      marks.push(given || view[3] || !view[4] ? 0 : view[2] & 0x3fe);
    }
    return { ...board, answers, marks };
  });
}

function withHandle(board, fn) {
  const h = buildHandle(board);
  try {
    return fn(h);
  } finally {
    engine._sudoku_free(h);
  }
}

// ---- the calls ----

const HINT_SIZE = 1800;

function readHint(ptr) {
  const at = (offset) => engine.HEAP32[(ptr + offset) >> 2];
  const pairs = (offset, n) => Array.from({ length: n }, (_, k) => [at(offset + 8 * k), at(offset + 8 * k + 4)]);
  const list = (offset, n) => Array.from({ length: n }, (_, k) => at(offset + 4 * k));
  // Offsets follow the fixed SudokuHint layout of engine_api.h.
  const nPlacements = at(12);
  const nEliminations = at(88);
  const nPattern = at(860);
  const nHouses = at(1188);
  return {
    kind: ['none', 'step', 'wrong_answer', 'wrong_mark'][at(0)] ?? 'none',
    level: at(4),
    method: at(8),
    placements: pairs(16, nPlacements).map(([cell, digit]) => ({ cell, digit })),
    eliminations: pairs(92, nEliminations).map(([cell, digit]) => ({ cell, digit })),
    pattern: list(864, nPattern),
    houses: list(1192, nHouses),
    baseHouses: at(1256),
    digits: Array.from({ length: 9 }, (_, k) => k + 1).filter((d) => at(1260) & (1 << d)),
    name: readText(ptr + 1264, 24),
    text: readText(ptr + 1288, 512),
    raw: Array.from(new Int32Array(engine.HEAP32.buffer, ptr, HINT_SIZE / 4)),
  };
}

const calls = {
  version: () => engine._sudoku_version(),

  async generate({ level = 3, jigsaw = false, diagonals = false, seed, index = 0 } = {}) {
    if (jigsaw) await loadGroupMaps();
    const h = engine._sudoku_new();
    try {
      const seedValue = seed === undefined || seed === null ? 0n : u64(BigInt(seed));
      // A generation that meets no puzzle of the level within its tries is asked again.
      let ok = 0;
      for (let attempt = 0; attempt < ATTEMPTS_PER_PUZZLE && !ok; attempt++) {
        if (seedValue) engine._sudoku_seed_random(puzzleSeed(seedValue, ATTEMPTS_PER_PUZZLE * index + attempt));
        ok = engine._sudoku_generate(h, jigsaw ? 1 : 0, diagonals ? 1 : 0, level, 2);
        if (!ok && lastError().code !== 4) break;
      }
      if (!ok) fail('no_puzzle: no puzzle met the level');
      return withMemory([36], (cell) => {
        const givens = [];
        const solution = [];
        const groups = [];
        for (let i = 0; i < 81; i++) {
          engine._sudoku_get_cell(h, i, cell);
          const view = ints(cell, 9);
          solution.push(view[0]);
          givens.push(view[1] & 1 ? view[0] : 0);
          groups.push(view[6]);
        }
        return { givens, solution, groups: jigsaw ? groups : null, diagonals: !!diagonals, level };
      });
    } finally {
      engine._sudoku_seed_random(0n);
      engine._sudoku_free(h);
    }
  },

  solve(board) {
    return countSolutions(board, 2);
  },

  classify(board) {
    return withMemory([324, 324, 1076], (clues, groups, report) => {
      writeInts(clues, board.givens);
      writeInts(groups, board.groups || BOX_GROUPS);
      if (!engine._sudoku_classify_clues(clues, groups, board.groups ? 1 : 0, board.diagonals ? 1 : 0, report))
        fail('invalid_groups: bad group map');
      const r = ints(report, 6);
      return {
        bucketIndex: r[0],
        levelIndex: r[1],
        hasSolution: !!r[2],
        unique: !!r[3],
        solved: !!r[4],
        givens: r[5],
        bucket: readText(report + 996, 16),
        label: readText(report + 1012, 64),
        method: readInts(report + 24),
      };
    });
  },

  candidates(board) {
    return withHandle(board, (h) => {
      engine._sudoku_digit_assistant_all(h);
      return readBoard(h, board).marks;
    });
  },

  hint(board) {
    return withHandle(board, (h) =>
      withMemory([HINT_SIZE], (hint) => {
        const rc = engine._sudoku_hint(h, hint);
        if (rc < 0) fail('no_solution: the board has no solution');
        return readHint(hint);
      }),
    );
  },

  applyHint(board, hint) {
    return withHandle(board, (h) =>
      withMemory([HINT_SIZE], (ptr) => {
        writeInts(ptr, hint.raw);
        if (engine._sudoku_apply_hint(h, ptr) !== 1)
          throw new EngineError('invalid_argument: the hint does not fit the board');
        return readBoard(h, board);
      }),
    );
  },

  readPhoto({ width, height, data }) {
    const bytes = width * height * 4;
    if (!(width >= 27 && height >= 27) || !data || data.length < bytes)
      throw new EngineError('bad_picture: the picture is too small or has no pixels');
    return withMemory([bytes, 324, 324, 4, 16], (pixels, digits, groups, diagonals, box) => {
      engine.HEAPU8.set(data.subarray(0, bytes), pixels);
      // The outer lines are for drawing the reading; the reading itself finds the grid its own way.
      const located = engine._sudoku_ocr_locate(pixels, width, height, 4, box) === 1;
      if (!engine._sudoku_ocr_read_puzzle(pixels, width, height, 4, digits, groups, diagonals))
        fail('bad_picture: the picture could not be read');
      const givens = readInts(digits);
      // As the nonet tool judges a photo: no grid when none was located and too few digits were read.
      if (!located && givens.filter(Boolean).length < 17) throw new EngineError('no_grid: no grid found in the picture');
      const regions = readInts(groups);
      const jigsaw = regions.some((g, i) => g !== BOX_GROUPS[i]);
      return {
        givens,
        groups: jigsaw ? regions : null,
        diagonals: ints(diagonals, 1)[0] === 1,
        box: located ? readInts(box, 4) : [0, 0, width - 1, height - 1],
        located,
      };
    });
  },
};

// Calls arrive one at a time from nonet.mjs (it keeps its own queue).
const ready = loadEngine();
onmessage = async ({ data: { id, call, args } }) => {
  currentCall = id;
  try {
    await ready;
    if (!Object.hasOwn(calls, call)) throw new EngineError(`invalid_argument: no call named ${call}`);
    const result = await calls[call](...args);
    postMessage({ id, ok: true, result });
  } catch (error) {
    const message = error instanceof EngineError ? error.message : `internal: ${error?.message ?? error}`;
    postMessage({ id, ok: false, error: message });
  } finally {
    currentCall = null;
  }
};
