// The play page: wires the board, the controls, the engine (in its worker), the address and
// the saved progress together.
import { NonetEngine, LEVEL_NAMES, parsePuzzle, gridText } from '../nonet.mjs';
import { BoardView } from './board-view.mjs';
import * as G from './game.mjs';
import { readAddress, writeAddress, loadSaved, save } from './storage.mjs';
import { PhotoImport } from './photo.mjs';

const $ = (id) => document.getElementById(id);
const engine = new NonetEngine();

const ui = {
  game: null,
  pencil: false,
  showMistakes: false,
  hint: null,
  solvedShown: false,
  generation: null, // AbortController of a running generation
};

// ---- messages ----

const REASONS = {
  cancelled: 'Cancelled.',
  no_solution: 'That puzzle has no solution.',
  no_puzzle: 'No puzzle of that level turned up; try again.',
  no_grid: 'No puzzle grid was found in that photo.',
  bad_picture: 'That picture could not be read.',
  invalid_groups: 'The regions are not nine regions of nine cells.',
  maps_not_found: 'The jigsaw maps could not be loaded.',
};

function say(text) {
  $('status').textContent = text;
}

function explain(error) {
  const message = String(error?.message ?? error);
  const detail = message.replace(/^[a-z_]+:\s*/, '');
  if (REASONS[error?.code]) return REASONS[error.code];
  return error?.code === 'invalid_argument' ? `That is not a puzzle: ${detail}.` : `Something went wrong: ${detail}.`;
}

// ---- drawing and saving ----

function levelLine(game) {
  const parts = [];
  if (game.level !== null && game.level !== undefined) parts.push(LEVEL_NAMES[game.level]?.replace(/_/g, ' ') ?? '');
  if (game.label) parts.push(game.label);
  parts.push(game.groups ? 'jigsaw' : 'boxes');
  if (game.diagonals) parts.push('diagonals');
  return parts.filter(Boolean).join(' · ');
}

function draw() {
  const game = ui.game;
  if (!game) return;
  const solved = G.isSolved(game);
  board.render(game, { showMistakes: ui.showMistakes, hint: ui.hint, solved });
  $('level-line').textContent = levelLine(game);
  $('clock').textContent = G.clockText(game.elapsed);
  $('undo').disabled = game.undo.length === 0;
  $('redo').disabled = game.redo.length === 0;
  $('pencil').setAttribute('aria-pressed', String(ui.pencil));
  $('assistant').setAttribute('aria-pressed', String(game.assistant));
  $('mistakes').setAttribute('aria-pressed', String(ui.showMistakes));
  $('solved-banner').hidden = !solved;
  $('solved-banner').textContent = `Solved in ${G.clockText(game.elapsed)}!`;
  if (solved && !ui.solvedShown) say(`Solved in ${G.clockText(game.elapsed)}.`);
  ui.solvedShown = solved;
  $('hint').disabled = solved;
}

function changed() {
  ui.hint = null;
  $('hint-panel').hidden = true;
  save(ui.game);
  draw();
}

/** Starts a game (new or restored): the address and the saved progress follow it. */
function startGame(game, message = '') {
  ui.game = game;
  ui.hint = null;
  ui.solvedShown = G.isSolved(game);
  $('hint-panel').hidden = true;
  writeAddress(game);
  save(game);
  draw();
  if (message) say(message);
}

// ---- play ----

async function refreshAssistant() {
  const game = ui.game;
  if (!game.assistant) return;
  const marks = await engine.candidates(G.boardOf(game));
  if (ui.game === game) {
    G.replaceBoard(game, game.answers, marks);
    changed();
  }
}

const intents = {
  onDigit(i, digit, shift) {
    const game = ui.game;
    if (!game) return;
    const moved = ui.pencil || shift ? G.toggleMark(game, i, digit) : G.placeDigit(game, i, digit);
    if (moved) changed();
    else if (game.givens[i]) say(`Row ${G.rowOf(i) + 1}, column ${G.colOf(i) + 1} is a given.`);
  },
  onClear(i) {
    if (ui.game && G.clearCell(ui.game, i)) changed();
  },
  onTogglePencil() {
    ui.pencil = !ui.pencil;
    say(ui.pencil ? 'Pencil mode: digits toggle marks.' : 'Pencil mode off.');
    draw();
  },
  onUndo() {
    if (ui.game && G.undo(ui.game)) changed();
  },
  onRedo() {
    if (ui.game && G.redo(ui.game)) changed();
  },
  onSelect() {
    if (ui.game) draw();
  },
};

const board = new BoardView($('board'), intents);

function wireToolbar() {
  $('undo').addEventListener('click', intents.onUndo);
  $('redo').addEventListener('click', intents.onRedo);
  $('pencil').addEventListener('click', intents.onTogglePencil);
  $('mistakes').addEventListener('click', () => {
    ui.showMistakes = !ui.showMistakes;
    const wrong = ui.game ? [...Array(81).keys()].filter((i) => G.isMistake(ui.game, i)).length : 0;
    say(ui.showMistakes ? `${wrong} mistake${wrong === 1 ? '' : 's'} shown.` : 'Mistakes hidden.');
    draw();
  });
  $('assistant').addEventListener('click', () => {
    const game = ui.game;
    if (!game) return;
    game.assistant = !game.assistant;
    if (game.assistant) refreshAssistant().catch((e) => say(explain(e)));
    else {
      G.replaceBoard(game, game.answers, new Array(81).fill(0));
      changed();
    }
  });
  $('restart').addEventListener('click', () => {
    if (!ui.game) return;
    G.restart(ui.game);
    changed();
    refreshAssistant().catch((e) => say(explain(e)));
    say('Restarted.');
  });
  $('print').addEventListener('click', () => window.print());
  $('hint').addEventListener('click', () => showHint().catch((e) => say(explain(e))));
  $('hint-apply').addEventListener('click', () => applyHint().catch((e) => say(explain(e))));
  $('hint-close').addEventListener('click', () => {
    ui.hint = null;
    $('hint-panel').hidden = true;
    draw();
  });
  for (const button of document.querySelectorAll('.digit-pad button')) {
    button.addEventListener('click', () => {
      const digit = Number(button.dataset.digit);
      if (digit) intents.onDigit(board.selected, digit, false);
      else intents.onClear(board.selected);
      board.cells[board.selected].focus();
    });
  }
}

const prettyName = (name) => name.split('_').map((w) => w.charAt(0).toUpperCase() + w.slice(1)).join(' ');

async function showHint() {
  const game = ui.game;
  const hint = await engine.hint(G.boardOf(game));
  if (ui.game !== game) return;
  if (hint.kind === 'none') {
    say('Every cell is filled.');
    return;
  }
  ui.hint = hint;
  $('hint-name').textContent = hint.kind === 'step' ? prettyName(hint.name) : hint.kind === 'wrong_answer' ? 'A wrong answer' : 'A missing pencil mark';
  $('hint-text').textContent = hint.text;
  $('hint-panel').hidden = false;
  draw();
  $('hint-apply').focus();
}

async function applyHint() {
  const game = ui.game;
  if (!ui.hint) return;
  const next = await engine.applyHint(G.boardOf(game), ui.hint);
  if (ui.game !== game) return;
  G.replaceBoard(game, next.answers, next.marks);
  changed();
  board.cells[board.selected].focus();
}

// ---- new puzzles ----

function fillLevels() {
  const select = $('level');
  LEVEL_NAMES.forEach((name, k) => select.append(new Option(`${k} ${name.replace(/_/g, ' ')}`, name)));
  select.value = 'moderate';
}

function generationRunning(running) {
  $('generate').disabled = running;
  $('cancel').hidden = !running;
  $('progress').hidden = !running;
  if (!running) $('progress-text').textContent = '';
}

async function generate({ level, jigsaw, diagonals, seed }) {
  ui.generation?.abort();
  const controller = new AbortController();
  ui.generation = controller;
  generationRunning(true);
  const started = performance.now();
  const ticker = setInterval(() => {
    $('progress-text').textContent = `Generating… ${((performance.now() - started) / 1000).toFixed(1)} s`;
  }, 200);
  try {
    const puzzle = await engine.generate({ level, jigsaw, diagonals, seed }, { signal: controller.signal });
    const game = G.newGame({ ...puzzle, givens: puzzle.givensArray, solution: puzzle.solutionArray, groups: puzzle.groups ? puzzle.groupsArray : null });
    startGame(game, `New ${LEVEL_NAMES[puzzle.level].replace(/_/g, ' ')} puzzle.`);
    classifyInBackground(game);
  } catch (error) {
    say(explain(error));
  } finally {
    clearInterval(ticker);
    if (ui.generation === controller) {
      ui.generation = null;
      generationRunning(false);
    }
  }
}

// The label of the hardest technique, shown beside the level when it arrives.
function classifyInBackground(game) {
  engine
    .classify(G.boardOf(game))
    .then((report) => {
      game.label = report.label;
      if (game.level === null || game.level === undefined) game.level = report.bucketIndex >= 0 ? report.bucketIndex : null;
      if (ui.game === game) {
        save(game);
        draw();
      }
    })
    .catch(() => {});
}

function wireNewGame() {
  $('new-game').addEventListener('submit', (event) => {
    event.preventDefault();
    const seed = $('seed').value.trim();
    if (seed && !/^\d{1,20}$/.test(seed)) {
      say('The seed is a whole number from 0 to 18446744073709551615.');
      return;
    }
    generate({ level: $('level').value, jigsaw: $('kind').value === 'jigsaw', diagonals: $('diagonals').checked, seed: seed || undefined });
  });
  $('cancel').addEventListener('click', () => ui.generation?.abort());
}

// ---- imported puzzles ----

/** Plays a puzzle from its givens when it has exactly one solution; the current game stays otherwise. */
async function playPuzzle(puzzle, source) {
  const solved = await engine.solve(puzzle);
  if (solved.solutions === 0) throw Object.assign(new Error('no_solution: none'), { code: 'no_solution' });
  if (solved.solutions > 1) {
    say(`That ${source} has more than one solution; the current game is kept.`);
    return null;
  }
  const game = G.newGame({ ...puzzle, solution: solved.solutionArray });
  game.level = null;
  startGame(game, `Playing the ${source}.`);
  classifyInBackground(game);
  return game;
}

function wireImport() {
  $('import').addEventListener('submit', async (event) => {
    event.preventDefault();
    let puzzle;
    try {
      puzzle = parsePuzzle($('import-text').value);
    } catch (error) {
      say(`That is not a puzzle: ${error.message.replace(/^[a-z_]+:\s*/, '')}. The current game is kept.`);
      return;
    }
    try {
      await playPuzzle(puzzle, 'typed puzzle');
    } catch (error) {
      say(`${explain(error)} The current game is kept.`);
    }
  });
  new PhotoImport(engine, { say, explain, play: (puzzle) => playPuzzle(puzzle, 'photo') });
}

// ---- the clock ----

function tick() {
  const game = ui.game;
  if (!game || document.hidden || G.isSolved(game)) return;
  game.elapsed += 1;
  $('clock').textContent = G.clockText(game.elapsed);
  if (game.elapsed % 5 === 0) save(game);
}

// ---- start ----

async function start() {
  fillLevels();
  wireToolbar();
  wireNewGame();
  wireImport();
  setInterval(tick, 1000);
  window.addEventListener('pagehide', () => ui.game && save(ui.game));

  const address = readAddress();
  const saved = loadSaved();
  if (address.error) say(`The puzzle in the address is not valid (${address.error}).`);
  if (address.puzzle) {
    const p = address.puzzle;
    const same = saved && gridText(saved.givens) === gridText(p.givens) && String(saved.groups ?? '') === String(p.groups ?? '') && saved.diagonals === p.diagonals;
    if (same) {
      startGame(saved, 'Progress restored.');
      return;
    }
    try {
      if (await playPuzzle(p, 'puzzle from the address')) return;
    } catch (error) {
      say(`The puzzle in the address: ${explain(error)}`);
    }
  }
  if (saved) {
    startGame(saved, address.error ? $('status').textContent : 'Progress restored.');
    return;
  }
  const message = $('status').textContent;
  await generate({ level: 'moderate', jigsaw: false, diagonals: false });
  if (message) say(message);
}

start().catch((error) => say(explain(error)));
