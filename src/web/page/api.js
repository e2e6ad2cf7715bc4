// The bot's actions: JSON in, and 204 or 200 with JSON out. A failure is told to whoever listens
// (the line under the input), never thrown, so a click handler needs no try of its own.

const reasons = {
  400: 'the bot did not understand the request',
  401: 'the session has ended: reload the page to log in again',
  403: 'the bot refused a request from this address',
  415: 'the request was not JSON',
};

let report = () => {};

// fn(text) is called with the failure's text, or with '' when an action went through.
export function onReport(fn) {
  report = fn;
}

async function request(method, path, body, label) {
  const init = { method, credentials: 'same-origin', cache: 'no-store' };
  if (body !== undefined) {
    init.headers = { 'Content-Type': 'application/json' };
    init.body = JSON.stringify(body);
  }
  let response;
  try {
    response = await fetch(path, init);
  } catch {
    report(`${label}: no answer from the bot.`);
    return { ok: false, status: 0, data: null };
  }
  if (!response.ok) {
    let said = '';
    try {
      said = String((await response.json()).error ?? '');
    } catch {
      said = '';
    }
    const reason = reasons[response.status] ?? said;
    report(`${label} failed (${response.status})${reason ? `: ${reason}` : ''}.`);
    return { ok: false, status: response.status, data: null };
  }
  report('');
  let data = null;
  if (response.status !== 204) {
    try {
      data = await response.json();
    } catch {
      data = null;
    }
  }
  return { ok: true, status: response.status, data };
}

export function post(path, body = {}, label = path) {
  return request('POST', path, body, label);
}

export function get(path, label = path) {
  return request('GET', path, undefined, label);
}
