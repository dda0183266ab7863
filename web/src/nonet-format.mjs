// Puzzles as text and arrays: what nonet.mjs accepts and hands back. No engine needed.

/** The ten levels, easiest first (index = level number). */
export const LEVEL_NAMES = Object.freeze([
  'quickie', 'easy', 'moderately_easy', 'moderate', 'moderately_hard',
  'hard', 'vicious', 'fiendish', 'hell', 'beyond_hell',
]);

/** The fifteen jigsaw map files under maps/ (compressed with zlib). */
export const MAP_NAMES = Object.freeze([
  'mir01', 'mir02', 'mir03', 'mir04', 'mir05', 'mir06', 'mir07', 'mir08', 'mir09', 'mir10',
  'rot_2grp01', 'rot_3grp01', 'rot_3grp02', 'rot_3grp03', 'rot_3grp04',
]);

export class PuzzleFormatError extends Error {}

/** A level number from a number 0..9 or a name ("fiendish"). */
export function levelNumber(level) {
  if (typeof level === 'string' && LEVEL_NAMES.includes(level)) return LEVEL_NAMES.indexOf(level);
  const n = Number(level);
  if (Number.isInteger(n) && n >= 0 && n <= 9) return n;
  throw new PuzzleFormatError(`invalid_argument: unknown level ${JSON.stringify(level)} (0..9 or ${LEVEL_NAMES.join(', ')})`);
}

function cellsFromText(text, what) {
  if (text.length !== 81) throw new PuzzleFormatError(`invalid_argument: ${what} has ${text.length} cells, not 81`);
  return Array.from(text, (ch, i) => {
    if (ch === '.' || ch === '0' || ch === '-') return 0;
    if (ch >= '1' && ch <= '9') return ch.charCodeAt(0) - 48;
    throw new PuzzleFormatError(`invalid_argument: ${what} cell ${i + 1} is ${JSON.stringify(ch)}`);
  });
}

function checkedArray(values, what, low, high) {
  if (!Array.isArray(values) && !ArrayBuffer.isView(values))
    throw new PuzzleFormatError(`invalid_argument: ${what} is not an array or a string`);
  if (values.length !== 81) throw new PuzzleFormatError(`invalid_argument: ${what} has ${values.length} cells, not 81`);
  return Array.from(values, (v, i) => {
    const n = v === null || v === undefined ? 0 : Number(v);
    if (!Number.isInteger(n) || n < low || n > high)
      throw new PuzzleFormatError(`invalid_argument: ${what} cell ${i + 1} is ${JSON.stringify(v)}`);
    return n;
  });
}

function groupsFrom(groups) {
  if (groups === null || groups === undefined || groups === '') return null;
  const values = typeof groups === 'string' ? Array.from(groups, Number) : groups;
  const checked = checkedArray(values, 'groups', 0, 8);
  const sizes = new Array(9).fill(0);
  checked.forEach((g) => sizes[g]++);
  if (sizes.some((n) => n !== 9)) throw new PuzzleFormatError('invalid_groups: the groups are not nine groups of nine cells');
  return checked;
}

/**
 * A puzzle from any accepted form: an 81-character string ("." or "0" empty; spaces and "|"
 * ignored) optionally followed by 81 group digits and "x" (diagonals); an array of 81 numbers;
 * or an object { givens, groups?, diagonals? } whose parts take those forms.
 * Returns { givens: number[81], groups: number[81] | null, diagonals: boolean }.
 */
export function parsePuzzle(input) {
  if (typeof input === 'string') {
    let text = input.replace(/[\s|]/g, '');
    let diagonals = false;
    if (/x$/i.test(text)) {
      diagonals = true;
      text = text.slice(0, -1);
    }
    if (text.length === 162) return { givens: cellsFromText(text.slice(0, 81), 'puzzle'), groups: groupsFrom(text.slice(81)), diagonals };
    return { givens: cellsFromText(text, 'puzzle'), groups: null, diagonals };
  }
  if (input && typeof input === 'object' && !Array.isArray(input) && !ArrayBuffer.isView(input)) {
    const givens = typeof input.givens === 'string' ? cellsFromText(input.givens.replace(/[\s|]/g, ''), 'givens') : checkedArray(input.givens, 'givens', 0, 9);
    return { givens, groups: groupsFrom(input.groups), diagonals: !!input.diagonals };
  }
  return { givens: checkedArray(input, 'puzzle', 0, 9), groups: null, diagonals: false };
}

/** 81 characters, "." for an empty cell. */
export const gridText = (cells) => cells.map((d) => (d ? String(d) : '.')).join('');

/** 81 group digits, or "" for the 3x3 boxes. */
export const groupsText = (groups) => (groups ? groups.join('') : '');

/** The one-line form: the grid, then the groups of a jigsaw, then "x" for diagonals. */
export const puzzleLine = ({ givens, groups, diagonals }) => gridText(givens) + groupsText(groups) + (diagonals ? 'x' : '');
