// Types of nonet.mjs: the nonet engine for web games (WebAssembly in a Web Worker).

/** A puzzle: 81 characters ("." or "0" empty; spaces and "|" ignored), optionally followed by 81
 *  group digits 0..8 (a jigsaw) and "x" (both diagonals are units); or 81 numbers; or an object. */
export type PuzzleInput =
  | string
  | ArrayLike<number>
  | { givens: string | ArrayLike<number>; groups?: string | ArrayLike<number> | null; diagonals?: boolean };

/** A board in play: a puzzle with the player's answers and pencil marks (bit d = digit d). */
export type BoardInput = Exclude<PuzzleInput, string | ArrayLike<number>> & {
  solution?: string | ArrayLike<number>;
  answers?: string | ArrayLike<number>;
  marks?: ArrayLike<number>;
};

export type LevelName =
  | 'quickie' | 'easy' | 'moderately_easy' | 'moderate' | 'moderately_hard'
  | 'hard' | 'vicious' | 'fiendish' | 'hell' | 'beyond_hell';

export interface CallOptions {
  /** Aborting cancels the call (it rejects with code "cancelled"). */
  signal?: AbortSignal;
  /** The engine's diagnostic lines while the call runs. */
  onProgress?: (line: string) => void;
}

export interface GenerateOptions {
  /** 0..9 or a level name; default "moderate". */
  level?: number | LevelName;
  jigsaw?: boolean;
  diagonals?: boolean;
  /** 0 .. 2^64-1: the same seed gives the same puzzle. */
  seed?: number | bigint | string;
  /** With a seed: puzzle `index` of the seeded batch (as `nonet generate -n N -j 1 --seed S`). */
  index?: number;
}

export interface Puzzle {
  /** 81 characters, "." empty. */
  givens: string;
  givensArray: number[];
  /** 81 group digits, "" for the 3x3 boxes. */
  groups: string;
  groupsArray: number[];
  diagonals: boolean;
  /** The one-line form: givens, groups of a jigsaw, "x" for diagonals. */
  puzzle: string;
}

export interface GeneratedPuzzle extends Puzzle {
  solution: string;
  solutionArray: number[];
  level: number;
  levelName: LevelName;
}

export interface SolveResult {
  /** 0, 1, or 2 for two or more. */
  solutions: 0 | 1 | 2;
  solution: string | null;
  solutionArray: number[] | null;
}

export interface Classification {
  /** "quickie" .. "beyond_hell", or "unsolvable". */
  bucket: string;
  bucketIndex: number;
  /** -1 nothing by logic, 0..15 ladder rung, 16 settled by search. */
  levelIndex: number;
  /** The hardest technique needed. */
  label: string;
  givens: number;
  hasSolution: boolean;
  unique: boolean;
  solved: boolean;
  /** Per cell: the technique that placed it (-2 given or unsolved). */
  method: number[];
}

export interface Hint {
  kind: 'none' | 'step' | 'wrong_answer' | 'wrong_mark';
  /** Stable technique name, e.g. "x_wing". */
  name: string;
  /** One English line. */
  text: string;
  level: number;
  method: number;
  placements: { cell: number; digit: number }[];
  eliminations: { cell: number; digit: number }[];
  pattern: number[];
  houses: number[];
  baseHouses: number;
  digits: number[];
  /** The engine's record, handed back to applyHint. */
  raw: number[];
}

export interface Board {
  givens: number[];
  groups: number[] | null;
  diagonals: boolean;
  solution: number[] | null;
  answers: number[];
  marks: number[];
}

export interface PhotoReading extends Puzzle {
  /** The grid's outer lines: left, top, right, bottom (pixels). */
  box: [number, number, number, number];
}

/** Rejections of every call; code is the engine's word ("cancelled", "no_solution", "no_grid", ...). */
export class NonetError extends Error {
  readonly code: string;
}

export class NonetEngine {
  constructor(options?: { workerUrl?: string | URL; onLog?: (line: string) => void });
  call(name: string, args: unknown[], options?: CallOptions): Promise<unknown>;
  /** Cancels the running call and every waiting one. */
  cancel(): void;
  terminate(): void;
  version(options?: CallOptions): Promise<number>;
  generate(options?: GenerateOptions, callOptions?: CallOptions): Promise<GeneratedPuzzle>;
  solve(puzzle: PuzzleInput, options?: CallOptions): Promise<SolveResult>;
  classify(puzzle: PuzzleInput, options?: CallOptions): Promise<Classification>;
  hint(board: BoardInput, options?: CallOptions): Promise<Hint>;
  applyHint(board: BoardInput, hint: Hint, options?: CallOptions): Promise<Board>;
  candidates(board: BoardInput, options?: CallOptions): Promise<number[]>;
  readPhoto(image: ImageData | { width: number; height: number; data: Uint8Array | Uint8ClampedArray }, options?: CallOptions): Promise<PhotoReading>;
}

export const LEVEL_NAMES: readonly LevelName[];
export const MAP_NAMES: readonly string[];
export function levelNumber(level: number | string): number;
export function parsePuzzle(input: PuzzleInput): { givens: number[]; groups: number[] | null; diagonals: boolean };
export function gridText(cells: ArrayLike<number>): string;
export function groupsText(groups: ArrayLike<number> | null): string;
export function puzzleLine(puzzle: { givens: number[]; groups: number[] | null; diagonals: boolean }): string;

/** The same calls on one shared engine. */
export function generate(options?: GenerateOptions, callOptions?: CallOptions): Promise<GeneratedPuzzle>;
export function solve(puzzle: PuzzleInput, options?: CallOptions): Promise<SolveResult>;
export function classify(puzzle: PuzzleInput, options?: CallOptions): Promise<Classification>;
export function hint(board: BoardInput, options?: CallOptions): Promise<Hint>;
export function applyHint(board: BoardInput, hint: Hint, options?: CallOptions): Promise<Board>;
export function candidates(board: BoardInput, options?: CallOptions): Promise<number[]>;
export function readPhoto(image: ImageData, options?: CallOptions): Promise<PhotoReading>;
export function version(options?: CallOptions): Promise<number>;
export function cancel(): void;
