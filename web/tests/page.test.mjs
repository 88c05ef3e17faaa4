// The browser edition in the system's Chromium: the launcher, a game played by keys and by touch
// against zerno-sim, the picture against zerno-shot's, settings kept across a reload, and a
// browser with its storage or its WebAssembly turned off.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { withBrowser, openPage, pickAndPlay, screenPoint, variable, root, nativeBuild } from './harness.mjs';

const zernoSim = join(nativeBuild, 'src/app/zerno-sim');
const zernoShot = join(nativeBuild, 'tools/shots/zerno-shot');
const gameScript = readFileSync(new URL('./game-a.sim', import.meta.url), 'utf8');

let server;
let browser;
withBrowser((served, launched) => { server = served; browser = launched; });

const lines = (script) => script.split('\n').map((line) => line.trim()).filter((line) => line && !line.startsWith('#'));
const lastState = (output) => output.slice(output.lastIndexOf('state '));

// Plays a zerno-sim script on a page with a held clock through the player's own input: clicks at
// the component's corner as zerno-sim presses there, the keys, or, with touch, taps on GAME A and
// touches on the pads' halves for the worker keys. Gives the last state block.
async function playAsPlayer(page, script, { touch = false } = {}) {
    const padHalf = { Q: ['Puls_Left', 0.25], A: ['Puls_Left', 0.75], P: ['Puls_Right', 0.25], L: ['Puls_Right', 0.75] };
    let state = '';
    for (const line of lines(script)) {
        const [command, arg] = line.split(/\s+/);
        if (command === 'wait') {
            assert.equal(await page.evaluate((ms) => window.zernoPage.advance(ms), Number(arg)), '');
        } else if (command === 'click') {
            const point = await screenPoint(page, arg);
            if (touch)
                await page.touchscreen.tap(point.x, point.y);
            else
                await page.mouse.click(point.x, point.y);
        } else if (command === 'keydown' || command === 'keyup') {
            if (touch) {
                const [pad, fy] = padHalf[arg];
                const point = await screenPoint(page, pad, 0.5, fy);
                await (command === 'keydown' ? page.touchscreen.touchStart(point.x, point.y) : page.touchscreen.touchEnd());
            } else {
                await (command === 'keydown' ? page.keyboard.down(arg.toLowerCase()) : page.keyboard.up(arg.toLowerCase()));
            }
        } else if (command === 'state') {
            state = await page.evaluate(() => window.zernoPage.state());
        } else {
            throw new Error(`the player cannot do "${line}"`);
        }
    }
    return state;
}

test('the launcher: no console error, PLAY greyed until a sound mode is picked, PLAY shows the closed device and a click opens it', async () => {
    const { page, errors } = await openPage(browser, server);
    const choices = await page.$$eval('#CB_Sound option', (options) => options.map((option) => option.textContent));
    assert.deepEqual(choices, ['Web Audio', '(no sound)']);
    assert.equal(await page.$eval('#Puls_Play', (button) => button.disabled), true);
    assert.equal(await page.$eval('#La_Sound', (label) => label.textContent), 'Select sound mode:');
    await page.select('#CB_Sound', 'Web Audio');
    assert.equal(await page.$eval('#Puls_Play', (button) => button.disabled), false);
    await page.click('#Puls_Play');
    await page.waitForFunction(() => !document.getElementById('device').hidden);
    const closedWidth = await page.$eval('#device', (canvas) => canvas.width / (canvas.height / 416));
    assert.equal(closedWidth, 372);
    const front = await screenPoint(page, 'Im_Front', 0.5, 0.5);
    await page.mouse.click(front.x, front.y);
    await page.waitForFunction(() => document.getElementById('device').width / (document.getElementById('device').height / 416) === 766);
    assert.match(await page.evaluate(() => window.zernoPage.state()), /^lit .*\bIm_Base\b/m);
    assert.deepEqual(errors, []);
    await page.close();
});

test('a Game A played in the page ends in the state zerno-sim gives for the same inputs, by keys and by touch', async () => {
    const simState = lastState(execFileSync(zernoSim, ['-'], { input: gameScript, encoding: 'utf8' }));
    assert.ok(variable(simState, 'Score') > 0, 'the script scores');
    assert.ok(variable(simState, 'MissCount') > 0, 'the script misses');
    for (const touch of [false, true]) {
        const { page, errors } = await openPage(browser, server, {
            query: '?clock=held', viewport: { width: 1280, height: 720, hasTouch: touch } });
        await pickAndPlay(page);
        const pageState = await playAsPlayer(page, gameScript, { touch });
        assert.equal(pageState, simState, touch ? 'by touch' : 'by keys');
        assert.deepEqual(errors, []);
        await page.close();
    }
});

test("the page's device at 1x matches zerno-shot's picture: every segment pixel equal, the rest within a JPEG decoder's level", async () => {
    const scratch = mkdtempSync(join(tmpdir(), 'zerno-web-'));
    try {
        for (const scene of ['game', 'reset', 'clock', 'miss-left']) {
            const script = readFileSync(join(root, `tools/shots/scenes/${scene}.sim`), 'utf8');
            const shot = join(scratch, `${scene}.png`);
            execFileSync(zernoShot, [join(root, `tools/shots/scenes/${scene}.sim`), shot],
                         { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
            const { page, errors } = await openPage(browser, server, { query: '?clock=held' });
            await pickAndPlay(page);
            for (const line of lines(script))
                assert.equal(await page.evaluate((line) => window.zernoPage.runLine(line), line), '', line);
            const png = readFileSync(shot).toString('base64');
            const result = await page.evaluate(async (png) => {
                const image = new Image();
                image.src = `data:image/png;base64,${png}`;
                await image.decode();
                const mine = window.zernoPage.picture1x();
                const surface = document.createElement('canvas');
                surface.width = image.width;
                surface.height = image.height;
                const drawing = surface.getContext('2d');
                drawing.drawImage(image, 0, 0);
                const theirs = drawing.getImageData(0, 0, image.width, image.height).data;
                const segment = window.zernoPage.segmentMask();
                let segmentPixels = 0, segmentDiffering = 0, worst = 0;
                for (let at = 0; at < theirs.length; at += 4) {
                    const differs = Math.max(Math.abs(theirs[at] - mine.data[at]), Math.abs(theirs[at + 1] - mine.data[at + 1]),
                                             Math.abs(theirs[at + 2] - mine.data[at + 2]));
                    if (segment[at / 4]) {
                        segmentPixels++;
                        if (differs)
                            segmentDiffering++;
                    } else {
                        worst = Math.max(worst, differs);
                    }
                }
                return { size: [image.width, image.height, mine.width, mine.height], segmentPixels, segmentDiffering, worst };
            }, png);
            process.env.ZERNO_WEB_VERBOSE && console.log(scene, result);
            assert.deepEqual(result.size.slice(0, 2), result.size.slice(2), scene);
            assert.ok(result.segmentPixels > 0, `${scene}: segments are shown`);
            assert.equal(result.segmentDiffering, 0, `${scene}: segment pixels`);
            assert.ok(result.worst <= JpegTolerance, `${scene}: ${result.worst} levels off elsewhere`);
            assert.deepEqual(errors, []);
            await page.close();
        }
    } finally {
        rmSync(scratch, { recursive: true, force: true });
    }
});

// Two JPEG decoders may round a pixel's colour differently by a few levels of 255.
const JpegTolerance = 8;

test("a gamepad plays with the desktop's mapping: Start is GAME A, the left stick moves Folko, the north button Zerno", async () => {
    const script = 'click Im_Front\nclick Puls_GameA\nwait 1200\nkeydown Q\nkeyup Q\nwait 300\nkeydown P\nkeyup P\nwait 500\nstate\n';
    const simState = lastState(execFileSync(zernoSim, ['-'], { input: script, encoding: 'utf8' }));
    const { page, errors } = await openPage(browser, server, {
        query: '?clock=held',
        before: (page) => page.evaluateOnNewDocument(() => {
            const pad = { index: 0, id: 'test pad', connected: true, mapping: 'standard', timestamp: 0,
                          buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })), axes: [0, 0, 0, 0] };
            window.testPad = pad;
            navigator.getGamepads = () => [pad];
        }),
    });
    await pickAndPlay(page);
    const front = await screenPoint(page, 'Im_Front', 0.5, 0.5);
    await page.mouse.click(front.x, front.y);
    await page.evaluate(() => window.dispatchEvent(new Event('gamepadconnected')));
    // Each change is read at the next animation frame, as a player's pad is.
    const setPad = (change) => page.evaluate((change) => new Promise((done) => {
        const pad = window.testPad;
        if (change.button !== undefined)
            pad.buttons[change.button].pressed = change.down;
        if (change.axis !== undefined)
            pad.axes[change.axis] = change.value;
        requestAnimationFrame(() => requestAnimationFrame(done));
    }), change);
    await setPad({ button: 9, down: true });   // Start
    await setPad({ button: 9, down: false });
    await page.evaluate(() => window.zernoPage.advance(1200));
    await setPad({ axis: 1, value: -0.8 });     // the left stick pushed up
    await setPad({ axis: 1, value: -0.4 });     // still past its rest: nothing more
    await setPad({ axis: 1, value: 0 });
    await page.evaluate(() => window.zernoPage.advance(300));
    await setPad({ button: 3, down: true });    // north
    await setPad({ button: 3, down: false });
    await page.evaluate(() => window.zernoPage.advance(500));
    assert.equal(await page.evaluate(() => window.zernoPage.state()), simState);
    assert.deepEqual(errors, []);
    await page.close();
});

test('a reload finds the keys, the hiscore and the sound mode kept, as the settings file text', async () => {
    const { page, errors } = await openPage(browser, server, { query: '?clock=held' });
    await pickAndPlay(page, '(no sound)');
    const front = await screenPoint(page, 'Im_Front', 0.5, 0.5);
    await page.mouse.click(front.x, front.y);
    // Keys settings from the command menu: Folko up on W.
    await page.mouse.click(front.x, front.y, { button: 'right' });
    const item = await page.waitForSelector('#menu button ::-p-text(Keys settings)');
    await item.click();
    await page.select('#CB_1', 'W');
    await page.click('#Puls_Accept');
    // A Game A scored and lost: the hiscore is stored at its end.
    const gameA = await screenPoint(page, 'Puls_GameA');
    await page.mouse.click(gameA.x, gameA.y);
    await page.evaluate(() => window.zernoPage.advance(1000));
    assert.equal(await page.evaluate(() => window.zernoPage.runLine('set Score 120')), '');
    for (let step = 0; step < 120 && variable(await page.evaluate(() => window.zernoPage.state()), 'GameRunning'); ++step)
        await page.evaluate(() => window.zernoPage.advance(1000));
    const text = await page.evaluate(() => window.zernoPage.settingsText());
    assert.match(text, /^REGEDIT4\r?\n/);
    assert.match(text, /"Key1"="23"/);
    assert.match(text, /"HiScoreA"="120"/);
    assert.match(text, /"SoundMode"="2"/);

    await page.reload();
    await page.evaluate(() => window.zernoPage.ready);
    assert.equal(await page.$eval('#CB_Sound', (list) => list.value), '(no sound)');
    assert.equal(await page.$eval('#Puls_Play', (button) => button.disabled), false);
    const state = await page.evaluate(() => window.zernoPage.state());
    assert.equal(variable(state, 'HiscoreA'), 120);
    assert.equal(await page.evaluate(() => localStorage.getItem('zerno-bros/settings.reg')), text);
    await pickAndPlay(page, '(no sound)');
    await page.mouse.click(front.x, front.y, { button: 'right' });
    await (await page.waitForSelector('#menu button ::-p-text(Keys settings)')).click();
    assert.equal(await page.$eval('#CB_1', (list) => list.value), 'W');
    assert.deepEqual(errors, []);
    await page.evaluate(() => localStorage.clear());
    await page.close();
});

test('storage turned off: a clear message, and the game plays without keeping settings', async () => {
    const { page, errors } = await openPage(browser, server, {
        query: '?clock=held',
        before: (page) => page.evaluateOnNewDocument(() => {
            Object.defineProperty(window, 'localStorage', { get() { throw new DOMException('denied', 'SecurityError'); } });
        }),
    });
    assert.match(await page.$eval('#message', (box) => box.textContent), /storage is turned off.*forgotten/);
    await pickAndPlay(page);
    const front = await screenPoint(page, 'Im_Front', 0.5, 0.5);
    await page.mouse.click(front.x, front.y);
    const gameA = await screenPoint(page, 'Puls_GameA');
    await page.mouse.click(gameA.x, gameA.y);
    await page.evaluate(() => window.zernoPage.advance(2000));
    const state = await page.evaluate(() => window.zernoPage.state());
    assert.equal(variable(state, 'GameMode'), 1);
    assert.equal(variable(state, 'GameRunning'), 1);
    assert.deepEqual(errors, []);
    await page.close();
});

test('settings text that is not settings is reported, kept aside and replaced by the defaults', async () => {
    const { page, errors } = await openPage(browser, server, {
        before: (page) => page.evaluateOnNewDocument(() => {
            if (!sessionStorage.getItem('seeded')) {
                sessionStorage.setItem('seeded', '1');
                localStorage.setItem('zerno-bros/settings.reg', 'not the settings\n');
            }
        }),
    });
    assert.match(await page.$eval('#message', (box) => box.textContent), /not readable as settings/);
    assert.equal(await page.evaluate(() => localStorage.getItem('zerno-bros/settings.reg.bad')), 'not the settings\n');
    assert.equal(await page.$eval('#Puls_Play', (button) => button.disabled), true);
    assert.match(await page.evaluate(() => localStorage.getItem('zerno-bros/settings.reg')), /^REGEDIT4\r?\n[^]*"Key1"="17"/);
    assert.deepEqual(errors, []);
    await page.evaluate(() => localStorage.clear());
    await page.close();
});

test('a browser without WebAssembly is told so', async () => {
    const { page } = await openPage(browser, server, {
        before: (page) => page.evaluateOnNewDocument(() => { delete window.WebAssembly; }),
    });
    assert.equal(await page.$eval('#message', (box) => box.hidden), false);
    assert.match(await page.$eval('#message', (box) => box.textContent), /cannot run WebAssembly/);
    await page.close();
});
