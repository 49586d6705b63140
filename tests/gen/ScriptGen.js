// Seeded scripts for the tests: statements of many shapes laid out with line
// breaks and indentation in many places, comments of every kind, strings with
// escapes and line continuations, regular expressions beside divisions, and,
// where asked, each syntax newer than ES5.
//
//   const gen = require('./ScriptGen.js');
//   const seed = gen.runSeed();          // LUMIVANE_SEED, or a new one
//   const random = gen.random(seed);     // a seeded source: random() in [0, 1)
//   const s = gen.script(random, {newer: 'any'});
//   s.text      the script (CR LF, CR or LF line ends, as drawn)
//   s.handler   true when it is an event handler's body (return allowed)
//   s.newer     the newer features it uses ([] for ES5 and IE11 scripts)
//   s.ie11      true when it uses let or const outside for heads
// options.newer: 'none' (ES5 only), 'ie11' (ES5 with let and const), 'any'
// (a few newer features), or 'mixed' (each of those in turn at random).
// options.handler: true for an event handler's body, 'mixed' for one in five.
// options.lineEnd: '\n', '\r\n' or '\r' (by default mostly '\n').
'use strict';

function random(seed) {
    let a = seed >>> 0;
    return function () {
        a = (a + 0x6d2b79f5) | 0;
        let t = Math.imul(a ^ (a >>> 15), 1 | a);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

function runSeed() {
    const given = process.env.LUMIVANE_SEED;
    return given ? Number(given) >>> 0 : (Date.now() ^ (process.pid << 16)) >>> 0;
}

// Layout marks between pieces: S a space that may become a line break, O
// nothing or a space or a line break, K a space that must stay on the line,
// N a line break, I and D one indentation step in and out.
const S = {m: 'S'}, O = {m: 'O'}, K = {m: 'K'}, N = {m: 'N'}, I = {m: 'I'}, D = {m: 'D'};

const NEWER = ['arrow', 'template', 'class', 'letfor', 'destructuring', 'spread', 'default',
    'forof', 'generator', 'async', 'optional', 'nullish', 'logical', 'exponent', 'shorthand',
    'method', 'computed', 'separator', 'bigint', 'radix', 'regexflag', 'regexgroup', 'codepoint',
    'trailingcomma', 'catchbinding', 'newtarget', 'hashbang', 'linesep'];

function Gen(rnd, options) {
    this.rnd = rnd;
    this.allowed = new Set(options.allowed || []);
    this.used = new Set();
    this.ie11 = !!options.ie11;
    this.usedIe11 = false;
    this.handler = !!options.handler;
    this.fn = {gen: false, async: false, inFunction: this.handler, loop: false, brk: false, strict: false};
    this.uid = 0;
}
Gen.prototype.r = function () { return this.rnd(); };
Gen.prototype.pick = function (list) { return list[Math.floor(this.r() * list.length)]; };
Gen.prototype.chance = function (p) { return this.r() < p; };
Gen.prototype.may = function (feature, p) {
    // an allowed feature shows up often, so that each is seen alone in a run
    if (!this.allowed.has(feature) || !this.chance(Math.max(p === undefined ? 0.3 : p, 0.5))) return false;
    this.used.add(feature);
    return true;
};

const NAMES = ['a', 'b', 'n', 'x', 'y', 'i', 'count', 'deck', 'clicks', 'total', '$el', '_tmp',
    'été', 'naïve', 'π', 'of', 'get', 'set', 'static', 'async', 'let'];
// acorn's tokenizer (8.8) reads o.if(a) / 2 (and while, for, with) as a regular
// expression after an if head: those stay out of property names.
const PROPS = ['length', 'new', 'class', 'return', 'default', 'in', 'value', 'top', 'x'];

Gen.prototype.name = function () {
    let n = this.pick(NAMES);
    // let would start a declaration; strict code reserves static
    while (n === 'let' || (n === 'static' && this.fn.strict)) n = this.pick(NAMES);
    return n;
};

// A name of its own, for what let, const and class declare.
Gen.prototype.unique = function (stem) { return stem + '_' + (++this.uid); };

Gen.prototype.number = function () {
    if (this.may('separator', 0.15)) return '1_000';
    if (this.may('bigint', 0.15)) return '10n';
    if (this.may('radix', 0.15)) return this.pick(['0b101', '0o17', '0B11']);
    const legacy = this.fn.strict ? [] : ['017', '08'];
    return this.pick(['0', '42', '3.14', '.5', '5.', '1e3', '2E-4', '0x1F', '0.25'].concat(legacy));
};

Gen.prototype.string = function () {
    const q = this.pick(["'", '"']);
    const parts = ['a', 'Hi all', ' ', 'é', '漢', '\\n', '\\t', '\\\\', '\\x41', '\\u00e9', '\\0',
        '\\d', 'codebase random>', '<!--', '-->', '</p>', q === "'" ? "\\'" : '\\"', '${x}', '//'];
    let body = '';
    for (let k = Math.floor(this.r() * 4); k > 0; k--) body += this.pick(parts);
    if (this.may('codepoint', 0.2)) body += '\\u{1F600}';
    if (this.may('linesep', 0.2)) body += '\u2028';
    // a line continuation, the next line at its start or indented
    if (this.chance(0.08)) return {cont: [q + body, this.pick(['', '  ', '\t']) + this.pick(['x', 'é', 'n', ' ']) + q]};
    return q + body + q;
};

Gen.prototype.regex = function () {
    let body = this.pick(['ab+c', '[/]', '\\/\\d+', '[a-z]+', 'a|b', '\\s*,\\s*', '^#?(\\w+)$', '[^\\]]']);
    let flags = this.pick(['', 'g', 'i', 'gi', 'm']);
    if (this.may('regexflag', 0.2)) flags += this.pick(['u', 'y', 's']);
    if (this.may('regexgroup', 0.2)) body = this.pick(['(?<word>\\w+)', '(?<=a)b', '(?<!x)y']);
    return '/' + body + '/' + flags;
};

Gen.prototype.template = function (d) {
    // a template literal: text with escapes, line breaks and substitutions, nested
    const out = ['`'];
    for (let k = 1 + Math.floor(this.r() * 3); k > 0; k--) {
        const c = this.r();
        if (c < 0.3) out.push(this.pick(['text', ' a b ', '\\${not}', '\\`', '$', '{x}', 'é']));
        else if (c < 0.5) out.push({raw: this.pick(['\n', '\n  ', '  \n'])});
        else out.push('${', O, this.expr(d + 1), O, '}');
    }
    out.push('`');
    return out;
};

Gen.prototype.primary = function (d) {
    const c = this.r();
    if (c < 0.3) return [this.name()];
    if (c < 0.42) return [this.number()];
    if (c < 0.54) return [this.string()];
    if (c < 0.6) return [this.regex()];
    if (c < 0.64) return [this.pick(['true', 'false', 'null', 'this', 'undefined'])];
    if (d > 2) return [this.name()];
    if (c < 0.7) return this.array(d);
    if (c < 0.76) return this.object(d);
    if (c < 0.8) return this.funcExpr(d);
    if (c < 0.84) return ['(', O, this.expr(d + 1), O, ')'];
    if (c < 0.87) return ['new', S, this.name(), '(', O, ')'];
    if (c < 0.9 && this.may('template', 0.5)) return this.template(d);
    if (c < 0.93 && this.may('arrow', 0.6)) return ['(', this.arrow(d), ')'];
    if (c < 0.95 && this.may('class', 0.4)) return this.classExpr(d);
    return [this.name()];
};

Gen.prototype.arrow = function (d) {
    const params = this.chance(0.4) ? [this.name()] : ['(', O, this.name(), O, ')'];
    const async = this.may('async', 0.3);
    const saved = this.fn;
    this.fn = {gen: false, async: async, inFunction: true, loop: false, brk: false, strict: saved.strict};
    // a body that starts with { is a block: an object literal there goes in parentheses
    const body = this.chance(0.5) ? ['(', this.expr(d + 1), ')'] : ['{', I, this.statements(2, d + 1), D, N, '}'];
    this.fn = saved;
    return [async ? ['async', K] : [], params, K, '=>', S, body];
};

Gen.prototype.array = function (d) {
    const out = ['['];
    for (let k = Math.floor(this.r() * 3); k > 0; k--) {
        if (this.may('spread', 0.2)) out.push('...');
        out.push(O, this.expr(d + 1), k > 1 ? [O, ','] : []);
    }
    return out.concat([O, ']']);
};

Gen.prototype.key = function () {
    return this.pick(['a', 'b', 'value', 'new', 'class', 'if', "'quoted key'", '1', 'get', 'set', 'static', 'async']);
};

Gen.prototype.object = function (d) {
    const out = ['{'];
    const count = Math.floor(this.r() * 3);
    for (let k = 0; k < count; k++) {
        out.push(I, O);
        const c = this.r();
        if (this.may('shorthand', 0.2)) out.push(this.name());
        else if (this.may('method', 0.2)) out.push(this.key(), '(', ')', O, this.funcBody(d, false, false));
        else if (this.may('computed', 0.2)) out.push('[', this.expr(d + 1), ']', ':', O, this.expr(d + 1));
        // an accessor's name of its own: ES5 takes a getter and a value of one name for an error
        else if (c < 0.15) out.push('get', S, this.unique('shown'), '(', ')', O, '{', I, N, 'return', K, this.expr(d + 1), D, N, '}');
        else out.push(this.key(), O, ':', O, this.expr(d + 1));
        out.push(D, k < count - 1 || this.chance(0.2) ? [O, ','] : []);
    }
    return out.concat([O, '}']);
};

Gen.prototype.params = function () {
    const out = ['('];
    const count = Math.floor(this.r() * 3);
    for (let k = 0; k < count; k++) {
        // a rest parameter takes no default
        if (k === count - 1 && this.may('spread', 0.2)) out.push('...', 'p' + k);
        else if (this.may('destructuring', 0.15)) out.push('{', O, 'p' + k, O, '}');
        else if (out.push('p' + k) && this.may('default', 0.2)) out.push(O, '=', O, this.number());
        if (k < count - 1) out.push(O, ',', O);
    }
    return out.concat([')']);
};

Gen.prototype.funcBody = function (d, gen, async, strict) {
    const saved = this.fn;
    this.fn = {gen: gen, async: async, inFunction: true, loop: false, brk: false, strict: strict || saved.strict};
    const body = this.statements(1 + Math.floor(this.r() * 3), d + 1);
    this.fn = saved;
    return ['{', I, body, D, N, '}'];
};

Gen.prototype.funcExpr = function (d) {
    const gen = this.may('generator', 0.2), async = !gen && this.may('async', 0.2);
    const f = [async ? ['async', K] : [], 'function', gen ? '*' : '', this.chance(0.3) ? [S, 'inner'] : [],
        O, this.params(), O, this.funcBody(d, gen, async)];
    // acorn reads a / after an async function expression as a regular expression
    return async ? ['(', f, ')'] : f;
};

Gen.prototype.classExpr = function (d, named) {
    const out = ['class', named || this.chance(0.5) ? [S, this.unique('Slide')] : [],
        this.chance(0.4) ? [S, 'extends', S, 'Base'] : [], O, '{', I];
    for (let k = Math.floor(this.r() * 3); k > 0; k--) {
        const c = this.r();
        out.push(N, c < 0.3 ? ['static', S] : c < 0.5 ? ['get', S] : [], this.pick(['show', 'hide', 'new']),
            '(', ')', O, this.funcBody(d, false, false, true));
    }
    return out.concat([D, N, '}']);
};

const BINARY = ['+', '-', '*', '/', '%', '<', '>', '<=', '>=', '===', '!==', '==', '!=', '&&', '||',
    '&', '|', '^', '<<', '>>', '>>>', 'instanceof', 'in'];

Gen.prototype.expr = function (d) {
    d = d || 0;
    const c = this.r();
    if (d > 3 || c < 0.35) return this.postfixed(d);
    if (c < 0.62) {
        let op = this.pick(BINARY);
        if (this.may('exponent', 0.15)) op = '**';
        // ?? does not mix with && and || unparenthesized
        if (this.may('nullish', 0.15)) return ['(', this.postfixed(d), O, '??', O, this.postfixed(d), ')'];
        const word = /^[a-z]/.test(op);
        return [this.postfixed(d), word ? S : O, op, word ? S : O, this.expr(d + 1)];
    }
    if (c < 0.7) return [this.pick(['!', '-', '+', '~']), this.postfixed(d)];
    if (c < 0.75) return [this.pick(this.fn.strict ? ['typeof', 'void'] : ['typeof', 'void', 'delete']), S, this.postfixed(d)];
    if (c < 0.82) return [this.postfixed(d), O, '?', O, this.expr(d + 1), O, ':', O, this.expr(d + 1)];
    if (c < 0.88) return [this.name(), K, '++'];
    if (c < 0.9) return ['++', this.name()];
    if (this.fn.gen && c < 0.94) return ['(', 'yield', this.chance(0.5) ? [K, this.postfixed(d)] : [], ')'];
    if (this.fn.async && c < 0.97) return ['await', S, this.postfixed(d)];
    const op = this.may('logical', 0.2) ? this.pick(['&&=', '||=', '??=']) : this.pick(['=', '+=', '-=', '|=']);
    const assign = [this.name(), O, op, O, this.expr(d + 1)];
    return d ? ['(', assign, ')'] : assign;
};

// A primary with members, calls and postfix operators after it.
Gen.prototype.postfixed = function (d) {
    let out = this.primary(d);
    // 42.x would read as the number 42. and a name
    if (/^[0-9.]/.test(out[0])) out = ['(', out, ')'];
    let optional = false;
    for (let k = Math.floor(this.r() * 3); k > 0; k--) {
        const c = this.r();
        if (c < 0.35) out = [out, O, '.', O, this.pick(PROPS)];
        else if (c < 0.6) out = [out, O, this.callArgs(d)];
        else if (c < 0.7) out = [out, O, '[', O, this.expr(d + 1), O, ']'];
        // acorn reads a reserved word after ?. as leaving no value (o?.new / 2)
        else if (c < 0.8 && this.may('optional', 0.3)) out = [out, O, '?.', this.pick(['length', 'value', 'top', 'x'])], optional = true;
        // a chain with ?. in it tags no template
        else if (c < 0.85 && !optional && this.may('template', 0.3)) out = [out, O, this.template(d)];
    }
    return out;
};

Gen.prototype.callArgs = function (d) {
    const out = ['('];
    const count = Math.floor(this.r() * 3);
    for (let k = 0; k < count; k++) {
        if (this.may('spread', 0.15)) out.push('...');
        out.push(O, this.expr(d + 1));
        if (k < count - 1) out.push(O, ',');
    }
    if (count && this.may('trailingcomma', 0.2)) out.push(O, ',');
    return out.concat([O, ')']);
};

module.exports = {random, runSeed, S, O, K, N, I, D, NEWER, Gen};
require('./ScriptGenStatements.js');
