'use strict';
// Authors' pages, seeded and replayable: whole HTML pages in ordinary source
// formatting with the six placeholders {{width}}, {{height}}, {{insert}},
// {{insert}}, {{width}}, {{height}} in this order, in varied places, among
// blocks that each carry a hazard of cutting a page into lines that are
// trimmed and joined: scripts of many statement shapes, data blocks and other
// script types, event handlers over lines, SVG and MathML, the raw-text and
// pre-like elements, white-space styles, odd comments, attributes over lines,
// inline tags at line ends, the end-marker text in every context, CRLF, a
// byte order mark, tabs, UTF-8 text and U+2028.
//   Rng(seed)              a small seeded generator (mulberry32)
//   pageRng(seed, index)   the generator of page `index` of a run
//   pageMake(rng)          a page: { blocks, values, lineEnd, bom, indent }
//   pageRender(page, keep) its text (a JS string, UTF-8 when written); with
//                          `keep` (block indices) only those blocks
//   pageFill(text, values) the page with its placeholders replaced by the values
// Scripts come from classicScript(): half of them this file's own hazard
// shapes, half the script generator's (ScriptGen.js) of every statement shape,
// ES5 and newer; handler bodies from it go into onclick attributes
// (handlerScript()).
const ScriptGen = require('./ScriptGen');
const acorn = require('acorn');

function Rng(seed) {
    let a = seed >>> 0;
    this.next = () => {
        a = (a + 0x6D2B79F5) >>> 0;
        let t = a;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
    this.int = (n) => Math.floor(this.next() * n);
    this.pick = (list) => list[this.int(list.length)];
    this.chance = (p) => this.next() < p;
}

function pageRng(seed, index) {
    return new Rng((Math.imul(seed >>> 0, 2654435761) + index) >>> 0);
}

// A line of a block: its depth below the block's own, and its text; a raw
// line is written as it stands, without indentation (the inside of <pre> ...).
const L = (d, s) => ({ d, s });
const R = (s) => ({ d: 0, s, raw: true });
const lines = (d, text) => text.split(/\r\n|\r|\n/).map((s) => L(d, s));
const raws = (text) => text.split('\n').map(R);

const WORDS = ['slide', 'deck', 'review', 'quarter', 'results', 'team', 'plan', 'growth', 'notes',
    'Grüße', 'naïve', 'café', '会議', 'budget', 'next', 'steps', 'welcome', 'thanks'];
const words = (r, n) => Array.from({ length: n }, () => r.pick(WORDS)).join(' ');

// ---- scripts: the one place they come from -------------------------------
function classicScript(r) {
    if (r.chance(0.5)) return OwnScripts[r.int(OwnScripts.length)](r);
    return drawnScript(r, false).text;
}

// A script from ScriptGen that stands in a page as written: no "<script" or
// "</script" (the page's tokenizer would read them as tags), no #! line (only
// a script's very first line may hold one), and none that acorn rejects (the
// generator makes a few, as the script proof counts them), so that the
// author's page is sound. Its lines end as the page's do: the page renders
// each line with its own line end.
function drawnScript(r, handler) {
    for (;;) {
        const s = ScriptGen.script(() => r.next(), { newer: 'mixed', handler, lineEnd: '\n' });
        if (/<\/?script/i.test(s.text) || /^#!/.test(s.text)) continue;
        try {
            acorn.parse(s.text, { ecmaVersion: 'latest', allowReturnOutsideFunction: handler });
            return s;
        } catch (e) { /* another */ }
    }
}

// A handler's body in an attribute: its "&" and quotes written as references.
function handlerScript(r) {
    const s = drawnScript(r, true);
    return s.text.replace(/&/g, '&amp;').replace(/"/g, '&quot;');
}

// Statement shapes whose line ends matter, and some whose line ends don't.
const OwnScripts = [
    () => 'var deck = {\n  title: "Plan",\n  slides: 3\n}\ndocument.title = deck.title',
    () => 'var clicks = 0\nclicks++\ndocument.body.setAttribute("data-clicks", clicks)',
    () => '<!-- hide from old browsers\nvar shown = 1;\n// -->',
    () => 'var x = 1\n--> an HTML-like comment at a line start\nx = 2;',
    () => '// note\u2028var y = 2;\nvar z = 3;',
    () => 'var cost = 5;\nvar t = `cost \\${cost} and ${cost}`;',
    () => 'var i = 4, h;\nh = i++ / 2 // half\nvar g = 1;',
    () => 'var o = { new: 1 };\nvar n = o.new\n+ 1;',
    () => 'var async = 1\nasync\nfunction later() { return 2; }',
    () => 'var a = 1 /*\n*/ var b = 2;',
    () => 'function fib(n) {\n  if (n < 2) return n;\n  return fib(n - 1) + fib(n - 2);\n}\n' +
        'document.documentElement.setAttribute("data-src", fib.toString());',
    () => 'function f(a)\n{\n  return a * 2;\n}\nvar r = f(2);',
    () => 'try {\n  JSON.parse("{");\n} catch (e)\n{\n  var failed = true;\n}',
    () => 'var a = 1;\nif (a) a = 2\nelse a = 3\nvar c = a;',
    () => 'var parts = [\n  "one",\n  "two"\n];\nvar joined = parts.join("-");',
    () => 'var s = "<!--<script></script>";\nvar t = s.length;',
    () => 'var re = /[/]+/g;\nvar u = "a//b".replace(re, "/");',
    () => 'var name = "x";\nvar html = `<p>\n  ${name}\n</p>`;',
    () => 'var long = "abc\\\ndef";',
    () => 'function none() {\n  return\n  42;\n}\nvar v = none();',
    () => 'let p = 1\nlet q = 2\nconst sum = p + q',
    () => 'var m = 1, n = 2\n++m\nn--',
    () => 'class Box {\n  size() { return 1; }\n}\nnew Box().size()',
    () => 'const twice = (a) =>\n  a * 2;\nvar w = twice(2);',
    () => 'var k = 0;\ndo {\n  k++;\n} while (k < 3)\nk = 0;',
    () => 'var marker = "codebase random>";\nvar ml = marker.length;',
    () => 'var lines = `first\ncodebase random>\nlast`;',
    () => 'var url = "http://example.com/a"; // a link\nvar q2 = 1;',
    () => 'var total = 1\n  + 2\n  + 3;',
    () => 'for (var j = 0; j < 2; j++) {\n  document.body.appendChild(document.createElement("i"));\n}',
];

// ---- blocks: each a hazard, rendered as lines ------------------------------
// `ctx.css` collects style-sheet rules the block needs; `ctx.r` draws.
const BLOCKS = {
    paragraph: (c) => [L(0, `<p>${words(c.r, 3)}`), L(1, words(c.r, 4)), L(0, `${words(c.r, 2)}.</p>`)],
    inlineEnds: (c) => [L(0, `<p>Press <kbd>Esc</kbd>`), L(0, '<em>to end</em> the show,'),
        L(0, `<b>${words(c.r, 1)}</b>`), L(0, `<i>${words(c.r, 1)}</i> and`), L(0, '<a href="#top">top</a></p>')],
    heading: (c) => [L(0, `<h2>${words(c.r, 2)}`), L(1, `${words(c.r, 1)}</h2>`)],
    list: (c) => [L(0, '<ul>'), L(1, `<li>${words(c.r, 2)}</li>`), L(1, `<li>${words(c.r, 1)}`),
        L(2, `${words(c.r, 2)}</li>`), L(0, '</ul>')],
    pre: (c) => [L(0, '<pre>'), ...raws(`  indented ${words(c.r, 1)}\n    deeper   \n\nlast line</pre>`)],
    preAfter: (c) => [L(0, '<pre>first'), ...raws(`  second ${words(c.r, 1)}\nthird</pre>`)],
    listing: (c) => [L(0, '<listing>'), ...raws('  a listing\n    with indent</listing>')],
    textarea: (c) => [L(0, '<textarea rows="3" cols="30">'), ...raws(`first\n  second ${words(c.r, 1)}\n</textarea>`)],
    title2: (c) => [L(0, '<svg width="10" height="10"><title>A'), L(1, 'title</title></svg>')],
    xmp: () => [L(0, '<xmp><b>literal</b>'), ...raws('  second line</xmp>')],
    noscript: () => [L(0, '<noscript>'), L(1, '<p>Scripts are off.'), L(1, 'Turn them on.</p>'), L(0, '</noscript>'),
        L(0, '<pre>'), ...raws('  after noscript\n  kept</pre>')],
    iframe: () => [L(0, '<iframe title="frame" srcdoc="<p>hi</p>">'), L(1, 'Fallback <b>text</b>'),
        L(1, 'for old browsers'), L(0, '</iframe>')],
    noembed: () => [L(0, '<noembed>'), L(1, 'no embed text'), L(0, '</noembed>')],
    noframes: () => [L(0, '<noframes>'), L(1, 'no frames <i>here</i>'), L(0, '</noframes>')],
    styleSheet: () => [L(0, '<style>'), L(1, '.card { border: 1px solid'), L(2, '#888; padding: 4px }'),
        L(1, '.card::after { content: "  two  spaces  "; }'), L(1, '/* a comment'), L(2, 'over lines */'),
        L(1, 'h2 span'), L(1, 'b { color: #336 }'),
        // a string going on past its line end, and an escape that the line end ends
        L(1, '.card i::before { content: "a \\'), L(2, 'b"; }'), L(1, '.card b::before { content: "\\41'), L(2, 'x"; }'),
        L(0, '</style>'),
        L(0, '<div class="card">card</div>')],
    styleGlue: () => [L(0, '<style>'), L(1, '.deck { margin: 0'), L(2, 'auto; font: 16px'), L(2, 'sans-serif;'),
        L(2, 'border: 1px solid'), L(2, '#888 }'), L(0, '</style>')],
    poem: (c) => {
        c.css.push('.poem { white-space: pre-line; }');
        return [L(0, '<p class="poem">Roses are red,'), L(1, 'violets are blue,'), L(1, `${words(c.r, 2)}.</p>`)];
    },
    address: (c) => {
        c.css.push('#addr { white-space: pre }');
        return [L(0, '<address id="addr">1 Main Street'), L(0, '  Springfield'), L(0, '  USA</address>')];
    },
    preWrap: (c) => [L(0, '<div style="white-space: pre-wrap">two'), L(1, `lines ${words(c.r, 1)}</div>`)],
    spanPre: (c) => {
        c.css.push('span.code { white-space: pre; }');
        return [L(0, '<p>Run <span class="code">make'), L(1, 'test</span> now.</p>')];
    },
    svgText: () => [L(0, '<svg width="200" height="60">'), L(1, '<text x="0" y="20" xml:space="preserve">  two'),
        L(2, 'lines  </text>'), L(1, '<text x="0" y="40">Hello <tspan>world</tspan>'),
        L(2, '<tspan>again</tspan></text>'), L(0, '</svg>')],
    // In SVG a script's text is markup: "<" and "&" go in CDATA, as authors write it.
    svgScript: (c) => {
        let code = classicScript(c.r);
        while (code.includes(']]>')) code = classicScript(c.r); // it would end the CDATA section
        const cdata = /[<&]/.test(code);
        return [L(0, '<svg width="10" height="10">'), L(1, '<script>'), ...(cdata ? [L(1, '//<![CDATA[')] : []),
            ...lines(2, code), ...(cdata ? [L(1, '//]]>')] : []), L(1, '</script>'), L(0, '</svg>')];
    },
    svgCdata: () => [L(0, '<svg width="10" height="10"><text><![CDATA[a < b'), L(1, 'and c]]></text></svg>')],
    styleEscapeEnd: () => [L(0, '<style>.x\\31'), L(0, 'y { color: #336 }'), L(0, '.z\\32'),
        L(0, '\tw { color: #363 }</style>')],
    styleContinued: () => [L(0, '<p style="font-family: \'Open \\'), L(1, 'Sans\'">x</p>')],
    svgJson: () => [L(0, '<svg width="10" height="10"><script type="application/json">{"a": "b'), L(1, 'c"}</script></svg>')],
    svgJsonCdata: () => [L(0, '<svg width="10" height="10"><script type="application/json"><![CDATA[{"a": "b'), L(1, 'c"}]]></script></svg>')],
    svgJsonTag: () => [L(0, '<svg width="10" height="10"><script type="application/json">{"a": "b<g'), L(1, '></g>c"}</script></svg>')],
    svgData: () => [L(0, '<svg width="10" height="10"><script type="text/x-data">{'), L(1, '"a": 1'),
        L(1, '}<![CDATA[b'), L(1, 'c]]></script></svg>')],
    mathCdata: () => [L(0, '<math><mi><![CDATA[x<y]]></mi>'), L(1, '<mo>+</mo></math>')],
    comments: () => [L(0, '<!-->'), L(0, '<p>after an empty comment</p>'), L(0, '<!--->'),
        L(0, '<!-- one -- two --!>'), L(0, '<?xml-stylesheet href="x"?>'), L(0, '</ x>'),
        L(0, '<!-- <!-- nested -->'), L(0, '<pre>'), ...raws('  after comments\n  kept</pre>')],
    commentLines: () => [L(0, '<!-- a comment'), L(1, 'over lines'), L(0, '-->')],
    attributes: (c) => [L(0, '<a href="#top"'), L(1, 'class="nav link"'), L(1, 'title=Top'),
        L(1, `data-note="${words(c.r, 1)}">top</a>`), L(0, '<span class="nav'), L(1, 'link">x</span>')],
    attributeLines: (c) => [L(0, '<img src="data:image/gif;base64,R0lGODlhAQABAAAAACw="'),
        L(1, 'alt="Logo of'), L(2, `the ${words(c.r, 1)}">`)],
    unquoted: () => [L(0, '<input type=text'), L(1, 'value=plain'), L(1, 'name=q>')],
    handler: (c) => [L(0, '<button onclick="var n = 1;'), L(1, 'n++'), L(1, 'this.title = n">Count</button>')],
    handlerLoad: () => [L(0, '<div onmouseover="this.a = 1;'), L(1, 'this.b = 2;">hover</div>')],
    handlerDrawn: (c) => {
        const body = handlerScript(c.r).split(/\r\n|\r|\n/);
        return [L(0, `<button onclick="${body[0]}`), ...body.slice(1).map((s) => L(1, s)), L(0, '">Go</button>')];
    },
    script: (c) => [L(0, '<script>'), ...lines(1, classicScript(c.r)), L(0, '</script>')],
    scriptEmptyType: (c) => [L(0, '<script type= >'), ...lines(1, classicScript(c.r)), L(0, '</script>')],
    scriptType: (c) => [L(0, '<script type="text/javascript">'), ...lines(1, classicScript(c.r)), L(0, '</script>')],
    scriptDrawn: (c) => [L(0, '<script>'), ...lines(1, drawnScript(c.r, false).text), L(0, '</script>')],
    scriptEscape: () => [L(0, '<script>'), L(1, 'var s = "<!--<script></script>";'), L(1, 'var t = 2'), L(0, '</script>'),
        L(0, '<pre>'), ...raws('  after the script\n  kept</pre>')],
    module: (c) => (c.r.chance(0.7) ? [L(0, '<script type="module">const mod = 1; document.body.dataset.mod = mod</script>')]
        : [L(0, '<script type="module">'), L(1, 'const mod = 1'), L(1, 'document.body.dataset.mod = mod'), L(0, '</script>')]),
    json: (c) => [L(0, '<script type="application/json" id="cfg">'), L(0, '{'), L(1, `"title": "${words(c.r, 2)}",`),
        L(1, '"list": [1,'), L(2, '2]'), L(0, '}'), L(0, '</script>')],
    importmap: () => [L(0, '<script type="importmap">'), L(0, '{ "imports":'), L(1, '{ "a": "./a.js" } }'), L(0, '</script>')],
    ldjson: () => [L(0, '<script type="application/ld+json">'), L(0, '{ "@type": "Event",'), L(1, '"name": "Talk" }'), L(0, '</script>')],
    template: () => [L(0, '<script type="text/template" id="tpl">'), L(1, '<li>'), L(2, 'item'), L(1, '</li>'), L(0, '</script>')],
    shader: () => [L(0, '<script type="x-shader/x-vertex">'), L(1, '// a vertex shader'), L(1, '#define TWO 2.0'),
        L(1, 'void main() { gl_Position = vec4(TWO); }'), L(0, '</script>')],
    markerText: () => [L(0, '<p>The line codebase random> ends a part.</p>')],
    markerAlone: () => [L(0, '<p>'), L(0, 'codebase random>'), L(0, '&codebase random>'), L(0, '</p>')],
    markerAttribute: () => [L(0, '<p title="codebase random>">a</p>'), L(0, '<p title="first'), L(0, 'codebase random>'), L(0, 'last">b</p>'),
        L(0, '<p class="m"'), L(0, 'codebase random>c</p>')],
    markerComment: () => [L(0, '<!--'), L(0, 'codebase random>'), L(0, '-->')],
    markerStyle: () => [L(0, '<style>'), L(1, 'p::before { content: "codebase random>"; }'), L(0, '/*'),
        L(0, 'codebase random>'), L(0, '*/'), L(0, 'codebase random>'), L(0, 'b { color: #336 }'), L(0, '</style>')],
    markerPre: () => [L(0, '<pre>codebase random>'), ...raws('codebase random</pre>')],
    tabs: (c) => [L(0, `<p>\t${words(c.r, 1)}\t`), L(1, `\t${words(c.r, 2)}</p>`)],
    unicode: () => [L(0, '<p>Ünïcødé — 会議 ✓'), L(1, 'line\u2028separator</p>')],
    base: () => [L(0, '<p><a href="next.html">next</a></p>')],
    titleLines: (c) => [L(0, `<title>${words(c.r, 2)}`), L(1, `${words(c.r, 1)}</title>`)],
    endTagSpace: () => [L(0, '<script>'), L(1, 'var closed = 1;'), L(0, '</script'), L(0, '>'),
        L(0, '<style>'), L(1, 'i { color: red }'), L(0, '</style >'), L(0, '<textarea>a'), L(0, 'b</textarea'), L(0, '>')],
    refused: (c) => c.r.pick([
        () => [L(0, '<xmp>two'), L(1, 'lines</xmp>')],
        () => [L(0, '<script type="text/template">'), L(1, '<b>a</b>'), L(1, 'b'), L(0, '</script>')],
    ])(),
};

// Blocks that stand in the head; they hold no value, so the values' order stays.
const HEAD_BLOCKS = new Set(['titleLines']);

// Weights: how often a block is drawn. Blocks a sound pack refuses are rare,
// so that most pages are packed.
const WEIGHTS = { refused: 0.3, xmp: 0.3, template: 0.4, shader: 0.4, base: 0.5, module: 0.6 };

// ---- value sites: where the placeholders stand -----------------------------
// A site takes one or two placeholders; `num` tells a number from the insert text.
const isNum = (h) => h !== '{{insert}}';
// spaces beside a value, one or two on each side
const pad = (c, h) => (!c.quiet && c.r.chance(0.3) ? `${' '.repeat(1 + c.r.int(2))}${h}${' '.repeat(1 + c.r.int(2))}` : h);

const SITES = {
    text: (c, hs) => [L(0, `<p>${hs.map((h) => `${words(c.r, 1)} ${pad(c, h)}`).join(', ')}.</p>`)],
    textLines: (c, hs) => [L(0, `<p>${words(c.r, 2)}`), ...hs.map((h) => L(1, h)), L(1, `${words(c.r, 1)}</p>`)],
    textSpaced: (c, hs) => [L(0, `<p>For ${hs.join(' by ')} here</p>`)],
    heading: (c, hs) => [L(0, `<h1>${hs.join(' ')}</h1>`)],
    inline: (c, hs) => (hs.length === 2 ? [L(0, `<p><b>${hs[0]}</b>`), L(0, `<i>${hs[1]}</i></p>`)]
        : [L(0, `<p><b>${hs[0]}</b></p>`)]),
    attribute: (c, hs) => [L(0, `<div title="${hs[0]}"${hs[1] ? ` data-b="${pad(c, hs[1])}"` : ''}>x</div>`)],
    style: (c, hs) => [L(0, `<div style="${hs.map((h, k) => (isNum(h) ? `${k ? 'height' : 'width'}: ${h}px` : `--t: '${h}'`)).join('; ')}">box</div>`)],
    svgBox: (c, hs) => (hs.every(isNum) && hs.length === 2 ? [L(0, `<svg viewBox="0 0 ${hs[0]} ${hs[1]}" width="20"></svg>`)]
        : [L(0, `<svg width="99" height="20"><text x="0" y="15">${hs.join(' ')}</text></svg>`)]),
    script: (c, hs) => [L(0, `<script>var v${c.r.int(99)} = [${hs.map((h) => (isNum(h) ? h : `"${pad(c, h)}"`)).join(', ')}];</script>`)],
    scriptString: (c, hs) => [L(0, `<script>var said = "${hs.map((h) => pad(c, h)).join('x')}";</script>`)],
    css: (c, hs) => [L(0, '<style>'), ...hs.map((h, k) => L(1, isNum(h) && c.r.chance(0.5)
        ? `.v${k} { margin-left: ${h}px; }` : `.v${k}::after { content: "${pad(c, h)}"; }`)), L(0, '</style>')],
    json: (c, hs) => [L(0, '<script type="application/json">'), L(0, '{'),
        ...hs.map((h, k) => L(1, `"k${k}": ${isNum(h) && c.r.chance(0.5) ? h : `"${pad(c, h)}"`}${k + 1 < hs.length ? ',' : ''}`)),
        L(0, '}'), L(0, '</script>')],
    title: (c, hs) => [L(0, `<title>${hs.join(' ')} ${words(c.r, 1)}</title>`)],
    meta: (c, hs) => [L(0, `<meta name="description" content="${hs.join(' ')}">`)],
    unquoted: (c, hs) => [L(0, `<div data-a=${hs[0]}${hs[1] ? ` data-b=${pad(c, hs[1])}` : ''} title=x>box</div>`)],
    cdata: (c, hs) => [L(0, `<svg width="9" height="9"><text><![CDATA[${hs.map((h) => pad(c, h)).join('-')}]]></text></svg>`)],
    textarea: (c, hs) => [L(0, `<textarea>${hs.map((h) => pad(c, h)).join(' ')}</textarea>`)],
};
const HEAD_SITES = ['title', 'meta', 'script', 'scriptString', 'css', 'json'];
const BODY_SITES = Object.keys(SITES).filter((s) => s !== 'title' && s !== 'meta');
// A quiet page is indented with tabs, holds its values with nothing beside
// them and has no pre-like text: cut by hand, much of it joins unchanged,
// which is where a false alarm of check shows.
const QUIET_HEAD = ['meta', 'script', 'css', 'json'];
// Sites that put two values on one line.
const PAIR = ['text', 'textSpaced', 'heading', 'attribute', 'style', 'svgBox', 'script', 'scriptString', 'title', 'meta',
    'unquoted', 'cdata', 'textarea'];
const QUIET_PAIR = ['attribute', 'style', 'script'];
const QUIET_BODY = ['heading', 'attribute', 'style', 'script', 'css', 'json'];
const QUIET_BLOCKS = ['titleLines', 'paragraph', 'inlineEnds', 'heading', 'list', 'styleSheet', 'commentLines', 'attributes',
    'unquoted', 'handlerLoad', 'script', 'scriptDrawn', 'json', 'importmap', 'ldjson', 'markerText', 'tabs', 'unicode', 'module'];

// ---- the page ---------------------------------------------------------------
const HOLDERS = ['{{width}}', '{{height}}', '{{insert}}', '{{insert}}', '{{width}}', '{{height}}'];
const SCREENS = [[800, 600], [1024, 768], [1280, 720], [1366, 768], [1920, 1080], [1003, 741]];
const INSERTS = ['Welcome!', 'Tom &amp; Jerry', '<em>Q3</em> review &amp; more', 'Grüße · 会議',
    'Q3 — results', 'x', 'A  B'];

function pageMake(r) {
    const c = { r, css: [], quiet: r.chance(0.25) };
    const blockNames = c.quiet ? QUIET_BLOCKS : Object.keys(BLOCKS);
    const weighted = [];
    for (const name of blockNames) {
        const w = WEIGHTS[name] === undefined ? 1 : WEIGHTS[name];
        weighted.push([name, w]);
    }
    const total = weighted.reduce((s, [, w]) => s + w, 0);
    const drawBlock = () => {
        let x = r.next() * total;
        for (const [name, w] of weighted) if ((x -= w) < 0) return name;
        return weighted[0][0];
    };
    // The placeholders in groups of one or two, the first groups perhaps in the head.
    // Mostly the first width and height share a line, as 1011.dat holds one line.
    const groups = [];
    const pairFirst = c.quiet || r.chance(0.8);
    for (let i = 0; i < 6;) {
        const n = i === 0 && pairFirst ? 2 : i < 5 && !c.quiet && r.chance(0.5) ? 2 : 1;
        groups.push(HOLDERS.slice(i, i + n));
        i += n;
    }
    const inHead = r.int(Math.min(3, groups.length));
    const blocks = []; // { where: 'head' | 'body', lines, name }
    groups.forEach((hs, k) => {
        let sites = k < inHead ? (c.quiet ? QUIET_HEAD : HEAD_SITES) : (c.quiet ? QUIET_BODY : BODY_SITES);
        if (k === 0 && pairFirst) sites = sites.filter((name) => (c.quiet ? QUIET_PAIR : PAIR).includes(name));
        const site = r.pick(sites);
        const where = k < inHead ? 'head' : 'body';
        if (where === 'body') {
            const n = r.int(3);
            for (let j = 0; j < n; j++) {
                const name = drawBlock();
                blocks.push({ where: HEAD_BLOCKS.has(name) ? 'head' : where, name, lines: BLOCKS[name](c) });
            }
        }
        blocks.push({ where, name: `site:${site}`, lines: SITES[site](c, hs), site: true });
    });
    for (let j = r.int(4); j > 0; j--) {
        const name = drawBlock();
        blocks.push({ where: HEAD_BLOCKS.has(name) ? 'head' : 'body', name, lines: BLOCKS[name](c) });
    }
    // A base that names a folder below, above or beside data/, or none that a relative path leaves.
    if (blocks.some((b) => b.name === 'base')) {
        const href = r.pick(['media/', 'media/', './', 'a/b/x.html', '../deck/', 'media', '?v=2', 'a/../b/',
            '../data/', 'http://example.com/', '/media/', '../../up/']);
        blocks.unshift({ where: 'head', name: 'base', lines: [L(0, `<base href="${href}">`)] });
    }
    // Half the quiet pages hold one hazard of any kind, indented with spaces:
    // on such a page a silent check shows whatever the hazard.
    if (c.quiet && r.chance(0.5)) {
        const name = r.pick(Object.keys(BLOCKS));
        blocks.push({ where: HEAD_BLOCKS.has(name) ? 'head' : 'body', name, lines: BLOCKS[name](c), indent: '  ' });
    }
    if (blocks.some((b) => b.name === 'base')) blocks.unshift({ where: 'head', name: 'base', lines: [L(0, '<base href="media/">')] });
    if (c.css.length) blocks.unshift({ where: 'head', name: 'css', lines: [L(0, '<style>'), ...c.css.map((s) => L(1, s)), L(0, '</style>')] });
    const [width, height] = r.pick(SCREENS);
    return {
        blocks,
        values: { width: String(width), height: String(height), insert: r.pick(INSERTS) },
        quiet: c.quiet,
        lineEnd: r.chance(0.25) ? '\r\n' : '\n',
        bom: r.chance(0.1),
        indent: c.quiet ? '\t' : r.pick(['  ', '    ', '\t', '']),
        wrap: r.chance(0.3), // the body's blocks inside a <div>, one level deeper
        // rarely, <plaintext> to the end of the page: a sound pack refuses it
        plaintext: !c.quiet && r.chance(0.01),
    };
}

function pageRender(page, keep) {
    const out = [];
    const put = (depth, line, indent = page.indent) => out.push(line.raw ? line.s : indent.repeat(depth + line.d) + line.s);
    const kept = page.blocks.filter((b, k) => !keep || b.site || keep.has(k));
    ['<!DOCTYPE html>', '<html lang="en">', '<head>', '<meta charset="utf-8">',
        '<meta http-equiv="X-UA-Compatible" content="IE=edge">'].forEach((s) => out.push(s));
    for (const b of kept) if (b.where === 'head') b.lines.forEach((l) => put(1, l, b.indent));
    out.push('</head>', '<body>');
    if (page.wrap) out.push(`${page.indent}<div class="deck">`);
    for (const b of kept) if (b.where === 'body') b.lines.forEach((l) => put(page.wrap ? 2 : 1, l, b.indent));
    if (page.wrap) out.push(`${page.indent}</div>`);
    if (page.plaintext) out.push('<plaintext>', `${page.indent}<b>plain</b>`);
    out.push('</body>', '</html>', '');
    return (page.bom ? '\uFEFF' : '') + out.join(page.lineEnd);
}

function pageFill(text, values) {
    return text.replace(/\{\{(width|height|insert)\}\}/g, (m, k) => values[k]);
}

module.exports = { Rng, pageRng, pageMake, pageRender, pageFill };
