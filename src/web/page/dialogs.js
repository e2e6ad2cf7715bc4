// The Database, Config, Protection, Scripts and Whisper Window dialogs: panels over the console,
// one at a time, each filled from the bot when it opens. Escape, Cancel or the close box closes them; a
// Save that the bot could not carry out leaves the dialog open with what was typed (the bot says
// why in the chat pane).

import { get, post } from './api.js';
import { ChatPane } from './chat.js';
import { ScriptsPanel } from './scripts.js';

const byId = (id) => document.getElementById(id);
const button = (element, name) => element.querySelector(`button[name="${name}"]`);
const text = (value) => (value === undefined || value === null ? '' : String(value));

const kActions = ['kick', 'ban'];

// An action that is neither choice stays a choice of its own, so a Save that leaves it alone
// writes it back as it was; an empty one shows the action the bot takes for it, a kick.
function showAction(select, value) {
  const shown = text(value) || kActions[0];
  select.replaceChildren(...[...new Set([...kActions, shown])].map((action) => new Option(action, action)));
  select.value = shown;
}

const configFields = {
  user: 'txtUsername',
  pass: 'txtPassword',
  server: 'txtServer',
  home: 'txtHome',
  idleMsg: 'txtIdleMsg',
  reconnect: 'txtRecon',
  trigger: 'txtTrigger',
  autoClearAtLine: 'txtAutoClear',
};
const configSwitches = { enableAutoClear: 'chkAutoClear', enableNotifications: 'chkNotifications' };

const protectionFields = {
  greeting: 'txtGreetText',
  lockdownReason: 'txtLockdownReason',
  phrasesReason: 'txtPhrasesReason',
  floodLines: 'txtFloodLines',
  floodSeconds: 'txtFloodSeconds',
  floodReason: 'txtFloodReason',
  banList: 'txtBanList',
  phrases: 'txtPhrases',
};
const protectionSwitches = {
  greetingEnabled: 'chkGreet',
  lockdownEnabled: 'chkLockdown',
  phrasesEnabled: 'chkPhrases',
  floodEnabled: 'chkFlood',
};
const protectionChoices = { phrasesAction: 'cboPhrasesAction', floodAction: 'cboFloodAction' };

function fill(data, fields, switches, choices = {}) {
  for (const [key, id] of Object.entries(fields)) byId(id).value = text(data[key]);
  for (const [key, id] of Object.entries(switches)) byId(id).checked = data[key] === true;
  for (const [key, id] of Object.entries(choices)) showAction(byId(id), data[key]);
}

function gather(fields, switches, choices = {}) {
  const data = {};
  for (const [key, id] of Object.entries(fields)) data[key] = byId(id).value;
  for (const [key, id] of Object.entries(switches)) data[key] = byId(id).checked;
  for (const [key, id] of Object.entries(choices)) data[key] = byId(id).value;
  return data;
}

export class Dialogs {
  // onClose(): focus goes back to the console.
  constructor({ onClose }) {
    this.onClose = onClose;
    this.current = null;
    this.whisperPane = new ChatPane(byId('rtbWhisper'));
    this.whisperLoading = null;
    this.whisperStale = false;
    this.scripts = new ScriptsPanel(byId('lstScripts'));

    this.dialogs = {
      database: {
        element: byId('frmDatabase'),
        focus: 'rtbDatabase',
        load: async () => {
          const answer = await get('/api/database', 'Database');
          if (answer.ok) byId('rtbDatabase').value = text(answer.data?.text);
          return answer.ok;
        },
        save: () => post('/api/database', { text: byId('rtbDatabase').value }, 'Database Save'),
      },
      config: {
        element: byId('frmConfig'),
        focus: 'txtUsername',
        load: async () => {
          const answer = await get('/api/config', 'Config');
          if (answer.ok) fill(answer.data ?? {}, configFields, configSwitches);
          return answer.ok;
        },
        save: () => post('/api/config', gather(configFields, configSwitches), 'Config Save'),
      },
      protection: {
        element: byId('frmProtection'),
        focus: 'chkGreet',
        load: async () => {
          const answer = await get('/api/protection', 'Protection');
          if (answer.ok) fill(answer.data ?? {}, protectionFields, protectionSwitches, protectionChoices);
          return answer.ok;
        },
        save: () =>
          post('/api/protection', gather(protectionFields, protectionSwitches, protectionChoices), 'Protection Save'),
      },
      scripts: {
        element: byId('frmScripts'),
        focus: null,
        load: () => this.scripts.load(),
      },
      whisper: {
        element: byId('frmWhisper'),
        focus: null,
        load: () => this.loadWhispers(true),
      },
    };

    for (const [name, dialog] of Object.entries(this.dialogs)) {
      const { element } = dialog;
      // The form is there for the password box's sake; nothing is ever sent by submitting it.
      element.querySelector('form')?.addEventListener('submit', (event) => event.preventDefault());
      button(element, 'cmdClose').addEventListener('click', () => this.close());
      button(element, 'cmdCancel')?.addEventListener('click', () => this.close());
      const save = button(element, 'cmdSave');
      save?.addEventListener('click', async () => {
        save.disabled = true;
        const answer = await dialog.save();
        save.disabled = false;
        // 200 {"ok": false} means the bot could not save; a bare 204 is a plain "done".
        const saved = answer.ok && (answer.status === 204 || answer.data?.ok === true);
        if (saved && this.current === name) this.close();
      });
    }
    button(this.dialogs.whisper.element, 'cmdClear').addEventListener('click', async () => {
      const answer = await post('/api/whispers/clear', {}, 'Clear');
      if (answer.ok) this.whisperPane.clear();
    });
  }

  async open(name) {
    const dialog = this.dialogs[name];
    if (this.current === name) {
      dialog.element.querySelector('button, input, textarea, [tabindex]')?.focus();
      return;
    }
    this.close(false);
    this.current = name;
    const loaded = await dialog.load();
    // Another dialog may have been chosen while this one loaded.
    if (!loaded || this.current !== name) {
      if (this.current === name) this.current = null;
      return;
    }
    dialog.element.show();
    // Only a shown pane has a height to scroll.
    if (name === 'whisper') this.whisperPane.scrollToEnd();
    (dialog.focus ? byId(dialog.focus) : dialog.element.querySelector('.body button'))?.focus();
  }

  // Returns whether a dialog was open.
  close(refocus = true) {
    if (!this.current) return false;
    const dialog = this.dialogs[this.current];
    this.current = null;
    if (dialog.element.open) dialog.element.close();
    if (refocus) this.onClose();
    return true;
  }

  // The whisper pane and the scripts' list have no stream of their own; new chat lines may be
  // whispers or a script's news, so they are read again then, while they show.
  chatChanged() {
    if (this.current === 'whisper' && this.dialogs.whisper.element.open) this.loadWhispers(false);
    if (this.current === 'scripts' && this.dialogs.scripts.element.open) this.scripts.load();
  }

  async loadWhispers(first) {
    if (this.whisperLoading) {
      this.whisperStale = true;
      return this.whisperLoading;
    }
    this.whisperLoading = (async () => {
      const answer = await get('/api/whispers', 'Whisper Window');
      if (answer.ok) {
        const pane = this.whisperPane;
        const follow = first || pane.atBottom();
        const kept = pane.element.scrollTop;
        pane.clear();
        pane.append(Array.isArray(answer.data?.runs) ? answer.data.runs : []);
        if (follow) pane.scrollToEnd();
        else pane.element.scrollTop = kept;
      }
      return answer.ok;
    })();
    const ok = await this.whisperLoading;
    this.whisperLoading = null;
    if (this.whisperStale) {
      this.whisperStale = false;
    this.scripts = new ScriptsPanel(byId('lstScripts'));
      this.loadWhispers(false);
    }
    return ok;
  }
}
