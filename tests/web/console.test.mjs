// The web console in headless Chromium, against the real program and a test chat gateway.

import assert from 'node:assert/strict';
import fs from 'node:fs/promises';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { line } from './gateway.mjs';
import { logIn, openPage, startConsole, submitToken } from './harness.mjs';

const kWait = { timeout: 10000 };
const yellow = 'rgb(255, 255, 0)';
const white = 'rgb(255, 255, 255)';
const listGrey = 'rgb(192, 192, 192)';

let run;

before(async () => {
  run = await startConsole({ users: [{ name: 'bob', flags: '0000', product: 'CHAT' }] });
});

after(async () => {
  await run?.stop();
});

async function loggedIn() {
  const opened = await openPage(run.browser, run.url);
  await logIn(opened.page, run.token);
  return opened;
}

test('the login form refuses a wrong token, then a good one opens the console with the talk in its colours', async () => {
  const { page, errors, close } = await openPage(run.browser, run.url);
  try {
    assert.equal(await page.$('#txtChannel'), null, 'without a session the login page shows');
    await submitToken(page, 'not-the-token');
    await page.waitForFunction(() => document.getElementById('message').textContent === 'Wrong token.', kWait);

    await logIn(page, run.token);
    run.gateway.send(line.talk('bob', '0000', 'hello <b>web</b> console'));
    const runs = await page.waitForFunction(
      () => {
        const line = [...document.querySelectorAll('#txtChannel > div')].find((div) =>
          div.textContent.endsWith('<bob> hello <b>web</b> console'),
        );
        if (!line) return null;
        return [...line.querySelectorAll('span')].map((span) => [span.textContent, getComputedStyle(span).color]);
      },
      kWait,
    );
    const spans = await runs.jsonValue();
    const name = spans.find(([text]) => text.includes('<bob>'));
    const said = spans.find(([text]) => text.includes('hello <b>web</b> console'));
    assert.equal(name[1], yellow, 'the speaker is yellow');
    assert.equal(said[1], white, 'what was said is white');
    assert.equal(await page.$('#txtChannel b'), null, 'texts are never markup');
    assert.equal(
      await page.$eval('#txtChannel', (pane) => getComputedStyle(pane).backgroundColor),
      'rgb(0, 0, 0)',
    );
    assert.deepEqual(errors, []);
  } finally {
    await close();
  }
});

test('users the gateway lists show in ChannelUsers with their icons, colours and count', async () => {
  const { page, errors, close } = await loggedIn();
  try {
    run.gateway.send(line.join('carol', '0010', 'CHAT'));
    await page.waitForSelector('#ChannelUsers li[data-name="carol"]', kWait);
    const rows = await page.$$eval('#ChannelUsers li', (items) =>
      items.map((item) => {
        const image = item.querySelector('img');
        return {
          name: item.textContent,
          colour: getComputedStyle(item).color,
          icon: image && { width: image.naturalWidth, height: image.naturalHeight, src: image.getAttribute('src') },
        };
      }),
    );
    const bob = rows.find((row) => row.name === 'bob');
    const carol = rows.find((row) => row.name === 'carol');
    assert.equal(carol.colour, yellow, 'a user without UDP is yellow');
    assert.equal(bob.colour, listGrey, "other users have the list's own colour");
    for (const row of [bob, carol]) {
      assert.match(row.icon.src, /^\/icons\/([1-9]|1[0-8])\.png$/);
      // A loaded picture, not a broken one.
      await page.waitForFunction(
        (name) => document.querySelector(`#ChannelUsers li[data-name="${name}"] img`).naturalWidth === 28,
        kWait,
        row.name,
      );
    }
    await page.waitForFunction(() => document.getElementById('Users').textContent === 'Lobby (3)', kWait);
    assert.match(await page.title(), /in channel Lobby/);
    assert.match(await page.$eval('#StatusPanel2', (panel) => panel.textContent), /in channel Lobby/);
    assert.deepEqual(errors, []);
  } finally {
    await close();
  }
});

test('Enter in txtSend says the line in the channel and empties the box', async () => {
  const { page, errors, close } = await loggedIn();
  try {
    await page.type('#txtSend', 'hello from the browser');
    await page.keyboard.press('Enter');
    await run.gateway.waitForLine((text) => text === 'hello from the browser');
    assert.equal(await page.$eval('#txtSend', (input) => input.value), '');
    assert.deepEqual(errors, []);
  } finally {
    await close();
  }
});

test('a click picks a user for Whisper, which keeps its text', async () => {
  const { page, errors, close } = await loggedIn();
  try {
    await page.waitForSelector('#ChannelUsers li[data-name="bob"]', kWait);
    await page.click('#ChannelUsers li[data-name="bob"]');
    await page.type('#txtSend', 'psst');
    await page.click('#cmdWhisper');
    await run.gateway.waitForLine((text) => text === '/w bob psst');
    assert.equal(await page.$eval('#txtSend', (input) => input.value), 'psst');
    assert.deepEqual(errors, []);
  } finally {
    await close();
  }
});

test("the list's popup offers the window's items, and Kick kicks the user", async () => {
  const { page, errors, close } = await loggedIn();
  try {
    await page.waitForSelector('#ChannelUsers li[data-name="bob"]', kWait);
    await page.click('#ChannelUsers li[data-name="bob"]', { button: 'right' });
    await page.waitForSelector('#mnuList:not([hidden])', kWait);
    const items = await page.$$eval('#mnuList > *', (entries) =>
      entries.map((entry) => (entry.getAttribute('role') === 'separator' ? '---' : entry.textContent)),
    );
    assert.deepEqual(items, [
      'Ban', 'Kick', 'Designate', '---', 'Squelch', 'Unsquelch', '---', 'Add To Database', 'Remove From Database',
    ]);
    await page.click('#mnuList ::-p-text(Kick)');
    await run.gateway.waitForLine((text) => text === '/kick bob');
    assert.equal(await page.$eval('#mnuList', (popup) => popup.hidden), true, 'the popup closes');
    assert.deepEqual(errors, []);
  } finally {
    await close();
  }
});

test('Files > Config shows Config.ini, and Save writes the change to it', async () => {
  const { page, errors, close } = await loggedIn();
  try {
    await page.click('#mnuFiles');
    await page.click('#mnuConfig');
    await page.waitForSelector('#frmConfig[open]', kWait);
    assert.equal(await page.$eval('#txtIdleMsg', (input) => input.value), 'idle');
    assert.equal(await page.$eval('#txtServer', (input) => input.value), `127.0.0.1:${run.gateway.port}`);
    await page.$eval('#txtIdleMsg', (input) => input.select());
    await page.type('#txtIdleMsg', 'back in five');
    await page.click('#frmConfig button[name="cmdSave"]');
    // The dialog closes only once the bot said the file was written.
    await page.waitForSelector('#frmConfig:not([open])', kWait);
    const config = await fs.readFile(path.join(run.profile, 'Config.ini'), 'utf8');
    assert.match(config, /^IdleMsg=back in five\r$/m);
    assert.match(config, new RegExp(`^Server=127\\.0\\.0\\.1:${run.gateway.port}\\r$`, 'm'));
    assert.deepEqual(errors, []);
  } finally {
    await close();
  }
});

test('Files > Scripts lists the scripts with their state and problem, and Reload loads one again', async () => {
  const { page, errors, close } = await loggedIn();
  const folder = path.join(run.profile, 'scripts');
  try {
    await fs.mkdir(folder, { recursive: true });
    await fs.writeFile(path.join(folder, 'broken.js'), 'null.x;\n');
    await fs.writeFile(path.join(folder, 'hello.js'), "bot.print('hello from a script');\n");
    // The folder is looked at every second.
    await page.waitForFunction(
      () => document.getElementById('txtChannel').textContent.includes('Script hello.js loaded.'),
      kWait,
    );
    await page.click('#mnuFiles');
    await page.click('#mnuScripts');
    await page.waitForSelector('#frmScripts[open]', kWait);
    const rows = () =>
      page.$$eval('#lstScripts tbody tr', (items) =>
        items.map((row) => [...row.querySelectorAll('td.name, td.state, td.problem')].map((cell) => cell.textContent)),
      );
    assert.deepEqual(await rows(), [
      ['broken.js', 'failed', "Script broken.js: TypeError: Cannot read property 'x' of null (line 1)"],
      ['hello.js', 'loaded', ''],
    ]);

    await fs.writeFile(path.join(folder, 'broken.js'), "bot.print('mended');\n");
    await page.click('#lstScripts tr[data-name="broken.js"] button[name="cmdReload"]');
    await page.waitForFunction(
      () => document.querySelector('#lstScripts tr[data-name="broken.js"] td.state')?.textContent === 'loaded',
      kWait,
    );
    assert.match(await page.$eval('#txtChannel', (pane) => pane.textContent), /\[broken\.js\] mended/);
    await page.click('#frmScripts button[name="cmdClose"]');
    await page.waitForSelector('#frmScripts:not([open])', kWait);
    assert.deepEqual(errors, []);
  } finally {
    await fs.rm(folder, { recursive: true, force: true });
    await close();
  }
});

test('Up brings back the lines sent, Escape the line being typed, and Tab completes a name', async () => {
  const { page, errors, close } = await loggedIn();
  try {
    await page.waitForSelector('#ChannelUsers li[data-name="bob"]', kWait);
    const value = () => page.$eval('#txtSend', (input) => input.value);
    await page.type('#txtSend', 'a line to recall');
    await page.keyboard.press('Enter');
    await run.gateway.waitForLine((text) => text === 'a line to recall');
    await page.type('#txtSend', 'half typed');
    await page.keyboard.press('ArrowUp');
    await page.waitForFunction(
      () => document.getElementById('txtSend').value === 'a line to recall',
      kWait,
    );
    await page.keyboard.press('Escape');
    assert.equal(await value(), 'half typed');

    await page.$eval('#txtSend', (input) => {
      input.value = 'BO';
    });
    await page.focus('#txtSend');
    await page.keyboard.press('End');
    await page.keyboard.press('Tab');
    // The list's order: the bot itself first, then bob; Tab again goes on to the next.
    await page.waitForFunction(() => document.getElementById('txtSend').value === 'bot1: ', kWait);
    await page.keyboard.press('Tab');
    await page.waitForFunction(() => document.getElementById('txtSend').value === 'bob: ', kWait);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'txtSend');
    // Nothing before the cursor: the focus moves on to Send.
    await page.$eval('#txtSend', (input) => {
      input.value = '';
    });
    await page.keyboard.press('Tab');
    await page.waitForFunction(() => document.activeElement.id === 'cmdSend', kWait);
    assert.deepEqual(errors, []);
  } finally {
    await close();
  }
});
