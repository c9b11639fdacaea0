// What every browser test shares: a static server on the loopback for the built web site
// and this folder, headless Chromium from the system (never a browser of puppeteer's own),
// and the native trazo host to compare with.
import assert from 'node:assert/strict';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before } from 'node:test';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const top = path.resolve(here, '../..');

// The built site (build-web/web: the module, the element, the example page) and the
// native trazo host, overridable for other build folders.
export const siteDir = path.resolve(process.env.TRAZO_WEB_SITE ?? path.join(top, 'build-web/web'));
export const trazoHost = path.resolve(process.env.TRAZO_HOST ?? path.join(top, 'build-native/tools/trazo/trazo'));
export const projectDir = top;

const kTypes = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.mjs': 'text/javascript',
  '.wasm': 'application/wasm',
  '.trz': 'text/plain; charset=utf-8',
};

// /tests/... is this folder, /project/... the project (scripts, examples), the rest the site.
function fileFor(urlPath) {
  const decoded = decodeURIComponent(urlPath);
  const [root, rest] = decoded.startsWith('/tests/')
    ? [here, decoded.slice('/tests/'.length)]
    : decoded.startsWith('/project/')
      ? [top, decoded.slice('/project/'.length)]
      : [siteDir, decoded.slice(1) || 'index.html'];
  const file = path.resolve(root, rest);
  return file.startsWith(root + path.sep) ? file : null;
}

function serve() {
  const server = createServer(async (request, response) => {
    const file = fileFor(new URL(request.url, 'http://localhost').pathname);
    try {
      if (!file) throw new Error('outside');
      const body = await readFile(file);
      response.writeHead(200, { 'content-type': kTypes[path.extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// For the test file that calls it: a browser and a scratch folder named from `prefix`, set
// up before its tests and removed after them. Read them as `.browser` and `.scratch`.
export function browserAndScratch(prefix) {
  const session = { browser: undefined, scratch: undefined };
  before(async () => {
    session.browser = await startBrowser();
    session.scratch = await mkdtemp(path.join(tmpdir(), prefix));
  });
  after(async () => {
    await session.browser?.close();
    if (session.scratch) await rm(session.scratch, { recursive: true, force: true });
  });
  return session;
}

// A browser and a server for one test file; close() ends both.
export async function startBrowser() {
  const server = await serve();
  const profile = await mkdtemp(path.join(tmpdir(), 'trazo-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: [
      '--headless=new',
      '--no-sandbox',
      '--disable-gpu',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
    ],
  });
  const origin = `http://127.0.0.1:${server.address().port}`;
  return {
    origin,
    // A page at `url` (relative to the origin) of the given size and device pixel ratio;
    // errors on the page fail the test that looks at `errors`.
    async open(url, { width = 800, height = 600, deviceScaleFactor = 1 } = {}) {
      const page = await browser.newPage();
      page.errors = [];
      page.on('pageerror', (error) => page.errors.push(error));
      page.on('console', (message) => {
        if (message.type() === 'error') page.errors.push(new Error(message.text()));
      });
      await page.setViewport({ width, height, deviceScaleFactor });
      await page.goto(origin + url, { waitUntil: 'load' });
      return page;
    },
    async close() {
      await browser.close();
      server.close();
      await rm(profile, { recursive: true, force: true });
    },
  };
}

// A blank page that has the element defined and a helper to make one: `picture(w, h)`
// adds a <trazo-picture> of w x h CSS pixels and resolves once it has been sized and
// painted.
export async function openFixture(browser, options) {
  const page = await browser.open('/tests/fixture.html', options);
  await page.waitForFunction(() => window.fixtureReady === true);
  return page;
}

// For a test file's `session` (browserAndScratch): withFixture(options, body) hands `body` a
// fixture page opened with `options`, then fails the test if the page logged errors; the
// page is closed whatever happens.
export function fixtureRunner(session) {
  return async (options, body) => {
    const page = await openFixture(session.browser, options);
    try {
      await body(page);
      assert.deepEqual(page.errors, []);
    } finally {
      await page.close();
    }
  };
}

// `trazo render SCRIPT --size WxH` of the native host, as RGBA bytes.
export async function renderNative(scriptPath, width, height, extra = []) {
  const { execFile } = await import('node:child_process');
  const { decodePng } = await import('./png.js');
  const folder = await mkdtemp(path.join(tmpdir(), 'trazo-render-'));
  const output = path.join(folder, 'picture.png');
  try {
    await new Promise((resolve, reject) =>
      execFile(trazoHost, ['render', scriptPath, '-o', output, '--size', `${width}x${height}`, ...extra], (error, _out, stderr) =>
        error ? reject(new Error(`trazo render ${scriptPath}: ${stderr || error.message}`)) : resolve(),
      ),
    );
    return decodePng(await readFile(output));
  } finally {
    await rm(folder, { recursive: true, force: true });
  }
}
