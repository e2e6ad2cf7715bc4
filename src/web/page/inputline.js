// The input line's keys beyond editing, as in the window: Up and Down walk through the lines
// sent with Send or Whisper (the bot keeps them, for every front end), Escape brings back the
// line being typed, and Tab completes a user's name (the bot decides how) or moves the focus on.
import { get, post } from './api.js';

export class InputLine {
  constructor(input, next) {
    this.input = input;
    this.next = next; // where Tab goes when there is nothing to complete
    this.lines = [];
    this.index = -1; // into lines; -1 while not walking
    this.draft = '';
    this.loading = false;
    input.addEventListener('keydown', (event) => this.onKey(event));
  }

  // A line was sent: the next Up starts from the newest again.
  sent() {
    this.index = -1;
  }

  show(text) {
    this.input.value = text;
    this.input.setSelectionRange(text.length, text.length);
  }

  async older() {
    if (this.index < 0) {
      // Keys pressed while the lines are on their way wait for them, not fetch them again.
      if (this.loading) return;
      this.loading = true;
      const answer = await get('/api/history', 'History');
      this.loading = false;
      if (!answer.ok) return;
      this.lines = answer.data?.lines ?? [];
      this.draft = this.input.value;
    }
    if (this.index + 1 >= this.lines.length) return;
    this.show(this.lines[++this.index]);
  }

  newer() {
    if (this.index < 0) return;
    if (this.index === 0) {
      this.restore();
      return;
    }
    this.show(this.lines[--this.index]);
  }

  restore() {
    if (this.index < 0) return false;
    this.index = -1;
    this.show(this.draft);
    return true;
  }

  async complete() {
    const answer = await post(
      '/api/complete',
      { text: this.input.value, cursor: this.input.selectionStart ?? this.input.value.length },
      'Complete',
    );
    if (answer.ok && answer.data) {
      this.input.value = answer.data.text;
      this.input.setSelectionRange(answer.data.cursor, answer.data.cursor);
    } else if (answer.ok) {
      this.next.focus();
    }
  }

  onKey(event) {
    if (event.altKey || event.ctrlKey || event.metaKey || event.isComposing) return;
    switch (event.key) {
      case 'ArrowUp':
        event.preventDefault();
        this.older();
        break;
      case 'ArrowDown':
        event.preventDefault();
        this.newer();
        break;
      case 'Escape':
        // Only while walking: otherwise Escape closes what is on top, as before.
        if (this.restore()) {
          event.preventDefault();
          event.stopPropagation();
        }
        break;
      case 'Tab':
        if (event.shiftKey) return;
        // The answer comes back later; the focus moves then, if nothing was completed.
        event.preventDefault();
        this.complete();
        break;
      default:
    }
  }
}
