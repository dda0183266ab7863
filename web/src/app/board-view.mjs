// The board on the page: an ARIA grid of 81 cells with one roving focus. It draws a game
// (givens, answers, pencil marks, jigsaw borders, shaded diagonals, highlights) and turns
// keys, clicks and taps into intents for the controller.
import { colOf, digitAt, groupsOf, isMistake, onDiagonal, rowOf } from './game.mjs';

export class BoardView {
  /**
   * @param {HTMLElement} root  the element that becomes the grid
   * @param {{ onDigit(i, d), onClear(i), onTogglePencil(), onUndo(), onRedo(), onSelect(i) }} intents
   */
  constructor(root, intents) {
    this.root = root;
    this.intents = intents;
    this.selected = 40;
    this.cells = [];
    root.setAttribute('role', 'grid');
    root.setAttribute('aria-label', 'Puzzle board');
    root.replaceChildren();
    for (let r = 0; r < 9; r++) {
      const row = document.createElement('div');
      row.setAttribute('role', 'row');
      row.className = 'board-row';
      for (let c = 0; c < 9; c++) {
        const i = 9 * r + c;
        const cell = document.createElement('div');
        cell.setAttribute('role', 'gridcell');
        cell.className = 'cell';
        cell.tabIndex = i === this.selected ? 0 : -1;
        cell.dataset.cell = String(i);
        cell.addEventListener('pointerdown', () => this.select(i, true));
        row.append(cell);
        this.cells.push(cell);
      }
      root.append(row);
    }
    root.addEventListener('keydown', (event) => this.#onKey(event));
    // Focus arriving on a cell (Tab, a click, a test) selects it.
    root.addEventListener('focusin', (event) => {
      const i = Number(event.target?.dataset?.cell);
      if (Number.isInteger(i) && i !== this.selected) this.select(i);
    });
  }

  select(i, focus = false) {
    this.cells[this.selected].tabIndex = -1;
    this.cells[this.selected].classList.remove('selected');
    this.selected = i;
    const cell = this.cells[i];
    cell.tabIndex = 0;
    cell.classList.add('selected');
    if (focus) cell.focus();
    this.intents.onSelect?.(i);
  }

  #onKey(event) {
    const i = this.selected;
    const moves = { ArrowUp: -9, ArrowDown: 9, ArrowLeft: -1, ArrowRight: 1 };
    if (event.ctrlKey || event.metaKey) {
      const key = event.key.toLowerCase();
      if (key === 'z' && !event.shiftKey) this.intents.onUndo();
      else if (key === 'y' || (key === 'z' && event.shiftKey)) this.intents.onRedo();
      else return;
      event.preventDefault();
      return;
    }
    if (event.key in moves) {
      const r = rowOf(i);
      const c = colOf(i);
      const next = {
        ArrowUp: 9 * ((r + 8) % 9) + c,
        ArrowDown: 9 * ((r + 1) % 9) + c,
        ArrowLeft: 9 * r + ((c + 8) % 9),
        ArrowRight: 9 * r + ((c + 1) % 9),
      }[event.key];
      this.select(next, true);
    } else if (event.key === 'Home') {
      this.select(9 * rowOf(i), true);
    } else if (event.key === 'End') {
      this.select(9 * rowOf(i) + 8, true);
    } else if (/^Digit[1-9]$|^Numpad[1-9]$/.test(event.code) || /^[1-9]$/.test(event.key)) {
      const digit = /^[1-9]$/.test(event.key) ? Number(event.key) : Number(event.code.slice(-1));
      this.intents.onDigit(i, digit, event.shiftKey);
    } else if (['Backspace', 'Delete', '0'].includes(event.key)) {
      this.intents.onClear(i);
    } else if (event.key === 'p' || event.key === 'P') {
      this.intents.onTogglePencil();
    } else {
      return;
    }
    event.preventDefault();
  }

  /**
   * Draws the game. view: { showMistakes, hint: { pattern, placements, eliminations } | null,
   * solved }.
   */
  render(game, view = {}) {
    const groups = groupsOf(game);
    const hint = view.hint;
    const patternCells = new Set(hint?.pattern ?? []);
    const placeCells = new Map((hint?.placements ?? []).map((p) => [p.cell, p.digit]));
    const elimByCell = new Map();
    for (const e of hint?.eliminations ?? []) elimByCell.set(e.cell, [...(elimByCell.get(e.cell) ?? []), e.digit]);
    const selectedDigit = digitAt(game, this.selected);
    this.root.classList.toggle('jigsaw', !!game.groups);
    this.root.classList.toggle('solved', !!view.solved);
    for (let i = 0; i < 81; i++) {
      const cell = this.cells[i];
      const r = rowOf(i);
      const c = colOf(i);
      const given = game.givens[i];
      const answer = game.answers[i];
      const digit = given || answer;
      // Heavy borders where the group changes (boxes and jigsaw regions alike).
      cell.classList.toggle('edge-right', c < 8 && groups[i] !== groups[i + 1]);
      cell.classList.toggle('edge-bottom', r < 8 && groups[i] !== groups[i + 9]);
      cell.classList.toggle('diagonal', game.diagonals && onDiagonal(i));
      cell.classList.toggle('given', !!given);
      cell.classList.toggle('answer', !given && !!answer);
      cell.classList.toggle('mistake', !!view.showMistakes && isMistake(game, i));
      cell.classList.toggle('same-digit', !!selectedDigit && digit === selectedDigit && i !== this.selected);
      cell.classList.toggle('hint-pattern', patternCells.has(i));
      cell.classList.toggle('hint-place', placeCells.has(i));
      cell.classList.toggle('hint-elim', elimByCell.has(i));
      cell.classList.toggle('selected', i === this.selected);
      cell.setAttribute('aria-selected', i === this.selected ? 'true' : 'false');
      const marks = digit ? [] : [1, 2, 3, 4, 5, 6, 7, 8, 9].filter((d) => game.marks[i] & (1 << d));
      if (digit) {
        cell.textContent = String(digit);
      } else if (marks.length || elimByCell.has(i)) {
        const grid = document.createElement('span');
        grid.className = 'marks';
        grid.setAttribute('aria-hidden', 'true');
        const struck = new Set(elimByCell.get(i) ?? []);
        for (let d = 1; d <= 9; d++) {
          const m = document.createElement('span');
          m.textContent = marks.includes(d) || struck.has(d) ? String(d) : '';
          if (struck.has(d)) m.className = 'struck';
          grid.append(m);
        }
        cell.replaceChildren(grid);
      } else {
        cell.textContent = '';
      }
      if (placeCells.has(i) && !digit) cell.dataset.place = String(placeCells.get(i));
      else delete cell.dataset.place;
      let content = digit ? String(digit) : 'empty';
      if (!digit && marks.length) content = `pencil ${marks.join(' ')}`;
      const extra = [given ? 'given' : '', view.showMistakes && isMistake(game, i) ? 'wrong' : ''].filter(Boolean);
      cell.setAttribute('aria-label', [`row ${r + 1}, column ${c + 1}, ${content}`, ...extra].join(', '));
      cell.setAttribute('aria-readonly', given ? 'true' : 'false');
    }
  }
}
