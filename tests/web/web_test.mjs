// The browser program in headless Chromium: scripted games, touches and pads
// draw velmora-replay's pictures, keys work, the sound stays whole, damaged
// and missing files say so, and the page plays offline and inside another
// site. Shots go to OUT.
//   node --experimental-websocket web_test.mjs SITE REPLAY SCRIPTS OUT
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { evaluate, key, nextFrames, openPage, screenshot, serve, sleep, startChromium, waitFor } from './chromium.mjs';
import { checkPictureSizes } from './picture_sizes.mjs';

const [site, replay, scripts, out] = process.argv.slice(2);
fs.mkdirSync(out, { recursive: true });

// Frames of each outcome's script, at the replay's scale 4 in a 640x480 page.
const pictures = { chased: [0, 31, 431], killed: [700, 1567], mating: [1100, 1110] };
// A file taken away or spoilt: the console shows what the desktop logs.
const damaged = [['remove', 'StringData.txt'], ['spoil', 'Data/Fonts/Small 0.png'], ['spoil', 'Data/title.png']];
// A site file failing to arrive: the page says which, and "Try again" works once it is back.
const failures = [['velmora.js', () => null], ['velmora.wasm', () => null], ['velmora.data', () => null],
  ['velmora.wasm', (body) => body.subarray(0, body.length >> 1)]];

// The count of differing pixels, or what kept the pictures from being compared.
const differingPixels = (a, b) => spawnSync('compare', ['-metric', 'AE', '-alpha', 'off', a, b, 'null:'],
  { encoding: 'utf8' }).stderr.trim();
const script = (name) => fs.readFileSync(path.join(scripts, `${name}.txt`), 'utf8');
const call = (name, value) => evaluate(chrome, `Module.ccall('${name}', 'number', ['${typeof value}'], [${JSON.stringify(value)}])`);

// Plays the key script `text` and compares the page (or `clip` of it) with
// the replay tool's pictures at the ticks. With `press(keys, step)` the
// keys are held some other way, the page following a script of no keys.
async function playAgainstReplay(name, text, ticks, press, clip) {
  fs.writeFileSync(path.join(out, `${name}.txt`), text);
  const shot = (tick, source) => path.join(out, `${name}-${tick}-${source}.png`);
  const drawn = spawnSync(replay, [...ticks.flatMap((t) => ['--shot', `${t}:${shot(t, 'replay')}`]),
    path.join(out, `${name}.txt`)], { stdio: ['ignore', 'ignore', 'pipe'], encoding: 'utf8' });
  if (drawn.status !== 0) return `velmora-replay failed: ${drawn.stderr}`;
  await call('VelmoraFollowScript', press ? '1000000 -' : text);
  let tick = 0;
  for (const [step, [count, keys]] of text.split('\n').filter((line) => /^\d/.test(line)).map((l) => l.split(' ')).entries()) {
    if (press) await press(keys, step);
    for (const t of ticks.filter((t) => t >= (step ? tick + 1 : 0) && t <= tick + Number(count))) {
      await call('VelmoraRunScriptTo', t);
      if (clip) fs.writeFileSync(shot(t, 'web'), Buffer.from((await chrome.send('Page.captureScreenshot', { clip })).data, 'base64'));
      else await screenshot(chrome, shot(t, 'web'));
      const differing = differingPixels(shot(t, 'web'), shot(t, 'replay'));
      if (differing !== '0') return `${name} at tick ${t}: ${differing} pixels differ from the replay's picture`;
    }
    tick = await call('VelmoraRunScriptTo', tick + Number(count));
  }
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

for (const [name, ticks] of Object.entries(pictures))
  await check(`pictures of ${name}.txt`, () => playAgainstReplay(name, script(name), ticks));

await checkPictureSizes(chrome, check, differingPixels, replay, scripts, out);

await check('keys: space starts the game and the sound, hidden and shown the keys still walk, Esc only leaves full screen', async () => {
  const shots = ['title', 'playing', 'walked'].map((name) => path.join(out, `keys-${name}.png`));
  await screenshot(chrome, shots[0]);
  if (await evaluate(chrome, 'Module.sound.context.state') === 'running') return 'the sound ran before any key was pressed';
  await key(chrome, 'Space', ' ', 32);
  await waitFor(chrome, `Module.sound.context.state === 'running'`, 'the sound to start after the first key');
  // Behind another tab and back, with no focus event between.
  const { targetId } = await chrome.send('Target.createTarget', { url: 'about:blank' });
  const kept = await waitFor(chrome, `Module.sound.context.state === 'suspended'`, 'the sound to stop in a hidden tab')
    .catch((error) => error.message);
  await chrome.send('Target.closeTarget', { targetId });
  if (kept) return kept;
  await waitFor(chrome, `Module.sound.context.state === 'running'`, 'the sound to go on in the tab shown again');
  await screenshot(chrome, shots[1]);
  await key(chrome, 'ArrowRight', 'ArrowRight', 39);
  await screenshot(chrome, shots[2]);
  if (differingPixels(shots[0], shots[1]) === '0') return 'space left the title on the screen';
  if (differingPixels(shots[1], shots[2]) === '0') return 'the arrow did not walk after the tab came back';
  for (const [alt, fullScreen] of [[1, true], [1, false], [1, true], [0, false], [0, false]]) {
    await key(chrome, alt ? 'Enter' : 'Escape', alt ? 'Enter' : 'Escape', alt ? 13 : 27, ['rawKeyDown', 'keyUp'], alt);
    await waitFor(chrome, `(document.fullscreenElement !== null) === ${fullScreen}`, 'Alt+Enter and Esc to switch full screen');
  }
  if (await evaluate(chrome, `Module.sound.context.state !== 'running' || !document.getElementById('notice').hidden`))
    return 'Esc ended the game';
});

await check('touch alone on a phone: taps start, two fingers walk and wave, each outcome, a restart', async () => {
  await chrome.send('Emulation.setDeviceMetricsOverride', { width: 390, height: 844, deviceScaleFactor: 2, mobile: true });
  await chrome.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
  let down = false;
  const touch = async (points) => {
    if (down) await chrome.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    if ((down = points.length > 0))
      await chrome.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: points.map((p, id) => ({ ...p, id })) });
  };
  await touch([{ x: 195, y: 422 }]); // the first touch brings the buttons
  const [picture, ...buttons] = await evaluate(chrome, `[...document.querySelectorAll('canvas, [data-keys]')].map((e) => {
    const r = e.getBoundingClientRect(); return { x: r.x + r.width / 2, y: r.y + r.height / 2, top: r.y }; })`);
  // Space is a tap on the picture, or the Wave button beside an arrow.
  const press = (keys) => touch([...(keys.includes('L') ? [buttons[0]] : []), ...(keys.includes('R') ? [buttons[1]] : []),
    ...(keys.includes('S') ? [keys.length > 1 ? buttons[2] : picture] : [])]);
  const clip = { x: picture.x - 160, y: picture.top, width: 320, height: 240, scale: 1 };
  const fault = await playAgainstReplay('touch-chased-killed', script('chased') + script('killed'), [200, 1760], press, clip) ||
    await playAgainstReplay('touch-mating', script('mating'), [1100], press, clip);
  await touch([]);
  await chrome.send('Emulation.setTouchEmulationEnabled', { enabled: false });
  await chrome.send('Emulation.setDeviceMetricsOverride', { width: 640, height: 480, deviceScaleFactor: 1, mobile: false });
  return fault;
});

// A pad the page can see from the start; every release pulls it out. The
// steps take turns: start or the bottom face button, d-pad or stick.
await check('a pad: start and the face button start, the stick and d-pad walk, a pad pulled out lets go', () =>
  playAgainstReplay('pad', `${script('chased')}1 S\n10 R\n10 -\n`, [31, 452], async (keys, step) => {
    const held = [...(keys.includes('S') ? [step % 2 ? 0 : 9] : []), ...(keys.includes('R') && step % 2 ? [15] : [])];
    await evaluate(chrome, `pads.length = 0, '${keys}' === '-' || pads.push({ id: 'pad', index: 0, connected: true, mapping: 'standard',
      axes: [${keys.includes('R') && !(step % 2) ? 0.8 : 0}, 0], buttons: Array.from({ length: 17 },
      (_, n) => ({ pressed: ${JSON.stringify(held)}.includes(n) })) }), ${nextFrames}`);
  }), 'window.pads = []; Navigator.prototype.getGamepads = () => pads;');

// What is heard as the game beeps and loves with frames up to `delay` ms
// late, split at 10 ms of silence: each piece's start in frames of the audio
// clock after the ticks began, and its largest step between two samples.
const hearSound = (delay) => `(async () => {
  const { context, output } = Module.sound;
  await context.resume();
  await context.audioWorklet.addModule(URL.createObjectURL(new Blob([\`registerProcessor('tap${delay}', class extends
    AudioWorkletProcessor { process([input]) { this.port.postMessage([currentFrame, input[0]]); return true; } });\`], { type: 'text/javascript' })));
  const tap = new AudioWorkletNode(context, 'tap${delay}', { numberOfOutputs: 0 }), heard = [];
  tap.port.onmessage = (message) => heard.push(message.data);
  output.connect(tap);
  let busy = true;
  (function hog() { for (const end = performance.now() + Math.random() * ${delay}; performance.now() < end;);
    if (busy) requestAnimationFrame(hog); })();
  Module.ccall('VelmoraFollowScript', 'number', ['string'], [${JSON.stringify(script('mating'))}]);
  let at = Math.round(context.currentTime * context.sampleRate), last = 0, quiet = 441;
  const begun = at, pieces = [];
  for (const [tick, ms] of [[1, 1000], [809, 2500], [1110, 500]])
    Module.ccall('VelmoraRunScriptTo', 'number', ['number'], [tick]), await new Promise((go) => setTimeout(go, ms));
  busy = false;
  // Frames Chromium did not render at all, on a busy machine, are no one's sound.
  for (const [frame, samples] of heard.filter(([frame], i) => frame >= begun && (!i || frame > heard[i - 1][0]))) {
    if (frame > at) at = frame, last = samples?.[0] ?? 0;
    for (const sample of samples ?? new Float32Array(128)) {
      if (sample && quiet >= 441) pieces.push({ from: at - begun, step: 0 });
      ++at;
      quiet = sample ? 0 : quiet + 1;
      if (pieces.length) pieces[pieces.length - 1].step = Math.max(pieces[pieces.length - 1].step, Math.abs(sample - last));
      last = sample;
    }
  }
  return pieces;
})()`;
await check('sound stays whole while frames come up to 300 ms late, and a new sound is heard a few blocks on', async () => {
  await key(chrome, 'KeyQ', 'q', 81);
  const [steady, late] = [await evaluate(chrome, hearSound(0)), await evaluate(chrome, hearSound(300))];
  if (late.length !== steady.length || late.some((piece, i) => piece.step > steady[i].step) || !(late[0]?.from <= 4096))
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

await check('in a cross-origin frame: it plays, asks no other host and offers no full screen', async () => {
  const game = await serve(site);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-portal-'));
  fs.writeFileSync(path.join(folder, 'index.html'), `<iframe src="http://127.0.0.1:${game.address().port}/index.html">`);
  const portal = await serve(folder);
  const asked = [];
  chrome.onEvent = (event) => event.method === 'Network.requestWillBeSent' && asked.push(event.params.request.url);
  await chrome.send('Network.enable');
  await chrome.send('Page.navigate', { url: `http://127.0.0.1:${portal.address().port}/` });
  let frame = null;
  for (let i = 0; i < 200 && !frame?.url.includes(`:${game.address().port}/`); ++i, await sleep(50))
    frame = (await chrome.send('Page.getFrameTree')).frameTree.childFrames?.[0].frame;
  const { executionContextId } = await chrome.send('Page.createIsolatedWorld', { frameId: frame.id });
  await waitFor(chrome, `document.getElementById('loading').hidden`, 'the game in the frame', executionContextId);
  portal.close();
  game.close();
  if (asked.some((url) => !url.startsWith('http://127.0.0.1:'))) return `the page asked other hosts: ${asked.join(' ')}`;
  if (!await evaluate(chrome, `document.getElementById('full-screen').hidden`, executionContextId))
    return 'a full-screen button that cannot work';
}, null);
await chrome.close();
console.log(`web tests: ${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
