// Import from a photo: the picture is decoded by the browser, read by the engine, and shown
// with the reading laid over it, so the player can correct a digit or a region before playing.
import { parsePuzzle, LEVEL_NAMES } from '../nonet.mjs';

const $ = (id) => document.getElementById(id);
// Phone pictures are scaled down to this many pixels on the long side before reading.
const MAX_SIDE = 1600;

export class PhotoImport {
  constructor(engine, { say, explain, play }) {
    this.engine = engine;
    this.say = say;
    this.explain = explain;
    this.play = play;
    this.inputs = [];
    this.classifyTimer = 0;
    this.#buildCells();
    $('photo').addEventListener('change', () => this.#open($('photo').files?.[0]).catch((e) => this.say(this.explain(e))));
    $('photo-play').addEventListener('click', () => this.#playReading().catch((e) => this.say(`${this.explain(e)} The current game is kept.`)));
    $('photo-close').addEventListener('click', () => {
      $('photo-review').hidden = true;
    });
    $('photo-groups').addEventListener('input', () => this.#classifySoon());
    $('photo-diagonals').addEventListener('change', () => this.#classifySoon());
  }

  #buildCells() {
    const holder = $('photo-cells');
    for (let i = 0; i < 81; i++) {
      const input = document.createElement('input');
      input.inputMode = 'numeric';
      input.maxLength = 1;
      input.autocomplete = 'off';
      input.setAttribute('aria-label', `photo row ${Math.floor(i / 9) + 1}, column ${(i % 9) + 1}`);
      input.addEventListener('input', () => {
        input.value = input.value.replace(/[^1-9]/g, '');
        this.#classifySoon();
      });
      holder.append(input);
      this.inputs.push(input);
    }
  }

  async #open(file) {
    if (!file) return;
    let bitmap;
    try {
      bitmap = await createImageBitmap(file);
    } catch {
      this.say(`${file.name} is not a picture this browser can open; the current game is kept.`);
      return;
    }
    const scale = Math.min(1, MAX_SIDE / Math.max(bitmap.width, bitmap.height));
    const width = Math.round(bitmap.width * scale);
    const height = Math.round(bitmap.height * scale);
    const canvas = $('photo-canvas');
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext('2d', { willReadFrequently: true });
    context.drawImage(bitmap, 0, 0, width, height);
    bitmap.close?.();
    this.say('Reading the photo…');
    let reading;
    try {
      reading = await this.engine.readPhoto(context.getImageData(0, 0, width, height));
    } catch (error) {
      this.say(`${this.explain(error)} The current game is kept.`);
      return;
    }
    if (!reading.givensArray.some(Boolean)) {
      this.say('No digits could be read in that photo; the current game is kept.');
      return;
    }
    this.#show(reading, width, height);
    this.say('Photo read: check the digits over the photo, then play.');
  }

  #show(reading, width, height) {
    const [left, top, right, bottom] = reading.box;
    const holder = $('photo-cells');
    holder.style.left = `${(100 * left) / width}%`;
    holder.style.top = `${(100 * top) / height}%`;
    holder.style.width = `${(100 * (right - left + 1)) / width}%`;
    holder.style.height = `${(100 * (bottom - top + 1)) / height}%`;
    reading.givensArray.forEach((d, i) => {
      this.inputs[i].value = d ? String(d) : '';
    });
    $('photo-groups').value = reading.groups;
    $('photo-diagonals').checked = reading.diagonals;
    $('photo-review').hidden = false;
    this.#classify();
  }

  #puzzle() {
    return parsePuzzle({
      givens: this.inputs.map((input) => input.value || '.').join(''),
      groups: $('photo-groups').value.trim() || null,
      diagonals: $('photo-diagonals').checked,
    });
  }

  #classifySoon() {
    clearTimeout(this.classifyTimer);
    this.classifyTimer = setTimeout(() => this.#classify(), 300);
  }

  async #classify() {
    const line = $('photo-class');
    let puzzle;
    try {
      puzzle = this.#puzzle();
    } catch (error) {
      line.textContent = error.message.replace(/^[a-z_]+:\s*/, '');
      return;
    }
    try {
      const r = await this.engine.classify(puzzle);
      const level = r.bucketIndex >= 0 ? LEVEL_NAMES[r.bucketIndex].replace(/_/g, ' ') : 'unsolvable';
      const solutions = r.unique ? 'one solution' : r.hasSolution ? 'more than one solution' : 'no solution';
      line.textContent = `${level}${r.label ? ` (${r.label})` : ''}, ${r.givens} givens, ${solutions}`;
    } catch (error) {
      line.textContent = this.explain(error);
    }
  }

  async #playReading() {
    let puzzle;
    try {
      puzzle = this.#puzzle();
    } catch (error) {
      this.say(`The reading is not a puzzle: ${error.message.replace(/^[a-z_]+:\s*/, '')}. The current game is kept.`);
      return;
    }
    if (await this.play(puzzle)) $('photo-review').hidden = true;
  }
}
