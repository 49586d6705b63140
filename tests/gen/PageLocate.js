'use strict';
// Where cutting an author's page by hand at its placeholders and joining it
// changes the page for the reader or the scripts: the real breaks, each at
// the fragment line check would name (DIR/data/1016.dat:3 ...). A break is a
// place whose join alone changes PageCompare.js's readerView of the page:
//   - a line end, with the spaces the trim takes on either side of it, at the
//     line it ends;
//   - the spaces beside a value, which the trim takes where the fragment ends
//     or starts: at the fragment's last line (before) or its first (after);
//   - a line of a fragment that, trimmed, is the end marker: the fragment ends
//     there, at that line and every line after it (`through`); a line end in
//     1011.dat, of which the presenter reads only the first line: at its line
//     2 and after. Past these the fragment is not read: nothing else is a
//     break there.
// Joins that change the page only together are not found.
//   pageBreaks(page, values)  the breaks as [{ file, line, what, through }]
//   node PageLocate.js PAGE INSERT [WIDTHxHEIGHT]   prints them
const { readerView } = require('./PageCompare');

const NAMES = ['1010', '1011', '1015', '1016', '1017', '1018', '1019'];
const HOLDER = /\{\{(width|height|insert)\}\}/g;
const MARKER = 'codebase random>';

// The page as bytes in a string (latin1), so that a byte is a character.
function pageBreaks(page, values) {
    const text = Buffer.from(page, 'utf8').toString('latin1');
    // the page is bytes as latin1 characters: the values go in as their UTF-8 bytes too
    const fill = (s) => s.replace(HOLDER, (m, k) => Buffer.from(values[k], 'utf8').toString('latin1'));
    const view = (s) => readerView(Buffer.from(fill(s), 'latin1'));
    const base = view(text);
    const breaks = [];
    const changes = (from, to) => view(text.slice(0, from) + text.slice(to)) !== base;
    // Past a fragment's end marker (or 1011.dat's first line) the presenter
    // reads nothing more of it: no break stands there.
    let fragment = 0, line = 1, ended = false;
    for (let at = 0; at < text.length;) {
        HOLDER.lastIndex = at;
        const holder = HOLDER.exec(text);
        const end = /[\n\r\0]/.exec(text.slice(at));
        const lineEnd = end ? at + end.index : text.length;
        if (holder && holder.index <= lineEnd) { // a value cuts the line here
            let a = holder.index;
            while (a > at && text[a - 1] === ' ') a--;
            const file = NAMES[fragment];
            const piece = text.slice(at, a).trim();
            if (!ended && piece === MARKER && fragment !== 1) breaks.push({ file, line, what: 'the end marker', through: true });
            else if (!ended && a < holder.index && changes(a, holder.index)) breaks.push({ file, line, what: 'spaces before a value' });
            let b = holder.index + holder[0].length;
            const after = b;
            while (b < text.length && text[b] === ' ') b++;
            fragment++, line = 1, ended = false;
            if (b > after && changes(after, b)) breaks.push({ file: NAMES[fragment], line, what: 'spaces after a value' });
            at = after;
            continue;
        }
        if (lineEnd === text.length) break;
        const file = NAMES[fragment];
        const next = lineEnd + (text[lineEnd] === '\r' && text[lineEnd + 1] === '\n' ? 2 : 1);
        if (!ended && fragment !== 1 && text.slice(at, lineEnd).trim() === MARKER) {
            breaks.push({ file, line, what: 'the end marker', through: true });
            ended = true;
        }
        if (fragment === 1 && line === 1) {
            breaks.push({ file, line: 2, what: 'lines after the first of 1011.dat', through: true });
            ended = true;
        }
        if (!ended) {
            let a = lineEnd, b = next;
            while (a > at && text[a - 1] === ' ') a--;
            while (b < text.length && text[b] === ' ') b++;
            if (changes(a, b)) breaks.push({ file, line, what: 'a line end' });
        }
        at = next;
        line++;
    }
    return breaks;
}

module.exports = { pageBreaks };

if (require.main === module) {
    const fs = require('fs');
    const [file, insert, screen = '800x600'] = process.argv.slice(2);
    const [width, height] = screen.split('x');
    for (const b of pageBreaks(fs.readFileSync(file, 'utf8'), { width, height, insert }))
        console.log(`${b.file}.dat:${b.line}: ${b.what}${b.through ? ', and the lines after it' : ''}`);
}
