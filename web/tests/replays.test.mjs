// Replays in the page: a game played, shared as a link and watched in a fresh profile ends as
// zerno-sim ends its downloaded script; a dropped file plays; damaged links and files are told;
// the page reloads offline; a browser that keeps nothing still plays.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { withBrowser, serve, openPage, pickAndPlay, screenPoint, variable, nativeBuild, site } from './harness.mjs';

const zernoSim = join(nativeBuild, 'src/app/zerno-sim');
const gameScript = readFileSync(new URL('./game-a.sim', import.meta.url), 'utf8');
const lastState = (output) => output.slice(output.lastIndexOf('state '));

let server;
let browser;
withBrowser((served, launched) => { server = served; browser = launched; });

// The script's clicks, keys and waits played by the player on a page with a held clock.
async function playByKeys(page, script) {
    for (const line of script.split('\n').map((l) => l.trim()).filter((l) => l && !l.startsWith('#'))) {
        const [command, arg] = line.split(/\s+/);
        if (command === 'wait') {
            await page.evaluate((ms) => window.zernoPage.advance(ms), Number(arg));
        } else if (command === 'click') {
            const point = await screenPoint(page, arg);
            await page.mouse.click(point.x, point.y);
        } else if (command !== 'state') {
            await (command === 'keydown' ? page.keyboard.down(arg.toLowerCase()) : page.keyboard.up(arg.toLowerCase()));
        }
    }
}

const messages = (page) => page.$eval('#message', (box) => (box.hidden ? '' : box.textContent));

async function dropFile(page, name, text) {
    await page.evaluate((name, text) => {
        const transfer = new DataTransfer();
        transfer.items.add(new File([text], name, { type: 'text/plain' }));
        window.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, cancelable: true }));
    }, name, text);
}

test('a game shared as a link plays in a fresh profile to the state zerno-sim gives its downloaded file; a desktop replay dropped plays as in zerno-sim', async () => {
    const downloads = mkdtempSync(join(tmpdir(), 'zerno-replays-'));
    try {
        const { page, errors } = await openPage(browser, server, { query: '?clock=held' });
        const cdp = await page.createCDPSession();
        await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
        await pickAndPlay(page);
        await playByKeys(page, `${gameScript}wait 20000\n`);  // the third miss ends it
        await page.waitForSelector('#offer:not([hidden])');
        const [share, download] = await page.$$('#offer button');
        await share.click();
        await page.waitForFunction(() => !document.querySelector('#offer input').hidden);
        const link = await page.$eval('#offer input', (field) => field.value);
        await download.click();
        await page.waitForFunction(() => true);
        let file;
        for (let tries = 0; !file && tries < 50; ++tries) {
            await new Promise((done) => setTimeout(done, 100));
            file = readdirSync(downloads).find((name) => name.endsWith('.sim'));
        }
        assert.ok(file, 'the replay is downloaded');
        const script = readFileSync(join(downloads, file), 'utf8');
        assert.match(file, /_game-a_\d+\.sim$/);
        const simState = lastState(execFileSync(zernoSim, ['-'], { input: `${script}state\n`, encoding: 'utf8' }));
        assert.equal(variable(simState, 'GameRunning'), 0);
        console.log(`# a ${Math.round(variable(simState, 'Score'))}-point game's link: ${link.length} characters`);

        const fresh = await browser.createBrowserContext();
        const watcher = await openPage(fresh, server, { query: link.slice(link.indexOf('#')) });
        assert.equal(await watcher.page.evaluate(() => window.zernoPage.replaying()), true);
        // The player's keys do nothing to a replay.
        await watcher.page.keyboard.press('q');
        assert.equal(await watcher.page.evaluate(() => window.zernoPage.replayToEnd()), simState);
        await watcher.page.keyboard.press('Escape');
        assert.equal(await watcher.page.evaluate(() => window.zernoPage.replaying()), false);
        assert.deepEqual(watcher.errors, []);
        await fresh.close();

        // A game the desktop kept (in its window, on its real-time timer host) dropped on the page.
        const desktop = readFileSync(new URL('./desktop-game-a.sim', import.meta.url), 'utf8');
        await dropFile(page, '2026-12-09_05-38-54_game-a_300.sim', desktop);
        await page.waitForFunction(() => window.zernoPage.replaying());
        assert.equal(await page.evaluate(() => window.zernoPage.replayToEnd()),
                     lastState(execFileSync(zernoSim, ['-'], { input: `${desktop}state\n`, encoding: 'utf8' })));
        assert.deepEqual(errors, []);
        await page.close();
    } finally {
        rmSync(downloads, { recursive: true, force: true });
    }
});

test('a damaged link and a damaged file are each told, naming what is wrong, and nothing else changes', async () => {
    const { page } = await openPage(browser, server, { query: '?clock=held#replay=eJzLSM3JyecCAAhLAh8' });
    assert.match(await messages(page), /The link cannot be played: line 1: unknown command 'hello'/);
    assert.equal(await page.evaluate(() => window.zernoPage.replaying()), false);
    await page.evaluate(() => { location.hash = '#replay=not*base64'; });
    await page.waitForFunction(() => /not URL-safe base64/.test(document.getElementById('message').textContent));
    await pickAndPlay(page);
    const before = await page.evaluate(() => window.zernoPage.state());
    await dropFile(page, 'long.sim', 'click Im_Front\nwait 86400000\nwait 1\n');
    await page.waitForFunction(() => /long\.sim cannot be played: line 3: .*24 hours/.test(document.getElementById('message').textContent));
    await dropFile(page, 'bad.sim', 'click Im_Front\nclick Puls_GameA\nfrobnicate\n');
    await page.waitForFunction(() => /bad\.sim cannot be played: line 3: unknown command 'frobnicate'/.test(document.getElementById('message').textContent));
    assert.equal(await page.evaluate(() => window.zernoPage.state()), before);
    await page.close();
});

test('with the network cut, a reload still plays from the service worker\'s files; a new version serves the next visit', async () => {
    const folder = mkdtempSync(join(tmpdir(), 'zerno-site-'));
    cpSync(site, folder, { recursive: true });
    const copy = await serve(folder);
    try {
        const { page, errors } = await openPage(browser, copy, { query: '?clock=held' });
        await page.evaluate(async () => { await navigator.serviceWorker.ready; });
        await page.setOfflineMode(true);
        await page.reload();
        await page.evaluate(() => window.zernoPage.ready);
        await pickAndPlay(page);
        await playByKeys(page, 'click Im_Front\nclick Puls_GameA\nwait 1000\n');
        assert.equal(variable(await page.evaluate(() => window.zernoPage.state()), 'GameRunning'), 1);
        await page.setOfflineMode(false);
        assert.deepEqual(errors, []);

        // A new version of the files: the visit after the one that finds it runs it.
        writeFileSync(join(folder, 'whatsnew.txt'), 'a new version\n');
        writeFileSync(join(folder, 'sw.js'), readFileSync(join(folder, 'sw.js'), 'utf8').replace(/const Version = '\w+'/, "const Version = 'next'"));
        await page.reload();
        await page.waitForFunction(async () => (await caches.keys()).join() === 'zerno-bros-next');
        await page.reload();
        assert.equal(await page.evaluate(() => fetch('whatsnew.txt').then((response) => response.text())), 'a new version\n');
        await page.close();
    } finally {
        await copy.close();
        rmSync(folder, { recursive: true, force: true });
    }
});

test('storage refused: games play on, and the player is told once that they cannot be kept', async () => {
    const { page } = await openPage(browser, server, {
        query: '?clock=held',
        before: (page) => page.evaluateOnNewDocument(() => {
            indexedDB.open = () => { throw new DOMException('denied', 'SecurityError'); };
        }),
    });
    await pickAndPlay(page);
    await playByKeys(page, 'click Im_Front\nclick Puls_GameA\nwait 60000\nclick Puls_GameA\nwait 60000\n');
    const told = await messages(page);
    assert.equal(told.match(/games cannot be kept/g)?.length, 1, told);
    assert.ok(await page.$('#offer:not([hidden])'));
    await page.close();
});
