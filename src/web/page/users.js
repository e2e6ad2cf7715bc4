// The user list (ChannelUsers), the count box above it (Users) and the list's popup menu.
// A click picks a user, a double click hands the name to the input line, a right click (or a
// long press on a touch screen) opens the popup for the picked user.

import { post } from './api.js';

const kLongPressMs = 500;
const kTouchSlop = 10; // pixels a finger may drift before the press counts as a scroll

const kPopupItems = [
  ['ban', 'Ban'],
  ['kick', 'Kick'],
  ['designate', 'Designate'],
  null,
  ['squelch', 'Squelch'],
  ['unsquelch', 'Unsquelch'],
  null,
  ['add', 'Add To Database'],
  ['remove', 'Remove From Database'],
];

function iconNumber(icon) {
  const n = Math.trunc(Number(icon));
  return n >= 1 && n <= 18 ? n : 1;
}

export class UserList {
  // onDoubleClick(name): the window appends the picked name to its input line.
  constructor({ list, header, count, popup, onDoubleClick }) {
    this.list = list;
    this.header = header;
    this.count = count;
    this.popup = popup;
    this.onDoubleClick = onDoubleClick;
    this.picked = ''; // as the bot remembers it: it outlives the row
    this.popupName = '';
    this.press = null;
    this.buildPopup();
    this.listen();
  }

  // ---- the rows, as the stream tells them ----

  row({ name, icon, colour }) {
    const item = document.createElement('li');
    item.setAttribute('role', 'option');
    const image = document.createElement('img');
    image.width = 28;
    image.height = 14;
    image.alt = '';
    image.draggable = false;
    image.src = `/icons/${iconNumber(icon)}.png`;
    const label = document.createElement('span');
    label.textContent = String(name ?? '');
    item.append(image, label);
    item.dataset.name = label.textContent;
    if (colour) item.style.color = colour;
    this.mark(item);
    return item;
  }

  mark(item) {
    const on = this.picked !== '' && item.dataset.name === this.picked;
    item.classList.toggle('picked', on);
    item.setAttribute('aria-selected', on ? 'true' : 'false');
  }

  reset(roster = []) {
    this.list.replaceChildren(...roster.map((user) => this.row(user)));
  }

  insert(index, user) {
    this.list.insertBefore(this.row(user), this.list.children[index] ?? null);
  }

  remove(index) {
    this.list.children[index]?.remove();
  }

  set(index, user) {
    const old = this.list.children[index];
    if (old) old.replaceWith(this.row(user));
    else this.list.append(this.row(user));
  }

  setHeader(text) {
    this.header.textContent = text ?? '';
    this.header.hidden = !text;
  }

  setCount(text) {
    this.count.textContent = text ?? '';
  }

  // ---- picking ----

  pick(item) {
    const name = item.dataset.name;
    if (name !== this.picked) {
      this.picked = name;
      for (const row of this.list.children) this.mark(row);
    }
    post('/api/pick', { name }, 'Pick');
  }

  itemAt(target) {
    const item = target instanceof Element ? target.closest('li') : null;
    return item && this.list.contains(item) ? item : null;
  }

  listen() {
    const list = this.list;
    list.addEventListener('click', (event) => {
      if (this.press?.fired) {
        this.press = null;
        return;
      }
      const item = this.itemAt(event.target);
      if (item) this.pick(item);
    });
    list.addEventListener('dblclick', (event) => {
      if (this.itemAt(event.target)) this.onDoubleClick(this.picked);
    });
    list.addEventListener('contextmenu', (event) => {
      event.preventDefault();
      const item = this.itemAt(event.target);
      if (item && item.dataset.name !== this.picked) this.pick(item);
      // As in the window: a right click beside the rows opens the popup only for a pick.
      if (item || this.pickedRow()) this.openPopup(event.clientX, event.clientY);
    });

    // Touch screens: no right button, so a long press opens the popup.
    const cancel = () => {
      if (this.press && !this.press.fired) {
        clearTimeout(this.press.timer);
        this.press = null;
      }
    };
    list.addEventListener('pointerdown', (event) => {
      cancel();
      this.press = null;
      if (event.pointerType === 'mouse') return;
      const item = this.itemAt(event.target);
      if (!item) return;
      const press = { x: event.clientX, y: event.clientY, fired: false };
      press.timer = setTimeout(() => {
        press.fired = true;
        this.pick(item);
        this.openPopup(press.x, press.y);
      }, kLongPressMs);
      this.press = press;
    });
    list.addEventListener('pointermove', (event) => {
      if (!this.press || this.press.fired) return;
      if (Math.hypot(event.clientX - this.press.x, event.clientY - this.press.y) > kTouchSlop) cancel();
    });
    list.addEventListener('pointerup', cancel);
    list.addEventListener('pointercancel', cancel);

    list.addEventListener('keydown', (event) => {
      const rows = [...list.children];
      const at = rows.findIndex((row) => row.dataset.name === this.picked);
      if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
        event.preventDefault();
        const next = rows[Math.max(0, Math.min(rows.length - 1, at + (event.key === 'ArrowDown' ? 1 : -1)))];
        if (next) {
          this.pick(next);
          next.scrollIntoView({ block: 'nearest' });
        }
      } else if (event.key === 'ContextMenu' || (event.key === 'F10' && event.shiftKey)) {
        event.preventDefault();
        const row = this.pickedRow();
        if (row) {
          const box = row.getBoundingClientRect();
          this.openPopup(box.left + 8, box.bottom);
        }
      }
    });
  }

  pickedRow() {
    return [...this.list.children].find((row) => row.dataset.name === this.picked) ?? null;
  }

  // ---- the popup ----

  buildPopup() {
    for (const entry of kPopupItems) {
      if (!entry) {
        const line = document.createElement('div');
        line.setAttribute('role', 'separator');
        this.popup.append(line);
        continue;
      }
      const [item, caption] = entry;
      const button = document.createElement('button');
      button.type = 'button';
      button.setAttribute('role', 'menuitem');
      button.dataset.item = item;
      button.textContent = caption;
      this.popup.append(button);
    }
    this.popup.addEventListener('click', (event) => {
      const button = event.target.closest('[data-item]');
      if (!button) return;
      const name = this.popupName;
      this.closePopup();
      post('/api/moderate', { item: button.dataset.item, name }, button.textContent);
    });
    this.popup.addEventListener('keydown', (event) => {
      const items = [...this.popup.querySelectorAll('[role="menuitem"]')];
      const at = items.indexOf(document.activeElement);
      if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
        event.preventDefault();
        const step = event.key === 'ArrowDown' ? 1 : items.length - 1;
        items[(at + step) % items.length].focus();
      } else if (event.key === 'Tab') {
        this.closePopup();
      }
    });
    document.addEventListener('pointerdown', (event) => {
      if (!this.popup.hidden && !this.popup.contains(event.target)) this.closePopup();
    });
    window.addEventListener('resize', () => this.closePopup());
  }

  openPopup(x, y) {
    this.popupName = this.picked;
    const popup = this.popup;
    popup.hidden = false;
    // Kept inside the window, as a native menu flips at the screen's edge.
    const { width, height } = popup.getBoundingClientRect();
    popup.style.left = `${Math.max(0, Math.min(x, innerWidth - width - 2))}px`;
    popup.style.top = `${Math.max(0, y + height > innerHeight ? y - height : y)}px`;
    popup.querySelector('[role="menuitem"]').focus({ preventScroll: true });
  }

  closePopup() {
    if (this.popup.hidden) return false;
    this.popup.hidden = true;
    return true;
  }
}
