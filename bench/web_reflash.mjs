// One Reflash of the mixed drawing (100,000 lines, circles, arcs and boxes in every line
// type and colour) in a 1920 x 1080 picture: WebAssembly in headless Chromium against the
// native raster back end on one thread, measured in the same run, rounds of the two taking
// turns so that other load on the machine slows both alike. Goal: the browser's raster
// Reflash within 2x of the native one (medians). Both pictures must hash the same.
//   node bench/web_reflash.mjs [BUILD_NATIVE] [COUNT]
// BUILD_NATIVE is a native Release build with -DTRAZO_BENCH=ON (default build-native);
// the web build is build-web (TRAZO_WEB_SITE to change it).
import { execFile } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { startBrowser } from '../tests/web/harness.js';

const top = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const buildNative = path.resolve(process.argv[2] ?? path.join(top, 'build-native'));
const count = Number(process.argv[3] ?? 100000);
const kRounds = 4;
const kBatch = 5;
const kGoal = 2;

const script = path.join(buildNative, 'bench', `web_mixed_${count}.trz`);
const native = (rounds) =>
  new Promise((resolve, reject) =>
    execFile(path.join(buildNative, 'bench', 'web_reflash_baseline'), [String(count), script, String(rounds)], (error, out) =>
      error ? reject(error) : resolve(JSON.parse(out)),
    ),
  );

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

const first = await native(1); // also writes the script the browser reads
const browser = await startBrowser();
try {
  const page = await browser.open('/project/bench/web_reflash.html', { width: 1920, height: 1080 });
  await page.waitForFunction(() => window.benchReady === true);
  const loaded = await page.evaluate(
    (url) => window.bench.load(url, 1920, 1080),
    `/project/${path.relative(top, script)}`,
  );
  if (loaded.status !== 0) throw new Error(`the browser's Reflash failed: ${loaded.status}`);
  const times = { native: [], raster: [], element: [] };
  for (let round = 0; round < kRounds; ++round) {
    times.native.push(...(await native(kBatch)).ms);
    times.raster.push(...(await page.evaluate((n) => window.bench.raster(n), kBatch)));
    times.element.push(...(await page.evaluate((n) => window.bench.element(n), kBatch)));
  }
  const m = Object.fromEntries(Object.entries(times).map(([k, v]) => [k, median(v)]));
  const ratio = m.raster / m.native;
  console.log(`mixed drawing: ${count} entities (${loaded.count} after boxes), 1920x1080, ${kRounds * kBatch} Reflashes each`);
  console.log(`native raster, one thread:           median ${m.native.toFixed(1)} ms`);
  console.log(`browser raster (WebAssembly):        median ${m.raster.toFixed(1)} ms`);
  console.log(`browser element Reflash into canvas: median ${m.element.toFixed(1)} ms`);
  console.log(`pixels: native ${first.hash}, browser ${loaded.hash}`);
  const same = first.hash === loaded.hash;
  const met = ratio <= kGoal && same;
  console.log(`goal: browser raster within ${kGoal}x of native: ${ratio.toFixed(2)}x, pixels ${same ? 'the same' : 'DIFFER'}: ${met ? 'met' : 'MISSED'}`);
  await page.close();
  process.exitCode = met ? 0 : 1;
} finally {
  await browser.close();
}
