// The game in the address (?p= givens, &g= jigsaw groups, &x=1 diagonals) and its progress in
// localStorage, so a shared link opens the puzzle and a reload keeps the answers.
import { parsePuzzle, gridText } from '../nonet.mjs';
import { restoreGame, savedForm } from './game.mjs';

const KEY = 'nonet.game';

/** { puzzle } from the address, { error } when ?p= is malformed, {} when there is none. */
export function readAddress(search = window.location.search) {
  const params = new URLSearchParams(search);
  const p = params.get('p');
  if (p === null) return {};
  try {
    return { puzzle: parsePuzzle({ givens: p, groups: params.get('g') || null, diagonals: params.get('x') === '1' }) };
  } catch (error) {
    return { error: error.message.replace(/^[a-z_]+:\s*/, '') };
  }
}

/** Puts the game's puzzle in the address without adding a history entry. */
export function writeAddress(game) {
  const params = new URLSearchParams();
  params.set('p', gridText(game.givens));
  if (game.groups) params.set('g', game.groups.join(''));
  if (game.diagonals) params.set('x', '1');
  history.replaceState(null, '', `${window.location.pathname}?${params}`);
}

/** The saved game, or null when there is none or it does not hold together. */
export function loadSaved() {
  try {
    return restoreGame(JSON.parse(localStorage.getItem(KEY) ?? 'null'));
  } catch {
    return null;
  }
}

export function save(game) {
  try {
    localStorage.setItem(KEY, JSON.stringify(savedForm(game)));
  } catch {
    // Storage full or disabled: play goes on without it.
  }
}
