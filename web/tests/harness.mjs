// What every browser test and the benchmark share: the built site served on a free port of this
// machine, and the system's Chromium, headless, driven by puppeteer-core.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { before, after } from 'node:test';
import puppeteer from 'puppeteer-core';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const site = process.env.ZERNO_WEB_SITE ?? join(root, 'build-web/site');
export const nativeBuild = process.env.ZERNO_BUILD ?? join(root, 'build');

const types = {
    '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
    '.jpg': 'image/jpeg', '.png': 'image/png', '.wav': 'audio/wav', '.txt': 'text/plain; charset=utf-8',
    '.layout': 'text/plain; charset=utf-8', '.webmanifest': 'application/manifest+json',
};

export async function serve(folder = site) {
    const server = createServer(async (request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^\/+/, '');
        const file = join(folder, path === '' ? 'index.html' : path);
        try {
            const body = await readFile(file);
            response.writeHead(200, { 'content-type': types[extname(file)] ?? 'application/octet-stream' });
            response.end(body);
        } catch {
            response.writeHead(404);
            response.end();
        }
    });
    await new Promise((done) => server.listen(0, '127.0.0.1', done));
    return { url: `http://127.0.0.1:${server.address().port}/`, close: () => new Promise((done) => server.close(done)) };
}

export async function launch() {
    return puppeteer.launch({
        executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
               '--disable-sync', '--no-first-run', '--autoplay-policy=no-user-gesture-required'],
    });
}

// One server and one browser for a test file's tests, started before the first and closed after
// the last; set receives them.
export function withBrowser(set) {
    let server;
    let browser;
    before(async () => {
        server = await serve();
        browser = await launch();
        set(server, browser);
    });
    after(async () => {
        await browser?.close();
        await server?.close();
    });
}

// A page of the site with its console errors collected; `query` as "?clock=held".
export async function openPage(browser, server, { query = '', viewport = { width: 1280, height: 720 }, before } = {}) {
    const page = await browser.newPage();
    const errors = [];
    page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
    page.on('pageerror', (error) => errors.push(error.message));
    await page.setViewport(viewport);
    if (before)
        await before(page);
    await page.goto(server.url + query);
    await page.evaluate(() => window.zernoPage.ready);
    return { page, errors };
}

// Picks a sound choice and clicks PLAY: the closed device is shown.
export async function pickAndPlay(page, choice = '(no sound)') {
    await page.select('#CB_Sound', choice);
    await page.click('#Puls_Play');
    await page.waitForFunction(() => !document.getElementById('device').hidden);
}

// Where a device component is on the screen, in CSS pixels: its rectangle's corner, or a point
// inside it as a fraction of its size.
export async function screenPoint(page, name, fx = 0, fy = 0) {
    return page.evaluate((name, fx, fy) => {
        const rect = window.zernoPage.componentRect(name);
        const box = document.getElementById('device').getBoundingClientRect();
        const unit = box.height / 416;
        return { x: box.left + (rect.left + rect.width * fx + 0.5) * unit, y: box.top + (rect.top + rect.height * fy + 0.5) * unit };
    }, name, fx, fy);
}

// The state block's variable, as the core has it.
export function variable(state, name) {
    const match = state.match(new RegExp(`^var ${name} (-?\\d+)$`, 'm'));
    return match ? Number(match[1]) : undefined;
}
