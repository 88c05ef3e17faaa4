// The browser edition's benchmark (not a test): each figure against its target, measured on the
// built site in the system's Chromium, headless, on this machine's loopback.
//   node tools/web/bench.mjs [SITE]    (after tools/web/build; tools/dev web-bench does both)
import { readdirSync, readFileSync, statSync } from 'node:fs';
import { join, relative } from 'node:path';
import { gzipSync } from 'node:zlib';
import { serve, launch, pickAndPlay, screenPoint, site as builtSite } from '../../web/tests/harness.mjs';

const site = process.argv[2] ?? builtSite;
const results = [];
function report(name, value, unit, target, atMost = true) {
    const met = atMost ? value <= target : value >= target;
    results.push(met);
    console.log(`${met ? 'ok  ' : 'MISS'} ${name}: ${value.toFixed(unit === 'KB' ? 1 : 2)} ${unit} (target ${atMost ? '≤' : '≥'} ${target} ${unit})`);
}
const percentile = (values, p) => {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)] ?? NaN;
};
const pause = (ms) => new Promise((done) => setTimeout(done, ms));

// ---- What a visitor downloads, gzip-compressed as a web server sends it ----
const files = [];
const walk = (folder) => {
    for (const name of readdirSync(folder)) {
        const path = join(folder, name);
        statSync(path).isDirectory() ? walk(path) : files.push(path);
    }
};
walk(site);
const gzipped = (path) => gzipSync(readFileSync(path), { level: 6 }).length;
const code = files.filter((path) => /\.(wasm|js)$/.test(path));
report('WebAssembly + scripts, gzip', code.reduce((sum, path) => sum + gzipped(path), 0) / 1024, 'KB', 300);
report('the whole site, gzip', files.reduce((sum, path) => sum + gzipped(path), 0) / 1024, 'KB', 1536);
console.log(`     (${code.map((path) => relative(site, path)).join(', ')})`);

const server = await serve(site);
const browser = await launch();
try {
    // ---- Navigation to the launcher drawn, five fresh visits ----
    const times = [];
    for (let visit = 0; visit < 5; ++visit) {
        const context = await browser.createBrowserContext();
        const page = await context.newPage();
        await page.goto(server.url);
        await page.waitForFunction(() => window.zernoPage?.stats.launcherDrawnAt > 0);
        times.push(await page.evaluate(() => window.zernoPage.stats.launcherDrawnAt));
        await context.close();
    }
    report('navigation to the launcher drawn, slowest of 5', Math.max(...times), 'ms', 1000);

    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 720 });
    await page.goto(server.url);
    await page.evaluate(() => window.zernoPage.ready);
    await pickAndPlay(page);
    const front = await screenPoint(page, 'Im_Front', 0.5, 0.5);
    await page.mouse.click(front.x, front.y);

    // ---- Clock mode (TIME): wake-ups a second ----
    const time = await screenPoint(page, 'Puls_Time');
    await page.mouse.click(time.x, time.y);
    await pause(1500);
    const wakesBefore = await page.evaluate(() => window.zernoPage.stats.wakes);
    await pause(5000);
    const wakes = (await page.evaluate(() => window.zernoPage.stats.wakes)) - wakesBefore;
    report('clock mode, wake-ups a second', wakes / 5, '/s', 1.2);

    // ---- A Game A on the real clock: tick lateness and key to the next frame ----
    const gameA = await screenPoint(page, 'Puls_GameA');
    await page.mouse.click(gameA.x, gameA.y);
    await page.evaluate(() => { window.zernoPage.stats.lateness.length = 0; window.zernoPage.stats.keyToFrame.length = 0; });
    const keys = ['q', 'a', 'p', 'l'];
    for (let press = 0; press < 240; ++press) {
        await page.keyboard.press(keys[press % 4]);
        await pause(90 + (press * 37) % 60);
    }
    const { lateness, keyToFrame } = await page.evaluate(() => window.zernoPage.stats);
    report(`tick lateness p99 (${lateness.length} ticks; p50 ${percentile(lateness, 50).toFixed(2)}, max ${Math.max(...lateness).toFixed(2)})`, percentile(lateness, 99), 'ms', 4);
    report(`key to the next frame p99 (${keyToFrame.length} keys; p50 ${percentile(keyToFrame, 50).toFixed(2)})`, percentile(keyToFrame, 99), 'ms', 16.7);
} finally {
    await browser.close();
    await server.close();
}
process.exitCode = results.every(Boolean) ? 0 : 1;
