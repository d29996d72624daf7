// What the browser program costs in headless Chromium on this machine: the
// bytes a first visit transfers (gzipped, as a static host serves them), the
// time from asking for the page to the first frame on the screen, and the
// processor time of a drawn frame, by process, for the title, play and the
// heart rain beside the floor page (floor.html: one 160x120 texture scaled to
// the canvas as one quad a frame), in interleaved rounds, at the size the
// desktop program's figures use. Prints Markdown table rows.
//
//   node --experimental-websocket web_bench.mjs SITE
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

import { evaluate, openPage, serve, sleep, startChromium, waitFor } from '../../tests/web/chromium.mjs';

const [site] = process.argv.slice(2);
const here = path.dirname(new URL(import.meta.url).pathname);
const loads = 5;
const rounds = 5;
const seconds = 4;
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

// Processor milliseconds a drawn frame costs each kind of process, over a
// few seconds of the page drawing every animation frame (`drawn` counts them).
async function measurePhase(chrome, drawn) {
  const framesBefore = await evaluate(chrome, drawn);
  const before = chromiumSeconds(chrome.pid);
  await sleep(seconds * 1000);
  const after = chromiumSeconds(chrome.pid);
  const frames = await evaluate(chrome, drawn) - framesBefore;
  const spent = {};
  for (const type of Object.keys(after)) spent[type] = (after[type] - (before[type] || 0)) * 1000 / frames;
  return { fps: frames / seconds, spent, total: Object.values(spent).reduce((a, b) => a + b, 0) };
}

// The scenes as the replay tool's scripts reach them; the page then draws
// the same frame every animation frame.
const scenes = [['title', 'chased.txt', 0], ['play', 'killed.txt', 700], ['heart rain', 'mating.txt', 1000]];
const scripts = path.join(here, '..', '..', 'tests', 'game', 'scripts');

async function measureScene(chrome, script, tick) {
  await openPage(chrome);
  const text = JSON.stringify(fs.readFileSync(path.join(scripts, script), 'utf8'));
  await evaluate(chrome, `Module.ccall('VelmoraFollowScript', 'number', ['string'], [${text}])`);
  await evaluate(chrome, `Module.ccall('VelmoraRunScriptTo', 'number', ['number'], [${tick}])`);
  await evaluate(chrome, 'window.velmoraFrames = 0, (function count() { ++velmoraFrames; requestAnimationFrame(count); })(), true');
  await sleep(500);
  return measurePhase(chrome, 'velmoraFrames');
}

async function measureFloor(chrome, url) {
  await chrome.send('Page.navigate', { url });
  await waitFor(chrome, 'window.velmoraDrawn > 0', 'the floor page to draw');
  await sleep(500);
  return measurePhase(chrome, 'velmoraDrawn');
}

const median = (values) => values.slice().sort((a, b) => a - b)[values.length >> 1];

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

const floorServer = await serve(here);
const floorUrl = `http://127.0.0.1:${floorServer.address().port}/floor.html`;
const measured = [];
for (let round = 0; round < rounds; ++round) {
  const floor = await measureFloor(chrome, floorUrl);
  const games = [];
  for (const [, script, tick] of scenes) games.push(await measureScene(chrome, script, tick));
  measured.push({ floor, games });
}
const main = 'renderer', drawing = 'gpu-process';
const ms = (phase, type) => phase.spent[type] || 0;
const medianOf = (pick) => median(measured.map(pick));
const sceneMs = (i, type) => medianOf((r) => ms(r.games[i], type)).toFixed(2);
const floorMs = (type) => medianOf((r) => ms(r.floor, type)).toFixed(2);
const fps = Math.min(...measured.flatMap((r) => [r.floor, ...r.games].map((phase) => phase.fps)));
const how = `medians of ${rounds} interleaved rounds of ${seconds} s, each page drawing every animation frame ` +
  `(${fps.toFixed(0)} a second or more); WebGL drawn by SwiftShader on the processor`;
row(`CPU per drawn frame (browser program, headless Chromium, ${viewport.width}x${viewport.height}, 7x)`,
  scenes.map(([name], i) => `${name} ${medianOf((r) => r.games[i].total).toFixed(2)} ms`).join('; '),
  '16.7 ms (one frame at 60 a second)',
  `by process, ms: main (renderer) ${scenes.map((_, i) => sceneMs(i, main)).join(', ')}; drawing (gpu-process) ` +
  `${scenes.map((_, i) => sceneMs(i, drawing)).join(', ')}; the floor page ${medianOf((r) => r.floor.total).toFixed(2)} ` +
  `ms (main ${floorMs(main)}, drawing ${floorMs(drawing)}); ${how}`);
for (const [label, type] of [['main (renderer)', main], ['drawing (gpu-process)', drawing]]) {
  row(`CPU per drawn frame against the floor, browser's ${label} process (${viewport.width}x${viewport.height}, 7x)`,
    scenes.map(([name], i) => `${name} ${medianOf((r) => ms(r.games[i], type) / ms(r.floor, type)).toFixed(2)}x`)
      .join('; '), '1.3x the floor',
    `the floor page, one 160x120 texture scaled to the canvas as one quad a frame (floor.html): ${floorMs(type)} ms ` +
    `a frame; each ratio against the floor of the same round; ${how}`);
}
floorServer.close();
await chrome.close();
server.close();
