// <trazo-picture> long: many elements created, filled, resized, repainted and removed in
// one page. The module's heap in use, its WebAssembly memory and the JavaScript heap must
// stay flat after the warm-up (every instance freed), and nothing may reach the console.
//   TRAZO_WEB_SOAK_CYCLES (default 1000)
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { browserAndScratch, openFixture } from './harness.js';

const session = browserAndScratch('trazo-soak-');
const cycles = Math.max(200, Number(process.env.TRAZO_WEB_SOAK_CYCLES ?? 1000));
const warmUp = 100;

// Memory once garbage collection has run and the finalizers it queued have freed their
// controls.
async function settledMemory(page, client) {
  for (let i = 0; i < 3; ++i) {
    await client.send('HeapProfiler.collectGarbage');
    await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 50)));
  }
  const { usedSize } = await client.send('Runtime.getHeapUsage');
  const module = await page.evaluate(async () => (await import('/trazo-picture.js')).moduleMemory());
  return { js: usedSize, ...module };
}

test(`${cycles} elements created, filled, resized, repainted and removed leave memory flat`, async () => {
  const page = await openFixture(session.browser, {});
  const client = await page.target().createCDPSession();
  try {
    const run = (count) =>
      page.evaluate(async (count) => {
        let failures = 0;
        for (let i = 0; i < count; ++i) {
          const element = document.createElement('trazo-picture');
          element.style.width = '200px';
          element.style.height = '150px';
          document.body.append(element);
          await frame();
          await frame();
          for (let k = 0; k < 50; ++k) element.AddLine(k, 0, 50 - k, k % 7, k % 16, k % 5, 'soak');
          element.AddCircle(25, 3, 2, 2, 0, '');
          element.AddText(0, 0, 1, 0, 3, 'Trazo', '');
          element.style.width = `${120 + (i % 80)}px`;
          await frame();
          await frame();
          element.Reflash();
          if (element.lastPaintStatus !== 0 || element.Count !== 52) ++failures;
          element.remove();
          await Promise.resolve();
        }
        return failures;
      }, count);
    assert.equal(await run(warmUp), 0);
    const warm = await settledMemory(page, client);
    const start = Date.now();
    assert.equal(await run(cycles - warmUp), 0);
    const end = await settledMemory(page, client);
    console.log(
      `${cycles} cycles (${Date.now() - start} ms after the warm-up): heap in use ${warm.inUse} -> ${end.inUse} B, ` +
        `WebAssembly memory ${warm.reserved} -> ${end.reserved} B, JavaScript heap ${warm.js} -> ${end.js} B`,
    );
    // One element's control and picture take well over 100 KiB: a leak of one in ten
    // passes every bound.
    assert.ok(end.inUse - warm.inUse < 256 * 1024, `heap in use ${warm.inUse} -> ${end.inUse}`);
    assert.ok(end.reserved - warm.reserved <= 1024 * 1024, `memory ${warm.reserved} -> ${end.reserved}`);
    assert.ok(end.js - warm.js < 2 * 1024 * 1024, `JavaScript heap ${warm.js} -> ${end.js}`);
    // The measure sees an element: one alive holds its picture (200 x 150 pixels) in the heap.
    const alive = await page.evaluate(async () => {
      const element = await picture(200, 150);
      element.AddLine(0, 0, 1, 1, 1, 0, '');
      element.Reflash();
      const memory = (await import('/trazo-picture.js')).moduleMemory();
      element.remove();
      return memory.inUse;
    });
    assert.ok(alive - end.inUse > 100 * 1024, `heap in use with one element ${alive}`);
    assert.deepEqual(page.errors, []);
  } finally {
    await page.close();
  }
});
