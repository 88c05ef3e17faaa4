// Games kept and shared: every game the page records is kept in the browser's IndexedDB (the last
// 50 and each mode's best, as the desktop keeps its replay folder), handed on as a link whose
// fragment holds the script deflated and in URL-safe base64, or as the .sim file the desktop's
// programs take.

const DatabaseName = 'zerno-bros';
const GameStore = 'games';
const KeptGames = 50;
export const ModeNames = { 1: 'Game A', 2: 'Game B' };
export const LinkPrefix = '#replay=';

// ---- The games kept in IndexedDB ----

function request(operation) {
    return new Promise((resolve, reject) => {
        operation.onsuccess = () => resolve(operation.result);
        operation.onerror = () => reject(operation.error);
    });
}

export class GameShelf {
    constructor() {
        this.database = null;
    }

    // Resolves to false when this browser keeps nothing (IndexedDB off, refused or broken).
    async open() {
        try {
            const opening = indexedDB.open(DatabaseName, 1);
            opening.onupgradeneeded = () => opening.result.createObjectStore(GameStore, { keyPath: 'id', autoIncrement: true });
            this.database = await request(opening);
            return true;
        } catch {
            this.database = null;
            return false;
        }
    }

    async all() {
        if (!this.database)
            return [];
        return request(this.database.transaction(GameStore).objectStore(GameStore).getAll());
    }

    // Keeps a game, then lets go of the oldest beyond the last 50 that is no mode's best.
    async keep(game) {
        if (!this.database)
            throw new Error('no storage');
        const store = () => this.database.transaction(GameStore, 'readwrite').objectStore(GameStore);
        game.id = await request(store().add(game));
        const games = await this.all();
        const best = new Set(Object.keys(ModeNames).map((mode) => bestOf(games, Number(mode))?.id));
        const dropped = games.slice(0, Math.max(0, games.length - KeptGames)).filter((old) => !best.has(old.id));
        for (const old of dropped)
            await request(store().delete(old.id));
        return game;
    }
}

// A mode's best game: the highest score, the earlier of two equal ones.
export function bestOf(games, mode) {
    let best = null;
    for (const game of games)
        if (game.mode === mode && (!best || game.score > best.score))
            best = game;
    return best;
}

// ---- The .sim file ----

function dateText(date) {
    const two = (n) => String(n).padStart(2, '0');
    return `${date.getFullYear()}-${two(date.getMonth() + 1)}-${two(date.getDate())} ${two(date.getHours())}:${two(date.getMinutes())}:${two(date.getSeconds())}`;
}

// The file as the desktop writes one: a few comment lines, then the script.
export function simFile(game) {
    return `# Zerno Bros. (Korvista) Simulator: a game played in the page\n# date: ${dateText(new Date(game.date))}\n`
        + `# mode: ${ModeNames[game.mode] ?? game.mode}\n# score: ${game.score}\n`
        + `# watch it: zerno-bros --replay FILE; check it: zerno-sim FILE\n${game.script}`;
}

export function simFileName(game) {
    return `${dateText(new Date(game.date)).replace(' ', '_').replaceAll(':', '-')}_${game.mode === 2 ? 'game-b' : 'game-a'}_${game.score}.sim`;
}

// ---- The link ----

async function pipe(bytes, stream) {
    const out = new Blob([bytes]).stream().pipeThrough(stream);
    return new Uint8Array(await new Response(out).arrayBuffer());
}

function toBase64Url(bytes) {
    let text = '';
    for (let at = 0; at < bytes.length; at += 0x8000)
        text += String.fromCharCode(...bytes.subarray(at, at + 0x8000));
    return btoa(text).replaceAll('+', '-').replaceAll('/', '_').replace(/=+$/, '');
}

function fromBase64Url(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text))
        throw new Error('the link holds letters that are not URL-safe base64');
    const binary = atob(text.replaceAll('-', '+').replaceAll('_', '/') + '='.repeat((4 - (text.length % 4)) % 4));
    return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

// The script's lines without comments, deflated, in URL-safe base64.
export async function linkFragment(script) {
    const bare = script.split('\n').filter((line) => line.trim() && !line.trim().startsWith('#')).join('\n') + '\n';
    return LinkPrefix + toBase64Url(await pipe(new TextEncoder().encode(bare), new CompressionStream('deflate')));
}

// A link's script: at most a megabyte inflated, so that a crafted link cannot fill the memory.
const MostScriptBytes = 1 << 20;
export async function scriptOfFragment(fragment) {
    let bytes;
    try {
        bytes = fromBase64Url(fragment.slice(LinkPrefix.length));
        const reader = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate')).getReader();
        const parts = [];
        let size = 0;
        for (;;) {
            const { done, value } = await reader.read();
            if (done)
                break;
            size += value.length;
            if (size > MostScriptBytes) {
                reader.cancel();
                throw new Error('the game it holds is larger than any game');
            }
            parts.push(value);
        }
        return new TextDecoder('utf-8', { fatal: true }).decode(await new Blob(parts).arrayBuffer());
    } catch (error) {
        throw new Error(`The link does not hold a game that can be played (${error.message.startsWith('the ') ? error.message : 'it is damaged or cut short'}).`);
    }
}
