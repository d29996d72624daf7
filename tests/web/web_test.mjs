// The browser program in headless Chromium: pictures equal velmora-replay's,
// real keys work, damaged files log what the desktop logs. Shots go to OUT.
//   node --experimental-websocket web_test.mjs SITE REPLAY SCRIPTS OUT
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { evaluate, key, nextFrames, openPage, screenshot, serve, startChromium, waitFor } from './chromium.mjs';
import { checkPictureSizes } from './picture_sizes.mjs';

const [site, replay, scripts, out] = process.argv.slice(2);
fs.mkdirSync(out, { recursive: true });

// Frames of each outcome's script, at the replay's scale 4 in a 640x480 page.
const pictures = { 'chased.txt': [0, 31, 431], 'killed.txt': [700, 1567], 'mating.txt': [1100, 1110] };
// A file taken away or spoilt: the console shows what the desktop logs.
const damaged = [['remove', 'StringData.txt'], ['spoil', 'Data/Fonts/Small 0.png'], ['spoil', 'Data/title.png']];

// The count of differing pixels, or what kept the pictures from being compared.
const differingPixels = (a, b) => spawnSync('compare', ['-metric', 'AE', '-alpha', 'off', a, b, 'null:'],
  { encoding: 'utf8' }).stderr.trim();

const server = await serve(site);
const chrome = await startChromium(`http://127.0.0.1:${server.address().port}/index.html`);
let passed = 0;
let failed = 0;
// Runs one check on a fresh page, opened after the script `before`: the check
// returns what went wrong, or nothing; errors on the page's console fail it too.
async function check(name, run, before = '') {
  const fault = await openPage(chrome, before)
    .then(async (page) => await run(page) || (page.errors.length ? `console errors: ${page.errors.join(' | ')}` : null))
    .catch((error) => error.message);
  console.log(fault ? `FAIL ${name}: ${fault}` : `ok   ${name}`);
  if (fault) ++failed;
  else ++passed;
}

for (const [script, ticks] of Object.entries(pictures)) {
  await check(`pictures of ${script}`, async () => {
    const scriptPath = path.join(scripts, script);
    const shots = ticks.map((tick) => path.join(out, `${path.basename(script, '.txt')}-${tick}`));
    const drawn = spawnSync(replay, [...ticks.flatMap((t, i) => ['--shot', `${t}:${shots[i]}-replay.png`]), scriptPath],
      { stdio: ['ignore', 'ignore', 'pipe'], encoding: 'utf8' });
    if (drawn.status !== 0) return `velmora-replay failed: ${drawn.stderr}`;
    const text = JSON.stringify(fs.readFileSync(scriptPath, 'utf8'));
    await evaluate(chrome, `Module.ccall('VelmoraFollowScript', 'number', ['string'], [${text}])`);
    for (const [i, tick] of ticks.entries()) {
      await evaluate(chrome, `Module.ccall('VelmoraRunScriptTo', 'number', ['number'], [${tick}])`);
      await screenshot(chrome, `${shots[i]}-web.png`);
      const differing = differingPixels(`${shots[i]}-web.png`, `${shots[i]}-replay.png`);
      if (differing !== '0') return `tick ${tick}: ${differing} pixels differ from the replay's picture`;
    }
  });
}

await checkPictureSizes(chrome, check, differingPixels, replay, scripts, out);

await check('space starts a game and the sound, Alt+Enter switches full screen, Esc ends both', async () => {
  const [title, playing] = [path.join(out, 'keys-title.png'), path.join(out, 'keys-playing.png')];
  await screenshot(chrome, title);
  if (await evaluate(chrome, 'AL.currentCtx.audioCtx.state') === 'running')
    return 'the sound ran before any key was pressed';
  await key(chrome, 'Space', ' ', 32);
  await screenshot(chrome, playing);
  if (differingPixels(title, playing) === '0') return 'space left the title on the screen';
  await waitFor(chrome, `AL.currentCtx.audioCtx.state === 'running'`, 'the sound to start after the first key');
  for (const fullScreen of [true, false]) {
    await key(chrome, 'Enter', 'Enter', 13, ['rawKeyDown', 'keyUp'], 1);
    await waitFor(chrome, `(document.fullscreenElement !== null) === ${fullScreen}`, 'Alt+Enter to switch full screen');
  }
  await evaluate(chrome, 'window.velmoraSound = AL.currentCtx.audioCtx, true');
  await key(chrome, 'Escape', 'Escape', 27);
  await waitFor(chrome, `!document.getElementById('notice').hidden`, 'the page to say the game has ended');
  await waitFor(chrome, `velmoraSound.state === 'closed'`, 'the sound to stop');
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
  const change = `${damage === 'remove' ? 'FS.unlink' : 'FS.writeFile'}('/${file}', 'not what it should be')`;
  await check(`${damage} ${file}`, async (page) => {
    await evaluate(chrome, nextFrames);
    if (desktop.length === 0 || JSON.stringify(page.lines) !== JSON.stringify(desktop))
      return `the console shows ${JSON.stringify(page.lines)}, the desktop ${JSON.stringify(desktop)}`;
  }, `window.Module.onRuntimeInitialized = function () { ${change}; };`);
}
await chrome.close();
server.close();
console.log(`web tests: ${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
