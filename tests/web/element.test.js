// <trazo-picture> in headless Chromium: its members and their statuses, the crossed
// MouseMove from a real pointer move, Resize and Paint, and the end of its life.
import assert from 'node:assert/strict';
import { writeFile } from 'node:fs/promises';
import path from 'node:path';
import { test } from 'node:test';
import { browserAndScratch, fixtureRunner, renderNative } from './harness.js';

const session = browserAndScratch('trazo-element-');

const withFixture = fixtureRunner(session);

test('the members have the interface\'s names and argument counts, and Count cannot be set', async () => {
  await withFixture({}, async (page) => {
    const shape = await page.evaluate(async () => {
      const element = await picture(100, 100);
      const proto = Object.getPrototypeOf(element);
      const arity = {};
      for (const name of ['Clear', 'AddBox', 'AddLine', 'AddCircle', 'AddCircle2', 'AddText', 'Reflash']) {
        arity[name] = typeof proto[name] === 'function' ? proto[name].length : 'missing';
      }
      const count = Object.getOwnPropertyDescriptor(proto, 'Count');
      let assigned = 'allowed';
      try {
        (() => {
          'use strict';
          element.Count = 5;
        })();
      } catch (error) {
        assigned = error.name;
      }
      return { arity, getter: typeof count.get, setter: typeof count.set, assigned, value: element.Count };
    });
    assert.deepEqual(shape.arity, { Clear: 0, AddBox: 7, AddLine: 7, AddCircle: 6, AddCircle2: 8, AddText: 7, Reflash: 0 });
    assert.deepEqual([shape.getter, shape.setter, shape.assigned, shape.value], ['function', 'undefined', 'TypeError', 0]);
  });
});

test('each add counts, and each failure throws its status; a failed call changes nothing', async () => {
  await withFixture({}, async (page) => {
    const cases = await page.evaluate(async () => {
      const element = await picture(200, 100);
      const calls = [
        ['AddLine', [0, 0, 10, 5, 3, 2, 'axis']],
        ['AddBox', [1, 1, 4, 3, 1, 0, '']],
        ['AddCircle', [5, 2.5, 2, 4, 1, '']],
        ['AddCircle2', [5, 2.5, 3, 0, 1.5708, 5, 0, '']],
        ['AddText', [1, 4, 0.5, 0, 6, 'Trazo', '']],
        // Arguments are coerced as automation coerces them: text to numbers, halves to even.
        ['AddLine', ['1', '2', 3, 4, 2.5, '0', 7]],
        // The geometry overflows: the floating-point error, nothing stored.
        ['AddCircle', [1e308, 0, 1e308, 1, 0, '']],
        ['AddCircle2', [1e308, 0, 1e308, 0, 1, 1, 0, '']],
        ['AddText', [0, 0, 1e308, 0, 1, 'ABCDEFGHIJ', '']],
        // Refused by late binding before the control runs.
        ['AddLine', [0, 0, 1, 1, 3, 2]],
        ['AddLine', [0, 0, 1, 1, 2147483648, 0, '']],
        ['AddLine', [0, 'abc', 1, 1, 3, 0, '']],
        ['AddText', [0, 0, 1, 0, 1, {}, '']],
        ['Reflash', []],
      ];
      return calls.map(([member, args]) => {
        try {
          element[member](...args);
          return { member, count: element.Count };
        } catch (error) {
          return { member, count: element.Count, code: error.code, kind: error.kind, argument: error.argument, type: error.name };
        }
      });
    });
    const error = (code, kind, argument) => ({ code, kind, argument, type: 'TrazoError' });
    const expected = [
      {}, {}, {}, {}, {}, {},
      error(0x800a000b, 'float'),
      error(0x800a000b, 'float'),
      error(0x800a000b, 'float'),
      error(0x8002000e, '8002000E'),
      error(0x8002000a, '8002000A', 4),
      error(0x80020005, '80020005', 1),
      error(0x80020005, '80020005', 5),
      {},
    ];
    const counts = [1, 5, 6, 7, 8, 9, 9, 9, 9, 9, 9, 9, 9, 9];
    cases.forEach((c, i) => {
      const { member, count, ...failure } = c;
      assert.equal(count, counts[i], `${member} (call ${i + 1}): Count`);
      const want = expected[i];
      assert.deepEqual(
        Object.fromEntries(Object.entries(failure).filter(([, v]) => v !== undefined)),
        Object.fromEntries(Object.entries(want).filter(([, v]) => v !== undefined)),
        `${member} (call ${i + 1})`,
      );
    });
  });
});

test('the four run-time errors reach the page as four distinct codes and kinds', async () => {
  // Overflow needs two billion entities and a member's out-of-memory a full address space,
  // so the mapping is checked on its own; float and subscript are provoked above and below.
  await withFixture({}, async (page) => {
    const mapped = await page.evaluate(() =>
      Object.entries(Status).map(([name, status]) => {
        const error = new TrazoError('AddLine', status | 0);
        return [name, error.code, error.kind, error instanceof Error, error.message];
      }),
    );
    assert.deepEqual(mapped, [
      ['overflow', 0x800a0006, 'overflow', true, 'AddLine failed: overflow (0x800A0006)'],
      ['memory', 0x800a0007, 'memory', true, 'AddLine failed: memory (0x800A0007)'],
      ['subscript', 0x800a0009, 'subscript', true, 'AddLine failed: subscript (0x800A0009)'],
      ['float', 0x800a000b, 'float', true, 'AddLine failed: float (0x800A000B)'],
    ]);
  });
});

test('a canvas too large for memory fails Paint with the out-of-memory status, and the next Paint draws', async () => {
  await withFixture({}, async (page) => {
    const statuses = await page.evaluate(async () => {
      const element = await picture(200, 100);
      element.AddLine(0, 0, 10, 5, 3, 0, '');
      // 40,000 x 40,000 pixels are 6.4 GB: more than WebAssembly's 32-bit memory holds.
      element.style.width = element.style.height = '40000px';
      await frame();
      await frame();
      const huge = element.lastPaintStatus;
      element.style.width = '200px';
      element.style.height = '100px';
      await frame();
      await frame();
      const { width, height, rgba } = canvasPixels(element);
      return { huge, after: element.lastPaintStatus, width, height, lit: atob(rgba).split('').some((c, i) => i % 4 === 1 && c !== '\0') };
    });
    assert.deepEqual(statuses, { huge: 0x800a0007, after: 0, width: 200, height: 100, lit: true });
  });
});

test('MouseMove carries the pointer\'s drawing position crossed, with its buttons and keys', async () => {
  await withFixture({}, async (page) => {
    await page.evaluate(async () => {
      const element = await picture(400, 200);
      // Extents (0, 0)-(100, 50) in a 2:1 picture: Scale (-10, 55)-(110, -5), 10/3 pixels to
      // the unit, so drawing position (50, 25) is at pixel (200, 100).
      element.AddLine(0, 0, 100, 50, 3, 0, '');
      element.Reflash();
      window.moves = [];
      element.addEventListener('MouseMove', (event) => {
        // The handler runs inside the notification: members may be called from it.
        window.moves.push({ ...event.detail, count: element.Count });
      });
    });
    const cases = [
      { button: null, keys: [], Button: 0, Shift: 0 },
      { button: 'left', keys: ['Shift'], Button: 1, Shift: 1 },
      { button: 'right', keys: ['Control', 'Alt'], Button: 2, Shift: 6 },
      { button: 'middle', keys: ['Alt'], Button: 4, Shift: 4 },
    ];
    for (const c of cases) {
      await page.mouse.move(10, 10);
      for (const key of c.keys) await page.keyboard.down(key);
      if (c.button) await page.mouse.down({ button: c.button });
      await page.evaluate(() => (window.moves = []));
      await page.mouse.move(200, 100);
      const moves = await page.evaluate(() => window.moves);
      if (c.button) await page.mouse.up({ button: c.button });
      for (const key of c.keys) await page.keyboard.up(key);
      assert.equal(moves.length, 1, `${c.button ?? 'no button'}: one MouseMove`);
      const [move] = moves;
      assert.deepEqual([move.Button, move.Shift, move.count], [c.Button, c.Shift, 1], `${c.button ?? 'no button'}`);
      // X is the vertical position, Y the horizontal one.
      assert.ok(Math.abs(move.X - 25) < 1e-4 && Math.abs(move.Y - 50) < 1e-4, `X ${move.X}, Y ${move.Y}`);
    }
    // Up the picture the event's X grows, to the right its Y.
    await page.evaluate(() => (window.moves = []));
    await page.mouse.move(200, 40);
    await page.mouse.move(300, 40);
    const [up, right] = await page.evaluate(() => window.moves);
    assert.ok(up.X > 25 && Math.abs(up.Y - 50) < 1e-4 && right.Y > up.Y && right.X === up.X, JSON.stringify({ up, right }));
  });
});

test('a resize refits the drawing and a new device pixel ratio repaints it at its pixels', async () => {
  const script = "AddLine 0, 0, 100, 50, 3, 0, \"\"\nAddCircle 50, 25, 20, 4, 1, \"\"\nAddText 10, 10, 5, 30, 2, \"Abc\", \"\"\nReflash\n";
  const file = path.join(session.scratch, 'refit.trz');
  await writeFile(file, script);
  await withFixture({ width: 600, height: 400 }, async (page) => {
    const sizes = [
      [400, 200, 1],
      [200, 200, 1],
      [250, 300, 1],
      [250, 300, 2],
    ];
    await page.evaluate(async (text) => {
      window.element = await picture(400, 200);
      element.runScript(text, 'refit.trz');
    }, script);
    for (const [width, height, ratio] of sizes) {
      // Chromium's emulation tells pages of a new ratio only with a new viewport size; the
      // element's own size stays, so only the ratio's media query can ask for the Paint.
      if (ratio !== 1) await page.setViewport({ width: 640, height: 400, deviceScaleFactor: ratio });
      const canvas = await page.evaluate(
        async (w, h) => {
          element.style.width = `${w}px`;
          element.style.height = `${h}px`;
          await frame();
          await frame();
          return { ...canvasPixels(element), status: element.lastPaintStatus };
        },
        width,
        height,
      );
      const native = await renderNative(file, width * ratio, height * ratio);
      assert.deepEqual([canvas.width, canvas.height, canvas.status], [width * ratio, height * ratio, 0]);
      assert.ok(Buffer.from(canvas.rgba, 'base64').equals(native.rgba), `${width}x${height} at ${ratio}: trazo render's pixels`);
    }
  });
});

test('the antialias attribute and property reflect each other and repaint: trazo render --antialias, or crisp again', async () => {
  const script = 'AddLine 0, 0, 100, 37, 3, 0, ""\nAddCircle 50, 20, 15, 4, 1, ""\nReflash\n';
  const file = path.join(session.scratch, 'smooth.trz');
  await writeFile(file, script);
  await withFixture({ width: 400, height: 300 }, async (page) => {
    const seen = await page.evaluate(async (text) => {
      const element = await picture(300, 200);
      element.runScript(text, 'smooth.trz');
      const states = [];
      const look = () => ({ property: element.antialias, attribute: element.getAttribute('antialias'), ...canvasPixels(element) });
      states.push(look());
      element.setAttribute('antialias', '');
      states.push(look());
      element.antialias = false;
      states.push(look());
      element.antialias = true;
      states.push(look());
      return states;
    }, script);
    const crisp = await renderNative(file, 300, 200);
    const smooth = await renderNative(file, 300, 200, ['--antialias']);
    assert.ok(!crisp.rgba.equals(smooth.rgba));
    const expected = [
      [false, null, crisp],
      [true, '', smooth],
      [false, null, crisp],
      [true, '', smooth],
    ];
    seen.forEach((state, i) => {
      const [property, attribute, native] = expected[i];
      assert.deepEqual([state.property, state.attribute], [property, attribute], `step ${i}`);
      assert.ok(Buffer.from(state.rgba, 'base64').equals(native.rgba), `step ${i}: trazo render's pixels`);
    });
  });
});

test('a moved element keeps its drawing; a removed one is terminated; one put back starts afresh', async () => {
  await withFixture({}, async (page) => {
    const life = await page.evaluate(async () => {
      const element = await picture(200, 100);
      element.AddLine(0, 0, 10, 5, 3, 0, '');
      const box = document.createElement('div');
      document.body.append(box);
      box.append(element); // a move: out and back in at once
      await frame();
      const moved = element.Count;
      element.remove();
      await frame();
      const failures = [];
      for (const call of [() => element.AddLine(0, 0, 1, 1, 1, 0, ''), () => element.Reflash()]) {
        try {
          call();
          failures.push('none');
        } catch (error) {
          failures.push(error.kind);
        }
      }
      document.body.append(element);
      await frame();
      await frame();
      const fresh = element.Count;
      element.AddCircle(0, 0, 1, 1, 0, '');
      return { moved, failures, fresh, again: element.Count, status: element.lastPaintStatus };
    });
    assert.deepEqual(life, { moved: 1, failures: ['subscript', 'subscript'], fresh: 0, again: 1, status: 0 });
  });
});
