// A chat pane (txtChannel, and the whisper window's): lines of coloured runs on black.
// Each line is a <div> of <span>s; texts go in as text, never as markup.

export const kMaxLines = 10000;
const kLineEnd = '\r\n';

export class ChatPane {
  constructor(element, maxLines = kMaxLines) {
    this.element = element;
    this.maxLines = maxLines;
    this.open = null; // the line that has not ended yet
  }

  // Within a few pixels of the bottom counts as at the bottom: zoom rounds scroll offsets.
  atBottom() {
    const { scrollHeight, scrollTop, clientHeight } = this.element;
    return scrollHeight - scrollTop - clientHeight <= 4;
  }

  clear() {
    this.element.replaceChildren();
    this.open = null;
  }

  // runs: [[text, colour], ...]; a colour of null leaves the pane's own (white).
  append(runs) {
    const follow = this.atBottom();
    for (const [text, colour] of runs) this.addRun(String(text ?? ''), colour);
    this.trim();
    if (follow) this.scrollToEnd();
  }

  replace(runs) {
    this.clear();
    this.append(runs);
    this.scrollToEnd();
  }

  scrollToEnd() {
    this.element.scrollTop = this.element.scrollHeight;
  }

  line() {
    if (!this.open) {
      this.open = document.createElement('div');
      this.element.append(this.open);
    }
    return this.open;
  }

  addRun(text, colour) {
    const pieces = text.split(kLineEnd);
    pieces.forEach((piece, index) => {
      if (index > 0) {
        // A line end closes the line, which exists even when nothing was written on it.
        this.line();
        this.open = null;
      }
      if (piece === '') return;
      const span = document.createElement('span');
      if (colour) span.style.color = colour;
      span.textContent = piece;
      this.line().append(span);
    });
  }

  trim() {
    let excess = this.element.childElementCount - this.maxLines;
    while (excess-- > 0) {
      const oldest = this.element.firstElementChild;
      if (oldest === this.open) this.open = null;
      oldest.remove();
    }
  }
}
