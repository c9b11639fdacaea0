// The canvas of <trazo-picture> against `trazo render` of the same script at the same size:
// every byte of every pixel the same, at one and at two device pixels per CSS pixel, crisp
// and antialiased.
import assert from 'node:assert/strict';
import { readdir, readFile, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { browserAndScratch, openFixture, renderNative } from './harness.js';
import { randomScript } from './random_script.js';

const probes = path.join(path.dirname(fileURLToPath(import.meta.url)), 'probes');

const session = browserAndScratch('trazo-probes-');

// The element's canvas for `script` at width x height CSS pixels.
async function elementPixels(script, width, height, deviceScaleFactor, antialias) {
  const page = await openFixture(session.browser, { width: width + 40, height: height + 40, deviceScaleFactor });
  try {
    const picture = await page.evaluate(
      async (text, w, h, smooth) => {
        const element = await picture(w, h);
        element.antialias = smooth;
        const outcome = element.runScript(text, 'probe.trz');
        return { outcome, ...canvasPixels(element) };
      },
      script,
      width,
      height,
      antialias,
    );
    assert.deepEqual(page.errors, []);
    assert.deepEqual(picture.outcome.rejected, []);
    return { width: picture.width, height: picture.height, rgba: Buffer.from(picture.rgba, 'base64') };
  } finally {
    await page.close();
  }
}

// Where the two pictures first differ, for the message.
function firstDifference(a, b, width) {
  for (let i = 0; i < a.length; i += 4) {
    if (a.readUInt32BE(i) !== b.readUInt32BE(i)) {
      const p = i / 4;
      return `pixel (${p % width}, ${Math.floor(p / width)}): canvas ${a.toString('hex', i, i + 4)}, trazo render ${b.toString('hex', i, i + 4)}`;
    }
  }
  return 'none';
}

async function expectSamePixels(name, script, width, height, deviceScaleFactor = 1, antialias = false) {
  const file = path.join(session.scratch, `${name}.trz`);
  await writeFile(file, script);
  const device = [width * deviceScaleFactor, height * deviceScaleFactor];
  const native = await renderNative(file, ...device, antialias ? ['--antialias'] : []);
  const canvas = await elementPixels(script, width, height, deviceScaleFactor, antialias);
  assert.deepEqual([canvas.width, canvas.height], device);
  let differing = 0;
  for (let i = 0; i < native.rgba.length; i += 4) differing += native.rgba.readUInt32BE(i) !== canvas.rgba.readUInt32BE(i);
  assert.equal(differing, 0, `${name}: ${differing} pixels differ; first ${firstDifference(canvas.rgba, native.rgba, device[0])}`);
  // A probe that draws nothing would pass too: each draws on a good share of its picture.
  let lit = 0;
  for (let i = 0; i < native.rgba.length; i += 4) lit += native.rgba.readUInt32BE(i) !== 0x000000ff;
  assert.ok(lit > 200, `${name}: only ${lit} pixels drawn`);
}

for (const file of (await readdir(probes)).filter((f) => f.endsWith('.trz')).sort()) {
  test(`probe ${file} is trazo render's picture byte for byte`, async () => {
    await expectSamePixels(path.basename(file, '.trz'), await readFile(path.join(probes, file), 'utf8'), 640, 400);
  });
}

test('2,000 random entities from a fixed seed are trazo render\'s picture byte for byte', async () => {
  await expectSamePixels('random_2000', randomScript(2000, 20261209), 900, 560);
});

test('at two device pixels per CSS pixel the canvas is trazo render\'s picture at twice the size', async () => {
  await expectSamePixels('random_dpr2', randomScript(300, 7), 400, 250, 2);
  await expectSamePixels(
    'text_dpr2',
    await readFile(path.join(probes, 'text_boxes_at_several_angles.trz'), 'utf8'),
    300,
    200,
    2,
  );
});

test('antialiased, every probe and 2,000 random entities are trazo render --antialias\'s picture byte for byte', async () => {
  for (const file of (await readdir(probes)).filter((f) => f.endsWith('.trz')).sort()) {
    const name = `${path.basename(file, '.trz')}_antialiased`;
    await expectSamePixels(name, await readFile(path.join(probes, file), 'utf8'), 640, 400, 1, true);
  }
  await expectSamePixels('random_2000_antialiased', randomScript(2000, 20261209), 900, 560, 1, true);
  await expectSamePixels('random_dpr2_antialiased', randomScript(300, 7), 400, 250, 2, true);
});
