// The rules of <select>, of <template> content and of framesets, as far as
// they open and close elements. Inside a <select> most tags are dropped: a
// <style> or an <xmp> there starts no raw text.
#include "authoring/scan/HtmlTreeRules.h"

static bool TableTag(const TreeToken* t) {
    return TokenIs(t, "caption") || TokenIs(t, "table") || TokenIs(t, "tbody") ||
           TokenIs(t, "tfoot") || TokenIs(t, "thead") || TokenIs(t, "tr") || TokenIs(t, "td") ||
           TokenIs(t, "th");
}

bool HtmlTreeSelectMode(HtmlTree* tree, TreeToken* t, int mode) {
    bool start = t->kind == HtmlTokenStartTag, end = t->kind == HtmlTokenEndTag;
    if (mode == ModeInSelectInTable && (start || end) && TableTag(t)) {
        if (end && !HtmlTreeInScope(tree, t->name, ScopeTable)) return false;
        HtmlTreePopUntil(tree, "select");
        return true;
    }
    if (start && TokenIs(t, "html")) return HtmlTreeInBody(tree, t);
    if (start && (TokenIs(t, "option") || TokenIs(t, "optgroup"))) {
        if (IsHtml(Current(tree), "option")) HtmlTreePop(tree);
        if (TokenIs(t, "optgroup") && IsHtml(Current(tree), "optgroup")) HtmlTreePop(tree);
        HtmlTreeInsertToken(tree, t);
        return false;
    }
    if (end && TokenIs(t, "optgroup")) {
        if (IsHtml(Current(tree), "option") && tree->depth > 1 &&
            IsHtml(tree->open[tree->depth - 2], "optgroup"))
            HtmlTreePop(tree);
        if (IsHtml(Current(tree), "optgroup")) HtmlTreePop(tree);
        return false;
    }
    if (end && TokenIs(t, "option")) {
        if (IsHtml(Current(tree), "option")) HtmlTreePop(tree);
        return false;
    }
    bool closes = TokenIs(t, "select") && (start || end);
    bool leaves = start && (TokenIs(t, "input") || TokenIs(t, "keygen") || TokenIs(t, "textarea"));
    if (closes || leaves) {
        if (!HtmlTreeInScope(tree, "select", ScopeSelect)) return false;
        HtmlTreePopUntil(tree, "select");
        return leaves;
    }
    if ((start && (TokenIs(t, "script") || TokenIs(t, "template"))) ||
        (end && TokenIs(t, "template")))
        return HtmlTreeInHead(tree, t);
    return false;
}

static bool TemplateMode(HtmlTree* tree, TreeToken* t) {
    if (t->kind == HtmlTokenEndTag) return TokenIs(t, "template") && HtmlTreeInHead(tree, t);
    if (t->kind != HtmlTokenStartTag) return HtmlTreeInBody(tree, t);
    if (t->flags & TagHeadRules) return HtmlTreeInHead(tree, t);
    // The first tag inside a template says what its content is.
    int mode = ModeInBody;
    if (TokenIs(t, "caption") || TokenIs(t, "colgroup") || TokenIs(t, "tbody") ||
        TokenIs(t, "tfoot") || TokenIs(t, "thead"))
        mode = ModeInTable;
    else if (TokenIs(t, "col"))
        mode = ModeInColumnGroup;
    else if (TokenIs(t, "tr"))
        mode = ModeInTableBody;
    else if (TokenIs(t, "td") || TokenIs(t, "th"))
        mode = ModeInRow;
    tree->templateModes[tree->templateCount - 1] = (unsigned char)mode;
    return true;
}

bool HtmlTreeOtherMode(HtmlTree* tree, TreeToken* t, int mode) {
    if (mode == ModeInTemplate) return TemplateMode(tree, t);
    bool start = t->kind == HtmlTokenStartTag, end = t->kind == HtmlTokenEndTag;
    if (start && TokenIs(t, "html")) return HtmlTreeInBody(tree, t);
    if (start && TokenIs(t, "noframes")) return HtmlTreeInHead(tree, t);
    if (mode == ModeAfterFrameset) return false;
    if (start && (TokenIs(t, "frameset") || TokenIs(t, "frame"))) {
        if (HtmlTreeInsertToken(tree, t) && TokenIs(t, "frame")) HtmlTreePop(tree);
    } else if (end && TokenIs(t, "frameset") && tree->depth > 1) {
        HtmlTreePop(tree);
        if (!IsHtml(Current(tree), "frameset")) tree->afterFrameset = true;
    }
    return false;
}
