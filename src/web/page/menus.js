// The menu bar: Bot, Files and Options, with the window's captions. An "&" in a caption marks its
// mnemonic: the letter after it is underlined and is the element's accesskey; "&&" is a plain "&".
// A browser follows an accesskey even to a hidden element, and the menus share letters, so an
// item's accesskey is set only while its menu is open.

// Fills element with the caption and returns the mnemonic letter ('' when there is none); armed
// makes the letter the element's accesskey at once.
export function renderCaption(element, caption, armed = true) {
  element.replaceChildren();
  let key = '';
  let plain = '';
  const flush = () => {
    if (plain) element.append(plain);
    plain = '';
  };
  for (let i = 0; i < caption.length; i++) {
    const c = caption[i];
    if (c !== '&' || i + 1 >= caption.length) {
      plain += c;
    } else if (caption[i + 1] === '&') {
      plain += '&';
      i++;
    } else {
      flush();
      const letter = caption[++i];
      const mark = document.createElement('u');
      mark.textContent = letter;
      element.append(mark);
      if (!key) key = letter.toLowerCase();
    }
  }
  flush();
  element.dataset.key = key;
  if (armed) setAccessKey(element, key);
  return key;
}

function setAccessKey(element, key) {
  if (key) element.accessKey = key;
  else element.removeAttribute('accesskey');
}

// actions: {connect, reconnect, database, config, protection, scripts, notifications, autoClear,
// whisper, logout}, each called when its item is chosen.
export class MenuBar {
  constructor(bar, actions) {
    this.bar = bar;
    this.menus = [];
    this.items = {};
    const layout = [
      ['mnuBot', '&Bot', [
        ['mnuConnect', '&Connect', 'connect'],
        ['mnuReconnect', '&Reconnect', 'reconnect'],
      ]],
      ['mnuFiles', '&Files', [
        ['mnuDatabase', '&Database', 'database'],
        ['mnuConfig', '&Config', 'config'],
        ['mnuProtection', '&Protection', 'protection'],
        ['mnuScripts', '&Scripts', 'scripts'],
      ]],
      ['mnuOptions', '&Options', [
        ['mnuNotifications', '&Notifications Off', 'notifications'],
        ['mnuAutoClear', '&AutoClear Off', 'autoClear'],
        ['mnuWhisper', '&Whisper Window', 'whisper'],
      ]],
    ];
    for (const [id, caption, entries] of layout) this.addMenu(id, caption, entries, actions);

    const logout = document.createElement('a');
    logout.id = 'cmdLogout';
    logout.href = '#';
    logout.textContent = 'Log out';
    logout.addEventListener('click', (event) => {
      event.preventDefault();
      actions.logout();
    });
    bar.append(logout);

    document.addEventListener('pointerdown', (event) => {
      if (!this.bar.contains(event.target)) this.close();
    });
  }

  addMenu(id, caption, entries, actions) {
    const wrap = document.createElement('div');
    wrap.className = 'menu';
    const title = document.createElement('button');
    title.type = 'button';
    title.id = id;
    title.className = 'menutitle';
    title.setAttribute('role', 'menuitem');
    title.setAttribute('aria-haspopup', 'menu');
    title.setAttribute('aria-expanded', 'false');
    renderCaption(title, caption);
    const dropdown = document.createElement('div');
    dropdown.className = 'dropdown';
    dropdown.setAttribute('role', 'menu');
    dropdown.setAttribute('aria-labelledby', id);
    dropdown.hidden = true;
    wrap.append(title, dropdown);
    this.bar.append(wrap);
    const menu = { title, dropdown };
    this.menus.push(menu);

    for (const [itemId, itemCaption, action] of entries) {
      const item = document.createElement('button');
      item.type = 'button';
      item.id = itemId;
      item.setAttribute('role', 'menuitem');
      renderCaption(item, itemCaption, false);
      item.addEventListener('click', () => {
        this.close();
        actions[action]();
      });
      dropdown.append(item);
      this.items[action] = item;
    }

    title.addEventListener('click', () => {
      if (dropdown.hidden) this.open(menu, true);
      else this.close();
    });
    // As in a desktop menu bar: once one menu is open, pointing at another opens that one.
    title.addEventListener('pointerenter', (event) => {
      if (event.pointerType === 'mouse' && this.current && this.current !== menu) this.open(menu, false);
    });
    title.addEventListener('keydown', (event) => {
      if (event.key === 'ArrowDown') {
        event.preventDefault();
        this.open(menu, true);
      }
    });
    dropdown.addEventListener('keydown', (event) => this.onMenuKey(event, menu));
  }

  open(menu, focusFirst) {
    if (this.current && this.current !== menu) this.hide(this.current);
    menu.dropdown.hidden = false;
    menu.title.setAttribute('aria-expanded', 'true');
    for (const item of menu.dropdown.children) setAccessKey(item, item.dataset.key);
    this.current = menu;
    if (focusFirst) menu.dropdown.firstElementChild.focus();
  }

  hide(menu) {
    menu.dropdown.hidden = true;
    menu.title.setAttribute('aria-expanded', 'false');
    for (const item of menu.dropdown.children) item.removeAttribute('accesskey');
  }

  // Returns whether a menu was open.
  close() {
    if (!this.current) return false;
    this.hide(this.current);
    this.current = null;
    return true;
  }

  onMenuKey(event, menu) {
    const items = [...menu.dropdown.children];
    const at = items.indexOf(document.activeElement);
    const index = this.menus.indexOf(menu);
    const step = (n) => (n + this.menus.length) % this.menus.length;
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      const next = event.key === 'ArrowDown' ? at + 1 : at - 1 + items.length;
      items[next % items.length].focus();
    } else if (event.key === 'ArrowRight' || event.key === 'ArrowLeft') {
      event.preventDefault();
      this.open(this.menus[step(index + (event.key === 'ArrowRight' ? 1 : -1))], true);
    } else if (event.key === 'Escape') {
      event.preventDefault();
      event.stopPropagation();
      this.close();
      menu.title.focus();
    } else if (event.key === 'Tab') {
      this.close();
    } else if (event.key.length === 1 && !event.ctrlKey && !event.metaKey) {
      // In an open menu the mnemonic letter alone chooses the item, as on the desktop.
      const item = items.find((candidate) => candidate.dataset.key === event.key.toLowerCase());
      if (item) {
        event.preventDefault();
        item.click();
      }
    }
  }

  // The captions that change: {connect, notifications, autoClear}.
  setCaptions(captions = {}) {
    for (const name of ['connect', 'notifications', 'autoClear']) {
      const item = this.items[name];
      if (typeof captions[name] === 'string') renderCaption(item, captions[name], !item.parentElement.hidden);
    }
  }
}
