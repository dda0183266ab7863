// One game in play: the puzzle, the player's answers and pencil marks, undo and redo, the
// clock. Plain data and functions of it; the engine is asked only for the assistant and hints.

const BOX_GROUPS = Array.from({ length: 81 }, (_, i) => 3 * Math.floor(i / 27) + Math.floor((i % 9) / 3));

export const rowOf = (i) => Math.floor(i / 9);
export const colOf = (i) => i % 9;

/** The houses of a puzzle (rows, columns, groups, and both diagonals when used), as cell lists. */
export function housesOf(groups, diagonals) {
  const houses = [];
  for (let k = 0; k < 9; k++) {
    houses.push(Array.from({ length: 9 }, (_, c) => 9 * k + c));
    houses.push(Array.from({ length: 9 }, (_, r) => 9 * r + k));
  }
  const g = groups ?? BOX_GROUPS;
  for (let k = 0; k < 9; k++) houses.push([...Array(81).keys()].filter((i) => g[i] === k));
  if (diagonals) {
    houses.push(Array.from({ length: 9 }, (_, k) => 10 * k));
    houses.push(Array.from({ length: 9 }, (_, k) => 8 * k + 8));
  }
  return houses;
}

/** A new game from a puzzle with its solution ({ givens, solution, groups, diagonals } as arrays). */
export function newGame({ givens, solution, groups = null, diagonals = false, level = null, label = '' }) {
  return {
    givens: [...givens],
    solution: [...solution],
    groups: groups ? [...groups] : null,
    diagonals: !!diagonals,
    level,
    label,
    answers: new Array(81).fill(0),
    marks: new Array(81).fill(0),
    undo: [],
    redo: [],
    elapsed: 0,
    assistant: false,
  };
}

export const groupsOf = (game) => game.groups ?? BOX_GROUPS;
export const digitAt = (game, i) => game.givens[i] || game.answers[i];
export const isSolved = (game) => game.solution.every((d, i) => digitAt(game, i) === d);
export const isMistake = (game, i) => !game.givens[i] && game.answers[i] !== 0 && game.answers[i] !== game.solution[i];
export const onDiagonal = (i) => rowOf(i) === colOf(i) || rowOf(i) + colOf(i) === 8;

// The cells that share a house with cell i (not i itself).
export function peersOf(game, i) {
  const peers = new Set();
  for (const house of housesOf(game.groups, game.diagonals)) if (house.includes(i)) house.forEach((j) => peers.add(j));
  peers.delete(i);
  return [...peers];
}

function snapshot(game) {
  return { answers: [...game.answers], marks: [...game.marks] };
}

// Records the position before a change, so undo can return to it.
function remember(game) {
  game.undo.push(snapshot(game));
  if (game.undo.length > 500) game.undo.shift();
  game.redo = [];
}

/** Places digit (0 clears) in cell i; with the assistant on, the digit leaves its peers' marks. */
export function placeDigit(game, i, digit) {
  if (game.givens[i] || game.answers[i] === digit) return false;
  remember(game);
  game.answers[i] = digit;
  if (digit) {
    game.marks[i] = 0;
    if (game.assistant) for (const j of peersOf(game, i)) game.marks[j] &= ~(1 << digit);
  }
  return true;
}

/** Flips pencil mark digit of an empty cell i. */
export function toggleMark(game, i, digit) {
  if (game.givens[i] || game.answers[i]) return false;
  remember(game);
  game.marks[i] ^= 1 << digit;
  return true;
}

/** Clears the answer and the marks of cell i. */
export function clearCell(game, i) {
  if (game.givens[i] || (!game.answers[i] && !game.marks[i])) return false;
  remember(game);
  game.answers[i] = 0;
  game.marks[i] = 0;
  return true;
}

/** Replaces answers and marks at once (a hint, the assistant's candidates) as one undoable step. */
export function replaceBoard(game, answers, marks) {
  remember(game);
  game.answers = answers.map((d, i) => (game.givens[i] ? 0 : d));
  game.marks = marks.map((m, i) => (game.givens[i] || game.answers[i] ? 0 : m));
}

export function undo(game) {
  const previous = game.undo.pop();
  if (!previous) return false;
  game.redo.push(snapshot(game));
  Object.assign(game, previous);
  return true;
}

export function redo(game) {
  const next = game.redo.pop();
  if (!next) return false;
  game.undo.push(snapshot(game));
  Object.assign(game, next);
  return true;
}

/** Back to the givens (undoable); the clock restarts. */
export function restart(game) {
  remember(game);
  game.answers.fill(0);
  game.marks.fill(0);
  game.elapsed = 0;
}

/** The board as the engine's calls take it. */
export const boardOf = (game) => ({
  givens: game.givens,
  groups: game.groups,
  diagonals: game.diagonals,
  solution: game.solution,
  answers: game.answers,
  marks: game.marks,
});

/** What localStorage keeps of a game (no undo history). */
export const savedForm = (game) => ({
  givens: game.givens,
  solution: game.solution,
  groups: game.groups,
  diagonals: game.diagonals,
  level: game.level,
  label: game.label,
  answers: game.answers,
  marks: game.marks,
  elapsed: game.elapsed,
  assistant: game.assistant,
});

const isDigits = (a, high) => Array.isArray(a) && a.length === 81 && a.every((v) => Number.isInteger(v) && v >= 0 && v <= high);

/** A game back from its saved form; null when the data does not hold together. */
export function restoreGame(saved) {
  if (!saved || !isDigits(saved.givens, 9) || !isDigits(saved.solution, 9) || !isDigits(saved.answers, 9)) return null;
  if (!isDigits(saved.marks, 1023) || (saved.groups !== null && !isDigits(saved.groups, 8))) return null;
  if (saved.solution.some((d) => d === 0) || saved.givens.some((d, i) => d && d !== saved.solution[i])) return null;
  const game = newGame(saved);
  game.answers = [...saved.answers];
  game.marks = [...saved.marks];
  game.elapsed = Number.isFinite(saved.elapsed) && saved.elapsed >= 0 ? saved.elapsed : 0;
  game.assistant = !!saved.assistant;
  return game;
}

/** mm:ss (h:mm:ss past an hour). */
export function clockText(seconds) {
  const s = Math.floor(seconds);
  const two = (n) => String(n).padStart(2, '0');
  const h = Math.floor(s / 3600);
  return h ? `${h}:${two(Math.floor(s / 60) % 60)}:${two(s % 60)}` : `${two(Math.floor(s / 60))}:${two(s % 60)}`;
}
