// The stack of open elements: the elements on it, what pushes and pops them,
// and which of them are in scope.
#include "authoring/scan/HtmlTreeRules.h"
#include <stdint.h>
#include <stdlib.h>

void HtmlTreeStart(HtmlTree* tree) {
    memset(tree, 0, sizeof *tree);
    tree->framesetOk = true;
}

void HtmlTreeRelease(HtmlElement* element) {
    if (element && --element->refs == 0) free(element);
}

void HtmlTreeFree(HtmlTree* tree) {
    for (size_t i = 0; i < tree->depth; i++) HtmlTreeRelease(tree->open[i]);
    for (size_t i = 0; i < tree->formattingCount; i++) HtmlTreeRelease(tree->formatting[i]);
    HtmlTreeRelease(tree->head);
    HtmlTreeRelease(tree->form);
    HtmlTreeRelease(tree->base);
    free(tree->open);
    free(tree->rules);
    free(tree->formatting);
    free(tree->templateModes);
    memset(tree, 0, sizeof *tree);
}

static bool Grow(HtmlTree* tree, void** array, size_t* room, size_t need, size_t size) {
    if (need <= *room) return true;
    size_t grown = *room ? *room : 16;
    while (grown < need && grown <= SIZE_MAX / 2) grown *= 2;
    void* bytes = grown >= need && grown <= SIZE_MAX / size ? realloc(*array, grown * size) : nullptr;
    if (!bytes) {
        tree->failed = true;
        return false;
    }
    *array = bytes;
    *room = grown;
    return true;
}

static bool NoCase(const char* name, size_t length, const char* lower) {
    return HtmlLowerIs(name, length, lower, strlen(lower));
}

static unsigned ForeignFlags(int ns, const char* name, size_t length, const HtmlToken* token) {
    const unsigned point = TagSpecial | TagScope;
    if (ns == HtmlNamespaceSvg) {
        bool html = NameIs(name, length, "foreignObject") || NameIs(name, length, "desc") ||
                    NameIs(name, length, "title");
        return html ? point | TagHtmlPoint : 0;
    }
    if (NameIs(name, length, "mi") || NameIs(name, length, "mo") || NameIs(name, length, "mn") ||
        NameIs(name, length, "ms") || NameIs(name, length, "mtext"))
        return point | TagTextPoint;
    if (!NameIs(name, length, "annotation-xml")) return 0;
    for (size_t i = 0; token && i < token->attributeCount; i++) {
        const HtmlAttribute& a = token->attributes[i];
        if (a.duplicate || !NameIs(a.name, a.nameLength, "encoding")) continue;
        if (NoCase(a.value, a.valueLength, "text/html") ||
            NoCase(a.value, a.valueLength, "application/xhtml+xml"))
            return point | TagHtmlPoint;
    }
    return point;
}

// One block: the element, its attributes, then their texts, each ended by a 0.
static HtmlElement* ElementNew(HtmlTree* tree, int ns, const char* name, size_t length,
                               const HtmlToken* token) {
    size_t count = 0, bytes = length + 1;
    for (size_t i = 0; token && i < token->attributeCount; i++) {
        const HtmlAttribute& a = token->attributes[i];
        if (a.duplicate) continue;
        count++;
        bytes += a.nameLength + a.valueLength + 2; // within the tokenizer's buffer's size
    }
    size_t head = sizeof(HtmlElement) + count * sizeof(HtmlAttribute);
    char* block = bytes <= SIZE_MAX - head ? (char*)malloc(head + bytes) : nullptr;
    if (!block) {
        tree->failed = true;
        return nullptr;
    }
    HtmlElement* e = (HtmlElement*)block;
    HtmlAttribute* attributes = (HtmlAttribute*)(block + sizeof(HtmlElement));
    char* text = block + head;
    memset(e, 0, sizeof *e);
    e->ns = (unsigned char)ns;
    e->name = text;
    e->nameLength = length;
    memcpy(text, name, length);
    text[length] = 0;
    text += length + 1;
    e->attributes = attributes;
    e->attributeCount = count;
    if (token) e->tag = token->span;
    for (size_t i = 0, j = 0; token && i < token->attributeCount; i++) {
        const HtmlAttribute& a = token->attributes[i];
        if (a.duplicate) continue;
        attributes[j] = a;
        attributes[j].name = text;
        memcpy(text, a.name, a.nameLength);
        text[a.nameLength] = 0;
        text += a.nameLength + 1;
        attributes[j].value = text;
        memcpy(text, a.value, a.valueLength);
        text[a.valueLength] = 0;
        text += a.valueLength + 1;
        j++;
    }
    const char* known;
    e->flags = ns == HtmlNamespaceHtml ? HtmlTagFlags(name, length, &known)
                                       : ForeignFlags(ns, name, length, token);
    return e;
}

// The places that set the insertion mode, from `at` up, so that finding the
// mode takes no walk down a deep stack.
static void Rules(HtmlTree* tree, size_t at) {
    for (size_t i = at; i < tree->depth; i++) {
        const HtmlElement* e = tree->open[i];
        bool rule = e->ns == HtmlNamespaceHtml && (e->flags & TagModeRule);
        tree->rules[i] = rule ? i : i ? tree->rules[i - 1] : (size_t)-1;
    }
}

static void CountP(HtmlTree* tree, const HtmlElement* e, bool pushed) {
    if (!IsHtml(e, "p")) return;
    if (pushed) tree->openP++;
    else tree->openP--;
}

bool HtmlTreePush(HtmlTree* tree, HtmlElement* element, size_t at) {
    size_t room = tree->openRoom;
    if (!element || !Grow(tree, (void**)&tree->open, &tree->openRoom, tree->depth + 1,
                          sizeof *tree->open))
        return false;
    if (!Grow(tree, (void**)&tree->rules, &room, tree->openRoom, sizeof *tree->rules)) {
        tree->openRoom = room; // the next push grows both again
        return false;
    }
    memmove(tree->open + at + 1, tree->open + at, (tree->depth - at) * sizeof *tree->open);
    tree->open[at] = element;
    if (at < tree->changed) tree->changed = at;
    tree->depth++;
    element->refs++;
    CountP(tree, element, true);
    Rules(tree, at);
    return true;
}

HtmlElement* HtmlTreeInsert(HtmlTree* tree, int ns, const char* name, size_t length,
                            const HtmlToken* token) {
    HtmlElement* e = ElementNew(tree, ns, name, length, token);
    if (!e) return nullptr;
    if (!HtmlTreePush(tree, e, tree->depth)) {
        free(e);
        return nullptr;
    }
    return e;
}

HtmlElement* HtmlTreeInsertToken(HtmlTree* tree, const TreeToken* t) {
    return HtmlTreeInsert(tree, HtmlNamespaceHtml, t->name, t->length, t->token);
}

void HtmlTreeRemoveAt(HtmlTree* tree, size_t at) {
    HtmlElement* e = tree->open[at];
    memmove(tree->open + at, tree->open + at + 1, (tree->depth - at - 1) * sizeof *tree->open);
    tree->depth--;
    if (at < tree->changed) tree->changed = at;
    CountP(tree, e, false);
    Rules(tree, at);
    HtmlTreeRelease(e);
}

void HtmlTreePop(HtmlTree* tree) {
    if (tree->depth) HtmlTreeRemoveAt(tree, tree->depth - 1);
}

void HtmlTreePopUntil(HtmlTree* tree, const char* name) {
    while (tree->depth) {
        bool last = IsHtml(Current(tree), name);
        HtmlTreePop(tree);
        if (last) return;
    }
}

void HtmlTreePopUntilFlag(HtmlTree* tree, unsigned flag) {
    while (tree->depth) {
        HtmlElement* e = Current(tree);
        bool last = e->ns == HtmlNamespaceHtml && (e->flags & flag);
        HtmlTreePop(tree);
        if (last) return;
    }
}

long HtmlTreeIndexOf(const HtmlTree* tree, const HtmlElement* element) {
    for (size_t i = tree->depth; i-- > 0;)
        if (tree->open[i] == element) return (long)i;
    return -1;
}

static bool Bounds(const HtmlElement* e, int kind) {
    if (kind == ScopeSelect) return !IsHtml(e, "optgroup") && !IsHtml(e, "option");
    if (kind == ScopeTable) return IsHtml(e, "html") || IsHtml(e, "table") || IsHtml(e, "template");
    if (e->flags & TagScope) return true;
    if (kind == ScopeListItem) return IsHtml(e, "ol") || IsHtml(e, "ul");
    return kind == ScopeButton && IsHtml(e, "button");
}

bool HtmlTreeElementInScope(const HtmlTree* tree, const HtmlElement* element, int kind) {
    for (size_t i = tree->depth; i-- > 0;) {
        if (tree->open[i] == element) return true;
        if (Bounds(tree->open[i], kind)) return false;
    }
    return false;
}

bool HtmlTreeInScope(const HtmlTree* tree, const char* name, int kind) {
    if (!tree->openP && strcmp(name, "p") == 0) return false;
    for (size_t i = tree->depth; i-- > 0;) {
        if (IsHtml(tree->open[i], name)) return true;
        if (Bounds(tree->open[i], kind)) return false;
    }
    return false;
}

bool HtmlTreeFlagInScope(const HtmlTree* tree, unsigned flag, int kind) {
    for (size_t i = tree->depth; i-- > 0;) {
        const HtmlElement* e = tree->open[i];
        if (e->ns == HtmlNamespaceHtml && (e->flags & flag)) return true;
        if (Bounds(e, kind)) return false;
    }
    return false;
}

void HtmlTreeImplied(HtmlTree* tree, const char* except, bool thorough) {
    unsigned flags = TagImplied | (thorough ? TagThorough : 0);
    for (HtmlElement* e = Current(tree); e && e->ns == HtmlNamespaceHtml && (e->flags & flags) &&
                                         !(except && IsHtml(e, except));
         e = Current(tree))
        HtmlTreePop(tree);
}

void HtmlTreeRawText(HtmlTree* tree, const TreeToken* t, HtmlState state) {
    if (!HtmlTreeInsertToken(tree, t)) return;
    HtmlTokenizerSwitch(t->tokenizer, state);
    tree->inText = state != HtmlStatePlaintext;
}

bool HtmlTreeTemplateModePush(HtmlTree* tree, int mode) {
    if (!Grow(tree, (void**)&tree->templateModes, &tree->templateRoom, tree->templateCount + 1, 1))
        return false;
    tree->templateModes[tree->templateCount++] = (unsigned char)mode;
    return true;
}

long HtmlTreeFind(const HtmlTree* tree, int ns, const char* name) {
    for (size_t i = tree->depth; i-- > 0;) {
        const HtmlElement* e = tree->open[i];
        if (e->ns == ns && (!name || NameIs(e->name, e->nameLength, name))) return (long)i;
    }
    return -1;
}

const char* HtmlElementAttribute(const HtmlElement* element, const char* name, size_t* length) {
    for (size_t i = 0; i < element->attributeCount; i++) {
        const HtmlAttribute& a = element->attributes[i];
        if (!NameIs(a.name, a.nameLength, name)) continue;
        if (length) *length = a.valueLength;
        return a.value;
    }
    return nullptr;
}

