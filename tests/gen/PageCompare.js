'use strict';
// Two readings of an HTML page by the reference parsers (parse5 for HTML,
// acorn for JavaScript), and their comparison.
//
// packDifferences(author, joined, scripts): the page the presenter shows after
// pack and the join against the author's page with its values put in. The
// same tree, node for node: every text exactly ("text-space" where only white
// space differs, "text" otherwise), every attribute exactly ("attribute-space",
// "attribute"); comments' text is not compared, style sheets compare by CSS
// tokens (white space and comments aside: "style"), and the raw text of
// noscript, iframe, noembed and noframes, which no browser with scripts and
// frames shows, with its runs of white space as one space. Scripts the browser runs
// compare by acorn syntax tree ("script": a parse error on one side only, or
// another tree), and each function's source text, which the script can show
// ("function-source"); a script moved to page-N.js is read from that file,
// found as the browser finds it: `src` in HTML, `href` in SVG, resolved under
// the page's <base href> (the reference may climb back: "../page-1.js"); a moved script the browser would not run from there
// is "script-file". JSON data blocks compare as JSON ("json"), other script
// types exactly ("data-block"). Any other disagreement of the trees is "tree".
//
// readerView(page): what a reader or a script of the page meets, as one string,
// for the question whether two pages differ for them:
//   - text outside white-space-keeping elements with each run of white space
//     as one space, and white space at block boundaries (and at <br>) ignored;
//     a space beside an inline tag counts once, wherever it stands;
//   - text inside <pre>, <listing>, <xmp>, <plaintext>, <textarea>, SVG text
//     with xml:space="preserve", and elements that a style attribute or a rule
//     with a simple selector (tag, .class, #id, tag.class, ...) sets to
//     white-space pre, pre-wrap or break-spaces: exact; pre-line keeps its line
//     feeds and collapses the rest;
//   - the raw text of <noscript>, <iframe>, <noembed>, <noframes> is not shown:
//     left out; comments left out;
//   - attribute values exact, except `class` as a token list, `style` as CSS
//     tokens and on... handlers by acorn syntax tree;
//   - scripts by acorn syntax tree (a parse error on one side only differs),
//     JSON data blocks as JSON, other script types exactly, style sheets by
//     CSS tokens; a script or a style sheet shows nothing, so white space
//     beside one counts as beside an inline tag.
const parse5 = require('parse5');
const acorn = require('acorn');

const decode = (bytes) => {
    const s = Buffer.isBuffer(bytes) ? bytes.toString('utf8') : bytes;
    return s.charCodeAt(0) === 0xfeff ? s.slice(1) : s;
};
const parseHtml = (bytes) => parse5.parse(decode(bytes), { scriptingEnabled: true });
const clip = (s, n = 60) => JSON.stringify(s.length > n ? `${s.slice(0, n)}...` : s);
const attr = (el, name) => { const a = el.attrs && el.attrs.find((x) => x.name === name && !x.prefix); return a ? a.value : null; };
const attrName = (a) => (a.prefix ? `${a.prefix}:${a.name}` : a.name);
const textOf = (el) => (el.childNodes || []).filter((n) => n.nodeName === '#text').map((n) => n.value).join('');
const SVG = 'http://www.w3.org/2000/svg';
const MATHML = 'http://www.w3.org/1998/Math/MathML';
const HTML = 'http://www.w3.org/1999/xhtml';

// ---- scripts ---------------------------------------------------------------
const JS_TYPES = new Set(['', 'text/javascript', 'application/javascript', 'text/ecmascript',
    'application/ecmascript', 'application/x-javascript', 'application/x-ecmascript', 'text/jscript',
    'text/livescript', 'text/x-ecmascript', 'text/x-javascript', 'text/javascript1.0',
    'text/javascript1.1', 'text/javascript1.2', 'text/javascript1.3', 'text/javascript1.4',
    'text/javascript1.5']);
const JSON_TYPES = new Set(['application/json', 'importmap', 'application/ld+json', 'speculationrules', 'text/json']);

function scriptKind(el) {
    let type = attr(el, 'type');
    // No type: an empty or missing language means JavaScript too.
    if (type === null) type = el.namespaceURI === SVG ? '' : (attr(el, 'language') ? `text/${attr(el, 'language')}` : '');
    type = type.trim().toLowerCase();
    if (JS_TYPES.has(type)) return 'classic';
    if (type === 'module') return 'module';
    if (JSON_TYPES.has(type) || type.endsWith('+json')) return 'json';
    return 'data';
}

// An acorn tree without places; literals by value. With `functions`, the
// source text of every function and class too, which the script can read back.
function jsTree(source, goal, functions) {
    let tree;
    try {
        tree = acorn.parse(source, { ecmaVersion: 'latest', sourceType: goal === 'module' ? 'module' : 'script',
            allowReturnOutsideFunction: goal === 'handler' });
    } catch (e) {
        return { error: e.message };
    }
    const texts = [];
    const text = JSON.stringify(tree, function (key, value) {
        if (key === 'start' || key === 'end') return undefined;
        if (key === 'raw' && this.type === 'Literal') return undefined;
        if (typeof value === 'bigint') return `${value}n`;
        if (functions && value && /Function|Class/.test(value.type) && typeof value.start === 'number')
            texts.push(source.slice(value.start, value.end));
        return typeof value === 'bigint' ? `${value}n` : value;
    });
    return { text, functions: texts };
}

function jsonValue(source) {
    try {
        return JSON.stringify(JSON.parse(source));
    } catch (e) {
        return `invalid JSON: ${source}`;
    }
}

// ---- style sheets ---------------------------------------------------------
// CSS tokens, escapes decoded, comments out; white space as one token, and
// none where it means nothing: beside "{", "}", ";", ","; in a list of rules
// beside a combinator; in declarations beside ":" or "!", and between two
// tokens that read the same side by side (a number and a unit, two words, a
// sign and a number, a name and "(" read as others).
function cssLex(css) {
    const out = [];
    const escape = (s, i) => { // an escape at s[i] === "\\": [text, next index]
        const hex = /^[0-9a-fA-F]{1,6}[ \t\n\r\f]?/.exec(s.slice(i + 1, i + 8));
        if (hex) return [String.fromCodePoint(Math.min(parseInt(hex[0], 16) || 0xfffd, 0x10ffff)), i + 1 + hex[0].length];
        return [s[i + 1] === '\n' ? '' : (s[i + 1] || ''), i + 2];
    };
    for (let i = 0; i < css.length;) {
        const c = css[i];
        if (c === '/' && css[i + 1] === '*') {
            const end = css.indexOf('*/', i + 2);
            i = end < 0 ? css.length : end + 2;
        } else if (/[ \t\n\r\f]/.test(c)) {
            while (i < css.length && /[ \t\n\r\f]/.test(css[i])) i++;
            out.push(' ');
        } else if (c === '"' || c === "'") {
            let s = '';
            for (i++; i < css.length && css[i] !== c && css[i] !== '\n'; ) {
                if (css[i] === '\\') { const [t, n] = escape(css, i); s += t; i = n; } else s += css[i++];
            }
            i++;
            out.push(`"${s}"`);
        } else if (/[\w\-.%#\\\u0080-\uffff]/.test(c)) {
            // "#" starts a word (a hash) but ends one: "solid#c33" is two
            let s = '';
            do {
                if (css[i] === '\\') { const [t, n] = escape(css, i); s += t; i = n; } else s += css[i++];
            } while (i < css.length && /[\w\-.%\\\u0080-\uffff]/.test(css[i]));
            out.push(s);
        } else {
            out.push(c);
            i++;
        }
    }
    // White space on both sides of a comment is one run.
    for (let k = out.length - 1; k > 0; k--) if (out[k] === ' ' && out[k - 1] === ' ') out.splice(k, 1);
    return out;
}

function cssTokens(css) {
    const out = cssLex(css);
    // Which blocks hold declarations: a rule's, an at-rule's such as @font-face;
    // not the list of rules of @media and the like.
    const declarations = [], blocks = [];
    let prelude = 0;
    out.forEach((t, k) => {
        declarations[k] = blocks.length > 0 && blocks[blocks.length - 1];
        if (t === '{') {
            const first = out.slice(prelude, k).filter((x) => x !== ' ');
            blocks.push(!(first[0] === '@' && !/^(font-face|page)$/i.test(first[1] || '')));
        } else if (t === '}') {
            blocks.pop();
        }
        if (t === '{' || t === '}' || t === ';') prelude = k + 1;
    });
    const quiet = (k) => k < 0 || k >= out.length || /^[{}]$/.test(out[k]) ||
        (declarations[k] ? /^[:;!,]$/.test(out[k]) : /^[>+~,;]$/.test(out[k]));
    const word = (t) => /^[\w\-.%#\\\u0080-\uffff]/.test(t);
    const glue = (a, b) => cssLex(a + b).join('\u0000') !== `${a}\u0000${b}` || (word(a) && b === '(') ||
        (a === '+' && /^[\d.]/.test(b));
    return out.filter((t, k) => t !== ' ' || !(quiet(k - 1) || quiet(k + 1) ||
        (declarations[k] && !glue(out[k - 1], out[k + 1])))).join('\u0000');
}

// ---- the pack property -----------------------------------------------------
function packDifferences(authorBytes, joinedBytes, scripts) {
    const a = parseHtml(authorBytes), b = parseHtml(joinedBytes);
    const diffs = [];
    const base = baseHref(b);
    const put = (kind, where, detail) => diffs.push({ kind, detail: `${where}: ${detail}` });
    const compare = (x, y, where, hidden) => {
        if (x.nodeName !== y.nodeName || x.namespaceURI !== y.namespaceURI)
            return put('tree', where, `${x.nodeName} against ${y.nodeName}`);
        if (x.nodeName === '#text') {
            if (x.value === y.value) return;
            // The raw text of noscript, iframe, noembed and noframes is shown by
            // no browser that runs scripts and has frames: its white space may change.
            if (hidden && x.value.replace(/\s+/g, ' ') === y.value.replace(/\s+/g, ' ')) return;
            const space = x.value.replace(/\s+/g, ' ') === y.value.replace(/\s+/g, ' ');
            return put(space ? 'text-space' : 'text', where, `${clip(x.value)} against ${clip(y.value)}`);
        }
        if (x.nodeName === '#comment') return;
        if (x.nodeName === '#documentType') return x.name === y.name || put('tree', where, 'the doctype');
        const name = x.tagName ? `${where}/${x.tagName}` : where;
        const inHidden = RAW_HIDDEN.has(x.tagName) && x.namespaceURI === HTML;
        let moved = null;
        if (x.tagName === 'script') moved = movedScript(x, y, scripts, base, name, put);
        compareAttributes(x, y, moved, name, put);
        if (x.tagName === 'script') return compareScript(x, y, moved, name, put);
        if (x.tagName === 'style') {
            if (cssTokens(textOf(x)) !== cssTokens(textOf(y))) put('style', name, `${clip(textOf(x))} against ${clip(textOf(y))}`);
            return;
        }
        const xs = x.tagName === 'template' ? x.content.childNodes : x.childNodes || [];
        const ys = y.tagName === 'template' ? y.content.childNodes : y.childNodes || [];
        if (xs.length !== ys.length) put('tree', name, `${xs.length} children against ${ys.length}`);
        for (let k = 0; k < Math.min(xs.length, ys.length); k++) compare(xs[k], ys[k], name, inHidden);
    };
    compare(a, b, '');
    return diffs;
}

function baseHref(doc) {
    const find = (n) => {
        if (n.tagName === 'base' && n.namespaceURI === HTML && attr(n, 'href') !== null) return attr(n, 'href');
        for (const c of n.childNodes || []) { const f = find(c); if (f !== null) return f; }
        return null;
    };
    return find(doc);
}

// The page-N.js a packed script refers to, as the browser would find it: the
// file's text, or null when the script was not moved.
function movedScript(x, y, scripts, base, where, put) {
    const svg = y.namespaceURI === SVG;
    // Under a <base href> the reference climbs back to the page's folder ("../page-1.js").
    const ref = (y.attrs || []).find((a) => /^(?:\.\.\/)*(?:data\/)?page-\d+\.js$/.test(a.value) && !(x.attrs || []).some((b) => attrName(b) === attrName(a)));
    if (!ref) return null;
    const file = Number(/\d+/.exec(ref.value)[0]);
    const page = 'file:///C:/talk/data/1014.dat';
    const at = new URL(ref.value, base === null ? page : new URL(base, page)).href;
    const kind = scriptKind(x);
    if ((svg ? !['href', 'xlink:href'].includes(attrName(ref)) : ref.name !== 'src') ||
        at !== `file:///C:/talk/data/page-${file}.js` || kind !== 'classic' || file > scripts.length) {
        put('script-file', where, `${attrName(ref)}="${ref.value}" on a ${kind} script${base !== null ? ` under <base href="${base}">` : ''}: the browser does not run it from ${scripts.length >= file ? 'that file' : 'a file that is not there'}`);
        return { attribute: attrName(ref), text: null };
    }
    return { attribute: attrName(ref), text: scripts[file - 1].toString('utf8') };
}

function compareAttributes(x, y, moved, where, put) {
    const map = (el) => new Map((el.attrs || []).map((a) => [attrName(a), a.value]));
    const xm = map(x), ym = map(y);
    if (moved) ym.delete(moved.attribute);
    for (const [name, value] of xm) {
        if (!ym.has(name)) { put('attribute', where, `${name} is gone`); continue; }
        const other = ym.get(name);
        if (value === other) continue;
        const space = value.replace(/\s+/g, ' ') === other.replace(/\s+/g, ' ');
        put(space ? 'attribute-space' : 'attribute', where, `${name}=${clip(value)} against ${clip(other)}`);
    }
    for (const name of ym.keys()) if (!xm.has(name)) put('attribute', where, `${name} is new`);
}

function compareScript(x, y, moved, where, put) {
    const kind = scriptKind(x);
    if (moved && moved.text === null) return; // told as "script-file"
    const xt = textOf(x), yt = moved ? moved.text : textOf(y);
    if (kind === 'json') {
        if (jsonValue(xt) !== jsonValue(yt)) put('json', where, `${clip(xt)} against ${clip(yt)}`);
    } else if (kind === 'data') {
        if (xt !== yt) put('data-block', where, `${clip(xt)} against ${clip(yt)}`);
    } else {
        const xa = jsTree(xt, kind, true), ya = jsTree(yt, kind, true);
        if (xa.error || ya.error || xa.text !== ya.text) {
            if (!(xa.error && xa.error === ya.error && xt === yt))
                put('script', where, `${xa.error || 'parsed'} against ${ya.error || 'parsed'}: ${clip(xt)} against ${clip(yt)}`);
        } else if (xa.functions.join('\u0000') !== ya.functions.join('\u0000')) {
            put('function-source', where, `${clip(xa.functions.join(' '))} against ${clip(ya.functions.join(' '))}`);
        }
    }
}

// ---- what a reader or a script meets ----------------------------------------
const BLOCK = new Set(['html', 'head', 'body', 'title', 'p', 'div', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6', 'ul', 'ol', 'li',
    'dl', 'dt', 'dd', 'table', 'thead', 'tbody', 'tfoot', 'tr', 'td', 'th', 'caption', 'section', 'article',
    'header', 'footer', 'nav', 'main', 'aside', 'figure', 'figcaption', 'blockquote', 'pre', 'listing', 'xmp',
    'plaintext', 'address', 'hr', 'br', 'form', 'fieldset', 'legend', 'details', 'summary', 'dialog', 'center',
    'menu', 'dir', 'option', 'optgroup']);
const SVG_INLINE = new Set(['tspan', 'textPath', 'a']);
const RAW_HIDDEN = new Set(['noscript', 'iframe', 'noembed', 'noframes']);
const KEEP = new Set(['pre', 'pre-wrap', 'break-spaces']);

function isBlock(el) {
    if (el.namespaceURI === SVG) return !SVG_INLINE.has(el.tagName) && el.tagName !== 'svg';
    if (el.namespaceURI === MATHML) return el.tagName !== 'math';
    return BLOCK.has(el.tagName);
}

// The white-space rules of the page's style sheets that use simple selectors.
function whiteSpaceRules(doc) {
    const rules = [];
    const visit = (n) => {
        if (n.tagName === 'style') {
            const css = textOf(n).replace(/\/\*[\s\S]*?\*\//g, '');
            for (const m of css.matchAll(/([^{}]+)\{([^{}]*)\}/g)) {
                const ws = /(?:^|;)\s*white-space\s*:\s*([-a-z]+)/i.exec(m[2]);
                if (!ws) continue;
                for (const selector of m[1].split(',')) {
                    const s = /^\s*([a-zA-Z][\w-]*|\*)?((?:[.#][\w-]+)*)\s*$/.exec(selector);
                    if (!s || (!s[1] && !s[2])) continue;
                    const parts = s[2].match(/[.#][\w-]+/g) || [];
                    const ids = parts.filter((p) => p[0] === '#').map((p) => p.slice(1));
                    const classes = parts.filter((p) => p[0] === '.').map((p) => p.slice(1));
                    const tag = s[1] && s[1] !== '*' ? s[1].toLowerCase() : null;
                    rules.push({ tag, ids, classes, value: ws[1].toLowerCase(),
                        weight: ids.length * 10000 + classes.length * 100 + (tag ? 1 : 0), order: rules.length });
                }
            }
        }
        (n.childNodes || []).forEach(visit);
    };
    visit(doc);
    return rules.sort((p, q) => p.weight - q.weight || p.order - q.order);
}

function whiteSpaceOf(el, inherited, rules) {
    let ws = inherited;
    if (['pre', 'listing', 'xmp', 'plaintext'].includes(el.tagName) && el.namespaceURI === HTML) ws = 'pre';
    if (el.tagName === 'textarea') ws = 'pre-wrap';
    const classes = (attr(el, 'class') || '').split(/\s+/);
    for (const rule of rules)
        if ((!rule.tag || rule.tag === el.tagName) && rule.ids.every((id) => attr(el, 'id') === id) &&
            rule.classes.every((c) => classes.includes(c))) ws = rule.value;
    const inline = /(?:^|;)\s*white-space\s*:\s*([-a-z]+)/i.exec(attr(el, 'style') || '');
    if (inline) ws = inline[1].toLowerCase();
    const space = el.attrs && el.attrs.find((a) => a.prefix === 'xml' && a.name === 'space');
    if (el.namespaceURI === SVG && space) ws = space.value === 'preserve' ? 'pre' : 'normal';
    return ws;
}

const opaque = (tag, s) => `${tag}${encodeURIComponent(s)}${tag}`;

function attributesView(el, errors) {
    return (el.attrs || []).map((a) => {
        const name = attrName(a);
        let value = a.value;
        if (name === 'class') value = value.split(/[ \t\n\r\f]+/).filter(Boolean).join(' ');
        else if (name === 'style') value = cssTokens(`{${value}}`);
        else if (/^on/i.test(name)) {
            const t = jsTree(value, 'handler', false);
            if (t.error) errors.push(`${name}: ${t.error}`);
            value = t.error ? `error:${value}` : t.text;
        }
        return `${name}=${encodeURIComponent(value)}`;
    }).sort().join(',');
}

// `errors`, when given, hears of each script and handler acorn rejects.
function readerView(bytes, errors = []) {
    const doc = parseHtml(bytes);
    const rules = whiteSpaceRules(doc);
    const out = [];
    let inHead = false;
    const walk = (n, ws) => {
        if (n.nodeName === '#text') {
            if (inHead && !/[^ \t\n\r\f]/.test(n.value)) return; // the head shows no text
            if (KEEP.has(ws)) out.push(opaque('\u0003', n.value));
            else if (ws === 'pre-line') out.push(opaque('\u0003', n.value.replace(/[ \t\r\f]+/g, ' ').replace(/ ?\n ?/g, '\n')));
            else out.push(n.value.replace(/[ \t\n\r\f]+/g, ' '));
            return;
        }
        if (n.nodeName === '#comment' || n.nodeName === '#documentType') return;
        if (!n.tagName) return (n.childNodes || []).forEach((c) => walk(c, ws));
        const mark = isBlock(n) ? '\u0002' : '\u0001';
        // A script or a style sheet shows nothing: its reading goes into its tag,
        // so that white space beside it counts as beside any inline tag.
        const text = textOf(n);
        let inner = '';
        if (n.tagName === 'script') {
            const kind = scriptKind(n);
            const view = kind === 'json' ? jsonValue(text) : kind === 'data' ? text : jsTree(text, kind, false);
            if (view.error) errors.push(`script: ${view.error}`);
            inner = opaque('\u0004', typeof view === 'string' ? view : view.error ? `error:${text}` : view.text);
        } else if (n.tagName === 'style') {
            inner = opaque('\u0004', cssTokens(text));
        }
        out.push(`${mark}<${n.tagName}|${attributesView(n, errors)}>${inner}${mark}`);
        if (n.tagName !== 'script' && n.tagName !== 'style' && !RAW_HIDDEN.has(n.tagName)) {
            const own = whiteSpaceOf(n, ws, rules);
            const kids = n.tagName === 'template' ? n.content.childNodes : n.childNodes || [];
            if (n.tagName === 'head') inHead = true;
            kids.forEach((c) => walk(c, own));
            if (n.tagName === 'head') inHead = false;
        }
        out.push(`${mark}</${n.tagName}>${mark}`);
    };
    walk(doc, 'normal');
    const inlineRun = '((?:\u0001[^\u0001]*\u0001)+)';
    let s = out.join(''), last;
    do {
        last = s;
        s = s.replace(new RegExp(`${inlineRun} `, 'g'), ' $1').replace(/ {2,}/g, ' ');
    } while (s !== last);
    return s.replace(/ ((?:\u0001[^\u0001]*\u0001)*)(?=\u0002|$)/g, '$1')
        .replace(/(\u0002|^)((?:\u0001[^\u0001]*\u0001)*) /g, '$1$2');
}

// ---- what the presenter's engine runs ----------------------------------------
// The classic scripts of a page and its event handlers' bodies, with where
// each stands (UTF-16 offsets into the decoded page): [{ text, handler, start, end }].
function pageScripts(bytes) {
    const doc = parse5.parse(decode(bytes), { scriptingEnabled: true, sourceCodeLocationInfo: true });
    const out = [];
    const visit = (n) => {
        const loc = n.sourceCodeLocation;
        for (const a of n.attrs || []) {
            const at = loc && loc.attrs && loc.attrs[attrName(a)];
            if (/^on/i.test(a.name) && at) out.push({ text: a.value, handler: true, start: at.startOffset, end: at.endOffset });
        }
        if (n.tagName === 'script' && scriptKind(n) === 'classic' && loc && loc.startTag)
            out.push({ text: textOf(n), handler: false, start: loc.startTag.endOffset, end: loc.endTag ? loc.endTag.startOffset : Infinity });
        (n.tagName === 'template' ? n.content.childNodes : n.childNodes || []).forEach(visit);
    };
    visit(doc);
    return out;
}

// Whether an ES5 engine with IE11's let and const (outside for heads) rejects
// a script; null when no engine runs it (acorn rejects it at any version).
function es5Rejects(text, handler) {
    const options = (version) => ({ ecmaVersion: version, allowReturnOutsideFunction: handler });
    let tree;
    try {
        tree = acorn.parse(text, options('latest'));
    } catch (e) {
        return null;
    }
    const lexical = [], inFor = new Set();
    const walk = (node) => {
        if (Array.isArray(node)) return node.forEach(walk);
        if (!node || typeof node.type !== 'string') return;
        if (node.type === 'VariableDeclaration' && node.kind !== 'var') lexical.push(node);
        if (/^For/.test(node.type)) [node.init, node.left].forEach((d) => d && inFor.add(d));
        for (const key of Object.keys(node)) if (typeof node[key] === 'object') walk(node[key]);
    };
    walk(tree);
    let text5 = text;
    for (const d of lexical.filter((d) => !inFor.has(d)).sort((a, b) => b.start - a.start))
        text5 = text5.slice(0, d.start) + 'var' + ' '.repeat(d.kind.length - 3) + text5.slice(d.start + d.kind.length);
    try {
        acorn.parse(text5, options(5));
        return false;
    } catch (e) {
        return true;
    }
}

module.exports = { packDifferences, readerView, decode, pageScripts, es5Rejects };
