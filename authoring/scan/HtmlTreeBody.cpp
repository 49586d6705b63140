// The rules of the body, as far as they open and close elements.
#include "authoring/scan/HtmlTreeRules.h"

static void CloseP(HtmlTree* tree) {
    if (!HtmlTreeInScope(tree, "p", ScopeButton)) return;
    HtmlTreeImplied(tree, "p", false);
    HtmlTreePopUntil(tree, "p");
}

static void Insert(HtmlTree* tree, const TreeToken* t, bool reconstruct) {
    if (reconstruct) HtmlFormattingReconstruct(tree);
    HtmlTreeInsertToken(tree, t);
}

static void Void(HtmlTree* tree, const TreeToken* t, const char* name) {
    HtmlFormattingReconstruct(tree);
    if (HtmlTreeInsert(tree, HtmlNamespaceHtml, name ? name : t->name, name ? strlen(name) : t->length,
                       t->token))
        HtmlTreePop(tree);
}

// <li>, <dd> and <dt> close the open item of their kind, up to a special element.
static void ListItem(HtmlTree* tree, const TreeToken* t) {
    tree->framesetOk = false;
    bool li = TokenIs(t, "li");
    for (size_t i = tree->depth; i-- > 0;) {
        const HtmlElement* e = tree->open[i];
        const char* name = li ? (IsHtml(e, "li") ? "li" : nullptr)
                              : IsHtml(e, "dd") ? "dd" : IsHtml(e, "dt") ? "dt" : nullptr;
        if (name) {
            HtmlTreeImplied(tree, name, false);
            HtmlTreePopUntil(tree, name);
            break;
        }
        if ((e->flags & TagSpecial) && !IsHtml(e, "address") && !IsHtml(e, "div") &&
            !IsHtml(e, "p"))
            break;
    }
    CloseP(tree);
    HtmlTreeInsertToken(tree, t);
}

static void Foreign(HtmlTree* tree, const TreeToken* t, int ns) {
    HtmlFormattingReconstruct(tree);
    if (HtmlTreeInsert(tree, ns, t->name, t->length, t->token) && t->token->selfClosing)
        HtmlTreePop(tree);
}

static void Formatting(HtmlTree* tree, const TreeToken* t) {
    if (TokenIs(t, "a")) {
        // An <a> still open in the list is closed first.
        for (size_t i = tree->formattingCount; i-- > 0 && tree->formatting[i];) {
            HtmlElement* a = tree->formatting[i];
            if (!IsHtml(a, "a")) continue;
            a->refs++;
            TreeToken end = *t;
            end.kind = HtmlTokenEndTag;
            HtmlAdoptionAgency(tree, &end);
            long at = HtmlFormattingFind(tree, a);
            if (at >= 0) HtmlFormattingRemoveAt(tree, (size_t)at);
            at = HtmlTreeIndexOf(tree, a);
            if (at >= 0) HtmlTreeRemoveAt(tree, (size_t)at);
            HtmlTreeRelease(a);
            break;
        }
    }
    HtmlFormattingReconstruct(tree);
    if (TokenIs(t, "nobr") && HtmlTreeInScope(tree, "nobr", ScopeDefault)) {
        TreeToken end = *t;
        end.kind = HtmlTokenEndTag;
        HtmlAdoptionAgency(tree, &end);
        HtmlFormattingReconstruct(tree);
    }
    HtmlElement* e = HtmlTreeInsertToken(tree, t);
    if (e) HtmlFormattingPush(tree, e);
}

static bool StartTag(HtmlTree* tree, TreeToken* t) {
    unsigned flags = t->flags;
    if (TokenIs(t, "html")) return false;
    if (flags & TagHeadRules) return HtmlTreeInHead(tree, t);
    if (TokenIs(t, "body")) {
        if (tree->depth > 1 && IsHtml(tree->open[1], "body") &&
            HtmlTreeFind(tree, HtmlNamespaceHtml, "template") < 0)
            tree->framesetOk = false;
    } else if (TokenIs(t, "frameset")) {
        if (tree->depth < 2 || !IsHtml(tree->open[1], "body") || !tree->framesetOk) return false;
        while (tree->depth > 1) HtmlTreePop(tree);
        HtmlTreeInsertToken(tree, t);
    } else if (flags & TagClosesP) {
        CloseP(tree);
        HtmlTreeInsertToken(tree, t);
    } else if (flags & TagHeading) {
        CloseP(tree);
        HtmlElement* e = Current(tree);
        if (e && e->ns == HtmlNamespaceHtml && (e->flags & TagHeading)) HtmlTreePop(tree);
        HtmlTreeInsertToken(tree, t);
    } else if (TokenIs(t, "pre") || TokenIs(t, "listing")) {
        CloseP(tree);
        HtmlTreeInsertToken(tree, t);
        tree->framesetOk = false;
    } else if (TokenIs(t, "form")) {
        bool inTemplate = HtmlTreeFind(tree, HtmlNamespaceHtml, "template") >= 0;
        if (tree->form && !inTemplate) return false;
        CloseP(tree);
        HtmlElement* form = HtmlTreeInsertToken(tree, t);
        if (form && !inTemplate) {
            tree->form = form;
            form->refs++;
        }
    } else if (TokenIs(t, "li") || TokenIs(t, "dd") || TokenIs(t, "dt")) {
        ListItem(tree, t);
    } else if (TokenIs(t, "plaintext")) {
        CloseP(tree);
        HtmlTreeRawText(tree, t, HtmlStatePlaintext);
    } else if (TokenIs(t, "button")) {
        if (HtmlTreeInScope(tree, "button", ScopeDefault)) {
            HtmlTreeImplied(tree, nullptr, false);
            HtmlTreePopUntil(tree, "button");
        }
        Insert(tree, t, true);
        tree->framesetOk = false;
    } else if (flags & TagFormatting) {
        Formatting(tree, t);
    } else if (TokenIs(t, "applet") || TokenIs(t, "marquee") || TokenIs(t, "object")) {
        Insert(tree, t, true);
        HtmlFormattingMarker(tree);
        tree->framesetOk = false;
    } else if (TokenIs(t, "table")) {
        if (!tree->quirks) CloseP(tree);
        HtmlTreeInsertToken(tree, t);
        tree->framesetOk = false;
    } else if ((flags & TagVoid) || TokenIs(t, "image")) {
        Void(tree, t, TokenIs(t, "image") ? "img" : nullptr);
        tree->framesetOk = false;
    } else if (TokenIs(t, "input")) {
        Void(tree, t, nullptr);
        if (!HtmlTokenHiddenInput(t)) tree->framesetOk = false;
    } else if (TokenIs(t, "param") || TokenIs(t, "source") || TokenIs(t, "track")) {
        if (HtmlTreeInsertToken(tree, t)) HtmlTreePop(tree);
    } else if (TokenIs(t, "hr")) {
        CloseP(tree);
        if (HtmlTreeInsertToken(tree, t)) HtmlTreePop(tree);
        tree->framesetOk = false;
    } else if (TokenIs(t, "textarea")) {
        HtmlTreeRawText(tree, t, HtmlStateRcdata);
        tree->framesetOk = false;
    } else if (TokenIs(t, "xmp")) {
        CloseP(tree);
        HtmlFormattingReconstruct(tree);
        tree->framesetOk = false;
        HtmlTreeRawText(tree, t, HtmlStateRawtext);
    } else if (TokenIs(t, "iframe") || TokenIs(t, "noembed") || TokenIs(t, "noscript")) {
        if (TokenIs(t, "iframe")) tree->framesetOk = false;
        HtmlTreeRawText(tree, t, HtmlStateRawtext);
    } else if (TokenIs(t, "select")) {
        Insert(tree, t, true);
        tree->framesetOk = false;
    } else if (TokenIs(t, "optgroup") || TokenIs(t, "option")) {
        if (IsHtml(Current(tree), "option")) HtmlTreePop(tree);
        Insert(tree, t, true);
    } else if (TokenIs(t, "rb") || TokenIs(t, "rtc") || TokenIs(t, "rp") || TokenIs(t, "rt")) {
        if (HtmlTreeInScope(tree, "ruby", ScopeDefault))
            HtmlTreeImplied(tree, TokenIs(t, "rp") || TokenIs(t, "rt") ? "rtc" : nullptr, false);
        HtmlTreeInsertToken(tree, t);
    } else if (TokenIs(t, "math") || TokenIs(t, "svg")) {
        Foreign(tree, t, TokenIs(t, "svg") ? HtmlNamespaceSvg : HtmlNamespaceMathMl);
    } else if (!(flags & TagTablePart) && !TokenIs(t, "frame") && !TokenIs(t, "head")) {
        Insert(tree, t, true);
    }
    return false;
}

// An end tag that names no rule of its own closes up to its element, unless a
// special element stands in the way.
void HtmlTreeAnyOtherEnd(HtmlTree* tree, const TreeToken* t) {
    for (size_t i = tree->depth; i-- > 0;) {
        const HtmlElement* e = tree->open[i];
        if (e->ns == HtmlNamespaceHtml && NameIs(t->name, t->length, e->name)) {
            HtmlTreeImplied(tree, e->name, false);
            while (tree->depth > i) HtmlTreePop(tree);
            return;
        }
        if (e->flags & TagSpecial) return;
    }
}

static void EndTag(HtmlTree* tree, TreeToken* t) {
    unsigned flags = t->flags;
    if (TokenIs(t, "template")) {
        HtmlTreeInHead(tree, t);
    } else if (TokenIs(t, "body") || TokenIs(t, "html")) {
        // The body stays open; what follows it goes into it all the same.
    } else if (flags & TagBlockEnd) {
        if (!HtmlTreeInScope(tree, t->name, ScopeDefault)) return;
        HtmlTreeImplied(tree, nullptr, false);
        HtmlTreePopUntil(tree, t->name);
    } else if (TokenIs(t, "form")) {
        if (HtmlTreeFind(tree, HtmlNamespaceHtml, "template") >= 0) {
            if (!HtmlTreeInScope(tree, "form", ScopeDefault)) return;
            HtmlTreeImplied(tree, nullptr, false);
            HtmlTreePopUntil(tree, "form");
            return;
        }
        HtmlElement* form = tree->form;
        tree->form = nullptr;
        if (form && HtmlTreeElementInScope(tree, form, ScopeDefault)) {
            HtmlTreeImplied(tree, nullptr, false);
            long at = HtmlTreeIndexOf(tree, form);
            if (at >= 0) HtmlTreeRemoveAt(tree, (size_t)at);
        }
        HtmlTreeRelease(form);
    } else if (TokenIs(t, "p")) {
        if (!HtmlTreeInScope(tree, "p", ScopeButton))
            HtmlTreeInsert(tree, HtmlNamespaceHtml, "p", 1, nullptr);
        CloseP(tree);
    } else if (TokenIs(t, "li") || TokenIs(t, "dd") || TokenIs(t, "dt")) {
        const char* name = TokenIs(t, "li") ? "li" : TokenIs(t, "dd") ? "dd" : "dt";
        if (!HtmlTreeInScope(tree, name, TokenIs(t, "li") ? ScopeListItem : ScopeDefault)) return;
        HtmlTreeImplied(tree, name, false);
        HtmlTreePopUntil(tree, name);
    } else if (flags & TagHeading) {
        if (!HtmlTreeFlagInScope(tree, TagHeading, ScopeDefault)) return;
        HtmlTreeImplied(tree, nullptr, false);
        HtmlTreePopUntilFlag(tree, TagHeading);
    } else if (flags & TagFormatting) {
        if (HtmlAdoptionAgency(tree, t)) HtmlTreeAnyOtherEnd(tree, t);
    } else if (TokenIs(t, "applet") || TokenIs(t, "marquee") || TokenIs(t, "object")) {
        if (!HtmlTreeInScope(tree, t->name, ScopeDefault)) return;
        HtmlTreeImplied(tree, nullptr, false);
        HtmlTreePopUntil(tree, t->name);
        HtmlFormattingClear(tree);
    } else if (TokenIs(t, "br")) {
        // </br> reads as <br>, without attributes.
        HtmlFormattingReconstruct(tree);
        if (HtmlTreeInsert(tree, HtmlNamespaceHtml, "br", 2, nullptr)) HtmlTreePop(tree);
        tree->framesetOk = false;
    } else {
        HtmlTreeAnyOtherEnd(tree, t);
    }
}

bool HtmlTreeInBody(HtmlTree* tree, TreeToken* t) {
    if (t->kind == HtmlTokenCharacters) {
        if (t->any) HtmlFormattingReconstruct(tree);
        if (t->text) tree->framesetOk = false;
    } else if (t->kind == HtmlTokenStartTag) {
        return StartTag(tree, t);
    } else if (t->kind == HtmlTokenEndTag) {
        EndTag(tree, t);
    }
    return false;
}
