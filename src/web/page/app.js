// The console: wires the panels to the bot's stream and actions.

import { onReport, post } from './api.js';
import { ChatPane } from './chat.js';
import { Dialogs } from './dialogs.js';
import { InputLine } from './inputline.js';
import { MenuBar } from './menus.js';
import { StatusBar } from './status.js';
import { UserList } from './users.js';

const byId = (id) => document.getElementById(id);
const txtSend = byId('txtSend');
const lblError = byId('lblError');

onReport((text) => {
  lblError.textContent = text;
});

const pane = new ChatPane(byId('txtChannel'));
const status = new StatusBar(byId('StatusBar1'));
const users = new UserList({
  list: byId('ChannelUsers'),
  header: byId('ChannelUsersHeader'),
  count: byId('Users'),
  popup: byId('mnuList'),
  onDoubleClick: (name) => {
    txtSend.value += name;
    txtSend.focus();
  },
});
const dialogs = new Dialogs({ onClose: () => txtSend.focus() });
const menus = new MenuBar(byId('menuBar'), {
  connect: () => post('/api/connect', {}, 'Connect'),
  reconnect: () => post('/api/reconnect', {}, 'Reconnect'),
  database: () => dialogs.open('database'),
  config: () => dialogs.open('config'),
  protection: () => dialogs.open('protection'),
  scripts: () => dialogs.open('scripts'),
  notifications: () => post('/api/option', { name: 'notifications' }, 'Notifications'),
  autoClear: () => post('/api/option', { name: 'autoClear' }, 'AutoClear'),
  whisper: () => dialogs.open('whisper'),
  logout: async () => {
    await post('/api/logout', {}, 'Log out');
    location.reload();
  },
});

// ---- the input line ----

const inputLine = new InputLine(txtSend, byId('cmdSend'));

async function send() {
  const text = txtSend.value;
  txtSend.value = '';
  inputLine.sent();
  const answer = await post('/api/send', { text }, 'Send');
  // What did not reach the bot is given back, unless something new was typed meanwhile.
  if (!answer.ok && txtSend.value === '') txtSend.value = text;
}

byId('cmdSend').addEventListener('click', send);
txtSend.addEventListener('keydown', (event) => {
  if (event.key === 'Enter' && !event.isComposing) {
    event.preventDefault();
    send();
  }
});
// The text stays in the box, unlike Send's.
byId('cmdWhisper').addEventListener('click', () => {
  inputLine.sent();
  post('/api/whisper', { name: users.picked, text: txtSend.value }, 'Whisper');
});

// Escape closes what is on top: the popup, a menu, then a dialog.
document.addEventListener('keydown', (event) => {
  if (event.key !== 'Escape') return;
  if (users.closePopup() || menus.close() || dialogs.close()) event.preventDefault();
});

// ---- the stream ----

function applyState(state) {
  pane.replace((state.lines ?? []).flat());
  users.reset(state.roster ?? []);
  users.setHeader(state.header);
  users.setCount(state.users);
  status.setCaption(state.caption);
  status.setPanels(state.status);
  menus.setCaptions(state.menu);
}

function applyBatch(operations) {
  let chat = false;
  for (const op of operations) {
    switch (op.t) {
      case 'runs':
        pane.append(op.runs ?? []);
        chat = true;
        break;
      case 'clear':
        pane.clear();
        pane.append([[op.text ?? '', null]]);
        break;
      case 'insert':
        users.insert(op.row, op);
        break;
      case 'remove':
        users.remove(op.row);
        break;
      case 'set':
        users.set(op.row, op);
        break;
      case 'reset':
        users.reset([]);
        break;
      case 'header':
        users.setHeader(op.text);
        break;
      case 'texts':
        status.setCaption(op.caption);
        status.setPanels(op.status);
        users.setCount(op.users);
        break;
      case 'menu':
        menus.setCaptions(op);
        break;
      default:
        break;
    }
  }
  if (chat) dialogs.chatChanged();
}

const kPingEveryMs = 2000;

// The bot dropped this stream (the page fell behind) or stopped: once it answers again, a fresh
// page starts a fresh stream, or shows the login when the session is gone.
function waitForBot() {
  lblError.textContent = 'Lost the connection to the bot; waiting for it to answer...';
  const ping = async () => {
    try {
      await fetch('/api/ping', { cache: 'no-store', signal: AbortSignal.timeout(kPingEveryMs) });
      location.reload();
    } catch {
      setTimeout(ping, kPingEveryMs);
    }
  };
  setTimeout(ping, kPingEveryMs);
}

const source = new EventSource('/events');
source.addEventListener('state', (event) => applyState(JSON.parse(event.data)));
source.addEventListener('batch', (event) => applyBatch(JSON.parse(event.data)));
source.addEventListener('error', () => {
  source.close();
  waitForBot();
});

txtSend.focus();
