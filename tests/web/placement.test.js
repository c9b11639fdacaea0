// P1's placement in <trazo-picture>, through the table every shell runs
// (tests/placement_cases.txt): each assignment's status and the CSS pixels the canvas sits
// at afterwards.
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';
import { browserAndScratch, openFixture, projectDir } from './harness.js';

const session = browserAndScratch('trazo-placement-');
const kInvalidCall = 0x800a0005;

// The table's cases in order, each a list of steps; lines that share a case name run on one
// element.
async function placementCases() {
  const text = await readFile(path.join(projectDir, 'tests/placement_cases.txt'), 'utf8');
  const cases = [];
  text.split('\n').forEach((line, index) => {
    if (line.trim() === '' || line.startsWith('#')) return;
    const [name, property, twips, status, ...pixels] = line.trim().split(/\s+/);
    assert.ok(['-', 'Left', 'Top', 'Width', 'Height'].includes(property), `line ${index + 1}: property`);
    assert.ok(['ok', 'invalid'].includes(status), `line ${index + 1}: status`);
    assert.equal(pixels.length, 4, `line ${index + 1}: four pixel values`);
    // The twips stay text up to the page: NaN and Infinity do not cross as JSON numbers.
    const step = { line: index + 1, property, twips, status, expected: pixels.map(Number) };
    if (cases.at(-1)?.name !== name) cases.push({ name, steps: [] });
    cases.at(-1).steps.push(step);
  });
  return cases;
}

test('the canvas sits where every case of the placement table puts it', async () => {
  const cases = await placementCases();
  assert.ok(cases.length > 20);
  const page = await openFixture(session.browser);
  try {
    const results = await page.evaluate((cases) => {
      // The typed value: the text of a large one has only six digits.
      const px = (map, property) => {
        const value = map.get(property);
        return value?.unit === 'px' ? value.value : NaN;
      };
      return cases.map(({ steps }) => {
        // Out of the document: no change of size places P1 over the element meanwhile.
        const element = document.createElement('trazo-picture');
        const style = element.shadowRoot.querySelector('canvas').attributeStyleMap;
        return steps.map(({ property, twips }) => {
          const status = property === '-' ? 0 : element.placePicture(property, Number(twips));
          return { status, at: ['left', 'top', 'width', 'height'].map((side) => px(style, side)) };
        });
      });
    }, cases);
    cases.forEach(({ name, steps }, i) =>
      steps.forEach((step, j) => {
        const { status, at } = results[i][j];
        const where = `${name}, line ${step.line}`;
        assert.equal(status, step.status === 'ok' ? 0 : kInvalidCall, `${where}: status`);
        assert.deepEqual(at, step.expected, `${where}: left, top, width, height`);
      }),
    );
    assert.deepEqual(page.errors, []);
  } finally {
    await page.close();
  }
});
