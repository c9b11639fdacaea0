// Picking on <trazo-picture>: entityAt and entitiesIn in CSS pixels of the element (P1
// moved off its corner, at device pixel ratios 1 and 2) against the canvas itself, and the
// trazo-hover and trazo-select events from a real pointer.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { browserAndScratch, fixtureRunner } from './harness.js';

const session = browserAndScratch('trazo-picking-');

const withFixture = fixtureRunner(session);

// Extents (0, 0)-(100, 50) in a 400 x 200 picture: 10/3 CSS pixels to the unit, drawing
// position (x, y) at CSS pixel ((x + 10) * 10/3, (55 - y) * 10/3) of P1. Each entity's tag
// names its colour index.
async function drawing(page, { left = 0, top = 0 } = {}) {
  await page.evaluate(
    async (left, top) => {
      window.element = await picture(400 + left, 200 + top);
      element.AddLine(0, 0, 100, 50, 3, 0, 'c3');
      element.AddCircle(50, 25, 10, 4, 0, 'c4');
      element.AddCircle2(20, 30, 12, 0.3, 2.5, 2, 1, 'c2');
      element.AddText(70, 5, 6, 20, 5, 'ab', 'c5');
      element.AddLine(0, 50, 100, 0, 6, 2, 'c6');
      element.placePicture('Left', left * 15);
      element.placePicture('Top', top * 15);
      element.placePicture('Width', 400 * 15);
      element.placePicture('Height', 200 * 15);
    },
    left,
    top,
  );
}

test('every inked pixel picks an entity of its colour, and the ground picks nothing', async () => {
  for (const ratio of [1, 2]) {
    await withFixture({ width: 600, height: 400, deviceScaleFactor: ratio }, async (page) => {
      await drawing(page, { left: 30, top: 20 });
      const outcome = await page.evaluate((left, top) => {
        const colours = { 'ff0000': 1, 'ffff00': 2, '00ff00': 3, '00ffff': 4, '0000ff': 5, 'ff00ff': 6 };
        const canvas = element.shadowRoot.querySelector('canvas');
        const ratio = canvas.width / 400;
        const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
        const faults = [];
        let inked = 0;
        for (let j = 0; j < canvas.height; ++j) {
          for (let i = 0; i < canvas.width; ++i) {
            const at = 4 * (j * canvas.width + i);
            const hex = [data[at], data[at + 1], data[at + 2]].map((v) => v.toString(16).padStart(2, '0')).join('');
            // The middle of device pixel (i, j), in CSS pixels of the element.
            const index = element.entityAt(left + (i + 0.5) / ratio, top + (j + 0.5) / ratio);
            const picked = element.entity(index);
            const expected = hex === '000000' ? null : `c${colours[hex]}`;
            inked += expected !== null;
            if ((picked?.tag ?? null) !== expected && faults.length < 5) faults.push({ i, j, hex, picked });
          }
        }
        return { inked, faults, ratio };
      }, 30, 20);
      assert.equal(outcome.ratio, ratio);
      assert.ok(outcome.inked > 400 * ratio, `${outcome.inked} inked pixels`);
      assert.deepEqual(outcome.faults, [], `at ratio ${ratio}`);
    });
  }
});

test('entitiesIn selects by crossing or inside in CSS pixels of the element; bad input finds nothing', async () => {
  await withFixture({}, async (page) => {
    await drawing(page, { left: 30, top: 20 });
    const answers = await page.evaluate(() => {
      // Drawing (x, y) in CSS pixels of the element, P1 being 30 right and 20 down.
      const px = (x, y) => [30 + ((x + 10) * 10) / 3, 20 + ((55 - y) * 10) / 3];
      const box = (x1, y1, x2, y2, options) => {
        const [left, top] = px(x1, y2);
        const [right, bottom] = px(x2, y1);
        return [...element.entitiesIn(left, top, right - left, bottom - top, options)];
      };
      const [cx, cy] = px(60, 25);
      return {
        ring: box(38, 13, 62, 37),
        ringInside: box(38, 13, 62, 37, { inside: true }),
        upsideDown: [...element.entitiesIn(...px(62, 13), ...[-80, -80])].length > 0,
        nothing: box(85, 20, 95, 30),
        atEdge: element.entityAt(cx, cy, 1),
        descriptions: [1, 2, 3, 4].map((i) => element.entity(i)),
        none: [element.entity(0), element.entity(6), element.entity(-1)],
        bad: [element.entityAt(NaN, 10), element.entityAt(cx, cy, -1), element.entityAt(-5, -5, 3), element.entityAt(1e9, 5)],
        badBox: [...element.entitiesIn(NaN, 0, 10, 10)].length,
      };
    });
    assert.deepEqual(answers.ring, [1, 2, 5]);
    assert.deepEqual(answers.ringInside, [2]);
    assert.equal(answers.upsideDown, true);
    assert.deepEqual(answers.nothing, []);
    assert.equal(answers.atEdge, 2);
    assert.deepEqual(answers.descriptions, [
      { index: 1, kind: 'line', tag: 'c3' },
      { index: 2, kind: 'circle', tag: 'c4' },
      { index: 3, kind: 'arc', tag: 'c2' },
      { index: 4, kind: 'text', tag: 'c5' },
    ]);
    assert.deepEqual(answers.none, [null, null, null]);
    assert.deepEqual(answers.bad, [0, 0, 0, 0]);
    assert.equal(answers.badBox, 0);

    // Entities added since the last paint are not on the picture; after a Clear and a
    // Reflash nothing is.
    const later = await page.evaluate(() => {
      element.AddLine(0, 25, 100, 25, 1, 0, 'later');
      const before = element.entitiesIn(0, 0, 1000, 1000).length;
      element.Clear();
      element.Reflash();
      return { before, after: element.entitiesIn(0, 0, 1000, 1000).length };
    });
    assert.deepEqual(later, { before: 5, after: 0 });
  });
});

test('trazo-hover follows the entity under the pointer and trazo-select reports clicks', async () => {
  await withFixture({}, async (page) => {
    await drawing(page);
    await page.evaluate(() => {
      window.heard = [];
      for (const type of ['trazo-hover', 'trazo-select']) {
        document.body.addEventListener(type, (event) => heard.push({ type, ...event.detail }));
      }
    });
    // The ring's right edge (60, 25), empty ground (90, 30), the line at (25, 12.5).
    const at = (x, y) => [((x + 10) * 10) / 3, ((55 - y) * 10) / 3];
    await page.mouse.move(...at(60, 25));
    await page.mouse.move(...at(60, 25).map((v) => v + 1));
    await page.mouse.move(...at(90, 30));
    await page.mouse.move(...at(25, 12.5));
    await page.mouse.down();
    await page.mouse.up();
    await page.keyboard.down('Shift');
    await page.mouse.click(...at(90, 30));
    await page.keyboard.up('Shift');
    // A press and a release far apart are no click.
    await page.mouse.down();
    await page.mouse.move(...at(60, 25));
    await page.mouse.up();
    await page.mouse.move(500, 300);  // off the element
    const heard = await page.evaluate(() => heard);
    const hover = (index, kind, tag) => ({ type: 'trazo-hover', index, kind, tag });
    const select = (index, kind, tag, shiftKey) => ({
      type: 'trazo-select', index, kind, tag, button: 0, shiftKey, ctrlKey: false, altKey: false,
    });
    assert.deepEqual(heard, [
      hover(2, 'circle', 'c4'),
      hover(0, 'none', ''),
      hover(1, 'line', 'c3'),
      select(1, 'line', 'c3', false),
      hover(0, 'none', ''),
      select(0, 'none', '', true),
      hover(2, 'circle', 'c4'),
      hover(0, 'none', ''),
    ]);
  });
});
