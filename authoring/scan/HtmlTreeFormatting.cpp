// The list of active formatting elements: <b>, <i>, <a> ... that a block
// closed early are opened again for the text after it, and the adoption
// agency that untangles misnested end tags. The document is not built, so an
// element's clone is the element itself, put back where the clone would stand.
#include "authoring/scan/HtmlTreeRules.h"
#include <stdlib.h>

static bool InStack(const HtmlTree* tree, const HtmlElement* e) {
    return HtmlTreeIndexOf(tree, e) >= 0;
}

static bool Append(HtmlTree* tree, HtmlElement* e) {
    if (tree->formattingCount == tree->formattingRoom) {
        size_t room = tree->formattingRoom ? tree->formattingRoom * 2 : 16;
        HtmlElement** grown =
            room <= (size_t)-1 / sizeof *grown
                ? (HtmlElement**)realloc(tree->formatting, room * sizeof *grown)
                : nullptr;
        if (!grown) {
            tree->failed = true;
            return false;
        }
        tree->formatting = grown;
        tree->formattingRoom = room;
    }
    tree->formatting[tree->formattingCount++] = e;
    if (e) e->refs++;
    return true;
}

static bool SameTag(const HtmlElement* a, const HtmlElement* b) {
    if (a->ns != b->ns || a->attributeCount != b->attributeCount ||
        !NameIs(a->name, a->nameLength, b->name))
        return false;
    for (size_t i = 0; i < a->attributeCount; i++) {
        size_t length;
        const char* value = HtmlElementAttribute(b, a->attributes[i].name, &length);
        if (!value || length != a->attributes[i].valueLength ||
            memcmp(value, a->attributes[i].value, length) != 0)
            return false;
    }
    return true;
}

void HtmlFormattingRemoveAt(HtmlTree* tree, size_t at) {
    HtmlElement* e = tree->formatting[at];
    memmove(tree->formatting + at, tree->formatting + at + 1,
            (tree->formattingCount - at - 1) * sizeof *tree->formatting);
    tree->formattingCount--;
    HtmlTreeRelease(e);
}

bool HtmlFormattingPush(HtmlTree* tree, HtmlElement* element) {
    // No more than three alike since the last marker: the earliest goes.
    size_t alike = 0, earliest = 0;
    for (size_t i = tree->formattingCount; i-- > 0 && tree->formatting[i];) {
        if (!SameTag(tree->formatting[i], element)) continue;
        alike++;
        earliest = i;
    }
    if (alike >= 3) HtmlFormattingRemoveAt(tree, earliest);
    return Append(tree, element);
}

void HtmlFormattingMarker(HtmlTree* tree) { Append(tree, nullptr); }

void HtmlFormattingClear(HtmlTree* tree) {
    while (tree->formattingCount) {
        bool marker = !tree->formatting[tree->formattingCount - 1];
        HtmlFormattingRemoveAt(tree, tree->formattingCount - 1);
        if (marker) return;
    }
}

long HtmlFormattingFind(const HtmlTree* tree, const HtmlElement* element) {
    for (size_t i = tree->formattingCount; i-- > 0;)
        if (tree->formatting[i] == element) return (long)i;
    return -1;
}

void HtmlFormattingReconstruct(HtmlTree* tree) {
    size_t n = tree->formattingCount;
    if (!n || !tree->formatting[n - 1] || InStack(tree, tree->formatting[n - 1])) return;
    size_t i = n - 1;
    while (i > 0 && tree->formatting[i - 1] && !InStack(tree, tree->formatting[i - 1])) i--;
    for (; i < n && !tree->failed; i++) HtmlTreePush(tree, tree->formatting[i], tree->depth);
}

// One round of the agency: 1 when it is over, 0 to go round again.
static bool Round(HtmlTree* tree, HtmlElement* fe, size_t listAt) {
    long at = HtmlTreeIndexOf(tree, fe);
    if (at < 0) {
        HtmlFormattingRemoveAt(tree, listAt);
        return true;
    }
    if (!HtmlTreeElementInScope(tree, fe, ScopeDefault)) return true;
    size_t s = (size_t)at, block = 0;
    for (size_t i = s + 1; i < tree->depth && !block; i++)
        if (tree->open[i]->flags & TagSpecial) block = i;
    if (!block) {
        while (tree->depth > s) HtmlTreePop(tree);
        HtmlFormattingRemoveAt(tree, listAt);
        return true;
    }
    HtmlElement* furthest = tree->open[block];
    size_t bookmark = listAt;
    bool lastIsBlock = true;
    for (size_t i = block, inner = 1;; inner++) {
        HtmlElement* node = tree->open[--i];
        if (node == fe) break;
        long entry = HtmlFormattingFind(tree, node);
        if (inner > 3 && entry >= 0) {
            HtmlFormattingRemoveAt(tree, (size_t)entry);
            if ((size_t)entry < bookmark) bookmark--;
            entry = -1;
        }
        if (entry < 0) {
            HtmlTreeRemoveAt(tree, i);
            continue;
        }
        if (lastIsBlock) bookmark = (size_t)entry + 1;
        lastIsBlock = false;
    }
    // The formatting element moves below the furthest block, in the list to the bookmark.
    fe->refs++;
    long feEntry = HtmlFormattingFind(tree, fe);
    if (feEntry >= 0) {
        HtmlFormattingRemoveAt(tree, (size_t)feEntry);
        if ((size_t)feEntry < bookmark) bookmark--;
    }
    if (Append(tree, fe)) {
        HtmlElement** list = tree->formatting;
        memmove(list + bookmark + 1, list + bookmark,
                (tree->formattingCount - 1 - bookmark) * sizeof *list);
        list[bookmark] = fe;
    }
    HtmlTreeRemoveAt(tree, s);
    HtmlTreePush(tree, fe, (size_t)HtmlTreeIndexOf(tree, furthest) + 1);
    HtmlTreeRelease(fe);
    return false;
}

bool HtmlAdoptionAgency(HtmlTree* tree, const TreeToken* t) {
    HtmlElement* current = Current(tree);
    if (current && current->ns == HtmlNamespaceHtml && TokenIs(t, current->name) &&
        HtmlFormattingFind(tree, current) < 0) {
        HtmlTreePop(tree);
        return false;
    }
    for (int outer = 0; outer < 8 && !tree->failed; outer++) {
        long listAt = -1;
        for (size_t i = tree->formattingCount; i-- > 0 && tree->formatting[i];) {
            if (!TokenIs(t, tree->formatting[i]->name)) continue;
            listAt = (long)i;
            break;
        }
        if (listAt < 0) return true;
        if (Round(tree, tree->formatting[listAt], (size_t)listAt)) return false;
    }
    return false;
}
