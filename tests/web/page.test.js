// The example page: a script given by URL is shown with a MouseMove status line, and a
// script that trazo rejects or whose members fail gets trazo's own messages.
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';
import { browserAndScratch, projectDir, trazoHost } from './harness.js';

const scripts = path.join(projectDir, 'tests/scripts');

const session = browserAndScratch('trazo-page-');

// trazo's standard error for `trazo COMMAND FILE ...`, run in the scripts' folder so that
// the messages name the file as the page does.
function trazoMessages(args) {
  return new Promise((resolve) =>
    execFile(trazoHost, args, { cwd: scripts }, (_error, _out, stderr) => resolve(stderr.split('\n').filter(Boolean))),
  );
}

test('a script named by ?script= is shown, and the status line follows MouseMove', async () => {
  const page = await session.browser.open('/?script=/project/examples/floor_plan.trz', { width: 800, height: 600 });
  try {
    await page.waitForFunction(() => document.getElementById('name').textContent.endsWith('floor_plan.trz'));
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    const shown = await page.evaluate(() => {
      const element = document.querySelector('#stage trazo-picture');
      const canvas = element.shadowRoot.querySelector('canvas');
      const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
      let lit = 0;
      for (let i = 0; i < data.length; i += 4) lit += data[i] + data[i + 1] + data[i + 2] > 0;
      const box = canvas.getBoundingClientRect();
      return { count: element.Count, lit, box: [box.left, box.top, box.width, box.height] };
    });
    assert.ok(shown.count > 10 && shown.lit > 500, JSON.stringify(shown));
    await page.mouse.move(shown.box[0] + shown.box[2] / 2, shown.box[1] + shown.box[3] / 2);
    const status = await page.$eval('#status', (e) => e.textContent);
    assert.match(status, /^MouseMove Button=0 Shift=0 X=-?[\d.e+-]+ Y=-?[\d.e+-]+$/);
    assert.deepEqual(page.errors, []);
  } finally {
    await page.close();
  }
});

test('rejected scripts and failing members get the messages trazo writes', async () => {
  const page = await session.browser.open('/', { width: 800, height: 600 });
  try {
    await page.waitForFunction(() => window.trazoPage !== undefined);
    for (const [name, command] of [
      ['rejected.trz', 'trace'],
      ['hostile_rejected.trz', 'trace'],
      ['failures.trz', 'render'],
    ]) {
      const bytes = [...(await readFile(path.join(scripts, name)))];
      const shown = await page.evaluate(
        (data, fileName) => {
          window.trazoPage.show(new Uint8Array(data), fileName);
          return document.getElementById('messages').textContent.split('\n').filter(Boolean);
        },
        bytes,
        name,
      );
      const args = command === 'render' ? ['render', name, '-o', path.join(session.scratch, 'picture.png')] : ['trace', name];
      const expected = (await trazoMessages(args)).filter((line) => line.startsWith(name));
      assert.ok(expected.length > 0, `${name}: trazo wrote messages`);
      assert.deepEqual(shown, expected, name);
    }
    assert.deepEqual(page.errors, []);
  } finally {
    await page.close();
  }
});

test('the page names the entity under the pointer and the one clicked', async () => {
  const page = await session.browser.open('/?script=/project/examples/floor_plan.trz', { width: 800, height: 600 });
  try {
    await page.waitForFunction(() => document.getElementById('name').textContent.endsWith('floor_plan.trz'));
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    // The first inked pixel along the picture's middle row, and the ground beside the picture.
    const target = await page.evaluate(() => {
      const element = document.querySelector('#stage trazo-picture');
      const canvas = element.shadowRoot.querySelector('canvas');
      const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
      const box = canvas.getBoundingClientRect();
      const outer = element.getBoundingClientRect();
      const row = Math.floor(canvas.height / 2);
      for (let i = 0; i < canvas.width; ++i) {
        const at = 4 * (row * canvas.width + i);
        if (data[at] + data[at + 1] + data[at + 2] === 0) continue;
        const [x, y] = [box.left + i + 0.5, box.top + row + 0.5];
        const entity = element.entity(element.entityAt(x - outer.left, y - outer.top, element.pickTolerance));
        return { x, y, entity, ground: [box.left + 2, box.top + 2] };
      }
      return null;
    });
    assert.ok(target?.entity, JSON.stringify(target));
    const { index, kind, tag } = target.entity;
    const name = `${kind} ${index}${tag ? ` "${tag}"` : ''}`;
    const lines = async () => page.evaluate(() => ['entity', 'selected'].map((id) => document.getElementById(id).textContent));
    await page.mouse.move(target.x, target.y);
    assert.deepEqual(await lines(), [name, '']);
    await page.mouse.click(target.x, target.y);
    assert.deepEqual(await lines(), [name, `selected: ${name}`]);
    await page.mouse.move(...target.ground);
    assert.deepEqual(await lines(), ['', `selected: ${name}`]);
    assert.deepEqual(page.errors, []);
  } finally {
    await page.close();
  }
});
