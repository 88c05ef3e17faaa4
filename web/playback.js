// Replays in the page: a script from a link, a dropped file or the kept games played back on a
// device of its own at the device's own pace, the player's keys and touches ignored, Esc or the
// close mark ending it; and the offer made when a game ends: share it, download it, watch it.
import { GameShelf, ModeNames, LinkPrefix, bestOf, simFile, simFileName, linkFragment, scriptOfFragment } from './replays.js';

// The core's sounds by the name a script run prints them with.
const SampleNames = ['SndPack', 'SndPoint', 'SndBonus', 'SndChar', 'SndMiss', 'SndMiss2'];

export class Replays {
    // host: { z, tell(text), playSample(n), silence(), showDevice(), replayEnded(), redraw(), focus() }
    constructor(host) {
        this.host = host;
        this.shelf = new GameShelf();
        this.kept = false;
        this.count = 0;  // games kept
        this.refusalTold = false;
        this.playing = null;
        this.bar = document.getElementById('replay');
        this.offer = document.getElementById('offer');
    }

    async open() {
        this.kept = await this.shelf.open();
        this.count = (await this.shelf.all().catch(() => [])).length;
    }

    // ---- Keeping ----

    async gameRecorded(mode, score, lengthMs, script) {
        const game = { mode, score, lengthMs, script, date: Date.now() };
        try {
            if (!this.kept)
                throw new Error('no storage');
            await this.shelf.keep(game);
            this.count++;
        } catch {
            this.kept = false;
            if (!this.refusalTold)
                this.host.tell('This browser does not let the page keep games: play goes on, but games cannot be kept to watch again.');
            this.refusalTold = true;
        }
        this.showOffer(game);
    }

    showOffer(game) {
        const link = document.createElement('button');
        link.type = 'button';
        link.textContent = 'Share';
        const download = document.createElement('button');
        download.type = 'button';
        download.textContent = 'Download replay';
        const close = document.createElement('button');
        close.type = 'button';
        close.textContent = '\u00d7';
        close.title = 'Close';
        const text = document.createElement('span');
        text.textContent = `${ModeNames[game.mode] ?? 'Game'} over: ${game.score}`;
        const field = document.createElement('input');
        field.readOnly = true;
        field.hidden = true;
        field.setAttribute('aria-label', 'The link to this game');
        link.addEventListener('click', async () => {
            field.value = location.href.split('#')[0] + await linkFragment(game.script);
            field.hidden = false;
            field.select();
            navigator.clipboard?.writeText(field.value).then(() => { link.textContent = 'Link copied'; }, () => {});
        });
        download.addEventListener('click', () => {
            const anchor = document.createElement('a');
            anchor.href = URL.createObjectURL(new Blob([simFile(game)], { type: 'text/plain' }));
            anchor.download = simFileName(game);
            anchor.click();
            setTimeout(() => URL.revokeObjectURL(anchor.href), 1000);
        });
        close.addEventListener('click', () => { this.offer.hidden = true; this.host.focus(); });
        this.offer.replaceChildren(text, link, download, close, field);
        this.offer.hidden = false;
    }

    // The best game of the mode last played, as the desktop's menu item plays.
    async watchBest() {
        const games = await this.shelf.all().catch(() => []);
        const best = games.length ? bestOf(games, games[games.length - 1].mode) : null;
        if (!best) {
            this.host.tell('No game is kept in this browser yet: play one first.');
            return;
        }
        this.play(best.script, `the best ${ModeNames[best.mode]}, ${best.score}`);
    }

    hasGames() {
        return this.count > 0;
    }

    // ---- Links and files ----

    async playLink(fragment) {
        let script;
        try {
            script = await scriptOfFragment(fragment);
        } catch (error) {
            this.host.tell(error.message);
            return false;
        }
        return this.play(script, 'a shared game', 'The link');
    }

    async playFile(file) {
        let script;
        try {
            script = new TextDecoder('utf-8', { fatal: true }).decode(await file.arrayBuffer());
        } catch {
            this.host.tell(`${file.name} is not a replay: it is not text.`);
            return false;
        }
        return this.play(script, file.name, file.name);
    }

    // ---- Playing back ----

    // Checks the whole script first: a wrong line or too long a game is told and nothing changes.
    play(script, title, source = 'The game') {
        const error = this.host.z.check_script(script);
        if (error) {
            this.host.tell(`${source} cannot be played: ${error}.`);
            return false;
        }
        this.stop();
        this.host.showDevice();
        const z = this.host.z;
        z.replay_start();
        this.playing = { lines: script.split('\n'), index: 0, pending: 0, played: 0, start: performance.now(), frame: 0 };
        const close = document.createElement('button');
        close.type = 'button';
        close.textContent = '\u00d7';
        close.title = 'End the replay (Esc)';
        close.addEventListener('click', () => this.stop());
        const label = document.createElement('span');
        label.textContent = `Replay: ${title}`;
        this.bar.replaceChildren(label, close);
        this.bar.hidden = false;
        this.offer.hidden = true;
        this.step();
        return true;
    }

    active() {
        return this.playing !== null;
    }

    // Runs the lines due by the page's clock: a wait in steps as time passes, every other line
    // (a catchup whole, as it means one stall) as its time comes.
    step(untilEnd = false) {
        const run = this.playing;
        if (!run)
            return;
        const z = this.host.z;
        const target = untilEnd ? Infinity : performance.now() - run.start;
        while (run.pending > 0 || run.index < run.lines.length) {
            if (run.pending > 0) {
                const chunk = Math.min(run.pending, Math.floor(target - run.played));
                if (chunk <= 0)
                    break;
                z.replay_line(`wait ${chunk}`);
                run.pending -= chunk;
                run.played += chunk;
                continue;
            }
            const line = run.lines[run.index++];
            const words = line.trim().split(/\s+/);
            if (words[0] === 'wait' && words.length === 2) {
                run.pending = Number(words[1]);
                continue;
            }
            // What a run prints for reading (states, ticks) the page has no use for.
            if (words[0] === 'state' || words[0] === 'trace')
                continue;
            z.replay_line(line);
            run.played = z.replay_now();
        }
        for (const [, what, name] of z.replay_output().matchAll(/^\d+ (sound|silence) ?(\w*)$/gm))
            what === 'sound' ? this.host.playSample(SampleNames.indexOf(name)) : this.host.silence();
        this.host.redraw();
        if (run.pending > 0 || run.index < run.lines.length) {
            run.frame = requestAnimationFrame(() => this.step());
        } else {
            run.frame = 0;
            this.bar.firstChild.textContent += ' (ended)';
        }
    }

    // The player's device shown again, as it was before the replay.
    stop() {
        if (!this.playing)
            return;
        cancelAnimationFrame(this.playing.frame);
        this.playing = null;
        this.host.z.replay_stop();
        this.bar.hidden = true;
        this.host.redraw();
        this.host.focus();
        // A reload after the replay ends is the page, not the link's game again.
        if (location.hash.startsWith(LinkPrefix))
            history.replaceState(null, '', location.pathname + location.search);
        this.host.replayEnded();
    }

    // A .sim file dropped anywhere on the page plays.
    acceptDrops(target = window) {
        target.addEventListener('dragover', (event) => {
            if ([...(event.dataTransfer?.types ?? [])].includes('Files'))
                event.preventDefault();
        });
        target.addEventListener('drop', (event) => {
            const file = event.dataTransfer?.files?.[0];
            if (!file)
                return;
            event.preventDefault();
            this.playFile(file);
        });
    }
}

export const isReplayLink = (hash) => hash.startsWith(LinkPrefix);
