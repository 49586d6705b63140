// The page tokenizer against the HTML standard's tokenizer tests: every test
// input, in every initial state it names, through scan_tokens; its tokens
// must be the test's output (adjacent characters joined). Parse errors are
// not compared. Prints the counts: passed, failed, left out by reason.
//   node scan-conformance.js SCAN_TOKENS TESTS_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');

const [driver, dir] = process.argv.slice(2);
const unescape = (s) => s.replace(/\\u([0-9a-fA-F]{4})/g, (_, h) => String.fromCharCode(parseInt(h, 16)));
const loneSurrogate = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?:^|[^\uD800-\uDBFF])[\uDC00-\uDFFF]/;

function deepUnescape(value) {
    if (typeof value === 'string') return unescape(value);
    if (Array.isArray(value)) return value.map(deepUnescape);
    if (value && typeof value === 'object')
        return Object.fromEntries(Object.entries(value).map(([k, v]) => [unescape(k), deepUnescape(v)]));
    return value;
}

// Tokens as one canonical string: characters joined, attributes sorted.
function canonical(tokens) {
    const out = [];
    for (const token of tokens) {
        if (token[0] === 'Character' && out.length && out[out.length - 1][0] === 'Character') {
            out[out.length - 1] = ['Character', out[out.length - 1][1] + token[1]];
            continue;
        }
        if (token[0] === 'StartTag') {
            const attributes = Object.keys(token[2]).sort().map((k) => [k, token[2][k]]);
            out.push(['StartTag', token[1], attributes, token[3] === true]);
        } else {
            out.push(token);
        }
    }
    return JSON.stringify(out);
}

const cases = [];
const leftOut = {};
const leave = (reason, n) => { leftOut[reason] = (leftOut[reason] || 0) + n; };
for (const file of fs.readdirSync(dir).filter((f) => f.endsWith('.test')).sort()) {
    const data = JSON.parse(fs.readFileSync(path.join(dir, file), 'utf8'));
    if (!data.tests) {
        // xmlViolation.test expects the coercion of the DOM into an XML
        // infoset, which no browser applies to a page.
        leave(`${file}: expects XML infoset coercion`, (data.xmlViolationTests || []).length);
        continue;
    }
    for (const test of data.tests) {
        const input = test.doubleEscaped ? unescape(test.input) : test.input;
        const output = test.doubleEscaped ? deepUnescape(test.output) : test.output;
        const states = test.initialStates || ['Data state'];
        if (loneSurrogate.test(input)) {
            leave('input holds a lone surrogate, which UTF-8 cannot carry', states.length);
            continue;
        }
        for (const state of states)
            cases.push({ file, test, state, input: Buffer.from(input, 'utf8'), expected: canonical(output) });
    }
}

const chunks = [];
for (const c of cases) {
    chunks.push(Buffer.from(`${c.state}\t${c.test.lastStartTag || '-'}\t${c.input.length}\n`));
    chunks.push(c.input);
}
const run = spawnSync(driver, [], { input: Buffer.concat(chunks), maxBuffer: 1 << 30 });
if (run.status !== 0) {
    console.error(`scan_tokens failed (${run.status ?? run.signal}): ${run.stderr}`);
    process.exit(1);
}
const lines = run.stdout.toString('utf8').split('\n');
let passed = 0;
const failed = [];
cases.forEach((c, i) => {
    const got = canonical(JSON.parse(lines[i]));
    if (got === c.expected) passed++;
    else failed.push(`${c.file}: ${JSON.stringify(c.test.description)} in ${c.state}\n  input:    ${JSON.stringify(c.input.toString('utf8'))}\n  expected: ${c.expected}\n  got:      ${got}`);
});
console.log(`scan_conformance: ${passed} passed, ${failed.length} failed (test inputs in each initial state)`);
for (const [reason, n] of Object.entries(leftOut)) console.log(`  left out: ${n}: ${reason}`);
for (const f of failed.slice(0, 20)) console.log(f);
process.exit(failed.length ? 1 : 0);
