// The launcher, the key settings and the about box, laid out from the desktop's own dialog layout
// file: each window's size and caption, each component's place, look, pointer, text and hint.

const colours = { white: '#ffffff', silver: '#c0c0c0', yellow: '#ffff00', aqua: '#00ffff', red: '#ff0000', black: '#000000' };

// Splits a layout line into its words, a quoted text being one word.
function words(line) {
    const out = [];
    const pattern = /"([^"]*)"|(\S+)/g;
    for (let match; (match = pattern.exec(line));)
        out.push(match[1] !== undefined ? { text: match[1], quoted: true } : { text: match[2], quoted: false });
    return out;
}

// { NAME: { width, height, caption, components: [{ name, kind, left, top, width, height, look, cursor, text, hint }] } }
export function parseDialogs(text) {
    const windows = {};
    let current = null;
    for (const raw of text.split(/\r?\n/)) {
        const line = raw.trim();
        if (!line || line.startsWith('#'))
            continue;
        const w = words(line);
        if (w[0].text === 'window') {
            current = { name: w[1].text, width: +w[2].text, height: +w[3].text, caption: w[4]?.text ?? '', components: [] };
            windows[current.name] = current;
            continue;
        }
        if (!current || w.length < 9)
            throw new Error(`dialog layout: cannot read "${line}"`);
        const look = w[6].text === '-' ? [] : w[6].text.split(',');
        current.components.push({
            name: w[0].text, kind: w[1].text,
            left: +w[2].text, top: +w[3].text, width: +w[4].text, height: +w[5].text,
            look, cursor: w[7].text, text: w[8].text, hint: w[9]?.text ?? '',
        });
    }
    return windows;
}

// The window's components as elements in a box of its client size; gives { element, parts }.
export function buildDialog(form, pictureDir) {
    const element = document.createElement('div');
    element.className = 'dialog';
    element.style.width = `${form.width}px`;
    element.style.height = `${form.height}px`;
    const parts = {};
    for (const c of form.components) {
        let part;
        switch (c.kind) {
        case 'label':
            part = document.createElement('div');
            part.className = 'label';
            part.textContent = c.text;
            break;
        case 'picture':
            part = document.createElement('img');
            part.alt = '';
            part.draggable = false;
            if (c.text)
                part.src = `${pictureDir}/${c.text}`;
            break;
        case 'list':
            part = document.createElement('select');
            for (const item of c.text.split('|')) {
                const option = document.createElement('option');
                option.textContent = item;
                part.append(option);
            }
            part.selectedIndex = -1;
            break;
        case 'button':
            part = document.createElement('button');
            part.type = 'button';
            part.textContent = c.text;
            break;
        default:
            part = document.createElement('div');
            part.className = 'bevel';
        }
        part.id = c.name;
        Object.assign(part.style, { left: `${c.left}px`, top: `${c.top}px`, width: `${c.width}px`, height: `${c.height}px` });
        for (const word of c.look) {
            if (/^\d+$/.test(word))
                part.style.fontSize = `${word}px`;
            else if (word === 'bold')
                part.style.fontWeight = 'bold';
            else if (word === 'underline')
                part.style.textDecoration = 'underline';
            else if (word in colours)
                part.style.color = colours[word];
            else if (word === 'hidden')
                part.hidden = true;
            else
                part.classList.add(word);
        }
        if (c.cursor !== 'default')
            part.classList.add(c.cursor);
        if (c.hint)
            part.title = c.hint;
        element.append(part);
        parts[c.name] = part;
    }
    return { element, parts };
}

// A dialog in a window of its own over the page, with its caption and a close box.
export function framedWindow(host, form, built, onClose) {
    host.replaceChildren();
    const caption = document.createElement('div');
    caption.className = 'caption';
    const title = document.createElement('span');
    title.textContent = form.caption;
    const close = document.createElement('button');
    close.type = 'button';
    close.textContent = '×';
    close.title = 'Close';
    close.addEventListener('click', onClose);
    caption.append(title, close);
    host.append(caption, built.element);
}
