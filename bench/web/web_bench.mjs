// What the browser program costs in headless Chromium on this machine: the
// bytes a first visit transfers (gzipped, as a static host serves them), the
// time from asking for the page to the first frame on the screen, and the
// processor time of a frame on the title and while playing, at the size the
// desktop program's figures use, with the desktop's figure beside it when
// its table rows are given. Prints Markdown table rows.
//
//   node --experimental-websocket web_bench.mjs SITE [DESKTOP_ROWS]
import fs from 'node:fs';
import zlib from 'node:zlib';

import { evaluate, key, openPage, serve, sleep, startChromium } from '../../tests/web/chromium.mjs';

const [site, desktopRows] = process.argv.slice(2);
const loads = 5;
const seconds = 5;
// As the desktop program's window on this machine's 1280x1024 test display.
const viewport = { width: 1120, height: 840 };
// Clock ticks a second of /proc's times on Linux.
const ticksPerSecond = 100;

const row = (...cells) => console.log(`| ${cells.join(' | ')} |`);

// Processor seconds of Chromium and every process it started, by kind.
function chromiumSeconds(rootPid) {
  const processes = [];
  for (const name of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const command = fs.readFileSync(`/proc/${name}/cmdline`, 'utf8');
      const type = (command.match(/--type=([a-z-]+)/) || [null, 'browser'])[1];
      processes.push({ pid: Number(name), ppid: Number(fields[1]), type,
        seconds: (Number(fields[11]) + Number(fields[12])) / ticksPerSecond });
    } catch {
      // The process ended while it was read.
    }
  }
  const ours = new Set([rootPid]);
  for (let grew = true; grew;) {
    grew = false;
    for (const p of processes) if (!ours.has(p.pid) && ours.has(p.ppid)) { ours.add(p.pid); grew = true; }
  }
  const byType = {};
  for (const p of processes) if (ours.has(p.pid)) byType[p.type] = (byType[p.type] || 0) + p.seconds;
  return byType;
}

async function measurePhase(chrome) {
  await evaluate(chrome, 'window.velmoraFrames = 0, (function count() { ++velmoraFrames; requestAnimationFrame(count); })(), true');
  const before = chromiumSeconds(chrome.pid);
  const start = Date.now();
  await sleep(seconds * 1000);
  const after = chromiumSeconds(chrome.pid);
  const elapsed = (Date.now() - start) / 1000;
  const frames = await evaluate(chrome, 'velmoraFrames');
  // The game draws in an animation frame only when a tick is due, so at
  // most 60 times a second however often the browser asks.
  const drawn = Math.min(frames, 60 * elapsed);
  const spent = {};
  for (const type of Object.keys(after)) spent[type] = (after[type] - (before[type] || 0)) * 1000 / drawn;
  return { fps: frames / elapsed, drawn: drawn / elapsed, spent, total: Object.values(spent).reduce((a, b) => a + b, 0) };
}

// "CPU share, title (real program, ...) | 37.0 % of a core | ... | 60.0 frames a second; ..."
function desktopFrameMs(label) {
  if (!desktopRows || !fs.existsSync(desktopRows)) return null;
  const line = fs.readFileSync(desktopRows, 'utf8').split('\n')
    .find((l) => new RegExp(`^\\| CPU share, ${label}[^|(]*\\(real program`).test(l));
  const match = line && line.match(/\| ([\d.]+) % of a core \|[^|]*\| ([\d.]+) frames a second/);
  return match ? { ms: (Number(match[1]) * 10) / Number(match[2]), share: match[1] } : null;
}

// Gzipped for a browser that asks, as a static host would; `sent` counts the
// bytes of the response bodies.
let sent = 0;
const server = await serve(site, (body, request, headers) => {
  if (/\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
    body = zlib.gzipSync(body, { level: 9 });
    headers['Content-Encoding'] = 'gzip';
  }
  sent += body.length;
  return body;
});
let chrome = await startChromium(`http://127.0.0.1:${server.address().port}/index.html`, viewport);
await chrome.send('Network.enable');
await chrome.send('Network.setCacheDisabled', { cacheDisabled: true });
const firstFrames = [];
let firstVisit = 0;
for (let i = 0; i < loads; ++i) {
  sent = 0;
  await openPage(chrome);
  firstFrames.push(await evaluate(chrome, 'velmoraFirstFrame'));
  await sleep(500);
  firstVisit = Math.max(firstVisit, sent);
}
const files = fs.readdirSync(site).map((name) => `${name} ${(fs.statSync(`${site}/${name}`).size / 1024).toFixed(0)} KB`);
row('Bytes a first visit transfers (browser program, gzip)', `${(firstVisit / 1024).toFixed(0)} KB`, '500 KB',
  `everything the page asks for, gzipped at level 9 as a static host would serve it; unpacked: ${files.join(', ')}`);
firstFrames.sort((a, b) => a - b);
row('Page load to the first frame (browser program, headless Chromium)',
  `median ${firstFrames[loads >> 1].toFixed(0)} ms (from ${firstFrames[0].toFixed(0)} to ${firstFrames[loads - 1].toFixed(0)}, ${loads} loads)`,
  '1 s', 'from asking for the page to the first animation frame after the game started, cache off, served on 127.0.0.1');

await openPage(chrome);
const phases = [['title', await measurePhase(chrome)]];
await key(chrome, 'Space', ' ', 32);
await key(chrome, 'Space', ' ', 32, ['keyDown']);
phases.push(['playing', await measurePhase(chrome)]);
for (const [label, phase] of phases) {
  const kinds = Object.entries(phase.spent).filter(([, ms]) => ms >= 0.05).sort((a, b) => b[1] - a[1])
    .map(([type, ms]) => `${type} ${ms.toFixed(2)}`).join(', ');
  const desktop = desktopFrameMs(label);
  row(`CPU per drawn frame, ${label} (browser program, headless Chromium, ${viewport.width}x${viewport.height}, 7x)`,
    `${phase.total.toFixed(2)} ms`, '16.7 ms (one frame at 60 a second)',
    `${phase.drawn.toFixed(1)} frames drawn a second (${phase.fps.toFixed(1)} animation frames); by process, ms: ${kinds} ` +
    '(WebGL drawn by SwiftShader on the processor)' +
    (desktop ? `; the desktop program: ${desktop.ms.toFixed(2)} ms a frame (${desktop.share} % of a core in the same run)` : ''));
}
await chrome.close();
server.close();
