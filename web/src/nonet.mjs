// nonet for web games: the engine (WebAssembly) behind promise-based calls that run in a Web
// Worker, so the page never waits on a slow generation. Every call can be cancelled; failures
// reject with the engine's reason ("no_solution: ...", "cancelled: ...").
import { levelNumber, parsePuzzle, gridText, groupsText, LEVEL_NAMES } from './nonet-format.mjs';

export { LEVEL_NAMES, MAP_NAMES, parsePuzzle, gridText, groupsText, puzzleLine, levelNumber } from './nonet-format.mjs';

/** The error every failed call rejects with; `code` is the engine's word before the colon. */
export class NonetError extends Error {
  constructor(message) {
    super(message);
    this.name = 'NonetError';
    this.code = /^([a-z_]+):/.exec(message)?.[1] ?? 'internal';
  }
}

const BOX_GROUPS = Array.from({ length: 81 }, (_, i) => 3 * Math.floor(i / 27) + Math.floor((i % 9) / 3));

/**
 * One engine in one worker. Calls wait their turn; cancelling the running call stops the worker
 * and starts a fresh one for the calls after it (the worker keeps no state between calls).
 */
export class NonetEngine {
  #worker = null;
  #queue = [];
  #running = null;
  #nextId = 1;
  #onLog;

  /** @param {{ workerUrl?: string | URL, onLog?: (line: string) => void }} [options] */
  constructor({ workerUrl = new URL('./nonet-worker.mjs', import.meta.url), onLog } = {}) {
    this.workerUrl = workerUrl;
    this.#onLog = onLog;
  }

  #startWorker() {
    const worker = new Worker(this.workerUrl, { type: 'module' });
    worker.onmessage = ({ data }) => this.#answer(data);
    worker.onerror = (event) => {
      event.preventDefault();
      this.#stopWorker(`internal: the engine stopped (${event.message || 'worker error'})`);
    };
    return worker;
  }

  #answer(data) {
    const job = this.#running;
    if (!job || data.id !== job.id) return;
    if ('log' in data) {
      job.onProgress?.(data.log);
      this.#onLog?.(data.log);
      return;
    }
    this.#running = null;
    job.signal?.removeEventListener('abort', job.abort);
    if (data.ok) job.resolve(data.result);
    else job.reject(new NonetError(data.error));
    // After an unexpected failure (an engine abort) the worker's state is not trusted: the next
    // call gets a fresh one.
    if (!data.ok && data.error.startsWith('internal:')) {
      this.#worker?.terminate();
      this.#worker = null;
    }
    this.#pump();
  }

  #stopWorker(reason) {
    this.#worker?.terminate();
    this.#worker = null;
    const job = this.#running;
    this.#running = null;
    if (job) {
      job.signal?.removeEventListener('abort', job.abort);
      job.reject(new NonetError(reason));
    }
    this.#pump();
  }

  #pump() {
    if (this.#running || this.#queue.length === 0) return;
    const job = this.#queue.shift();
    this.#running = job;
    this.#worker ??= this.#startWorker();
    this.#worker.postMessage({ id: job.id, call: job.call, args: job.args });
  }

  /** Runs a worker call; options.signal (AbortSignal) cancels it, options.onProgress gets engine lines. */
  call(call, args, { signal, onProgress } = {}) {
    return new Promise((resolve, reject) => {
      if (signal?.aborted) {
        reject(new NonetError('cancelled: the call was cancelled'));
        return;
      }
      const job = { id: this.#nextId++, call, args, resolve, reject, signal, onProgress };
      job.abort = () => this.#cancelJob(job);
      signal?.addEventListener('abort', job.abort, { once: true });
      this.#queue.push(job);
      this.#pump();
    });
  }

  #cancelJob(job) {
    if (this.#running === job) {
      this.#stopWorker('cancelled: the call was cancelled');
      return;
    }
    const k = this.#queue.indexOf(job);
    if (k >= 0) {
      this.#queue.splice(k, 1);
      job.reject(new NonetError('cancelled: the call was cancelled'));
    }
  }

  /** Cancels the running call and every waiting one. */
  cancel() {
    for (const job of this.#queue.splice(0)) job.reject(new NonetError('cancelled: the call was cancelled'));
    if (this.#running) this.#stopWorker('cancelled: the call was cancelled');
  }

  /** Stops the worker for good (pending calls are cancelled; a later call starts a new one). */
  terminate() {
    this.cancel();
    this.#worker?.terminate();
    this.#worker = null;
  }

  async #boardCall(name, board, extra, options) {
    return this.call(name, [toBoard(board), ...extra], options);
  }

  /** The engine's version number (major * 10000 + minor * 100 + patch). */
  version(options) {
    return this.call('version', [], options);
  }

  /**
   * A new puzzle: { givens, solution, groups, diagonals, level, levelName, puzzle } (strings and
   * arrays). With a seed the puzzle is reproducible: puzzle `index` (default 0) of a seeded batch
   * is the one `nonet generate -n N -j 1 --seed S` prints at that place.
   */
  async generate({ level = 'moderate', jigsaw = false, diagonals = false, seed, index = 0 } = {}, options) {
    let levelIndex;
    let seedValue;
    try {
      levelIndex = levelNumber(level);
      seedValue = seed === undefined || seed === null || seed === '' ? undefined : BigInt(seed);
      if (seedValue !== undefined && (seedValue < 0n || seedValue >= 1n << 64n)) throw new Error('range');
      if (!Number.isInteger(index) || index < 0) throw new Error('index');
    } catch (error) {
      throw new NonetError(error.message.includes(':') ? error.message : `invalid_argument: bad seed ${JSON.stringify(String(seed))} or index (seed 0..2^64-1)`);
    }
    const r = await this.call('generate', [{ level: levelIndex, jigsaw: !!jigsaw, diagonals: !!diagonals, seed: seedValue, index }], options);
    return describe({ ...r, levelName: LEVEL_NAMES[r.level] });
  }

  /** { solutions: 0 | 1 | 2 (2 = two or more), solution: string | null, solutionArray }. */
  async solve(puzzle, options) {
    const r = await this.#boardCall('solve', puzzle, [], options);
    return { solutions: r.count, solution: r.solution ? gridText(r.solution) : null, solutionArray: r.solution };
  }

  /** { bucket, bucketIndex, levelIndex, label, givens, hasSolution, unique, solved, method }. */
  classify(puzzle, options) {
    return this.#boardCall('classify', puzzle, [], options);
  }

  /**
   * The next step from a board in play: { kind, name, text, level, placements, eliminations,
   * pattern, houses, digits, raw }. board: a puzzle plus `answers` (81 digits) and `marks`
   * (81 masks, bit d = pencil mark d), and optionally its `solution`.
   */
  hint(board, options) {
    return this.#boardCall('hint', board, [], options);
  }

  /** The board after a hint from hint(): { ...board, answers, marks } (rejects when it does not fit). */
  applyHint(board, hint, options) {
    return this.#boardCall('applyHint', board, [hint], options);
  }

  /** The digit assistant: every empty cell's candidates as 81 masks (bit d = digit d). */
  candidates(board, options) {
    return this.#boardCall('candidates', board, [], options);
  }

  /**
   * Reads a puzzle from a photo (an ImageData or { width, height, data: RGBA bytes }):
   * { givens, groups (null for boxes), diagonals, box: [left, top, right, bottom], puzzle }.
   */
  async readPhoto(imageData, options) {
    const { width, height, data } = imageData ?? {};
    const r = await this.call('readPhoto', [{ width, height, data }], options);
    return describe(r);
  }
}

// A board for the worker: parsed givens and groups, with answers, marks and solution as arrays.
function toBoard(board) {
  let puzzle;
  try {
    puzzle = parsePuzzle(board?.puzzle ?? board);
  } catch (error) {
    throw new NonetError(error.message);
  }
  const digits = (v) => (typeof v === 'string' ? Array.from(v, (c) => (c >= '1' && c <= '9' ? +c : 0)) : v ? Array.from(v, Number) : null);
  return {
    ...puzzle,
    solution: digits(board?.solution),
    answers: digits(board?.answers),
    marks: board?.marks ? Array.from(board.marks, Number) : null,
  };
}

// Strings beside the arrays: givens and solution as 81 characters, groups as 81 digits.
function describe(r) {
  const out = {
    ...r,
    givensArray: r.givens,
    givens: gridText(r.givens),
    groupsArray: r.groups ?? BOX_GROUPS,
    groups: groupsText(r.groups),
  };
  if (r.solution) {
    out.solutionArray = r.solution;
    out.solution = gridText(r.solution);
  }
  out.puzzle = out.givens + out.groups + (r.diagonals ? 'x' : '');
  return out;
}

let shared = null;
const engine = () => (shared ??= new NonetEngine());

/** The calls on one shared engine (one worker). */
export const generate = (options, callOptions) => engine().generate(options, callOptions);
export const solve = (puzzle, callOptions) => engine().solve(puzzle, callOptions);
export const classify = (puzzle, callOptions) => engine().classify(puzzle, callOptions);
export const hint = (board, callOptions) => engine().hint(board, callOptions);
export const applyHint = (board, h, callOptions) => engine().applyHint(board, h, callOptions);
export const candidates = (board, callOptions) => engine().candidates(board, callOptions);
export const readPhoto = (imageData, callOptions) => engine().readPhoto(imageData, callOptions);
export const version = (callOptions) => engine().version(callOptions);
/** Cancels everything running or waiting on the shared engine. */
export const cancel = () => shared?.cancel();
