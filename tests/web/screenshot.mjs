// Saves a picture of the web console at a desktop size, with a few users and some traffic:
//   node screenshot.mjs OUT.png
// The program comes from ZARIVOK_BUILD, as for the tests.

import path from 'node:path';

import { line } from './gateway.mjs';
import { logIn, openPage, startConsole } from './harness.mjs';

const out = process.argv[2];
if (!out) {
  console.error('usage: node screenshot.mjs OUT.png');
  process.exit(2);
}

const run = await startConsole({
  users: [
    { name: 'alice', flags: '0001', product: 'CHAT' },
    { name: 'bob', flags: '0000', product: 'CHAT' },
    { name: 'carol', flags: '0010', product: 'CHAT' },
  ],
});
try {
  const { page } = await openPage(run.browser, run.url, { width: 1024, height: 700 });
  await logIn(page, run.token);
  run.gateway.send(
    line.talk('alice', '0001', 'Welcome to the Lobby.'),
    line.talk('bob', '0000', 'hi all, bob here'),
    line.join('dave', '0010', 'CHAT'),
    line.talk('dave', '0010', 'evening!'),
    line.whisper('bob', '0000', 'psst, a secret for bot1'),
  );
  await page.waitForSelector('#ChannelUsers li[data-name="dave"]', { timeout: 10000 });
  await page.waitForFunction(
    () => document.getElementById('txtChannel').textContent.includes('psst, a secret for bot1'),
    { timeout: 10000 },
  );
  await page.click('#ChannelUsers li[data-name="bob"]');
  await page.type('#txtSend', 'hello from the web console');
  await page.screenshot({ path: out });
  console.log(`saved ${path.resolve(out)}`);
} finally {
  await run.stop();
}
