// The insertion mode the stack of open elements stands in, and the modes
// before the body: before the root, before and in the head, after the head.
#include "authoring/scan/HtmlTreeRules.h"

int HtmlTreeMode(const HtmlTree* tree) {
    if (!tree->depth) return ModeInitial;
    if (tree->afterFrameset) return ModeAfterFrameset;
    size_t i = tree->rules[tree->depth - 1];
    if (i == (size_t)-1) return ModeInBody;
    const HtmlElement* e = tree->open[i];
    if (IsHtml(e, "select")) {
        for (size_t j = i; j-- > 0 && !IsHtml(tree->open[j], "template");)
            if (IsHtml(tree->open[j], "table")) return ModeInSelectInTable;
        return ModeInSelect;
    }
    if (IsHtml(e, "td") || IsHtml(e, "th")) return ModeInCell;
    if (IsHtml(e, "tr")) return ModeInRow;
    if (IsHtml(e, "tbody") || IsHtml(e, "thead") || IsHtml(e, "tfoot")) return ModeInTableBody;
    if (IsHtml(e, "caption")) return ModeInCaption;
    if (IsHtml(e, "colgroup")) return ModeInColumnGroup;
    if (IsHtml(e, "table")) return ModeInTable;
    if (IsHtml(e, "template"))
        return tree->templateCount ? (int)tree->templateModes[tree->templateCount - 1] : (int)ModeInBody;
    if (IsHtml(e, "head")) return ModeInHead;
    if (IsHtml(e, "frameset")) return ModeInFrameset;
    if (IsHtml(e, "html")) return tree->head ? ModeAfterHead : ModeBeforeHead;
    return ModeInBody;
}

static bool StartsNoCase(const char* text, size_t length, const char* prefix) {
    size_t n = strlen(prefix);
    return length >= n && HtmlLowerIs(text, n, prefix, n);
}

// Only whether a <table> closes an open <p> hangs on it: the DOCTYPEs of
// pages written for old browsers, roughly.
static bool Quirks(const HtmlToken* d) {
    if (d->forceQuirks || !NameIs(d->text, d->textLength, "html")) return true;
    if (!d->hasPublic) return false;
    const char* id = d->publicId;
    size_t n = d->publicLength;
    if (StartsNoCase(id, n, "-//w3c//dtd html 4.01 transitional//") ||
        StartsNoCase(id, n, "-//w3c//dtd html 4.01 frameset//"))
        return !d->hasSystem;
    return !StartsNoCase(id, n, "-//w3c//dtd html 4.01//") &&
           !StartsNoCase(id, n, "-//w3c//dtd xhtml 1.") &&
           !StartsNoCase(id, n, "-//w3c//dtd html 4.0//");
}

static bool EndTagOf(const TreeToken* t, const char* a, const char* b, const char* c,
                     const char* d) {
    return TokenIs(t, a) || TokenIs(t, b) || TokenIs(t, c) || (d && TokenIs(t, d));
}

static HtmlElement* Implied(HtmlTree* tree, const TreeToken* t, const char* name) {
    bool own = t->kind == HtmlTokenStartTag && TokenIs(t, name);
    return HtmlTreeInsert(tree, HtmlNamespaceHtml, name, strlen(name), own ? t->token : nullptr);
}

bool HtmlTreeBeforeMode(HtmlTree* tree, TreeToken* t, int mode) {
    bool start = t->kind == HtmlTokenStartTag, end = t->kind == HtmlTokenEndTag;
    if (t->kind == HtmlTokenComment || (t->kind == HtmlTokenCharacters && !t->text)) return false;
    if (t->kind == HtmlTokenDoctype) {
        if (!tree->pastInitial) tree->quirks = Quirks(t->token);
        tree->pastInitial = true;
        return false;
    }
    if (!tree->pastInitial) tree->quirks = true; // no DOCTYPE came first
    tree->pastInitial = true;
    if (start && TokenIs(t, "html")) {
        if (mode == ModeInitial) Implied(tree, t, "html");
        return false;
    }
    if (mode == ModeInitial || mode == ModeBeforeHead) {
        if (end && !EndTagOf(t, "head", "body", "html", "br")) return false;
        if (mode == ModeInitial) return Implied(tree, t, "html") != nullptr;
        HtmlElement* head = Implied(tree, t, "head");
        if (!head) return false;
        tree->head = head;
        head->refs++;
        return !(start && TokenIs(t, "head"));
    }
    // After the head.
    if (start && (TokenIs(t, "body") || TokenIs(t, "frameset"))) {
        HtmlTreeInsertToken(tree, t);
        if (TokenIs(t, "body")) tree->framesetOk = false;
        return false;
    }
    if (start && (t->flags & TagHeadRules)) {
        // What belongs in the head goes there, even after it.
        if (!HtmlTreePush(tree, tree->head, tree->depth)) return false;
        HtmlTreeInHead(tree, t);
        long at = HtmlTreeIndexOf(tree, tree->head);
        if (at >= 0) HtmlTreeRemoveAt(tree, (size_t)at);
        return false;
    }
    if (end && TokenIs(t, "template")) return HtmlTreeInHead(tree, t);
    if ((start && TokenIs(t, "head")) || (end && !EndTagOf(t, "body", "html", "br", nullptr)))
        return false;
    return Implied(tree, t, "body") != nullptr;
}

static void TemplateEnd(HtmlTree* tree) {
    if (HtmlTreeFind(tree, HtmlNamespaceHtml, "template") < 0) return;
    HtmlTreeImplied(tree, nullptr, true);
    HtmlTreePopUntil(tree, "template");
    HtmlFormattingClear(tree);
    if (tree->templateCount) tree->templateCount--;
}

static void Base(HtmlTree* tree, HtmlElement* base) {
    // A template's content is not the document's.
    if (tree->base || !HtmlElementAttribute(base, "href", nullptr) ||
        HtmlTreeFind(tree, HtmlNamespaceHtml, "template") >= 0)
        return;
    tree->base = base;
    base->refs++;
}

bool HtmlTreeInHead(HtmlTree* tree, TreeToken* t) {
    bool start = t->kind == HtmlTokenStartTag, end = t->kind == HtmlTokenEndTag;
    if (t->kind == HtmlTokenComment || t->kind == HtmlTokenDoctype) return false;
    if (t->kind == HtmlTokenCharacters && !t->text) return false;
    if (start && (TokenIs(t, "html") || TokenIs(t, "head"))) return false;
    if (start && (t->flags & TagHeadRules)) {
        if (TokenIs(t, "title")) {
            HtmlTreeRawText(tree, t, HtmlStateRcdata);
        } else if (TokenIs(t, "noframes") || TokenIs(t, "style")) {
            HtmlTreeRawText(tree, t, HtmlStateRawtext);
        } else if (TokenIs(t, "script")) {
            HtmlTreeRawText(tree, t, HtmlStateScriptData);
        } else if (TokenIs(t, "template")) {
            if (!HtmlTreeInsertToken(tree, t)) return false;
            HtmlFormattingMarker(tree);
            tree->framesetOk = false;
            HtmlTreeTemplateModePush(tree, ModeInTemplate);
        } else {
            HtmlElement* e = HtmlTreeInsertToken(tree, t);
            if (e && TokenIs(t, "base")) Base(tree, e);
            HtmlTreePop(tree);
        }
        return false;
    }
    if (start && TokenIs(t, "noscript")) { // scripting is on
        HtmlTreeRawText(tree, t, HtmlStateRawtext);
        return false;
    }
    if (end && TokenIs(t, "template")) {
        TemplateEnd(tree);
        return false;
    }
    if (end && TokenIs(t, "head")) {
        HtmlTreePop(tree);
        return false;
    }
    if (end && !EndTagOf(t, "body", "html", "br", nullptr)) return false;
    HtmlTreePop(tree); // the head
    return true;
}
