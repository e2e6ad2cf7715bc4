// A chat gateway for the browser tests: the real server's plain-text chat protocol on 127.0.0.1,
// with its login dialogue byte for byte (banner, prompts without line ends, the echoed name, the
// welcome). It records every line a client sends and sends lines when told to.

import { EventEmitter } from 'node:events';
import net from 'node:net';

const kBotClass = 0x03;
const kChatMode = 0x04;
// The server cuts every line it sends at 255 bytes, line end included.
const kLongestWireLine = 255;

const kPrompt = 'Username: ';
const kBanner = (peer) =>
  `BOT or Telnet Connection from [${peer}]\r\n\r\n` +
  'Enter your account name and password.\r\nSorry, there is no guest account.\r\n\r\n' +
  kPrompt;
const kLoginFailed = `Login failed.\r\n\r\n${kPrompt}`;

export const chatFlags = '0010';

export const line = {
  name: (name) => `2010 NAME ${name}`,
  channel: (name) => `1007 CHANNEL "${name}"`,
  user: (name, flags = chatFlags, product = 'CHAT') => `1001 USER ${name} ${flags} [${product}]`,
  join: (name, flags = chatFlags, product = 'CHAT') => `1002 JOIN ${name} ${flags} [${product}]`,
  leave: (name, flags = chatFlags) => `1003 LEAVE ${name} ${flags}`,
  whisper: (from, flags, text) => `1004 WHISPER ${from} ${flags} "${text}"`,
  talk: (name, flags, text) => `1005 TALK ${name} ${flags} "${text}"`,
  info: (text) => `1018 INFO "${text}"`,
  error: (text) => `1019 ERROR "${text}"`,
};

function welcome(account) {
  return [
    line.name(account),
    line.channel('Chat'),
    line.user(account),
    line.error(`Hello ${account}, welcome to PvPGN Realm!`),
    line.info('Running version PvPGN 1.99.7.2.1-PRO on vm.'),
    line.info('This server is hosted by a PvPGN user'),
    line.info(''),
    line.info('There are 4 user accounts on this server.'),
    line.info('There are currently 1 users in 0 games of Chat,'),
    line.info('and 1 users playing 0 games and chatting in 46 channels.'),
    line.info('Having trouble with a command? Type /help to'),
    line.info('learn more about it.'),
    line.info('Type /language to switch translation.'),
    line.info(''),
    line.talk(account, chatFlags, 'You have no mail.'),
    line.info('This is the public chat channel. Feel free to chat...'),
  ];
}

export function wireLine(text) {
  return Buffer.concat([Buffer.from(text, 'utf8'), Buffer.from('\r\n')]).subarray(0, kLongestWireLine);
}

// users: [{name, flags, product}] listed after the client's own line whenever it joins a channel.
export async function startGateway({ account = 'bot1', password = 'botpass', users = [] } = {}) {
  const events = new EventEmitter();
  const received = []; // every line any client sent, in order, without its line end
  let client = null;

  const server = net.createServer((socket) => {
    client = socket;
    let stage = 'class';
    let pending = Buffer.alloc(0);
    let typedAccount = '';
    const write = (bytes) => {
      if (!socket.destroyed) socket.write(bytes);
    };
    const writeLines = (lines) => write(Buffer.concat(lines.map(wireLine)));

    const onLine = (text) => {
      received.push(text);
      events.emit('line', text);
      if (stage === 'account') {
        typedAccount = text;
        write(`${text}\r\nPassword: `);
        stage = 'password';
      } else if (stage === 'password') {
        // The password is not echoed, only the line end.
        write('\r\n');
        if (typedAccount.toLowerCase() === account.toLowerCase() && text === password) {
          stage = 'chat';
          writeLines(welcome(account));
        } else {
          write(kLoginFailed);
          stage = 'account';
        }
      } else if (stage === 'chat') {
        // The real server does not echo a client's talk; a join is answered with the channel.
        const join = /^\/(?:join|j|channel) (.+)$/i.exec(text);
        if (join) {
          writeLines([
            line.channel(join[1]),
            line.user(account),
            ...users.map((user) => line.user(user.name, user.flags, user.product)),
          ]);
        }
      }
    };

    socket.on('data', (data) => {
      pending = Buffer.concat([pending, data]);
      while (pending.length > 0) {
        if (stage === 'class' || stage === 'mode') {
          const expected = stage === 'class' ? kBotClass : kChatMode;
          // Other first bytes would pick a protocol this gateway does not speak.
          if (pending[0] !== expected) {
            socket.destroy();
            return;
          }
          pending = pending.subarray(1);
          stage = stage === 'class' ? 'mode' : 'account';
          continue;
        }
        const end = pending.indexOf(0x0a);
        if (end < 0) return;
        let bytes = pending.subarray(0, end);
        pending = pending.subarray(end + 1);
        if (bytes.at(-1) === 0x0d) bytes = bytes.subarray(0, -1);
        onLine(bytes.toString('utf8'));
      }
    });
    socket.on('error', () => {});
    write(kBanner(socket.remoteAddress.replace(/^::ffff:/, '')));
  });

  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', resolve);
  });

  return {
    port: server.address().port,
    received,
    // Lines as the server sends them, to the client that connected last.
    send(...lines) {
      if (!client || client.destroyed) throw new Error('gateway: no client connected');
      client.write(Buffer.concat(lines.map(wireLine)));
    },
    // Resolves with the first line (already received or still to come) that passes test.
    waitForLine(test, timeoutMs = 10000) {
      const found = received.find(test);
      if (found !== undefined) return Promise.resolve(found);
      return new Promise((resolve, reject) => {
        const onLine = (text) => {
          if (!test(text)) return;
          clearTimeout(timer);
          events.off('line', onLine);
          resolve(text);
        };
        const timer = setTimeout(() => {
          events.off('line', onLine);
          reject(new Error(`gateway: no such line within ${timeoutMs} ms; received: ${JSON.stringify(received)}`));
        }, timeoutMs);
        events.on('line', onLine);
      });
    },
    close() {
      client?.destroy();
      return new Promise((resolve) => server.close(() => resolve()));
    },
  };
}
