// The statements of ScriptGen.js, the layout that gives the line breaks, and
// script(): see ScriptGen.js.
'use strict';
const G = require('./ScriptGen.js');
const {S, O, K, N, I, D, Gen} = G;

function firstText(code) {
    if (typeof code === 'string') return code.length ? code : null;
    if (Array.isArray(code)) {
        for (const item of code) {
            const t = firstText(item);
            if (t) return t;
        }
        return null;
    }
    if (code && code.cont) return code.cont[0];
    return null;
}

// A statement: its code, whether it wants ; or a line end after it, and its first text.
function st(code, needsEnd) { return {code, needsEnd, first: firstText(code)}; }

Gen.prototype.body = function (d, loop) {
    const saved = [this.fn.loop, this.fn.brk];
    if (loop) this.fn.loop = this.fn.brk = true;
    let out;
    if (this.chance(0.7)) out = st(['{', I, this.statements(1 + Math.floor(this.r() * 2), d + 1), D, N, '}'], false);
    else out = this.statement(d + 1, true);
    [this.fn.loop, this.fn.brk] = saved;
    return out;
};

// A statement's end where another part of its statement follows (else, while).
function ended(g, s) {
    return s.needsEnd ? [s.code, g.chance(0.5) ? ';' : N] : s.code;
}

Gen.prototype.exprStatement = function (d) {
    let e;
    const c = this.r();
    if (c < 0.18) e = [this.name(), K, this.pick(['++', '--'])];
    else if (c < 0.25) e = [this.pick(['++', '--']), this.name()];
    else if (c < 0.45) e = [this.name(), O, '.', this.pick(['new', 'class', 'go', 'x']), O, this.callArgs(d)];
    else if (c < 0.6) e = [this.name(), O, '=', O, this.object(d)];
    else if (c < 0.7) e = [this.name(), O, '=', O, this.name(), K, '++', O, '/', O, '2'];
    else if (c < 0.78) e = [this.regex(), O, '.', 'test', '(', this.name(), ')', O, '/', O, this.name()];
    else e = this.expr(d);
    let first = firstText(e);
    // an expression statement may not start with {, function, class or let [
    if (/^(\{|function|class|async|let)/.test(first)) e = ['(', e, ')'];
    return st(e, true);
};

Gen.prototype.varStatement = function (d, inner) {
    let word = 'var';
    // a lexical declaration is no statement of its own (the body of an if), and declares once
    if (this.ie11 && !inner && this.chance(0.5)) {
        word = this.pick(['let', 'const']);
        this.usedIe11 = true;
    }
    const named = (stem) => word === 'var' ? stem + Math.floor(this.r() * 9) : this.unique(stem);
    if (this.may('destructuring', 0.2))
        return st([word, K, this.chance(0.5) ? ['{', O, named('a'), O, ',', O, named('b'), O, '}']
            : ['[', O, named('x'), O, ',', O, named('y'), O, ']'], O, '=', O, this.expr(d)], true);
    const out = [word, K, named('v'), O, '=', O, this.expr(d)];
    if (this.chance(0.3)) out.push(O, ',', S, named('w'), O, '=', O, this.expr(d));
    return st(out, true);
};

Gen.prototype.forStatement = function (d) {
    const c = this.r();
    let word = 'var';
    if (this.may('letfor', 0.4)) word = this.pick(['let', 'const']);
    let head;
    // a let or const of the loop's own: a var of that name in the body would clash
    const v = (stem) => word === 'var' ? stem : this.unique(stem);
    if (this.may('forof', 0.3)) head = [word, K, v('item'), S, 'of', S, this.name()];
    else if (c < 0.5) {
        const i = v('i');
        head = [word === 'const' ? 'let' : word, K, i, O, '=', O, '0', O, ';', S, i, O, '<', O, this.name(), O, ';', S, i, K, '++'];
    } else head = [word, K, v('key'), S, 'in', S, this.name()];
    const b = this.body(d, true);
    return st(['for', O, '(', O, head, O, ')', O, b.code], b.needsEnd);
};

Gen.prototype.functionStatement = function (d) {
    const gen = this.may('generator', 0.3), async = !gen && this.may('async', 0.3);
    // a name of its own: a block or strict code takes a second declaration of one name for an error
    return st([async ? ['async', K] : [], 'function', gen ? [O, '*', O] : S, this.unique(this.pick(['show', 'next', 'fib', 'go'])),
        O, this.params(), O, this.funcBody(d, gen, async)], false);
};

Gen.prototype.statement = function (d, inner) {
    const c = this.r();
    if (d > 3) return this.exprStatement(d);
    if (c < 0.2) return this.exprStatement(d);
    if (c < 0.32) return this.varStatement(d, inner);
    if (c < 0.4) {
        const then = this.body(d);
        if (!this.chance(0.5)) return st(['if', O, '(', O, this.expr(d), O, ')', O, then.code], then.needsEnd);
        const other = this.body(d);
        return st(['if', O, '(', O, this.expr(d), O, ')', O, ended(this, then), O, 'else', S, other.code], other.needsEnd);
    }
    if (c < 0.46) return this.forStatement(d);
    if (c < 0.5) {
        const b = this.body(d, true);
        return st(['while', O, '(', O, this.expr(d), O, ')', O, b.code], b.needsEnd);
    }
    if (c < 0.53) {
        const b = this.body(d, true);
        return st(['do', S, ended(this, b), O, 'while', O, '(', O, this.expr(d), O, ')'], true);
    }
    if (c < 0.6 && !inner) return this.functionStatement(d);
    if (c < 0.66 && this.fn.inFunction) {
        if (this.chance(0.3)) return st(['return'], true);
        return st(['return', K, this.expr(d)], true);
    }
    if (c < 0.7 && this.fn.brk) return st([this.fn.loop ? this.pick(['break', 'continue']) : 'break'], true);
    if (c < 0.74) {
        const binding = this.may('catchbinding', 0.3) ? [] : ['(', O, 'e', O, ')', O];
        const fin = this.chance(0.3) ? [O, 'finally', O, '{', I, this.statements(1, d + 1), D, N, '}'] : [];
        return st(['try', O, '{', I, this.statements(1, d + 1), D, N, '}', O, 'catch', O, binding,
            '{', I, this.statements(1, d + 1), D, N, '}', fin], false);
    }
    if (c < 0.78) {
        const saved = this.fn.brk;
        this.fn.brk = true;
        const cases = [];
        for (let k = 1 + Math.floor(this.r() * 2); k > 0; k--)
            cases.push(N, 'case', S, this.number(), O, ':', I, this.statements(1, d + 1), N, 'break', this.chance(0.5) ? ';' : [], D);
        cases.push(N, 'default', O, ':', I, this.statements(1, d + 1), D);
        this.fn.brk = saved;
        return st(['switch', O, '(', O, this.name(), O, ')', O, '{', cases, N, '}'], false);
    }
    if (c < 0.81) return st(['throw', K, 'new', S, 'Error', '(', this.string(), ')'], true);
    if (c < 0.85 && !inner)
        return st([this.chance(0.5) ? ['(', this.funcExpr(d), ')', O, '(', ')'] : ['(', this.funcExpr(d), O, '(', ')', ')']], true);
    if (c < 0.87 && !inner) return st(['async', N, 'function', S, 'later', '(', ')', O, '{', '}'], false);
    if (c < 0.89) return st(['debugger'], true);
    if (c < 0.92 && !inner && this.may('class', 0.5))
        return st([this.classExpr(d, true)], false);
    if (c < 0.95 && !inner && this.fn.gen) return st(['yield', this.chance(0.5) ? [K, this.expr(d)] : []], true);
    return this.exprStatement(d);
};

// Statements that begin with these would continue the statement before them.
const HAZARD = /^[(\[`/+\-*%<>=.,?:]/;

Gen.prototype.statements = function (count, d) {
    const out = [];
    let last = null;
    for (let k = 0; k < count; k++) {
        const s = this.statement(d || 0);
        if (last && last.needsEnd) {
            // ++ and -- after a line end start the next statement: the line end may end this one
            const prefix = /^(\+\+|--)/.test(s.first || '');
            const hazard = !prefix && (HAZARD.test(s.first || '') || s.first === 'in' || s.first === 'instanceof');
            out.push(hazard || this.chance(0.5) ? [';', this.chance(0.8) ? N : O] : N);
        } else if (last) {
            out.push(this.chance(0.8) ? N : O);
        }
        if (!last) out.push(N);
        out.push(s.code);
        last = s;
    }
    if (last && last.needsEnd && this.chance(0.5)) out.push(';');
    return out;
};

// Whether two characters side by side would read as one token (a + +b, a / /re/).
function glues(a, b) {
    const word = /[\w$\u0080-\uffff]/;
    if (!a || !b) return false;
    if (word.test(a) && word.test(b)) return true;
    return (a === b && '+-/'.includes(a)) || (a === '/' && b === '*') || (a === '<' && b === '!');
}

// Lays the marks out: line breaks, indentation, comments of every kind.
function layout(g, code, lineEnd) {
    const tab = g.pick(['  ', '    ', '\t', ' \t']);
    let out = '', depth = 0, lineHasCode = false;
    const indent = () => tab.repeat(depth);
    const breakLine = () => {
        const c = g.r();
        if (c < 0.08) out += g.pick(['  ', ' ']); // trailing spaces, which the trim takes
        if (c > 0.9) out += ' // note ' + g.pick(['', 'é', 'a // b', '<!-- c', '/* x']);
        else if (c > 0.87) out += ' <!-- old comment';
        else if (c > 0.85) out += ' /* a' + lineEnd + indent() + 'b */';
        out += lineEnd;
        if (g.chance(0.06)) out += lineEnd; // a blank line
        if (g.chance(0.03)) out += indent() + '--> closing' + lineEnd;
        if (g.chance(0.03)) out += indent() + '// a comment line' + lineEnd;
        out += indent();
        lineHasCode = false;
    };
    const walk = (item) => {
        if (Array.isArray(item)) return item.forEach(walk);
        if (typeof item === 'string') {
            if (item && glues(out.slice(-1), item[0])) out += ' ';
            if (item) lineHasCode = true;
            out += item;
            return;
        }
        if (item.cont) {
            out += item.cont[0] + '\\' + lineEnd + item.cont[1];
            return;
        }
        if (item.raw !== undefined) {
            out += item.raw.replace(/\n/g, lineEnd);
            return;
        }
        switch (item.m) {
        case 'I': depth++; return;
        case 'D': depth--; return;
        case 'K': out += ' '; return;
        case 'N':
            if (g.chance(0.03)) out += ' // ends here\u2028'; // a line end the presenter keeps
            else breakLine();
            return;
        }
        const c = g.r();
        if (c < 0.12) breakLine();
        else if (c < 0.15) out += ' /* c */ ';
        else if (c < 0.16) out += ' /* a\u2028b */ '; // a comment that holds a line end the presenter keeps
        else if (item.m === 'S' || c < 0.55) out += ' ';
    };
    walk(code);
    return out;
}

G.layout = layout;

G.script = function (rnd, options) {
    options = options || {};
    let newer = options.newer || 'mixed';
    if (newer === 'mixed') newer = rnd() < 0.4 ? 'none' : rnd() < 0.25 ? 'ie11' : 'any';
    let handler = options.handler === 'mixed' ? rnd() < 0.2 : !!options.handler;
    const allowed = [];
    if (newer === 'any')
        for (let k = rnd() < 0.6 ? 1 : 2 + Math.floor(rnd() * 2); k > 0; k--) allowed.push(G.NEWER[Math.floor(rnd() * G.NEWER.length)]);
    const g = new Gen(rnd, {allowed, ie11: newer === 'ie11', handler});
    const lineEnd = options.lineEnd || (rnd() < 0.85 ? '\n' : rnd() < 0.7 ? '\r\n' : '\r');
    let text = '';
    if (!handler && g.may('hashbang', 0.3)) text = '#!/usr/bin/env node' + lineEnd;
    text += layout(g, g.statements(1 + Math.floor(rnd() * 6), 0), lineEnd).replace(/^\s+/, '');
    if (g.may('newtarget', 0.5)) text += lineEnd + 'function Made() { return new.target }';
    return {text, handler, newer: [...g.used], ie11: g.usedIe11};
};
