// Where each token goes: to the rules of the insertion mode the stack stands
// in, or to those of SVG and MathML content; and what the tokenizer reads next.
#include "authoring/scan/HtmlTreeRules.h"

static bool HtmlContent(const HtmlTree* tree, const TreeToken* t) {
    const HtmlElement* e = Current(tree);
    if (!e || e->ns == HtmlNamespaceHtml || t->kind == HtmlTokenEndOfFile) return true;
    bool start = t->kind == HtmlTokenStartTag, text = t->kind == HtmlTokenCharacters;
    if ((e->flags & TagTextPoint) &&
        (text || (start && !TokenIs(t, "mglyph") && !TokenIs(t, "malignmark"))))
        return true;
    if (start && e->ns == HtmlNamespaceMathMl && NameIs(e->name, e->nameLength, "annotation-xml") &&
        TokenIs(t, "svg"))
        return true;
    return (e->flags & TagHtmlPoint) && (start || text);
}

// Out of SVG or MathML content, to where HTML rules hold again.
static void LeaveForeign(HtmlTree* tree) {
    for (HtmlElement* e = Current(tree);
         e && e->ns != HtmlNamespaceHtml && !(e->flags & (TagTextPoint | TagHtmlPoint));
         e = Current(tree))
        HtmlTreePop(tree);
}

// <font> leaves foreign content only with one of the attributes that style text.
static bool FontStyled(const TreeToken* t) {
    for (size_t i = 0; t->token && i < t->token->attributeCount; i++) {
        const HtmlAttribute& a = t->token->attributes[i];
        if (NameIs(a.name, a.nameLength, "color") || NameIs(a.name, a.nameLength, "face") ||
            NameIs(a.name, a.nameLength, "size"))
            return true;
    }
    return false;
}

static void ForeignEndTag(HtmlTree* tree, TreeToken* t) {
    for (size_t i = tree->depth - 1; i > 0;) {
        const HtmlElement* e = tree->open[i];
        if (HtmlLowerIs(e->name, e->nameLength, t->name, t->length)) {
            while (tree->depth > i) HtmlTreePop(tree);
            return;
        }
        i--;
        if (tree->open[i]->ns == HtmlNamespaceHtml) {
            HtmlTreeHtmlContent(tree, t);
            return;
        }
    }
}

static void Foreign(HtmlTree* tree, TreeToken* t) {
    if (t->kind == HtmlTokenCharacters) {
        if (t->text) tree->framesetOk = false;
        return;
    }
    bool start = t->kind == HtmlTokenStartTag;
    if ((start && ((t->flags & TagBreakout) || (TokenIs(t, "font") && FontStyled(t)))) ||
        (t->kind == HtmlTokenEndTag && (TokenIs(t, "br") || TokenIs(t, "p")))) {
        LeaveForeign(tree);
        HtmlTreeHtmlContent(tree, t);
        return;
    }
    if (t->kind == HtmlTokenEndTag) {
        ForeignEndTag(tree, t);
        return;
    }
    if (!start) return;
    int ns = Current(tree)->ns;
    const char* name = ns == HtmlNamespaceSvg ? HtmlSvgName(t->name, t->length) : nullptr;
    if (HtmlTreeInsert(tree, ns, name ? name : t->name, t->length, t->token) &&
        t->token->selfClosing)
        HtmlTreePop(tree);
}

bool HtmlTreeHtmlContent(HtmlTree* tree, TreeToken* t) {
    for (bool again = true; again && !tree->failed;) {
        int mode = HtmlTreeMode(tree);
        switch (mode) {
        case ModeInHead: again = HtmlTreeInHead(tree, t); break;
        case ModeInBody: again = HtmlTreeInBody(tree, t); break;
        case ModeInTable:
        case ModeInCaption:
        case ModeInColumnGroup:
        case ModeInTableBody:
        case ModeInRow:
        case ModeInCell: again = HtmlTreeTableMode(tree, t, mode); break;
        case ModeInSelect:
        case ModeInSelectInTable: again = HtmlTreeSelectMode(tree, t, mode); break;
        case ModeInTemplate:
        case ModeInFrameset:
        case ModeAfterFrameset: again = HtmlTreeOtherMode(tree, t, mode); break;
        default: again = HtmlTreeBeforeMode(tree, t, mode); break;
        }
    }
    return !tree->failed;
}

int HtmlTreeTake(HtmlTree* tree, HtmlTokenizer* tokenizer, const HtmlToken* token) {
    tree->changed = tree->depth;
    TreeToken t;
    memset(&t, 0, sizeof t);
    t.kind = token->kind;
    t.token = token;
    t.tokenizer = tokenizer;
    if (t.kind == HtmlTokenStartTag || t.kind == HtmlTokenEndTag) {
        const char* known;
        t.length = token->textLength;
        t.flags = HtmlTagFlags(token->text, t.length, &known);
        t.name = known ? known : token->text;
    }
    for (size_t i = 0; t.kind == HtmlTokenCharacters && i < token->textLength; i++) {
        char c = token->text[i];
        t.any = t.any || c != 0;
        t.text = t.text || (c != 0 && c != ' ' && c != '\t' && c != '\n' && c != '\f');
    }
    if (tree->inText) {
        // Only the element's own end tag, or the end of the page, ends its text.
        if (t.kind == HtmlTokenEndTag || t.kind == HtmlTokenEndOfFile) {
            HtmlTreePop(tree);
            tree->inText = false;
        }
    } else if (HtmlContent(tree, &t)) {
        HtmlTreeHtmlContent(tree, &t);
    } else {
        Foreign(tree, &t);
    }
    const HtmlElement* current = Current(tree);
    tokenizer->cdataAllowed = current && current->ns != HtmlNamespaceHtml;
    return !tree->failed;
}
