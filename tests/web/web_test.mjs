// The browser program in headless Chromium: pictures equal velmora-replay's,
// keys, touches and pads play, sound stays whole, damaged and missing files
// say so, and the page plays offline and inside another site. Shots go to OUT.
//   node --experimental-websocket web_test.mjs SITE REPLAY SCRIPTS OUT
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { evaluate, key, nextFrames, openPage, screenshot, serve, sleep, startChromium, waitFor } from './chromium.mjs';

const [site, replay, scripts, out] = process.argv.slice(2);
fs.mkdirSync(out, { recursive: true });

// Frames of each outcome's script, at the replay's scale 4 in a 640x480 page.
const pictures = { 'chased.txt': [0, 31, 431], 'killed.txt': [700, 1567], 'mating.txt': [1100, 1110] };
// A file taken away or spoilt: the console shows what the desktop logs.
const damaged = [['remove', 'StringData.txt'], ['spoil', 'Data/Fonts/Small 0.png'], ['spoil', 'Data/title.png']];
// A site file failing to arrive: the page says which, and "Try again" works once it is back.
const failures = [['velmora.js', () => null], ['velmora.wasm', () => null], ['velmora.data', () => null],
  ['velmora.wasm', (body) => body.subarray(0, body.length >> 1)]];

// The count of differing pixels, or what kept the pictures from being compared.
const differingPixels = (a, b) => spawnSync('compare', ['-metric', 'AE', '-alpha', 'off', a, b, 'null:'],
  { encoding: 'utf8' }).stderr.trim();
const scriptText = (name) => fs.readFileSync(path.join(scripts, name), 'utf8');
// The replay tool's pictures of a script at the given ticks, named NAME-TICK-replay.png.
function replayShots(name, text, ticks) {
  fs.writeFileSync(path.join(out, `${name}.txt`), text);
  const drawn = spawnSync(replay, [...ticks.flatMap((t) => ['--shot', `${t}:${path.join(out, `${name}-${t}-replay.png`)}`]),
    path.join(out, `${name}.txt`)], { stdio: ['ignore', 'ignore', 'pipe'], encoding: 'utf8' });
  if (drawn.status !== 0) throw new Error(`velmora-replay failed: ${drawn.stderr}`);
}
const follow = (text) => evaluate(chrome, `Module.ccall('VelmoraFollowScript', 'number', ['string'], [${JSON.stringify(text)}])`);
const runTo = (tick) => evaluate(chrome, `Module.ccall('VelmoraRunScriptTo', 'number', ['number'], [${tick}])`);
// The shot of the page (or of `clip` in it) against the replay's, as the problem or nothing.
async function compareShot(name, tick, clip) {
  const file = path.join(out, `${name}-${tick}-web.png`);
  if (clip) fs.writeFileSync(file, Buffer.from((await chrome.send('Page.captureScreenshot', { clip })).data, 'base64'));
  else await screenshot(chrome, file);
  const differing = differingPixels(file, path.join(out, `${name}-${tick}-replay.png`));
  return differing === '0' ? null : `${name} at tick ${tick}: ${differing} pixels differ from the replay's picture`;
}

const server = await serve(site);
const chrome = await startChromium(`http://127.0.0.1:${server.address().port}/index.html`);
let passed = 0;
let failed = 0;
// Runs one check on a fresh page, opened after the script `before` (none
// when null): the check returns what went wrong, or nothing; errors on the
// page's console fail it too.
async function check(name, run, before = '') {
  const fault = await (before === null ? Promise.resolve({ errors: [] }) : openPage(chrome, before))
    .then(async (page) => await run(page) || (page.errors.length ? `console errors: ${page.errors.join(' | ')}` : null))
    .catch((error) => error.message);
  console.log(fault ? `FAIL ${name}: ${fault}` : `ok   ${name}`);
  if (fault) ++failed;
  else ++passed;
}

for (const [script, ticks] of Object.entries(pictures)) {
  await check(`pictures of ${script}`, async () => {
    const name = path.basename(script, '.txt');
    replayShots(name, scriptText(script), ticks);
    await follow(scriptText(script));
    for (const tick of ticks) {
      await runTo(tick);
      const problem = await compareShot(name, tick);
      if (problem) return problem;
    }
  });
}

await check('keys: space starts the game and the sound, hidden and shown the keys still walk, Esc only leaves full screen', async () => {
  const shots = ['title', 'playing', 'walked'].map((name) => path.join(out, `keys-${name}.png`));
  await screenshot(chrome, shots[0]);
  if (await evaluate(chrome, 'Module.sound.context.state') === 'running') return 'the sound ran before any key was pressed';
  await key(chrome, 'Space', ' ', 32);
  await waitFor(chrome, `Module.sound.context.state === 'running'`, 'the sound to start after the first key');
  // Behind another tab and back, with no focus event between.
  const { targetId } = await chrome.send('Target.createTarget', { url: 'about:blank' });
  await waitFor(chrome, `Module.sound.context.state === 'suspended'`, 'the sound to stop in a hidden tab');
  await chrome.send('Target.closeTarget', { targetId });
  await waitFor(chrome, `Module.sound.context.state === 'running'`, 'the sound to go on in the tab shown again');
  await screenshot(chrome, shots[1]);
  await key(chrome, 'ArrowRight', 'ArrowRight', 39);
  await screenshot(chrome, shots[2]);
  if (differingPixels(shots[0], shots[1]) === '0') return 'space left the title on the screen';
  if (differingPixels(shots[1], shots[2]) === '0') return 'the arrow did not walk after the tab came back';
  for (const [keys, fullScreen] of [[1, true], [1, false], [1, true], [0, false]]) {
    await key(chrome, keys ? 'Enter' : 'Escape', keys ? 'Enter' : 'Escape', keys ? 13 : 27, ['rawKeyDown', 'keyUp'], keys);
    await waitFor(chrome, `(document.fullscreenElement !== null) === ${fullScreen}`, 'Alt+Enter and Esc to switch full screen');
  }
  await key(chrome, 'Escape', 'Escape', 27);
  if (await evaluate(chrome, `Module.sound.context.state !== 'running' || !document.getElementById('notice').hidden`))
    return 'Esc ended the game';
});

await check('touch only on a phone: a tap starts, two fingers walk and wave, all three outcomes and a restart', async () => {
  await chrome.send('Emulation.setDeviceMetricsOverride', { width: 390, height: 844, deviceScaleFactor: 2, mobile: true });
  await chrome.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
  try {
    let down = false;
    const touch = async (points) => {
      if (down) await chrome.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
      if ((down = points.length > 0))
        await chrome.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: points.map((p, id) => ({ ...p, id })) });
    };
    await touch([{ x: 195, y: 422 }]);
    await touch([]);
    const [picture, ...buttons] = await evaluate(chrome, `[...document.querySelectorAll('canvas, [data-keys]')].map((e) => {
      const r = e.getBoundingClientRect(); return { x: r.x + r.width / 2, y: r.y + r.height / 2, top: r.y }; })`);
    const clip = { x: picture.x - 160, y: picture.top, width: 320, height: 240, scale: 1 };
    // Space is a tap on the picture, or the Wave button beside an arrow.
    const fingers = (keys) => [...(keys.includes('L') ? [buttons[0]] : []), ...(keys.includes('R') ? [buttons[1]] : []),
      ...(keys.includes('S') ? [keys.length > 1 ? buttons[2] : picture] : [])];
    const games = [['chased-killed', scriptText('chased.txt') + scriptText('killed.txt'), [200, 1760]],
      ['mating-touch', scriptText('mating.txt'), [1100]]];
    for (const [name, text, ticks] of games) {
      replayShots(name, text, ticks);
      await follow('1000000 -');
      let tick = 0;
      for (const [count, keys] of text.split('\n').filter((line) => /^\d/.test(line)).map((line) => line.split(' '))) {
        await touch(fingers(keys));
        for (const shot of ticks.filter((t) => t > tick && t <= tick + Number(count))) {
          await runTo(shot);
          const problem = await compareShot(name, shot, clip);
          if (problem) return problem;
        }
        tick = await runTo(tick + Number(count));
      }
    }
    await touch([]);
  } finally {
    await chrome.send('Emulation.setTouchEmulationEnabled', { enabled: false });
    await chrome.send('Emulation.setDeviceMetricsOverride', { width: 640, height: 480, deviceScaleFactor: 1, mobile: false });
  }
});

// A pad that the page sees from the start; the test presses its buttons.
const fakePad = `window.pads = [{ id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
  axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) }];
  Navigator.prototype.getGamepads = () => window.pads;
  window.pad = (button, down) => { pads[0].buttons[button] = { pressed: down, value: Number(down) }; };`;
await check('a pad: start starts, the stick walks her off, and a pad pulled out lets go', async () => {
  replayShots('pad', scriptText('chased.txt') + '10 R\n10 -\n', [31, 451]);
  await follow('1000000 -');
  const steps = [['pad(9, true)', 1], ['pad(9, false); pads[0].axes[0] = 0.8', 31], ['pads[0].axes[0] = 0', 431],
    ['pad(15, true)', 441], ['pads.length = 0', 451]];
  for (const [change, tick] of steps) {
    await evaluate(chrome, `${change}, ${nextFrames}`);
    await runTo(tick);
    const problem = [31, 451].includes(tick) && await compareShot('pad', tick);
    if (problem) return problem;
  }
}, fakePad);

// The sound heard while the game beeps and loves with frames up to `delay`
// ms late, split at 10 ms of silence: each piece's start in frames of the
// audio clock after the ticks began, its length and its largest step.
const hearSound = (delay) => `(async () => {
  const { context, output } = Module.sound;
  await context.resume();
  await context.audioWorklet.addModule(URL.createObjectURL(new Blob([\`registerProcessor('tap${delay}', class extends
    AudioWorkletProcessor { process([input]) { if (input.length) this.port.postMessage([currentFrame, input[0]]);
    return true; } });\`], { type: 'text/javascript' })));
  const tap = new AudioWorkletNode(context, 'tap${delay}', { numberOfOutputs: 0 }), heard = [];
  tap.port.onmessage = (message) => heard.push(message.data);
  output.connect(tap);
  let busy = true;
  (function hog() { for (const end = performance.now() + Math.random() * ${delay}; performance.now() < end;);
    if (busy) requestAnimationFrame(hog); })();
  const wait = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
  Module.ccall('VelmoraFollowScript', 'number', ['string'], [${JSON.stringify(scriptText('mating.txt'))}]);
  const clock = Math.round(context.currentTime * context.sampleRate);
  for (const [tick, ms] of [[1, 1000], [809, 2500], [1110, 500]]) Module.ccall('VelmoraRunScriptTo', 'number', ['number'], [tick]), await wait(ms);
  busy = false;
  const pieces = [];
  let at = heard[0][0], last = 0, quiet = 441;
  for (const [frame, samples] of heard.filter(([frame], i) => !i || frame > heard[i - 1][0])) {
    for (const sample of [...new Array(frame - at).fill(0), ...samples]) {
      if (sample && quiet >= 441) pieces.push({ from: at - clock, frames: 0, step: 0 });
      quiet = sample ? 0 : quiet + 1;
      const piece = pieces[pieces.length - 1];
      if (piece && quiet < 441) piece.frames++, piece.step = Math.max(piece.step, Math.abs(sample - last));
      last = sample;
      ++at;
    }
  }
  return pieces;
})()`;
await check('sound stays whole while frames come up to 300 ms late', async () => {
  await key(chrome, 'KeyQ', 'q', 81);
  const [steady, late] = [await evaluate(chrome, hearSound(0)), await evaluate(chrome, hearSound(300))];
  // The beep starts a few blocks after its tick, not behind the half second queued.
  if (late.length !== steady.length || late.some((piece, i) => piece.step > steady[i].step) || late[0].from > 4096)
    return `heard ${JSON.stringify(late)} with late frames, ${JSON.stringify(steady)} without`;
});

for (const [damage, file] of damaged) {
  // What the desktop logs for it, from the replay tool beside a damaged copy of the files.
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-damaged-'));
  for (const name of [path.basename(replay), 'Data', 'StringData.txt'])
    fs.cpSync(path.join(path.dirname(replay), name), path.join(folder, name), { recursive: true });
  if (damage === 'remove') fs.rmSync(path.join(folder, file));
  else fs.writeFileSync(path.join(folder, file), 'not what it should be');
  const desktop = spawnSync(path.join(folder, path.basename(replay)), ['--shot', `0:${folder}/shot.png`, '/dev/null'],
    { encoding: 'utf8' }).stderr.split('\n').filter((line) => line && !line.startsWith('velmora-replay:'));
  fs.rmSync(folder, { recursive: true, force: true });
  const change = `Module.FS.${damage === 'remove' ? 'unlink' : 'writeFile'}('/${file}', 'not what it should be')`;
  await check(`${damage} ${file}`, async (page) => {
    await evaluate(chrome, nextFrames);
    if (desktop.length === 0 || JSON.stringify(page.lines) !== JSON.stringify(desktop))
      return `the console shows ${JSON.stringify(page.lines)}, the desktop ${JSON.stringify(desktop)}`;
  }, `window.Module.onRuntimeInitialized = function () { ${change}; };`);
}

for (const [file, rework] of failures) {
  await check(`${file} ${rework.length ? 'cut short' : 'missing'}: a message with "Try again", which then plays`, async () => {
    let broken = true;
    const faulty = await serve(site, (body, request) => (broken && request.url.endsWith(file) ? rework(body) : body));
    await chrome.send('Page.navigate', { url: `http://127.0.0.1:${faulty.address().port}/` });
    await waitFor(chrome, `document.getElementById('notice-text').textContent.includes('${file}')`, 'a message');
    broken = false;
    await evaluate(chrome, `document.getElementById('notice-button').click(), true`);
    await waitFor(chrome, `document.getElementById('notice').hidden && document.getElementById('loading').hidden`, 'the game');
    faulty.close();
  }, null);
}

await check('installs, and plays offline once visited', async (page) => {
  await evaluate(chrome, 'navigator.serviceWorker.ready.then(() => true)');
  const { installabilityErrors } = await chrome.send('Page.getInstallabilityErrors');
  if (installabilityErrors.length) return `not installable: ${JSON.stringify(installabilityErrors)}`;
  server.close();
  server.closeAllConnections();
  await openPage(chrome);
  page.errors.length = 0; // the browser's own failed look for a newer service worker
});

await check('in a cross-origin iframe: keys play, the host does not scroll, no other host is asked', async () => {
  const game = await serve(site);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-portal-'));
  fs.writeFileSync(path.join(folder, 'index.html'), `<body style="height: 3000px; margin: 0"><iframe width="640"
    height="480" style="border: 0" src="http://127.0.0.1:${game.address().port}/index.html"></iframe>`);
  const portal = await serve(folder);
  const asked = [];
  chrome.onEvent = (event) => event.method === 'Network.requestWillBeSent' && asked.push(event.params.request.url);
  await chrome.send('Network.enable');
  await chrome.send('Page.navigate', { url: `http://127.0.0.1:${portal.address().port}/` });
  let frame = null;
  for (let i = 0; i < 200 && !frame?.url.includes(`:${game.address().port}/`); ++i, await sleep(50))
    frame = (await chrome.send('Page.getFrameTree')).frameTree.childFrames?.[0].frame;
  const { executionContextId } = await chrome.send('Page.createIsolatedWorld', { frameId: frame.id });
  await waitFor(chrome, `document.getElementById('loading').hidden`, 'the game in the iframe', executionContextId);
  const shots = ['title', 'playing'].map((name) => path.join(out, `iframe-${name}.png`));
  await screenshot(chrome, shots[0]);
  for (const type of ['mousePressed', 'mouseReleased'])
    await chrome.send('Input.dispatchMouseEvent', { type, x: 320, y: 240, button: 'left', clickCount: 1 });
  await key(chrome, 'Space', ' ', 32);
  await key(chrome, 'ArrowDown', 'ArrowDown', 40);
  await screenshot(chrome, shots[1]);
  const others = asked.filter((url) => !url.startsWith('http://127.0.0.1:'));
  portal.close();
  game.close();
  if (differingPixels(shots[0], shots[1]) === '0') return 'space did not start the game';
  if (await evaluate(chrome, 'scrollY')) return 'the keys scrolled the host page';
  if (others.length) return `the page asked other hosts: ${others.join(' ')}`;
  if (!await evaluate(chrome, `document.getElementById('full-screen').hidden`, executionContextId))
    return 'a full-screen button that cannot work';
}, null);
await chrome.close();
console.log(`web tests: ${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
