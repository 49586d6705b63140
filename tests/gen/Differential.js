'use strict';
// The authors' tool against the reference parsers, on generated pages
// (PageGen.js), through the native driver pack_differential (one process for
// the whole batch). Two properties:
//   pack: the page the presenter shows after pack and its join, against the
//     author's page with the values put in: the same tree for parse5 and the
//     same syntax tree for acorn, as PageCompare.js's packDifferences says.
//     Refusals count apart, by reason.
//   check: the author's page cut by hand at its placeholders, line ends kept,
//     and joined; where that page differs for the reader or the scripts
//     (PageCompare.js's readerView), check must find something: 0 silent.
//     Findings on pages that do not differ are false alarms, counted. What
//     check says the presenter's browser control does whatever the join does
//     (syntax newer than its engine, modules) counts apart: each classic script
//     and handler that acorn at ES5 (with IE11's let and const) rejects must
//     have such a finding, and none that it accepts.
// And, on the first pages (LUMIVANE_LOCATE, 300), each real break of the page
// cut by hand (PageLocate.js) against the findings at its line: a figure of
// breaks without a finding on their line and findings on no break's line.
// It prints the seed, the figures, and fails (exit 1) on any difference or
// silent check. Failing pages are kept in WORK/failed (a few of each kind).
//   node Differential.js DRIVER WORK [--minimize K]
// LUMIVANE_SEED replays a run, LUMIVANE_PAGES sets how many pages (2000),
// LUMIVANE_PAGE runs one page of the seed. --minimize shrinks K failing pages
// to the fewest blocks that still fail, and prints them.
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');
const gen = require('./PageGen');
const { packDifferences, readerView, decode, pageScripts, es5Rejects } = require('./PageCompare');
const { pageBreaks } = require('./PageLocate');

const field = (name, bytes) => {
    const b = Buffer.isBuffer(bytes) ? bytes : Buffer.from(bytes, 'utf8');
    return Buffer.concat([Buffer.from(`${name} ${b.length}\n`), b, Buffer.from('\n')]);
};

// Runs the driver on pages ({ text, values }); one result a page.
function drive(driver, work, pages) {
    const batch = path.join(work, 'batch.bin'), out = path.join(work, 'results.bin');
    fs.writeFileSync(batch, Buffer.concat(pages.flatMap((p) => [field('page', p.text), field('width', p.values.width),
        field('height', p.values.height), field('insert', p.values.insert)])));
    const run = spawnSync(driver, [batch, out], { stdio: ['ignore', 'inherit', 'inherit'] });
    if (run.status !== 0) throw new Error(`${driver} ended with ${run.status === null ? run.signal : run.status}`);
    const buf = fs.readFileSync(out), results = [];
    let r = null;
    for (let at = 0; at < buf.length;) {
        const eol = buf.indexOf(10, at);
        const [name, length] = buf.slice(at, eol).toString().split(' ');
        const bytes = buf.slice(eol + 1, eol + 1 + Number(length));
        at = eol + 2 + Number(length);
        if (name === 'page') results.push(r = { fragments: [], scripts: [], handFragments: [], findings: [], engine: [], packedFindings: [] });
        else if (name === 'refusal') r.refusal = bytes.toString();
        else if (name === 'reason') r.reason = bytes.toString();
        else if (name === 'fragment') r.fragments.push(bytes);
        else if (name === 'script') r.scripts.push(bytes);
        else if (name === 'joined') r.joined = bytes;
        else if (name === 'packed-finding') r.packedFindings.push(bytes.toString());
        else if (name === 'hand-fragment') r.handFragments.push(bytes);
        else if (name === 'hand-joined') r.handJoined = bytes;
        else if (name === 'finding') r.findings.push(bytes.toString());
        else if (name === 'engine') {
            const text = bytes.toString(), space = text.indexOf(' ');
            r.engine.push({ at: Number(text.slice(0, space)), text: text.slice(space + 1) });
        }
    }
    if (results.length !== pages.length) throw new Error(`${results.length} results for ${pages.length} pages`);
    return results;
}

// What went wrong with one page: { refusal, diffs, differs, silent, falseAlarm }.
function judge(page, result) {
    const filled = gen.pageFill(page.text, page.values);
    const v = { refusal: result.refusal, reason: result.reason, diffs: [], packedFindings: result.packedFindings.length };
    if (!result.refusal) v.diffs = packDifferences(filled, result.joined, result.scripts);
    v.authorErrors = [];
    const author = readerView(filled, v.authorErrors), hand = readerView(result.handJoined);
    v.differs = author !== hand;
    if (v.differs) v.where = whereViewsDiffer(author, hand);
    v.silent = v.differs && result.findings.length === 0;
    v.falseAlarm = !v.differs && result.findings.length > 0;
    v.es5 = engineAgreement(page, filled, result);
    return v;
}

// check's findings of syntax newer than the presenter's engine against acorn at
// ES5 (with IE11's let and const): each classic script and handler that acorn
// rejects has one inside it, none that acorn accepts has. Pages whose hand cut
// loses lines (a marker line inside a fragment, lines after the first of
// 1011.dat) are left out: their written page is not the author's.
function engineAgreement(page, filled, result) {
    const pieces = page.text.split(/\{\{(?:width|height|insert)\}\}/);
    const marker = (piece) => piece.split(/\r\n|\r|\n|\0/).some((line) => line.replace(/^ +| +$/g, '') === 'codebase random>');
    if (/[\r\n\0]/.test(pieces[1] || '') || pieces.some((piece, k) => k !== 1 && marker(piece))) return null;
    const bytes = Buffer.from(filled, 'utf8');
    const bom = decode(bytes).length !== bytes.toString('utf8').length ? 1 : 0;
    const newer = result.engine.filter((f) => /stops this script here/.test(f.text))
        .map((f) => bytes.subarray(0, f.at).toString('utf8').length - bom);
    const out = { scripts: 0, rejected: 0, named: 0, wrong: [] };
    for (const s of pageScripts(bytes)) {
        const rejects = es5Rejects(s.text, s.handler);
        if (rejects === null) continue;
        const named = newer.some((at) => at >= s.start && at < s.end);
        out.scripts++;
        if (rejects) out.rejected++;
        if (named) out.named++;
        if (rejects !== named) out.wrong.push(`${s.handler ? 'handler' : 'script'} ${JSON.stringify(s.text.slice(0, 80))}: acorn at ES5 ${rejects ? 'rejects it' : 'accepts it'}, check ${named ? 'names newer syntax' : 'names none'}`);
    }
    return out;
}

// Where two reader views part, shown readably.
function whereViewsDiffer(a, b) {
    let k = 0;
    while (k < a.length && a[k] === b[k]) k++;
    const show = (s) => JSON.stringify(s.slice(Math.max(0, k - 50), k + 50).replace(/[\u0001\u0002]/g, '')
        .replace(/[\u0003\u0004]([^\u0003\u0004]*)[\u0003\u0004]/g, (m, t) => `[${decodeURIComponent(t)}]`));
    return `${show(a)} against ${show(b)}`;
}

function keep(work, index, page, result, verdict) {
    const dir = path.join(work, 'failed', `page-${index}`);
    fs.mkdirSync(path.join(dir, 'packed'), { recursive: true });
    fs.mkdirSync(path.join(dir, 'hand'), { recursive: true });
    const names = ['1010', '1011', '1015', '1016', '1017', '1018', '1019'];
    fs.writeFileSync(path.join(dir, 'page.html'), page.text);
    fs.writeFileSync(path.join(dir, 'filled.html'), gen.pageFill(page.text, page.values));
    result.fragments.forEach((f, k) => fs.writeFileSync(path.join(dir, 'packed', `${names[k]}.dat`), f));
    result.scripts.forEach((f, k) => fs.writeFileSync(path.join(dir, 'packed', `page-${k + 1}.js`), f));
    if (result.joined) fs.writeFileSync(path.join(dir, 'joined.html'), result.joined);
    result.handFragments.forEach((f, k) => fs.writeFileSync(path.join(dir, 'hand', `${names[k]}.dat`), f));
    fs.writeFileSync(path.join(dir, 'hand-joined.html'), result.handJoined);
    fs.writeFileSync(path.join(dir, 'report.txt'), [`values ${JSON.stringify(page.values)}`,
        result.refusal ? `refusal ${result.refusal}` : '', ...verdict.diffs.map((d) => `difference ${d.kind} ${d.detail}`),
        ...(verdict.es5 ? verdict.es5.wrong.map((w) => `ES5: ${w}`) : []), ...result.engine.map((f) => `engine finding ${f.text}`),
        `hand-cut page differs for the reader: ${verdict.differs}${verdict.where ? `: ${verdict.where}` : ''}`, ...result.findings.map((f) => `finding ${f}`),
        ...result.packedFindings.map((f) => `finding on the packed page ${f}`), ''].join('\n'));
}

// The comparisons on pages whose answer is known, so that a comparison that
// sees nothing cannot pass for a tool that breaks nothing.
function selfCheck() {
    const reader = [ // author's page, joined page, whether they differ for the reader
        ['<p>a\nb</p>', '<p>a b</p>', false], ['<p>a</p>\n<p>b</p>', '<p>a</p><p>b</p>', false],
        ['<p><b>x</b>\n<i>y</i></p>', '<p><b>x</b><i>y</i></p>', true], ['<pre>a\n b</pre>', '<pre>a b</pre>', true],
        ['<style>.q{white-space:pre-line}</style><p class=q>a\nb</p>', '<style>.q{white-space:pre-line}</style><p class=q>ab</p>', true],
        ['<p style="white-space: pre">a\nb</p>', '<p style="white-space: pre">a\tb</p>', true],
        ['<p onclick="a()\nb()">x</p>', '<p onclick="a()b()">x</p>', true], ['<p onclick="a()\nb()">x</p>', '<p onclick="a();b()">x</p>', false],
        ['<p class="a\n b" title="c\nd">x</p>', '<p class="a b" title="c\nd">x</p>', false], ['<p title="c\nd">x</p>', '<p title="cd">x</p>', true],
        ['<script>var a = 1\nvar b = 2</script>', '<script>var a = 1;var b = 2</script>', false],
        ['<script>var a = 1\nvar b = 2</script>', '<script>var a = 1var b = 2</script>', true],
        ['<svg><text>a\n<tspan>b</tspan></text></svg>', '<svg><text>a<tspan>b</tspan></text></svg>', true],
        ['<noscript>\n<p>a\n</noscript>', '<noscript><p>a</noscript>', false],
        ['<head>\n<meta charset=utf-8>\n<title> a\n b </title>', '<head><meta charset=utf-8><title>a b</title>', false],
        ['<script type="application/json">{"a":\n1}</script>', '<script type="application/json">{"a":1}</script>', false],
        ['<style>a > b { color:\n red }</style>', '<style>a>b{color:red}</style>', false], ['<style>a b{}</style>', '<style>ab{}</style>', true],
        ['<style>a{}\n/* c */\nb{}</style>', '<style>a{}/* c */b{}</style>', false], ['<style>a /* c */\nb{}</style>', '<style>a /* c */b{}</style>', false],
        ['<style>a { border: 1px solid\n#c33 }</style>', '<style>a { border: 1px solid#c33 }</style>', false],
        ['<style>a { margin: 0\nauto }</style>', '<style>a { margin: 0auto }</style>', true],
        ['<style>@media print { a\nb { c: d } }</style>', '<style>@media print { ab { c: d } }</style>', true],
        ['<div><script>a()</script>\n<style>b{}</style>\n<script>c()</script></div>', '<div><script>a()</script><style>b{}</style><script>c()</script></div>', false],
        ['<p>a\n<script>b()</script>\nc</p>', '<p>a<script>b()</script>c</p>', true],
    ];
    const pack = [ // author's page, joined page, moved scripts, the kinds of difference
        ['<p>a\nb</p>', '<p>a\tb</p>', [], 'text-space'], ['<p title="a\nb">x</p>', '<p title="ab">x</p>', [], 'attribute'],
        ['<script>\nvar a = 1\n</script>', '<script src="page-1.js"></script>', ['\nvar a = 1\n'], ''],
        ['<base href="m/"><script>\nvar a = 1\n</script>', '<base href="m/"><script src="page-1.js"></script>', ['\nvar a = 1\n'], 'script-file'],
        ['<svg><script>\nvar a = 1\n</script></svg>', '<svg><script src="page-1.js"></script></svg>', ['\nvar a = 1\n'], 'script-file'],
        ['<script>function f() {\nreturn 1 }</script>', '<script>function f() {\treturn 1 }</script>', [], 'function-source'],
        ['<style>a::after { content: " x " }</style>', '<style>a::after\t{ content: "\\20 x\\20 " }</style>', [], ''],
        ['<script type="application/json">{"a": " x"}</script>', '<script type="application/json">{"a": "\\x20x"}</script>', [], 'json'],
        ['<base href="m/"><script>\nvar a = 1\n</script>', '<base href="m/"><script src="../page-1.js"></script>', ['\nvar a = 1\n'], ''],
        ['<noscript>\n<p>a\n</noscript>', '<noscript>\t<p>a\t</noscript>', [], ''], ['<noscript>ab</noscript>', '<noscript>a b</noscript>', [], 'text'],
    ];
    const wrong = [];
    for (const [a, b, differs] of reader)
        if ((readerView(a) !== readerView(b)) !== differs) wrong.push(`reader view of ${JSON.stringify(a)} and ${JSON.stringify(b)}`);
    for (const [a, b, scripts, kinds] of pack) {
        const got = [...new Set(packDifferences(a, b, scripts.map((s) => Buffer.from(s))).map((d) => d.kind))].join();
        if (got !== kinds) wrong.push(`pack comparison of ${JSON.stringify(a)} and ${JSON.stringify(b)}: "${got}"`);
    }
    for (const w of wrong) console.log(`the comparison is wrong: ${w}`);
    return wrong.length === 0;
}

const failing = (v) => v.diffs.length > 0 || v.silent || v.packedFindings > 0 || (v.es5 && v.es5.wrong.length > 0);
const kindsOf = (v) => [...new Set(v.diffs.map((d) => d.kind))].concat(v.silent ? ['silent check'] : [])
    .concat(v.packedFindings ? ['check on what pack wrote'] : [])
    .concat(v.es5 && v.es5.wrong.length ? ['ES5 disagreement'] : []);

// The page with the fewest blocks that still fails in each of `kinds`.
function minimize(driver, work, made, kinds) {
    let blocks = made.blocks.map((b, k) => k).filter((k) => !made.blocks[k].site);
    for (let progress = true; progress;) {
        progress = false;
        const trials = blocks.map((drop) => new Set(blocks.filter((k) => k !== drop)));
        const pages = trials.map((keepSet) => ({ text: gen.pageRender(made, keepSet), values: made.values }));
        if (!pages.length) break;
        const results = drive(driver, work, pages);
        const k = results.findIndex((r, n) => { const v = judge(pages[n], r); return kinds.every((x) => kindsOf(v).includes(x)); });
        if (k >= 0) { blocks = [...trials[k]]; progress = true; }
    }
    return gen.pageRender(made, new Set(blocks));
}

function main() {
    const [driver, work] = process.argv.slice(2, 4);
    if (!selfCheck()) return void (process.exitCode = 1);
    const minimizeArg = process.argv.indexOf('--minimize');
    const toMinimize = minimizeArg > 0 ? Number(process.argv[minimizeArg + 1]) : 0;
    const seed = process.env.LUMIVANE_SEED ? Number(process.env.LUMIVANE_SEED) >>> 0 : (Math.random() * 2 ** 32) >>> 0;
    const count = Number(process.env.LUMIVANE_PAGES || 2000);
    const only = process.env.LUMIVANE_PAGE;
    const indices = only !== undefined ? [Number(only)] : [...Array(count).keys()];
    console.log(`seed ${seed} (LUMIVANE_SEED=${seed} replays it), ${indices.length} pages`);
    fs.rmSync(path.join(work, 'failed'), { recursive: true, force: true });
    fs.mkdirSync(work, { recursive: true });
    const started = Date.now();
    const made = indices.map((i) => gen.pageMake(gen.pageRng(seed, i)));
    const pages = made.map((m) => ({ text: gen.pageRender(m), values: m.values }));
    const results = drive(driver, work, pages);
    const tally = { differences: {}, refusals: {}, pagesDiffering: 0, packed: 0, differs: 0, silent: 0,
        falsePages: 0, falseFindings: 0, findingPages: 0, packedFindingPages: 0, unsound: 0,
        breaks: 0, breaksNamed: 0, findings: 0, findingsOff: 0, falseKinds: {}, packedKinds: {},
        es5Pages: 0, es5Scripts: 0, es5Rejected: 0, es5Named: 0, es5Wrong: 0, engineFindings: 0 };
    const locate = Math.min(results.length, Number(process.env.LUMIVANE_LOCATE || 300));
    const kept = {}, examples = [], refusalShown = {};
    results.forEach((result, n) => {
        const v = judge(pages[n], result);
        if (v.refusal) {
            tally.refusals[v.reason] = (tally.refusals[v.reason] || 0) + 1;
            if (!refusalShown[v.reason]) refusalShown[v.reason] = `page ${indices[n]}: ${v.refusal}`;
        } else {
            tally.packed++;
        }
        for (const kind of new Set(v.diffs.map((d) => d.kind))) tally.differences[kind] = (tally.differences[kind] || 0) + 1;
        if (v.diffs.length) tally.pagesDiffering++;
        if (v.packedFindings) tally.packedFindingPages++;
        for (const f of result.packedFindings) {
            const kind = f.replace(/^[^ ]* /, '').slice(0, 60);
            tally.packedKinds[kind] = (tally.packedKinds[kind] || 0) + 1;
        }
        if (v.differs) tally.differs++;
        if (v.silent) tally.silent++;
        if (v.authorErrors.length) {
            if (!tally.unsound++) console.log(`page ${indices[n]}: acorn rejects the author's own script: ${v.authorErrors[0]}`);
        }
        if (result.findings.length) tally.findingPages++;
        if (v.falseAlarm) {
            tally.falsePages++;
            tally.falseFindings += result.findings.length;
            for (const f of result.findings) {
                const kind = f.replace(/^\S+ /, '').replace(/"[^"]*"/g, '"..."').slice(0, 60);
                tally.falseKinds[kind] = (tally.falseKinds[kind] || 0) + 1;
            }
        }
        tally.engineFindings += result.engine.length;
        if (v.es5) {
            tally.es5Pages++;
            tally.es5Scripts += v.es5.scripts;
            tally.es5Rejected += v.es5.rejected;
            tally.es5Named += v.es5.named;
            tally.es5Wrong += v.es5.wrong.length;
        }
        if (n < locate) {
            const found = result.findings.map((f) => /^data\/(\d+)\.dat:(\d+):/.exec(f)).map((m) => ({ file: m[1], line: Number(m[2]) }));
            const lines = [...new Map(found.map((f) => [`${f.file}:${f.line}`, f])).values()];
            const breaks = [...new Map(pageBreaks(pages[n].text, pages[n].values).map((b) => [`${b.file}:${b.line}`, b])).values()];
            // A finding names a break at its line, or after an end marker that ends its fragment.
            const names = (f, b) => f.file === b.file && (f.line === b.line || (b.through && f.line > b.line));
            tally.breaks += breaks.length;
            tally.breaksNamed += breaks.filter((b) => lines.some((f) => names(f, b))).length;
            tally.findings += lines.length;
            tally.findingsOff += lines.filter((f) => !breaks.some((b) => names(f, b))).length;
        }
        if (!failing(v)) return;
        const kinds = kindsOf(v);
        if (kinds.some((k) => (kept[k] || 0) < 5)) {
            kinds.forEach((k) => { kept[k] = (kept[k] || 0) + 1; });
            keep(work, indices[n], pages[n], result, v);
            examples.push({ index: indices[n], kinds, made: made[n] });
        }
    });
    const seconds = ((Date.now() - started) / 1000).toFixed(1);
    const list = (o) => Object.entries(o).sort((p, q) => q[1] - p[1]).map(([k, n]) => `    ${n}  ${k}`).join('\n') || '    none';
    console.log(`pack: ${tally.packed} pages packed, ${pages.length - tally.packed} refused; ` +
        `${tally.pagesDiffering} packed pages differ from the author's page`);
    console.log(`  differences by kind (pages):\n${list(tally.differences)}`);
    console.log(`  refusals by reason:\n${list(tally.refusals)}`);
    for (const [reason, shown] of Object.entries(refusalShown))
        console.log(`    ${reason}, for example ${shown.length > 160 ? `${shown.slice(0, 160)}...` : shown}`);
    console.log(`  check finds something in what pack wrote: ${tally.packedFindingPages} pages`);
    if (tally.packedFindingPages) console.log(`  what it says:\n${list(tally.packedKinds)}`);
    console.log(`check: ${tally.differs} hand-cut pages differ for the reader, ${tally.silent} of them with no finding (silent)`);
    console.log(`  false alarms: ${tally.falsePages} of the ${tally.findingPages} pages with findings ` +
        `(${tally.findingPages ? ((100 * tally.falsePages) / tally.findingPages).toFixed(1) : '0.0'}%), ` +
        `${tally.falseFindings} findings on them`);
    if (tally.falsePages) console.log(`  what they say:\n${list(tally.falseKinds)}`);
    console.log(`engine: ${tally.engineFindings} findings of what the presenter's browser control does, apart from the above; ` +
        `on ${tally.es5Pages} pages ${tally.es5Scripts} scripts and handlers, acorn at ES5 rejects ${tally.es5Rejected}, ` +
        `check names newer syntax in ${tally.es5Named}, disagreements ${tally.es5Wrong}`);
    console.log(`  on the first ${locate} pages: ${tally.breaks} lines with a real break, ${tally.breaks - tally.breaksNamed} ` +
        `of them without a finding; ${tally.findingsOff} of the ${tally.findings} lines with findings hold no real break`);
    if (tally.unsound) console.log(`the generator is wrong: ${tally.unsound} pages with scripts acorn rejects as written`);
    console.log(`${seconds} s for ${pages.length} pages`);
    if (examples.length) console.log(`failing pages kept in ${path.join(work, 'failed')}`);
    // One page of each kind, the rarest kinds first, shrunk for that kind.
    const kinds = Object.entries(tally.differences).sort((p, q) => p[1] - q[1]).map(([k]) => k);
    if (tally.silent) kinds.unshift('silent check');
    if (tally.packedFindingPages) kinds.unshift('check on what pack wrote');
    if (tally.es5Wrong) kinds.unshift('ES5 disagreement');
    for (const kind of kinds.slice(0, toMinimize)) {
        const e = examples.find((x) => x.kinds.includes(kind));
        if (!e) continue;
        console.log(`---- ${kind}: page ${e.index}, shrunk:`);
        console.log(minimize(driver, work, e.made, [kind]));
    }
    process.exitCode = tally.pagesDiffering || tally.silent || tally.packedFindingPages || tally.unsound || tally.es5Wrong ? 1 : 0;
}

main();
