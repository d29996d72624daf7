// Headless Chromium driven over the DevTools protocol, and the site served to
// it on 127.0.0.1: what the browser tests and the browser benchmark share.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const ceiling = 60000; // bounds only a wait for what never comes: every wait ends at its event
// Stopped from outside, the test still ends its browser on the way out.
for (const signal of ['SIGTERM', 'SIGINT']) process.on(signal, () => process.exit(1));

// What emscripten's GL emulation says of itself on every start; not the game's.
const emscriptenNotices = ['WARNING: using emscripten GL', 'TODO: glShadeModel'];

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json' };

// Serves the site folder; `encode(body, request, headers)` may rework a body,
// or give null for a 404.
export function serve(site, encode = (body) => body) {
  const server = http.createServer((request, response) => {
    const name = path.join(site, path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    const file = name.endsWith('/') ? name + 'index.html' : name;
    fs.readFile(file, (error, body) => {
      const headers = { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' };
      body = error ? null : encode(body, request, headers);
      response.writeHead(body === null ? 404 : 200, headers);
      response.end(body ?? '');
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Starts Chromium on a fresh profile with one page at `url`, 640x480 unless `viewport` says otherwise.
export async function startChromium(url, viewport = { width: 640, height: 480 }) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-chromium-'));
  const browser = spawn('chromium', ['--headless=new', '--no-sandbox', '--use-angle=swiftshader',
    '--enable-unsafe-swiftshader', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--mute-audio',
    `--window-size=${viewport.width},${viewport.height}`, `--user-data-dir=${profile}`,
    '--remote-debugging-port=0', 'about:blank'], { stdio: 'ignore', detached: true });
  // Chromium and its helpers, in a process group of their own, end with this process however it ends.
  const endBrowser = () => { try { process.kill(-browser.pid, 'SIGKILL'); } catch {} };
  process.on('exit', endBrowser);
  // Chromium writes its DevTools port there once it listens; the file may be caught half written.
  const portFile = path.join(profile, 'DevToolsActivePort');
  let port = null;
  for (const deadline = Date.now() + ceiling; !port && Date.now() < deadline; await sleep(100))
    port = fs.existsSync(portFile) && fs.readFileSync(portFile, 'utf8').match(/^(\d+)\n/)?.[1];
  const targets = await (await fetch(`http://127.0.0.1:${port}/json/list`)).json();
  const socket = new WebSocket(targets.find((t) => t.type === 'page').webSocketDebuggerUrl);
  await new Promise((resolve) => socket.addEventListener('open', resolve));
  let next = 0;
  const waiting = new Map();
  socket.addEventListener('message', (message) => {
    const data = JSON.parse(message.data);
    const answer = waiting.get(data.id);
    waiting.delete(data.id);
    if (answer) answer(data);
    else if (data.method) chrome.onEvent(data);
  });
  const send = (method, params = {}) => new Promise((resolve, reject) => {
    const id = ++next;
    waiting.set(id, (data) => (data.error ? reject(new Error(`${method}: ${data.error.message}`)) : resolve(data.result)));
    socket.send(JSON.stringify({ id, method, params }));
  });
  // Asked to close, Chromium ends its helpers before it exits; its answer may never come.
  const close = async () => {
    const ended = browser.exitCode !== null ? null : new Promise((resolve) => browser.once('exit', resolve));
    send('Browser.close').catch(() => {});
    const stubborn = setTimeout(() => browser.kill(), 5000);
    await ended;
    clearTimeout(stubborn);
    endBrowser();
    process.off('exit', endBrowser);
    socket.close();
    fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
  };
  const chrome = { send, onEvent: () => {}, close, url, pid: browser.pid };
  for (const domain of ['Page', 'Runtime', 'Log']) await send(`${domain}.enable`);
  await send('Emulation.setDeviceMetricsOverride', { ...viewport, deviceScaleFactor: 1, mobile: false });
  return chrome;
}

export async function evaluate(chrome, expression, contextId = undefined) {
  const result = await chrome.send('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true, contextId });
  if (result.exceptionDetails) throw new Error(`${expression}: ${result.exceptionDetails.text}`);
  return result.result.value;
}

export async function waitFor(chrome, expression, what = expression, contextId = undefined) {
  for (const deadline = Date.now() + ceiling; Date.now() < deadline; await sleep(50)) {
    if (await evaluate(chrome, expression, contextId).catch(() => false)) return;
  }
  throw new Error(`timed out waiting for ${what}`);
}

// Opens the page afresh after the script `before`, waits for the game's first
// frame (window.velmoraFirstFrame: its time since the page was asked for) and
// returns the console's lines and errors, gathered from then on.
export async function openPage(chrome, before = '') {
  const page = { lines: [], errors: [] };
  chrome.onEvent = (event) => {
    if (event.method === 'Runtime.consoleAPICalled') {
      const text = event.params.args.map((a) => a.value).join(' ');
      if (event.params.type === 'error') page.errors.push(text);
      else if (!emscriptenNotices.some((notice) => text.startsWith(notice))) page.lines.push(text);
    } else if (event.method === 'Runtime.exceptionThrown') {
      page.errors.push(event.params.exceptionDetails.text);
    } else if (event.method === 'Log.entryAdded' && event.params.entry.level === 'error') {
      page.errors.push(event.params.entry.text);
    }
  };
  const added = await chrome.send('Page.addScriptToEvaluateOnNewDocument', { source: `
    window.Module = { postRun: [function () { requestAnimationFrame(function () {
      window.velmoraFirstFrame = performance.now(); }); }] };
    ${before}` });
  await chrome.send('Page.navigate', { url: chrome.url });
  await waitFor(chrome, 'window.velmoraFirstFrame !== undefined');
  await chrome.send('Page.removeScriptToEvaluateOnNewDocument', { identifier: added.identifier });
  return page;
}

export const nextFrames = 'new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(true))))';

export async function screenshot(chrome, file) {
  await evaluate(chrome, nextFrames);
  const shot = await chrome.send('Page.captureScreenshot', { format: 'png' });
  fs.writeFileSync(file, Buffer.from(shot.data, 'base64'));
}

// The first animation frame three ticks (50 ms of the page's clock) after it
// is asked for: the game has run a tick since, however slow its frames.
const ticksLater = `new Promise((resolve) => { const asked = performance.now();
  const frame = () => (performance.now() - asked >= 50 ? resolve(true) : requestAnimationFrame(frame));
  requestAnimationFrame(frame); })`;

// A key pressed and let go, each held until the game has run a tick, as it
// reads its keys once a tick. Modifiers: 1 for Alt.
export async function key(chrome, code, keyName, virtualKey, types = ['keyDown', 'keyUp'], modifiers = 0) {
  for (const type of types) {
    await chrome.send('Input.dispatchKeyEvent', { type, code, key: keyName, windowsVirtualKeyCode: virtualKey,
      modifiers, text: type === 'keyDown' && keyName === ' ' ? ' ' : undefined });
    await evaluate(chrome, ticksLater);
  }
}
