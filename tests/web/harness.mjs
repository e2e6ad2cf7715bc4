// What the browser tests share: a profile folder, the program with its web console, headless
// Chromium, and logging in through the form. Every wait has a deadline.

import { spawn } from 'node:child_process';
import { existsSync } from 'node:fs';
import fs from 'node:fs/promises';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

import { startGateway } from './gateway.mjs';

// The build folder scripts/test makes, unless ZARIVOK_BUILD names another.
export const buildDir =
  process.env.ZARIVOK_BUILD || fileURLToPath(new URL('../../build/ci', import.meta.url));
export const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
export const program = path.join(buildDir, 'app', 'zarivok');

const kStartMs = 15000;
const kStopMs = 5000;

// A port nothing listens on a moment ago: the program is told it, since it cannot say which port
// it would pick.
export function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.once('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

export function configText(gatewayPort, { idleMsg = 'idle' } = {}) {
  return [
    '[Login]',
    'User=bot1',
    'Pass=botpass',
    `Server=127.0.0.1:${gatewayPort}`,
    'Home=Lobby',
    '',
    '[Options]',
    'Trigger=!',
    'Reconnect=1000',
    `IdleMsg=${idleMsg}`,
    'Enable AutoClear=0',
    'AutoClear At Line=500',
    'Enable Notifications=1',
  ]
    .map((line) => `${line}\r\n`)
    .join('');
}

export async function makeProfile(gatewayPort) {
  const dir = await fs.mkdtemp(path.join(os.tmpdir(), 'zarivok-web-'));
  await fs.writeFile(path.join(dir, 'Config.ini'), configText(gatewayPort));
  await fs.writeFile(path.join(dir, 'Users.txt'), 'operator1\r\n');
  return dir;
}

// Starts the program on profile with its console on 127.0.0.1:webPort; resolves once it says
// where the console is.
export function startBot(profile, webPort) {
  if (!existsSync(program)) {
    return Promise.reject(new Error(`no program at ${program}: build it, or set ZARIVOK_BUILD`));
  }
  const child = spawn(program, ['--headless', '--no-log', '--profile', profile, '--web', `127.0.0.1:${webPort}`], {
    stdio: ['pipe', 'pipe', 'pipe'],
  });
  // Should the test run itself be cut short, the program does not outlive it.
  const orphan = () => child.kill('SIGKILL');
  process.once('exit', orphan);
  child.once('exit', () => process.off('exit', orphan));
  let stderr = '';
  let stdout = '';
  // Drained, or a full pipe would stall the program; the tail is kept for failure messages.
  child.stdout.on('data', (data) => {
    stdout = (stdout + data).slice(-20000);
  });
  const url = `http://127.0.0.1:${webPort}/`;
  return new Promise((resolve, reject) => {
    const fail = (why) => {
      clearTimeout(timer);
      child.kill('SIGKILL');
      reject(new Error(`${why}\n--- stderr:\n${stderr}\n--- stdout:\n${stdout}`));
    };
    const timer = setTimeout(() => fail(`the program did not say "Web console at ${url}" in ${kStartMs} ms`), kStartMs);
    child.on('exit', (code, signal) => fail(`the program ended early (code ${code}, signal ${signal})`));
    child.stderr.on('data', (data) => {
      stderr = (stderr + data).slice(-20000);
      if (stderr.includes(`Web console at ${url}`)) {
        clearTimeout(timer);
        child.removeAllListeners('exit');
        resolve({
          child,
          url,
          output: () => ({ stdout, stderr }),
          stop: () => stopProcess(child),
        });
      }
    });
  });
}

function stopProcess(child) {
  if (child.exitCode !== null || child.signalCode !== null) return Promise.resolve(child.exitCode);
  return new Promise((resolve) => {
    const timer = setTimeout(() => child.kill('SIGKILL'), kStopMs);
    child.once('exit', (code) => {
      clearTimeout(timer);
      resolve(code);
    });
    child.kill('SIGTERM');
  });
}

export async function readToken(profile) {
  const text = await fs.readFile(path.join(profile, 'web-token'), 'utf8');
  return text.split(/\r?\n/)[0].trim();
}

export function launchBrowser() {
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
}

// Gateway, profile, program and browser, with the bot already in its home channel.
// users: listed by the gateway whenever the bot joins a channel.
export async function startConsole({ users = [] } = {}) {
  const cleanup = [];
  const stop = async () => {
    for (const step of cleanup.reverse()) await step().catch(() => {});
  };
  try {
    const gateway = await startGateway({ users });
    cleanup.push(() => gateway.close());
    const profile = await makeProfile(gateway.port);
    cleanup.push(() => fs.rm(profile, { recursive: true, force: true }));
    const bot = await startBot(profile, await freePort());
    cleanup.push(() => bot.stop());
    const token = await readToken(profile);
    await gateway.waitForLine((line) => line === '/join Lobby');
    const browser = await launchBrowser();
    cleanup.push(() => browser.close());
    return { gateway, profile, bot, token, url: bot.url, browser, stop };
  } catch (error) {
    await stop();
    throw error;
  }
}

// A fresh browser session (own cookies) on the login page, with its script errors collected.
export async function openPage(browser, url, viewport = { width: 1024, height: 700 }) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  // Refusals of the page's own content security policy land here; answers such as a 401 do too,
  // and are the tests' to judge.
  page.on('console', (message) => {
    if (message.type() === 'error' && !message.text().startsWith('Failed to load resource')) {
      errors.push(message.text());
    }
  });
  await page.goto(url, { waitUntil: 'load' });
  return { page, errors, close: () => context.close() };
}

export async function submitToken(page, token) {
  await page.waitForSelector('#token', { timeout: 10000 });
  await page.$eval('#token', (input) => {
    input.value = '';
  });
  await page.type('#token', token);
  await page.click('#cmdLogin');
}

// Logs in through the form and waits for the console's first state from the stream.
export async function logIn(page, token) {
  await Promise.all([page.waitForNavigation({ timeout: 10000 }), submitToken(page, token)]);
  await page.waitForSelector('#txtChannel', { timeout: 10000 });
  await page.waitForFunction(() => document.getElementById('Users').textContent !== '', { timeout: 10000 });
}
