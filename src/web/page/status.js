// The status bar (StatusBar1, three panels) and the window caption, which is the page's title.

export class StatusBar {
  constructor(bar) {
    this.panels = [1, 2, 3].map((n) => bar.querySelector(`#StatusPanel${n}`));
  }

  setPanels(texts = []) {
    this.panels.forEach((panel, index) => {
      const text = texts[index] ?? '';
      panel.textContent = text;
      // The panels are narrow: a cut text can still be read whole on hover.
      panel.title = text;
    });
  }

  setCaption(text) {
    document.title = text || 'ZaRiVoK';
  }
}
