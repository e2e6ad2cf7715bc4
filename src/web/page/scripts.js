// The Scripts panel: the scripts of the bot's folder, each with its state and the last problem
// said for it, and a Reload button for each. It edits no script; it is filled from the bot when
// it opens and after each Reload, and again while it shows when the chat pane changes (a script
// that loads, unloads or fails says so there).

import { get, post } from './api.js';

const text = (value) => (value === undefined || value === null ? '' : String(value));

export class ScriptsPanel {
  constructor(table) {
    this.table = table;
    this.body = table.querySelector('tbody');
    this.empty = table.parentElement.querySelector('.empty');
  }

  async load() {
    const answer = await get('/api/scripts', 'Scripts');
    if (!answer.ok) return false;
    const scripts = Array.isArray(answer.data?.scripts) ? answer.data.scripts : [];
    this.body.replaceChildren(...scripts.map((script) => this.row(script)));
    this.empty.hidden = scripts.length > 0;
    return true;
  }

  row(script) {
    const row = document.createElement('tr');
    const name = text(script.name);
    row.dataset.name = name;
    for (const [field, value] of [
      ['name', name],
      ['state', script.loaded === true ? 'loaded' : 'failed'],
      ['problem', text(script.lastError)],
    ]) {
      const cell = document.createElement('td');
      cell.className = field;
      cell.textContent = value;
      row.append(cell);
    }
    const reload = document.createElement('button');
    reload.type = 'button';
    reload.name = 'cmdReload';
    reload.textContent = 'Reload';
    reload.setAttribute('aria-label', `Reload ${name}`);
    reload.addEventListener('click', async () => {
      reload.disabled = true;
      const answer = await post('/api/reloadScript', { name }, 'Reload');
      if (answer.ok) await this.load();
      reload.disabled = false;
    });
    const cell = document.createElement('td');
    cell.append(reload);
    row.append(cell);
    return row;
  }
}
