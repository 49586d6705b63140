#include "authoring/scan/JoinRead.h"
#include "authoring/scan/HtmlRead.h"
#include <stdlib.h>
#include <string.h>

static bool NameIs(const char* name, size_t length, const char* lower) {
    size_t n = strlen(lower);
    if (n != length) return false;
    for (size_t i = 0; i < n; i++)
        if ((name[i] >= 'A' && name[i] <= 'Z' ? name[i] + 32 : name[i]) != lower[i]) return false;
    return true;
}

static bool NameIn(const char* name, size_t length, const char* const* list) {
    for (; *list; list++)
        if (NameIs(name, length, *list)) return true;
    return false;
}

// Elements that stand on lines of their own, so that white space beside them
// shows nothing; in SVG every element but text runs, in MathML all but <math>.
static bool IsBlock(int ns, const char* name, size_t length) {
    static const char* const kBlocks[] = {
        "html", "head", "body", "title", "p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "ul",
        "ol", "li", "dl", "dt", "dd", "table", "thead", "tbody", "tfoot", "tr", "td", "th",
        "caption", "section", "article", "header", "footer", "nav", "main", "aside", "figure",
        "figcaption", "blockquote", "pre", "listing", "xmp", "plaintext", "address", "hr", "br",
        "form", "fieldset", "legend", "details", "summary", "dialog", "center", "menu", "dir",
        "option", "optgroup", nullptr};
    static const char* const kSvgRuns[] = {"tspan", "textpath", "a", "svg", nullptr};
    if (ns == HtmlNamespaceSvg) return !NameIn(name, length, kSvgRuns);
    if (ns == HtmlNamespaceMathMl) return !NameIs(name, length, "math");
    return NameIn(name, length, kBlocks);
}

static uint32_t NameHash(const char* name, size_t length) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < length; i++)
        h = (h ^ (unsigned char)(name[i] >= 'A' && name[i] <= 'Z' ? name[i] + 32 : name[i])) * 16777619u;
    return h;
}

static uint32_t Hash(uint32_t h, const char* bytes, size_t length) {
    for (size_t i = 0; i < length; i++) h = (h ^ (unsigned char)bytes[i]) * 16777619u;
    return h;
}

struct SheetReading {
    CssSheet* sheet;
    bool inStyle;
};

static int SheetTake(void* context, const HtmlTree* tree, const HtmlToken* token) {
    SheetReading* s = (SheetReading*)context;
    const HtmlElement* top = tree->depth ? tree->open[tree->depth - 1] : nullptr;
    if (token->kind == HtmlTokenCharacters && top && NameIs(top->name, top->nameLength, "style")) {
        CssSheetFeed(s->sheet, token->text, token->textLength, ScanPos{1, 1});
        s->inStyle = true;
    } else if (s->inStyle) {
        CssSheetNext(s->sheet);
        s->inStyle = false;
    }
    return 1;
}

int JoinReadSheet(const char* bytes, size_t length, CssSheet* sheet) {
    SheetReading s = {sheet, false};
    int read = HtmlRead(bytes, length, nullptr, SheetTake, &s);
    if (s.inStyle) CssSheetNext(sheet);
    return read;
}

static bool Grow(JoinReading* r, void** array, size_t* room, size_t need, size_t size) {
    if (need <= *room) return true;
    size_t grown = *room ? *room * 2 : 256;
    void* bytes = grown <= (size_t)-1 / size ? realloc(*array, grown * size) : nullptr;
    if (!bytes) {
        r->failed = true;
        return false;
    }
    *array = bytes;
    *room = grown;
    return true;
}

static size_t Written(const JoinReading* r, size_t at) { return r->toWritten ? r->toWritten[at] : at; }

static void Item(JoinReading* r, int kind, uint32_t key, size_t at, size_t end, size_t element) {
    if (!Grow(r, (void**)&r->items, &r->room, r->count + 1, sizeof(JoinItem))) return;
    JoinItem& item = r->items[r->count++];
    item.key = key;
    item.kind = (unsigned char)kind;
    item.at = Written(r, at);
    item.end = end > at ? Written(r, end - 1) + 1 : item.at;
    item.element = element;
    item.spaced = r->space;
    item.afterContent = r->lastContent;
    item.gapStart = r->lastEnd;
    if (kind == JoinItemInline) return;
    r->space = false;
    r->lastContent = kind == JoinItemContent;
    r->lastEnd = item.end;
}

static JoinFrame FrameOf(const JoinReading* r, const HtmlElement* e, const JoinFrame* parent) {
    JoinFrame f;
    memset(&f, 0, sizeof f);
    f.element = e;
    f.tagStart = e->tag.start;
    f.tagEnd = e->tag.end;
    f.block = IsBlock(e->ns, e->name, e->nameLength);
    f.name = NameHash(e->name, e->nameLength);
    f.ns = e->ns;
    f.keep = parent && parent->keep;
    f.keepElement = parent ? parent->keepElement : (size_t)-1;
    f.text = parent && parent->text == JoinTextHidden ? JoinTextHidden : JoinTextShown;
    bool html = e->ns == HtmlNamespaceHtml;
    if (f.text == JoinTextShown && e->ns != HtmlNamespaceMathMl) {
        if (NameIs(e->name, e->nameLength, "script"))
            f.text = (unsigned char)JoinContentKindOf(e->attributes, e->attributeCount);
        else if (NameIs(e->name, e->nameLength, "style"))
            f.text = JoinTextStyle;
    }
    static const char* const kHidden[] = {"noscript", "iframe", "noembed", "noframes", nullptr};
    if (html && NameIn(e->name, e->nameLength, kHidden)) f.text = JoinTextHidden;
    static const char* const kKeeps[] = {"pre", "listing", "xmp", "plaintext", "textarea", nullptr};
    static const char* const kDrops[] = {"pre", "listing", "textarea", nullptr};
    bool keep = f.keep;
    if (html && NameIn(e->name, e->nameLength, kKeeps)) keep = true;
    f.dropLf = html && NameIn(e->name, e->nameLength, kDrops);
    if (r->sheet) {
        CssElement css = {e->name, e->nameLength, nullptr, 0, nullptr, 0, nullptr, 0, r->quirks};
        css.classes = HtmlElementAttribute(e, "class", &css.classesLength);
        css.id = HtmlElementAttribute(e, "id", &css.idLength);
        css.style = HtmlElementAttribute(e, "style", &css.styleLength);
        CssVerdict verdict = CssWhiteSpaceOf(r->sheet, &css);
        if (verdict.value == CssWhiteKeeps) keep = true;
        if (verdict.value == CssWhiteCollapses) keep = false;
    }
    size_t length = 0;
    const char* space = e->ns == HtmlNamespaceSvg ? HtmlElementAttribute(e, "xml:space", &length) : nullptr;
    if (space) keep = NameIs(space, length, "preserve");
    if (keep && !f.keep) f.keepElement = f.tagStart;
    if (!keep) f.keepElement = (size_t)-1;
    f.keep = keep;
    return f;
}

static bool SameElement(const JoinFrame& f, const HtmlElement* e) {
    return f.element == e && f.tagStart == e->tag.start && f.tagEnd == e->tag.end;
}

// The frames follow the tree's open elements (below where the last token
// changed them they are the same); an element that leaves them ends its content.
static void Sync(JoinReading* r, const HtmlTree* tree) {
    size_t same = tree->changed < r->depth ? tree->changed : r->depth;
    if (same > tree->depth) same = tree->depth;
    while (same > 0 && !SameElement(r->frames[same - 1], tree->open[same - 1])) same--;
    while (same < r->depth && same < tree->depth && SameElement(r->frames[same], tree->open[same]))
        same++;
    while (r->depth > same) {
        r->depth--;
        if (r->content && r->frames[r->depth].text >= JoinTextScript) JoinContentClose(r->content);
    }
    r->quirks = tree->quirks;
    for (size_t i = same; i < tree->depth; i++) {
        if (!Grow(r, (void**)&r->frames, &r->frameRoom, i + 1, sizeof(JoinFrame))) return;
        r->frames[i] = FrameOf(r, tree->open[i], i ? &r->frames[i - 1] : nullptr);
        r->depth = i + 1;
        if (r->content && r->frames[i].text >= JoinTextScript) JoinContentOpen(r->content, r->frames[i].text);
    }
}

static void TagItem(JoinReading* r, const HtmlToken* token, bool block) {
    uint32_t h = Hash(2166136261u, token->kind == HtmlTokenEndTag ? "/" : "<", 1);
    h = Hash(h, token->text, token->textLength);
    for (size_t i = 0; token->kind == HtmlTokenStartTag && i < token->attributeCount; i++) {
        const HtmlAttribute& a = token->attributes[i];
        if (a.duplicate) continue;
        h = Hash(h, " ", 1);
        h = Hash(h, a.name, a.nameLength);
        if (a.quote == HtmlUnquoted) h = Hash(Hash(h, "=", 1), a.value, a.valueLength);
    }
    if (token->selfClosing && r->depth && r->frames[r->depth - 1].ns != HtmlNamespaceHtml)
        h = Hash(h, "/", 1);
    Item(r, block ? JoinItemBlock : JoinItemInline, h, token->span.start, token->span.end, (size_t)-1);
}

static void TextItems(JoinReading* r, const HtmlToken* token, const JoinFrame& top) {
    JoinWalk walk;
    JoinWalkStart(&walk, r->bytes, r->length, r->states, token->span, token->text,
                  token->textLength, false);
    JoinChar c;
    bool first = true;
    while (JoinWalkNext(&walk, &c) && !r->failed) {
        // a line end right after a line feed written as a reference is the
        // break that reference writes
        if (JoinWrittenBreak(r->bytes, c, &r->lineFeed)) continue;
        bool space = c.length == 1 && JoinIsSpace((unsigned char)c.decoded[0]);
        // the line feed right after <pre>, <listing> or <textarea> is no part of its text
        if (first && top.dropLf && token->span.start == top.tagEnd && c.decoded[0] == '\n') {
            first = false;
            continue;
        }
        first = false;
        if (space && !top.keep) {
            r->space = true;
            continue;
        }
        uint32_t key = c.length <= 4 ? 0 : Hash(2166136261u, c.decoded, c.length);
        for (size_t i = 0; c.length <= 4 && i < c.length; i++)
            key = key << 8 | (unsigned char)c.decoded[i];
        Item(r, JoinItemContent, key, c.start, c.end, top.keep ? top.keepElement : (size_t)-1);
    }
}

static int Take(void* context, const HtmlTree* tree, const HtmlToken* token) {
    JoinReading* r = (JoinReading*)context;
    bool block = false;
    if (token->kind == HtmlTokenEndTag) {
        // the element it ends decides its namespace
        int ns = HtmlNamespaceHtml;
        uint32_t name = NameHash(token->text, token->textLength);
        for (size_t k = r->depth; k > 0; k--) {
            if (r->frames[k - 1].name == name) {
                ns = r->frames[k - 1].ns;
                break;
            }
        }
        block = IsBlock(ns, token->text, token->textLength);
    }
    Sync(r, tree);
    if (r->failed) return 0;
    const JoinFrame* top = r->depth ? &r->frames[r->depth - 1] : nullptr;
    if (token->kind == HtmlTokenStartTag || token->kind == HtmlTokenEndTag) r->lineFeed = false;
    switch (token->kind) {
    case HtmlTokenStartTag: {
        int ns = top ? (int)top->ns : (int)HtmlNamespaceHtml;
        TagItem(r, token, IsBlock(ns, token->text, token->textLength));
        if (r->content) JoinStartTag(r->content, token, ns);
        break;
    }
    case HtmlTokenEndTag:
        TagItem(r, token, block);
        break;
    case HtmlTokenCharacters:
        if (!top || top->text == JoinTextShown) {
            JoinFrame none;
            memset(&none, 0, sizeof none);
            none.keepElement = (size_t)-1;
            TextItems(r, token, top ? *top : none);
        } else if (r->content && top->text != JoinTextHidden) {
            JoinContentText(r->content, token);
        }
        break;
    }
    return !r->failed;
}

int JoinReadPage(JoinReading* r) {
    r->count = r->depth = 0;
    r->space = r->lastContent = r->failed = r->lineFeed = false;
    r->lastEnd = 0;
    int read = HtmlRead(r->bytes, r->length, r->states, Take, r);
    if (!r->failed && r->content)
        while (r->depth) {
            r->depth--;
            if (r->frames[r->depth].text >= JoinTextScript) JoinContentClose(r->content);
        }
    return read && !r->failed;
}

void JoinReadFree(JoinReading* r) {
    free(r->items);
    free(r->frames);
    r->items = nullptr;
    r->frames = nullptr;
    r->count = r->room = r->depth = r->frameRoom = 0;
}
