// The rules of tables (the table, its caption, column groups, row groups,
// rows and cells) as far as they open and close elements.
#include "authoring/scan/HtmlTreeRules.h"

static bool Is(const TreeToken* t, const char* names) {
    // `names`: space-separated
    for (const char* p = names; *p;) {
        const char* end = strchr(p, ' ');
        size_t n = end ? (size_t)(end - p) : strlen(p);
        if (n == t->length && memcmp(p, t->name, n) == 0) return true;
        p += n + (end ? 1 : 0);
    }
    return false;
}

// Pops to the nearest of `names` (space-separated), or to the root.
static void ClearTo(HtmlTree* tree, const char* names) {
    for (HtmlElement* e = Current(tree); e && tree->depth > 1; e = Current(tree)) {
        TreeToken name;
        name.name = e->name;
        name.length = e->nameLength;
        if (e->ns == HtmlNamespaceHtml && (Is(&name, names) || Is(&name, "template html"))) return;
        HtmlTreePop(tree);
    }
}

static void CloseCell(HtmlTree* tree) {
    HtmlTreeImplied(tree, nullptr, false);
    while (tree->depth > 1 && !IsHtml(Current(tree), "td") && !IsHtml(Current(tree), "th"))
        HtmlTreePop(tree);
    HtmlTreePop(tree);
    HtmlFormattingClear(tree);
}

static bool Implied(HtmlTree* tree, const char* name) {
    return HtmlTreeInsert(tree, HtmlNamespaceHtml, name, strlen(name), nullptr) != nullptr;
}

static bool InTable(HtmlTree* tree, TreeToken* t) {
    bool start = t->kind == HtmlTokenStartTag, end = t->kind == HtmlTokenEndTag;
    if (t->kind == HtmlTokenCharacters) {
        TreeToken current;
        current.name = Current(tree)->name;
        current.length = Current(tree)->nameLength;
        if (!Is(&current, "table tbody template tfoot thead tr")) return HtmlTreeInBody(tree, t);
        // Text among rows goes before the table, and reopens formatting there.
        if (t->text) {
            HtmlFormattingReconstruct(tree);
            tree->framesetOk = false;
        }
        return false;
    }
    if (start && Is(t, "caption colgroup tbody tfoot thead")) {
        ClearTo(tree, "table");
        if (TokenIs(t, "caption")) HtmlFormattingMarker(tree);
        HtmlTreeInsertToken(tree, t);
        return false;
    }
    if (start && Is(t, "col td th tr")) {
        ClearTo(tree, "table");
        return Implied(tree, TokenIs(t, "col") ? "colgroup" : "tbody");
    }
    if (TokenIs(t, "table") && (start || end)) {
        if (!HtmlTreeInScope(tree, "table", ScopeTable)) return false;
        HtmlTreePopUntil(tree, "table");
        return start;
    }
    if (end && Is(t, "body caption col colgroup html tbody td tfoot th thead tr")) return false;
    if ((start && Is(t, "style script template")) || (end && TokenIs(t, "template")))
        return HtmlTreeInHead(tree, t);
    if (start && TokenIs(t, "input") && HtmlTokenHiddenInput(t)) {
        if (HtmlTreeInsertToken(tree, t)) HtmlTreePop(tree);
        return false;
    }
    if (start && TokenIs(t, "form")) {
        if (tree->form || HtmlTreeFind(tree, HtmlNamespaceHtml, "template") >= 0) return false;
        HtmlElement* form = HtmlTreeInsertToken(tree, t);
        if (!form) return false;
        tree->form = form;
        form->refs++;
        HtmlTreePop(tree);
        return false;
    }
    if (t->kind != HtmlTokenStartTag && t->kind != HtmlTokenEndTag) return false;
    // Anything else goes before the table, under the body's rules.
    return HtmlTreeInBody(tree, t);
}

static bool InScopeAny(const HtmlTree* tree, const char* a, const char* b, const char* c) {
    return HtmlTreeInScope(tree, a, ScopeTable) || HtmlTreeInScope(tree, b, ScopeTable) ||
           (c && HtmlTreeInScope(tree, c, ScopeTable));
}

bool HtmlTreeTableMode(HtmlTree* tree, TreeToken* t, int mode) {
    bool start = t->kind == HtmlTokenStartTag, end = t->kind == HtmlTokenEndTag;
    const char* tablePart = "caption col colgroup tbody td tfoot th thead tr";
    switch (mode) {
    case ModeInCaption:
        if ((end && TokenIs(t, "caption")) || (start && Is(t, tablePart)) ||
            (end && TokenIs(t, "table"))) {
            if (!HtmlTreeInScope(tree, "caption", ScopeTable)) return false;
            HtmlTreeImplied(tree, nullptr, false);
            HtmlTreePopUntil(tree, "caption");
            HtmlFormattingClear(tree);
            return !(end && TokenIs(t, "caption"));
        }
        if (end && Is(t, "body col colgroup html tbody td tfoot th thead tr")) return false;
        return HtmlTreeInBody(tree, t);
    case ModeInColumnGroup:
        if (t->kind == HtmlTokenCharacters && !t->text) return false;
        if (t->kind == HtmlTokenComment || t->kind == HtmlTokenDoctype) return false;
        if (start && TokenIs(t, "html")) return HtmlTreeInBody(tree, t);
        if (start && TokenIs(t, "col")) {
            if (HtmlTreeInsertToken(tree, t)) HtmlTreePop(tree);
            return false;
        }
        if (end && (TokenIs(t, "col") || TokenIs(t, "colgroup"))) {
            if (TokenIs(t, "colgroup") && IsHtml(Current(tree), "colgroup")) HtmlTreePop(tree);
            return false;
        }
        if ((start || end) && TokenIs(t, "template")) return HtmlTreeInHead(tree, t);
        if (t->kind == HtmlTokenEndOfFile || !IsHtml(Current(tree), "colgroup")) return false;
        HtmlTreePop(tree);
        return true;
    case ModeInTableBody:
        if (start && Is(t, "tr th td")) {
            ClearTo(tree, "tbody tfoot thead");
            if (!TokenIs(t, "tr")) return Implied(tree, "tr");
            HtmlTreeInsertToken(tree, t);
            return false;
        }
        if (end && Is(t, "tbody tfoot thead")) {
            if (!HtmlTreeInScope(tree, t->name, ScopeTable)) return false;
            ClearTo(tree, "tbody tfoot thead");
            HtmlTreePop(tree);
            return false;
        }
        if ((start && Is(t, "caption col colgroup tbody tfoot thead")) ||
            (end && TokenIs(t, "table"))) {
            if (!InScopeAny(tree, "tbody", "thead", "tfoot")) return false;
            ClearTo(tree, "tbody tfoot thead");
            HtmlTreePop(tree);
            return true;
        }
        if (end && Is(t, "body caption col colgroup html td th tr")) return false;
        return InTable(tree, t);
    case ModeInRow:
        if (start && Is(t, "th td")) {
            ClearTo(tree, "tr");
            HtmlTreeInsertToken(tree, t);
            HtmlFormattingMarker(tree);
            return false;
        }
        if ((end && Is(t, "tr table tbody tfoot thead")) ||
            (start && Is(t, "caption col colgroup tbody tfoot thead tr"))) {
            if (end && Is(t, "tbody tfoot thead") && !HtmlTreeInScope(tree, t->name, ScopeTable))
                return false;
            if (!HtmlTreeInScope(tree, "tr", ScopeTable)) return false;
            ClearTo(tree, "tr");
            HtmlTreePop(tree);
            return !(end && TokenIs(t, "tr"));
        }
        if (end && Is(t, "body caption col colgroup html td th")) return false;
        return InTable(tree, t);
    case ModeInCell:
        if (end && Is(t, "td th")) {
            if (!HtmlTreeInScope(tree, t->name, ScopeTable)) return false;
            CloseCell(tree);
            return false;
        }
        if (start && Is(t, tablePart)) {
            if (!InScopeAny(tree, "td", "th", nullptr)) return false;
            CloseCell(tree);
            return true;
        }
        if (end && Is(t, "body caption col colgroup html")) return false;
        if (end && Is(t, "table tbody tfoot thead tr")) {
            if (!HtmlTreeInScope(tree, t->name, ScopeTable)) return false;
            CloseCell(tree);
            return true;
        }
        return HtmlTreeInBody(tree, t);
    default: return InTable(tree, t);
    }
}
