// The browser's pictures in pages of every whole scale of the screen and of
// a size that is no multiple of it, each equal to the replay tool's picture
// drawn with every quad in turn (--path straight): copying frames at 1x and
// batching sprites change no pixel, margins included.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { evaluate, screenshot } from './chromium.mjs';

const pages = [[160, 120], [320, 240], [480, 360], [640, 480], [800, 600], [960, 720], [1120, 840], [1280, 960],
  [1440, 1080], [700, 500]];
const frames = [['chased.txt', 0], ['killed.txt', 1300], ['mating.txt', 1000]];

// `check(name, run)` runs one check on a fresh page; `differing(a, b)` counts the pixels two pictures differ in.
export async function checkPictureSizes(chrome, check, differing, replay, scripts, out) {
  for (const [width, height] of pages) {
    await check(`pictures in a ${width}x${height} page`, async () => {
      await chrome.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 1, mobile: false });
      for (const [script, tick] of frames) {
        const shot = path.join(out, `${width}x${height}-${path.basename(script, '.txt')}-${tick}`);
        const drawn = spawnSync(replay, ['--window', `${width}x${height}`, '--path', 'straight', '--shot',
          `${tick}:${shot}-replay.png`, path.join(scripts, script)], { stdio: ['ignore', 'ignore', 'pipe'], encoding: 'utf8' });
        if (drawn.status !== 0) return `velmora-replay failed: ${drawn.stderr}`;
        const text = JSON.stringify(fs.readFileSync(path.join(scripts, script), 'utf8'));
        await evaluate(chrome, `Module.ccall('VelmoraFollowScript', 'number', ['string'], [${text}])`);
        await evaluate(chrome, `Module.ccall('VelmoraRunScriptTo', 'number', ['number'], [${tick}])`);
        await screenshot(chrome, `${shot}-web.png`);
        const pixels = differing(`${shot}-web.png`, `${shot}-replay.png`);
        if (pixels !== '0') return `${script} tick ${tick}: ${pixels} pixels differ from the replay's picture`;
      }
    });
  }
  await chrome.send('Emulation.setDeviceMetricsOverride', { width: 640, height: 480, deviceScaleFactor: 1, mobile: false });
}
