// The browser edition: the device core (zerno.wasm) on the page's clock, drawn on a canvas at a
// whole number of device pixels, played with keys, pointer, touch and gamepads, its sound through
// Web Audio and its settings file kept in the browser's storage.
import { parseDialogs, buildDialog, framedWindow } from './dialogs.js';
import { Replays, isReplayLink } from './playback.js';

const params = new URLSearchParams(location.search);
// ?clock=held: the device's time moves only when the page is told to (the tests step it as
// zerno-sim does, from 10:00:00.000).
const heldClock = params.get('clock') === 'held';
const VirtualStartMs = 10 * 3600000;
const StorageKey = 'zerno-bros/settings.reg';
const PictureDir = 'assets/pictures';
// What a browser can play: sound through Web Audio, stored as the first output's number, or none.
const WebAudioChoice = 'Web Audio';
const SilentChoice = '(no sound)';
// The wave file of each of the core's samples, in its order: the bonus plays the parcel's sound.
const SampleFiles = ['Pack.wav', 'Point.wav', 'Pack.wav', 'Char.wav', 'Miss.wav', 'Miss2.wav'];
const Height = 416;
const OpenWidth = 766;
const TipShowMs = 8000;
const LongPressMs = 600;

const $ = (id) => document.getElementById(id);
const canvas = $('device');
const context = canvas.getContext('2d', { alpha: false });

let M = null;  // the WebAssembly module
const z = {};  // its functions
let declarations = null;
let dialogs = null;
let pictures = [];
let storage = null;
let audio = null;
let sampleBuffers = [];
const playing = new Set();
let soundOn = false;
let clockBase = 0;
let heldTime = 0;
let wake = 0;
let scale = 1;
let zoom = 0;  // 0: the largest scale that fits
let shown = false;
let replays = null;
let shownForReplay = false;
const stats = { wakes: 0, spins: 0, lateness: [], keyToFrame: [], frames: 0, launcherDrawnAt: 0 };

// ---- Messages ----

function tell(text) {
    const box = $('message');
    const line = document.createElement('div');
    line.textContent = text;
    const close = document.createElement('button');
    close.type = 'button';
    close.textContent = 'OK';
    close.addEventListener('click', () => {
        line.remove();
        box.hidden = !box.childElementCount;
    });
    line.append(close);
    box.append(line);
    box.hidden = false;
}

// ---- Storage: the settings file's text under one key, or nothing where storage is off ----

function openStorage() {
    try {
        const store = window.localStorage;
        const probe = `${StorageKey}.probe`;
        store.setItem(probe, '1');
        store.removeItem(probe);
        return store;
    } catch {
        return null;
    }
}

function keepSettings(text) {
    if (!storage)
        return;
    try {
        storage.setItem(StorageKey, text);
    } catch (error) {
        tell(`The settings cannot be kept in this browser (${error.name}): the game goes on, and forgets them when the page closes.`);
        storage = null;
    }
}

// ---- The core's functions ----

function bind() {
    const number = (name, args = []) => { z[name] = M.cwrap(`zerno_${name}`, 'number', args.map(() => 'number')); };
    const text = (name, args = []) => { z[name] = M.cwrap(`zerno_${name}`, 'string', args); };
    for (const name of ['catch_up', 'next_due', 'now', 'held', 'held_button', 'take_changes', 'component_count',
                        'picture_count', 'client_width', 'enabled'])
        number(name);
    for (const name of ['key_down', 'key_up', 'key_code', 'key_letter', 'set_enabled', 'read_value',
                        'component_visible', 'component_picture', 'is_drag_surface'])
        number(name, [0]);
    for (const name of ['write_value', 'component_value', 'component_at', 'end_press'])
        number(name, name === 'end_press' ? [0, 0, 0] : [0, 0]);
    number('press_at', [0, 0, 0, 0]);
    number('press', [0, 0, 0, 0]);
    number('move', [0, 0, 0]);
    number('release_at', [0, 0, 0]);
    number('accept_keys', [0, 0, 0, 0]);
    number('set_time', [0, 0]);
    number('reset_hiscores');
    z.component_index = M.cwrap('zerno_component_index', 'number', ['string']);
    text('create', ['string', 'string']);
    text('component_name', ['number']);
    text('component_hint', ['number']);
    text('picture_name', ['number']);
    text('run_line', ['string']);
    text('check_script', ['string']);
    text('replay_line', ['string']);
    text('replay_output');
    for (const name of ['replay_start', 'replay_stop', 'replay_now'])
        number(name);
    for (const name of ['state_block', 'script_output', 'declarations', 'settings_text'])
        text(name);
}

function storedValue(name) {
    return declarations.storedValues.find((value) => value.name === name);
}
const readValue = (name) => z.read_value(storedValue(name).index);
const writeValue = (name, value) => z.write_value(storedValue(name).index, value);

// ---- Time: the scheduler on the page's clock ----

function now() {
    return heldClock ? heldTime : performance.now() - clockBase;
}

// A browser's timer may fire a millisecond or two late; the page wakes this much early and
// waits out the rest through the event loop, so that a tick runs within a millisecond of its time.
const EarlyMs = 2;
const lastMoment = new MessageChannel();
lastMoment.port1.onmessage = () => onWake(false);

function schedule() {
    clearTimeout(wake);
    if (heldClock)
        return;
    const due = z.next_due();
    if (due >= 0)
        wake = setTimeout(() => onWake(true), Math.max(0, Math.floor(due - now() - EarlyMs)));
}

function onWake(timer) {
    if (timer)
        stats.wakes++;
    const due = z.next_due();
    const time = now();
    if (due >= 0 && time < due) {
        stats.spins++;
        lastMoment.port2.postMessage(0);
        return;
    }
    if (due >= 0)
        stats.lateness.push(time - due);
    z.catch_up();
    afterEvent();
}

// After anything that may have changed the device: draw what changed, wake for the next tick.
function afterEvent() {
    if (z.take_changes())
        draw();
    schedule();
}

// ---- Drawing ----

async function loadPictures() {
    const count = z.picture_count();
    const loads = [];
    for (let index = 0; index < count; ++index) {
        const name = z.picture_name(index);
        loads.push(new Promise((resolve, reject) => {
            const image = new Image();
            image.onload = () => resolve(image);
            image.onerror = () => reject(new Error(`the picture ${name} cannot be read`));
            image.src = `${PictureDir}/${name}`;
        }));
    }
    const images = await Promise.all(loads);
    pictures = images.map((image) => ({ image, transparent: null }));
}

// A segment picture drawn transparent shows only its dark pixels.
function darkPixelsOnly(image) {
    const surface = document.createElement('canvas');
    surface.width = image.naturalWidth;
    surface.height = image.naturalHeight;
    const drawing = surface.getContext('2d', { willReadFrequently: true });
    drawing.drawImage(image, 0, 0);
    const pixels = drawing.getImageData(0, 0, surface.width, surface.height);
    const data = pixels.data;
    for (let at = 0; at < data.length; at += 4)
        if (Math.floor((data[at] * 11 + data[at + 1] * 16 + data[at + 2] * 5) / 32) >= 128)
            data[at + 3] = 0;
    drawing.putImageData(pixels, 0, 0);
    return surface;
}

function paint(target, factor, width) {
    target.setTransform(factor, 0, 0, factor, 0, 0);
    target.imageSmoothingEnabled = false;
    target.fillStyle = '#000';
    target.fillRect(0, 0, width, Height);
    const count = z.component_count();
    for (let index = 0; index < count; ++index) {
        const picture = z.component_picture(index);
        if (picture < 0 || !pictures[picture])
            continue;
        const use = pictures[picture];
        let source = use.image;
        if (z.component_value(index, 4)) {
            use.transparent ??= darkPixelsOnly(use.image);
            source = use.transparent;
        }
        target.drawImage(source, z.component_value(index, 0), z.component_value(index, 1));
    }
}

function draw() {
    if (!shown)
        return;
    const width = z.client_width();
    if (canvas.width !== width * scale) {
        layOut();
        if (width === OpenWidth)
            showFirstTip();
    }
    paint(context, scale, width);
    stats.frames++;
}

// The largest whole number of device pixels that fits the window, or the player's zoom below it.
function layOut() {
    const ratio = window.devicePixelRatio || 1;
    const width = z.client_width();
    const fit = Math.max(1, Math.floor(Math.min((innerWidth * ratio) / width, (innerHeight * ratio) / Height)));
    scale = zoom ? Math.min(zoom, fit) : fit;
    canvas.width = width * scale;
    canvas.height = Height * scale;
    canvas.style.width = `${(width * scale) / ratio}px`;
    canvas.style.height = `${(Height * scale) / ratio}px`;
    if (shown)
        paint(context, scale, width);
    layOutLauncher();
}

function zoomBy(step) {
    const ratio = window.devicePixelRatio || 1;
    const fit = Math.max(1, Math.floor(Math.min((innerWidth * ratio) / z.client_width(), (innerHeight * ratio) / Height)));
    const next = Math.max(1, scale + step);
    zoom = next >= fit ? 0 : next;
    layOut();
}

// ---- Sound ----

async function startSound() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
        tell('This browser has no Web Audio: the game goes on without sound.');
        soundOn = false;
        return;
    }
    audio = new Context();
    audio.resume();
    const failed = [];
    const unique = [...new Set(SampleFiles)];
    const buffers = new Map(await Promise.all(unique.map(async (file) => {
        try {
            const response = await fetch(`sound/${file}`);
            if (!response.ok)
                throw new Error(`${response.status} ${response.statusText}`);
            return [file, await audio.decodeAudioData(await response.arrayBuffer())];
        } catch (error) {
            failed.push(`${file}: ${error.message}`);
            return [file, null];
        }
    })));
    sampleBuffers = SampleFiles.map((file) => buffers.get(file));
    if (failed.length)
        tell(`These sounds cannot be played and stay silent: ${failed.join('; ')}`);
}

// Each sound on a voice of its own, so that sounds overlap as they do on the desktop.
function playSample(sample) {
    if (!soundOn || !audio || !sampleBuffers[sample])
        return;
    const voice = audio.createBufferSource();
    voice.buffer = sampleBuffers[sample];
    voice.connect(audio.destination);
    voice.onended = () => playing.delete(voice);
    playing.add(voice);
    voice.start();
}

function silence() {
    for (const voice of playing)
        voice.stop();
    playing.clear();
}

// ---- The first tip: the first time the device opens, how to play it ----

function showFirstTip() {
    if (readValue('TipShown') !== 0)
        return;
    writeValue('TipShown', 1);
    const letter = (role) => {
        const code = z.key_letter(role);
        return code >= 1 && code <= 26 ? String.fromCharCode(64 + code) : String.fromCharCode(z.key_code(role));
    };
    const tip = document.createElement('div');
    tip.id = 'tip';
    tip.textContent = `Folko: ${letter(1)} up, ${letter(2)} down.   Zerno: ${letter(3)} up, ${letter(4)} down.\n`
        + 'Hold GAME A and let go of it to start a game.\n'
        + (matchMedia('(pointer: coarse)').matches
            ? "Touch a pad's upper or lower half to move that worker; a long press off the buttons opens the menu."
            : 'Right-click the device for the menu.');
    document.body.append(tip);
    const hide = () => {
        tip.remove();
        removeEventListener('keydown', hide, true);
        removeEventListener('pointerdown', hide, true);
    };
    addEventListener('keydown', hide, true);
    addEventListener('pointerdown', hide, true);
    setTimeout(hide, TipShowMs);
}

// ---- The launcher ----

let launcher = null;
let picturesLoaded = null;

function layOutLauncher() {
    if (!launcher)
        return;
    const form = dialogs.SplashForm;
    const fit = Math.min(innerWidth / form.width, innerHeight / form.height);
    launcher.element.style.transform = `scale(${fit >= 1 ? Math.floor(fit) : fit})`;
}

function showLauncher() {
    launcher = buildDialog(dialogs.SplashForm, PictureDir);
    const { parts } = launcher;
    const list = parts.CB_Sound;
    list.replaceChildren(...[WebAudioChoice, SilentChoice].map((choice) => new Option(choice)));
    const mode = readValue('SoundMode');
    list.selectedIndex = mode === 0 || mode === 1 ? 0 : mode === 2 ? 1 : -1;
    parts.Puls_Play.disabled = list.selectedIndex < 0;
    list.addEventListener('change', () => { parts.Puls_Play.disabled = list.selectedIndex < 0; });
    let box = Math.random() < 0.5 ? 1 : 2;
    const showBox = () => { parts.Im_PiccinaTop.src = (box === 1 ? parts.Im_Piccina : parts.Im_PiccinaAlt).src; };
    showBox();
    parts.Im_PiccinaTop.addEventListener('click', () => { box = 3 - box; showBox(); });
    parts.La_Http.addEventListener('click', () => window.open(parts.La_Http.textContent, '_blank', 'noopener'));
    parts.La_Email.addEventListener('click', () => { location.href = parts.La_Email.textContent; });
    parts.Puls_Play.addEventListener('click', play);
    $('launcher').replaceChildren(launcher.element);
    $('launcher').hidden = false;
    layOutLauncher();
    // Drawn once the box art is: the frame after its picture is decoded.
    parts.Im_PiccinaTop.decode().catch(() => {}).then(() =>
        requestAnimationFrame(() => { stats.launcherDrawnAt = performance.now(); }));
}

async function play() {
    const choice = launcher.parts.CB_Sound.value;
    soundOn = choice === WebAudioChoice;
    writeValue('SoundMode', soundOn ? 0 : 2);
    // The audio context is made inside the click: browsers let a page sound only after a gesture.
    if (soundOn)
        startSound();
    launcher.parts.Puls_Play.disabled = true;
    try {
        await picturesLoaded;
    } catch (error) {
        tell(`The device cannot be shown: ${error.message}`);
        return;
    }
    showDevice();
}

function showDevice() {
    if (shown)
        return;
    $('launcher').hidden = true;
    launcher = null;
    shown = true;
    canvas.hidden = false;
    canvas.tabIndex = 0;
    canvas.focus();
    layOut();
    draw();
}

// ---- The command menu ----

function menuItems() {
    return [
        { label: 'About...', key: 'F1', bold: true, run: showAbout },
        null,
        { label: "View 'Readme.txt'", key: 'F2', run: () => window.open('readme.txt', '_blank') },
        { label: "View 'Whatsnew.txt'", key: 'F3', run: () => window.open('whatsnew.txt', '_blank') },
        null,
        { label: "Open 'Manual.exe'", key: 'F4', disabled: true, hint: 'The illustrated manual comes with the desktop edition' },
        null,
        { label: 'Watch best game', run: () => replays.watchBest(), disabled: !replays.hasGames() },
        null,
        { label: 'Reset Hiscores', run: () => { z.reset_hiscores(); afterEvent(); } },
        null,
        { label: 'Keys settings', run: showKeys },
        null,
        { label: 'Zoom in', key: 'Ctrl++', run: () => zoomBy(1) },
        { label: 'Zoom out', key: 'Ctrl+-', run: () => zoomBy(-1) },
        { label: document.fullscreenElement ? 'Leave full screen' : 'Full screen', key: 'F11', run: toggleFullScreen,
          disabled: !document.fullscreenEnabled },
    ];
}

function openMenu(x, y) {
    const menu = $('menu');
    menu.replaceChildren();
    for (const item of menuItems()) {
        if (!item) {
            menu.append(document.createElement('hr'));
            continue;
        }
        const button = document.createElement('button');
        button.type = 'button';
        button.setAttribute('role', 'menuitem');
        button.disabled = !!item.disabled;
        if (item.bold)
            button.className = 'default';
        if (item.hint)
            button.title = item.hint;
        const label = document.createElement('span');
        label.textContent = item.label;
        const key = document.createElement('span');
        key.textContent = item.key ?? '';
        button.append(label, key);
        button.addEventListener('click', () => { closeMenu(); item.run(); });
        menu.append(button);
    }
    menu.hidden = false;
    const box = menu.getBoundingClientRect();
    menu.style.left = `${Math.max(0, Math.min(x, innerWidth - box.width))}px`;
    menu.style.top = `${Math.max(0, Math.min(y, innerHeight - box.height))}px`;
    menu.querySelector('button:not(:disabled)')?.focus();
}

function closeMenu() {
    $('menu').hidden = true;
    if (shown)
        canvas.focus();
}

function toggleFullScreen() {
    if (document.fullscreenElement)
        document.exitFullscreen();
    else
        document.documentElement.requestFullscreen?.().catch(() => {});
}

// ---- Keys settings and About ----

function showKeys() {
    const form = dialogs.KeysForm;
    const built = buildDialog(form, PictureDir);
    const host = $('keys');
    framedWindow(host, form, built, () => {});
    host.querySelector('.caption button').hidden = true;  // the dialog ends with ACCEPT
    const lists = [null];
    const captions = [null];
    for (let n = 1; n <= 4; ++n) {
        lists.push(built.parts[`CB_${n}`]);
        captions.push(built.parts[`La_${n}`]);
        const letter = z.key_letter(n);
        lists[n].selectedIndex = letter >= 1 && letter <= 26 ? letter - 1 : -1;
    }
    const free = captions[1].style.color;
    // Two moves on one letter: both captions go red and ACCEPT waits until they part.
    const check = () => {
        let clash = false;
        for (let n = 1; n <= 4; ++n) {
            const alone = lists.every((other, m) => !other || m === n || other.value !== lists[n].value);
            captions[n].style.color = alone ? free : '#ff0000';
            clash ||= !alone;
        }
        built.parts.Puls_Accept.disabled = clash;
    };
    for (let n = 1; n <= 4; ++n)
        lists[n].addEventListener('change', check);
    built.parts.Puls_Accept.addEventListener('click', () => {
        z.accept_keys(...lists.slice(1).map((list) => list.selectedIndex + 1));
        host.hidden = true;
        afterEvent();
        canvas.focus();
    });
    z.set_enabled(0);
    afterEvent();
    host.hidden = false;
    lists[1].focus();
}

function showAbout() {
    const form = dialogs.AboutForm;
    const built = buildDialog(form, PictureDir);
    const host = $('about');
    const close = () => { host.hidden = true; if (shown) canvas.focus(); };
    framedWindow(host, form, built, close);
    built.element.addEventListener('click', close);
    host.hidden = false;
    host.querySelector('.caption button').focus();
}

// ---- Keys ----

// The key code the desktop hands the device: a letter's capital, or another printable character.
function deviceKey(event) {
    if (event.ctrlKey || event.altKey || event.metaKey || event.key.length !== 1)
        return 0;
    const code = event.key.toUpperCase().charCodeAt(0);
    return code > 0x20 && code < 0x7f ? code : event.key === ' ' ? 0x20 : 0;
}

function afterKey(event) {
    const changed = z.take_changes();
    if (changed) {
        draw();
        const pressed = event.timeStamp;
        requestAnimationFrame(() => stats.keyToFrame.push(performance.now() - pressed));
    }
    schedule();
}

function onKeyDown(event) {
    if (!$('keys').hidden || !$('about').hidden) {
        if (event.key === 'Escape' && !$('about').hidden)
            $('about').hidden = true;
        return;
    }
    if (!$('menu').hidden) {
        if (event.key === 'Escape') {
            closeMenu();
        } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
            event.preventDefault();
            const items = [...$('menu').querySelectorAll('button:not(:disabled)')];
            const at = items.indexOf(document.activeElement);
            const step = event.key === 'ArrowDown' ? 1 : items.length - 1;
            items[(at + step) % items.length]?.focus();
        }
        return;
    }
    const shortcuts = {
        F1: showAbout,
        F2: () => window.open('readme.txt', '_blank'),
        F3: () => window.open('whatsnew.txt', '_blank'),
        F11: toggleFullScreen,
    };
    if (shown && shortcuts[event.key]) {
        event.preventDefault();
        shortcuts[event.key]();
        return;
    }
    if (shown && event.ctrlKey && ['+', '=', '-'].includes(event.key)) {
        event.preventDefault();
        zoomBy(event.key === '-' ? -1 : 1);
        return;
    }
    // A replay takes no keys; Esc ends it.
    if (replays?.active()) {
        if (event.key === 'Escape')
            replays.stop();
        return;
    }
    const key = shown ? deviceKey(event) : 0;
    if (!key || !z.enabled())
        return;
    event.preventDefault();
    z.key_down(key);
    afterKey(event);
}

function onKeyUp(event) {
    if (replays?.active())
        return;
    const key = shown ? deviceKey(event) : 0;
    if (!key || !z.enabled())
        return;
    z.key_up(key);
    afterKey(event);
}

// ---- Pointer and touch ----

const ButtonOf = { 0: 0, 2: 1, 1: 2 };  // the browser's button numbers: the core's Left, Right, Middle
const DownBit = [1, 2, 4];               // each of the core's buttons in PointerEvent.buttons
const padTouches = new Map();            // pointerId: the key a touch on a pad holds down
let longPress = null;

function devicePoint(event) {
    const box = canvas.getBoundingClientRect();
    const width = z.client_width();
    return {
        x: Math.floor(((event.clientX - box.left) * width) / box.width),
        y: Math.floor(((event.clientY - box.top) * Height) / box.height),
    };
}

// A touch on a pad: its upper half moves that side's worker up, its lower half down.
function padRole(component, y) {
    const name = z.component_name(component);
    const roles = name === 'Puls_Left' ? [1, 2] : name === 'Puls_Right' ? [3, 4] : null;
    if (!roles)
        return 0;
    const top = z.component_value(component, 1);
    const height = z.component_value(component, 3);
    return y < top + height / 2 ? roles[0] : roles[1];
}

function onPointerDown(event) {
    // A click away from an open menu only closes it, as on the desktop.
    if (!$('menu').hidden) {
        closeMenu();
        event.preventDefault();
        return;
    }
    if (!shown)
        return;
    event.preventDefault();
    canvas.focus();
    // A replay takes no presses or touches; its menu still comes on a right-click.
    if (replays.active()) {
        if (event.button === 2)
            canvas.addEventListener('pointerup', (up) => openMenu(up.clientX, up.clientY), { once: true });
        return;
    }
    if (!z.enabled()) {
        $('keys').querySelector('select')?.focus();
        return;
    }
    const point = devicePoint(event);
    const component = z.component_at(point.x, point.y);
    if (event.pointerType === 'touch') {
        const role = component >= 0 ? padRole(component, point.y) : 0;
        if (role) {
            const key = z.key_code(role);
            padTouches.set(event.pointerId, key);
            z.key_down(key);
            afterKey(event);
            return;
        }
        // A long press off the device's buttons opens the command menu (a held GAME A shows the hiscore).
        const onButton = component >= 0 && z.component_name(component).startsWith('Puls_');
        if (!onButton) {
            const start = { x: event.clientX, y: event.clientY, id: event.pointerId };
            longPress = { ...start, timer: setTimeout(() => {
                longPress = null;
                z.end_press(0, point.x, point.y);
                afterEvent();
                openMenu(start.x, start.y);
            }, LongPressMs) };
        }
    }
    canvas.setPointerCapture(event.pointerId);
    const button = ButtonOf[event.button] ?? 2;
    const held = z.held();
    const heldStillDown = held >= 0 && (event.buttons & DownBit[z.held_button()]) !== 0;
    z.press_at(button, point.x, point.y, heldStillDown ? 1 : 0);
    afterEvent();
}

function onPointerMove(event) {
    if (!shown || padTouches.has(event.pointerId) || replays.active())
        return;
    if (longPress && longPress.id === event.pointerId && Math.hypot(event.clientX - longPress.x, event.clientY - longPress.y) > 10) {
        clearTimeout(longPress.timer);
        longPress = null;
    }
    const point = devicePoint(event);
    if (z.held() < 0) {
        const component = z.component_at(point.x, point.y);
        const cursor = component >= 0 ? z.component_value(component, 5) : 0;
        canvas.style.cursor = ['default', 'pointer', 'help'][cursor];
        const hint = component >= 0 ? z.component_hint(component) : '';
        if (canvas.title !== hint)
            canvas.title = hint;
        return;
    }
    z.move((event.buttons & 1) !== 0 ? 1 : 0, point.x, point.y);
    afterEvent();
}

function onPointerUp(event) {
    if (longPress && longPress.id === event.pointerId) {
        clearTimeout(longPress.timer);
        longPress = null;
    }
    if (padTouches.has(event.pointerId)) {
        z.key_up(padTouches.get(event.pointerId));
        padTouches.delete(event.pointerId);
        afterKey(event);
        return;
    }
    if (!shown || replays.active())
        return;
    const point = devicePoint(event);
    const button = ButtonOf[event.button] ?? 2;
    z.release_at(button, point.x, point.y);
    afterEvent();
    // The command menu comes up as the right button is let go, as desktop menus do.
    if (button === 1)
        openMenu(event.clientX, event.clientY);
}

function onPointerCancel(event) {
    if (padTouches.has(event.pointerId)) {
        z.key_up(padTouches.get(event.pointerId));
        padTouches.delete(event.pointerId);
        afterEvent();
        return;
    }
    const point = devicePoint(event);
    z.end_press(0, point.x, point.y);
    afterEvent();
}

// ---- Gamepads: the desktop's mapping, through the browser's standard layout ----

const StandardButtons = { south: 0, north: 3, leftShoulder: 4, rightShoulder: 5, back: 8, start: 9, dpadUp: 12, dpadDown: 13 };
const StandardAxes = { leftY: 1, rightY: 3 };
const pads = new Map();  // index: { buttons: {}, sticks: {}, holding: [] }

function act(pad, actionIndex, down) {
    // A control's release counts only after its press did; two controls of one action make one press.
    const holding = pad.holding;
    if (!down && !holding[actionIndex])
        return;
    holding[actionIndex] = (holding[actionIndex] || 0) + (down ? 1 : -1);
    if (holding[actionIndex] > (down ? 1 : 0))
        return;
    const action = declarations.inputActions[actionIndex];
    if (!shown || replays.active() || (!z.enabled() && (down || action.keyRole > 0)))
        return;
    if (action.keyRole > 0) {
        const key = z.key_code(action.keyRole);
        down ? z.key_down(key) : z.key_up(key);
    } else {
        const component = z.component_index(action.component);
        const x = z.component_value(component, 0) + Math.floor(z.component_value(component, 2) / 2);
        const y = z.component_value(component, 1) + Math.floor(z.component_value(component, 3) / 2);
        if (down)
            z.press(component, 0, x, y);
        else if (z.held() === component && z.held_button() === 0)
            z.release_at(0, x, y);
    }
    afterEvent();
}

let pollingPads = false;

function startPads() {
    if (!pollingPads) {
        pollingPads = true;
        requestAnimationFrame(pollPads);
    }
}

function pollPads() {
    const connected = navigator.getGamepads ? [...navigator.getGamepads()].filter(Boolean) : [];
    for (const gamepad of connected) {
        if (gamepad.mapping !== 'standard')
            continue;
        let pad = pads.get(gamepad.index);
        if (!pad)
            pads.set(gamepad.index, (pad = { buttons: {}, sticks: {}, holding: [] }));
        declarations.inputActions.forEach((action, index) => {
            const number = StandardButtons[action.padButton];
            const down = !!gamepad.buttons[number]?.pressed;
            if (down !== !!pad.buttons[index]) {
                pad.buttons[index] = down;
                act(pad, index, down);
            }
        });
        for (const [stick, axis] of Object.entries(StandardAxes)) {
            const value = gamepad.axes[axis] ?? 0;
            const place = pad.sticks[stick] ?? 0;
            let next = place;
            if (Math.abs(value) >= declarations.stickPush)
                next = value < 0 ? -1 : 1;
            else if (Math.abs(value) < declarations.stickRest)
                next = 0;
            if (next === place)
                continue;
            const actionFor = (direction) => declarations.inputActions.findIndex((a) => a.padStick === stick && a.stickDirection === direction);
            if (place)
                act(pad, actionFor(place), false);
            pad.sticks[stick] = next;
            if (next)
                act(pad, actionFor(next), true);
        }
    }
    // A pad pulled out lets go of whatever it held.
    for (const [index, pad] of pads) {
        if (connected.some((gamepad) => gamepad.index === index))
            continue;
        pad.holding.forEach((count, action) => {
            for (let left = count; left > 0; --left)
                act(pad, action, false);
        });
        pads.delete(index);
    }
    pollingPads = connected.length > 0;
    if (pollingPads)
        requestAnimationFrame(pollPads);
}

// ---- Start ----

async function fetchText(path) {
    const response = await fetch(path);
    if (!response.ok)
        throw new Error(`${path}: ${response.status} ${response.statusText}`);
    return response.text();
}

async function start() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
        tell('This browser cannot run WebAssembly, which the simulator is made of. Open the page in a browser of the last few years (Chrome, Edge, Firefox or Safari) to play.');
        return;
    }
    storage = openStorage();
    if (!storage)
        tell('This browser keeps nothing for this page (its storage is turned off): the game plays, but the keys, the hiscores and the sound choice are forgotten when the page closes.');
    const [layoutText, dialogText, { default: createZerno }] = await Promise.all([
        fetchText('assets/device.layout'), fetchText('assets/dialogs.layout'), import('./zerno.js')]);
    dialogs = parseDialogs(dialogText);
    let creating = true;
    const storedText = storage?.getItem(StorageKey) ?? '';
    M = await createZerno({
        zernoPlay: playSample,
        zernoSilence: silence,
        zernoKeepSettings: keepSettings,
        zernoNow: now,
        zernoGameRecorded: (mode, score, lengthMs, script) => replays.gameRecorded(mode, score, lengthMs, script),
        zernoReport: (text, detail) => {
            // Settings that cannot be read are set aside under a name of their own, as the
            // desktop moves such a file aside, and the store starts empty.
            if (creating && storage && storedText)
                try { storage.setItem(`${StorageKey}.bad`, storedText); } catch { /* kept nowhere */ }
            tell(detail ? `${text} (${detail})` : text);
        },
    });
    bind();
    declarations = JSON.parse(z.declarations());
    clockBase = performance.now();
    const error = z.create(storedText, layoutText);
    creating = false;
    if (error) {
        tell(`The device cannot be made: ${error}`);
        return;
    }
    if (heldClock)
        z.set_time(VirtualStartMs, VirtualStartMs);
    // The launcher first: the device's pictures come in while the player picks a sound mode.
    picturesLoaded = loadPictures();
    replays = new Replays({
        z,
        tell,
        playSample,
        silence,
        // A link opened before the launcher's PLAY: the launcher comes back when the replay ends,
        // for the player to pick a sound mode and play.
        showDevice: () => {
            shownForReplay = !shown;
            showDevice();
        },
        replayEnded: () => {
            if (!shownForReplay)
                return;
            shownForReplay = false;
            shown = false;
            canvas.hidden = true;
            showLauncher();
        },
        redraw: () => { if (z.take_changes()) draw(); },
        focus: () => { if (shown) canvas.focus(); },
    });
    await replays.open();
    replays.acceptDrops();
    showLauncher();
    schedule();

    addEventListener('keydown', onKeyDown);
    addEventListener('keyup', onKeyUp);
    canvas.addEventListener('pointerdown', onPointerDown);
    canvas.addEventListener('pointermove', onPointerMove);
    canvas.addEventListener('pointerup', onPointerUp);
    canvas.addEventListener('pointercancel', onPointerCancel);
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    addEventListener('pointerdown', (event) => {
        if (!$('menu').hidden && !$('menu').contains(event.target) && event.target !== canvas)
            closeMenu();
    });
    addEventListener('resize', layOut);
    document.addEventListener('fullscreenchange', layOut);
    addEventListener('gamepadconnected', startPads);
    addEventListener('gamepaddisconnected', startPads);
    await picturesLoaded;
    // A link to a game plays it at once, without sound (a page may sound only after a gesture).
    if (isReplayLink(location.hash))
        await replays.playLink(location.hash);
    addEventListener('hashchange', () => { if (isReplayLink(location.hash)) replays.playLink(location.hash); });
}

// What the tests and the benchmark read and drive; a player never needs it.
window.zernoPage = {
    ready: start().catch((error) => {
        tell(`The simulator cannot start: ${error.message}`);
        throw error;
    }),
    stats,
    state: () => z.state_block(),
    settingsText: () => z.settings_text(),
    // With ?clock=held: the device's time moves on by ms, every tick due on the way fired in order.
    advance(ms) {
        heldTime += ms;
        const error = z.run_line(`wait ${ms}`);
        afterEvent();
        return error;
    },
    runLine(line) {
        const error = z.run_line(line);
        afterEvent();
        return error || z.script_output();
    },
    componentRect(name) {
        const index = z.component_index(name);
        return index < 0 ? null : { left: z.component_value(index, 0), top: z.component_value(index, 1),
                                     width: z.component_value(index, 2), height: z.component_value(index, 3) };
    },
    scale: () => scale,
    replaying: () => replays.active(),
    // The replay played to its end at once: its device's state block.
    replayToEnd() {
        replays.step(true);
        return z.state_block();
    },
    // Which pixels of the device at 1x a lit segment darkens (one flag a pixel, row by row).
    segmentMask() {
        const width = z.client_width();
        const mask = new Uint8Array(width * Height);
        const count = z.component_count();
        for (let index = 0; index < count; ++index) {
            const picture = z.component_picture(index);
            if (picture < 0 || !z.component_value(index, 4))
                continue;
            const use = pictures[picture];
            use.transparent ??= darkPixelsOnly(use.image);
            const { width: w, height: h } = use.transparent;
            const alpha = use.transparent.getContext('2d').getImageData(0, 0, w, h).data;
            const left = z.component_value(index, 0), top = z.component_value(index, 1);
            for (let y = 0; y < h; ++y)
                for (let x = 0; x < w; ++x)
                    if (alpha[(y * w + x) * 4 + 3] && left + x < width && top + y < Height)
                        mask[(top + y) * width + left + x] = 1;
        }
        return Array.from(mask);
    },
    // The device as drawn at 1x: width, height and its RGBA pixels.
    picture1x() {
        const width = z.client_width();
        const surface = document.createElement('canvas');
        surface.width = width;
        surface.height = Height;
        const drawing = surface.getContext('2d', { willReadFrequently: true });
        paint(drawing, 1, width);
        return { width, height: Height, data: Array.from(drawing.getImageData(0, 0, width, Height).data) };
    },
};
