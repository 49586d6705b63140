// The states after "<!": comments (with "<!-->", "<!--->", "--!>" and "<!--"
// inside), bogus comments, and the start of a DOCTYPE or a CDATA section.
#include "authoring/scan/HtmlTokenizerSteps.h"
#include <string.h>

static bool Ahead(const HtmlTokenizer* t, const char* word, bool anyCase) {
    size_t n = strlen(word);
    if (t->length - t->pos < n) return false;
    for (size_t i = 0; i < n; i++) {
        int c = (unsigned char)t->bytes[t->pos + i];
        if ((anyCase ? HtmlLower(c) : c) != word[i]) return false;
    }
    return true;
}

static void CommentEnd(HtmlTokenizer* t) {
    t->state = HtmlStateData;
    HtmlEmitMarkup(t);
}

static void CommentEndOfFile(HtmlTokenizer* t) {
    HtmlEmitMarkup(t);
    HtmlEmitEndOfFile(t);
}

static void MarkupDeclarationOpen(HtmlTokenizer* t) {
    if (Ahead(t, "--", false)) {
        t->width = 2;
        HtmlMarkupReset(t, HtmlTokenComment);
        t->nameSpan = {t->pos + 2, t->pos + 2};
        t->state = HtmlStateCommentStart;
    } else if (Ahead(t, "doctype", true)) {
        t->width = 7;
        HtmlMarkupReset(t, HtmlTokenDoctype);
        t->state = HtmlStateDoctype;
    } else if (Ahead(t, "[CDATA[", false)) {
        t->width = 7;
        // What the tree makes of the text before it decides (a formatting
        // element reopened for it may stand over a foreign one).
        HtmlFlushText(t, t->markupStart);
        if (t->cdataAllowed) {
            t->state = HtmlStateCdataSection;
            HtmlSkip(t, t->markupStart);
            return;
        }
        // In HTML content it is a comment that holds the brackets.
        HtmlMarkupReset(t, HtmlTokenComment);
        HtmlAppend(t, &t->markup, "[CDATA[", 7);
        t->nameSpan = {t->pos, t->pos + 7};
        t->state = HtmlStateBogusComment;
    } else {
        HtmlMarkupReset(t, HtmlTokenComment);
        HtmlReconsume(t, HtmlStateBogusComment);
    }
}

void HtmlStepComment(HtmlTokenizer* t, int c) {
    int state = t->state;
    if (state == HtmlStateMarkupDeclarationOpen) {
        MarkupDeclarationOpen(t);
        return;
    }
    bool ends = state == HtmlStateBogusComment || state == HtmlStateCommentStart ||
                state == HtmlStateCommentStartDash || state == HtmlStateCommentEnd ||
                state == HtmlStateCommentEndBang;
    if (c == '>' && ends) {
        CommentEnd(t);
        return;
    }
    switch (state) {
    case HtmlStateBogusComment:
        if (c == HtmlEof) CommentEndOfFile(t);
        else HtmlCommentByte(t, c);
        return;
    case HtmlStateCommentStart:
        if (c == '-') t->state = HtmlStateCommentStartDash;
        else HtmlReconsume(t, HtmlStateComment);
        return;
    case HtmlStateComment:
        if (c == '<') {
            HtmlCommentByte(t, c);
            t->state = HtmlStateCommentLessThan;
        } else if (c == '-') {
            t->state = HtmlStateCommentEndDash;
        } else if (c == HtmlEof) {
            CommentEndOfFile(t);
        } else {
            HtmlCommentByte(t, c);
        }
        return;
    case HtmlStateCommentLessThan:
        if (c == '!' || c == '<') {
            HtmlCommentByte(t, c);
            if (c == '!') t->state = HtmlStateCommentLessThanBang;
        } else {
            HtmlReconsume(t, HtmlStateComment);
        }
        return;
    case HtmlStateCommentLessThanBang:
        if (c == '-') t->state = HtmlStateCommentLessThanBangDash;
        else HtmlReconsume(t, HtmlStateComment);
        return;
    case HtmlStateCommentLessThanBangDash:
        if (c == '-') t->state = HtmlStateCommentLessThanBangDashDash;
        else HtmlReconsume(t, HtmlStateCommentEndDash);
        return;
    case HtmlStateCommentLessThanBangDashDash: HtmlReconsume(t, HtmlStateCommentEnd); return;
    case HtmlStateCommentStartDash:
    case HtmlStateCommentEndDash:
        if (c == '-') {
            t->state = HtmlStateCommentEnd;
        } else if (c == HtmlEof) {
            CommentEndOfFile(t);
        } else {
            HtmlCommentDeferred(t, "-", 1);
            HtmlReconsume(t, HtmlStateComment);
        }
        return;
    case HtmlStateCommentEnd:
        if (c == '!') {
            t->state = HtmlStateCommentEndBang;
        } else if (c == '-') {
            HtmlCommentDeferred(t, "-", 1);
            t->nameSpan.end = t->pos - 1;
        } else if (c == HtmlEof) {
            CommentEndOfFile(t);
        } else {
            HtmlCommentDeferred(t, "--", 2);
            HtmlReconsume(t, HtmlStateComment);
        }
        return;
    default: // comment end bang
        if (c == HtmlEof) {
            CommentEndOfFile(t);
            return;
        }
        HtmlCommentDeferred(t, "--!", 3);
        if (c == '-') t->state = HtmlStateCommentEndDash;
        else HtmlReconsume(t, HtmlStateComment);
        return;
    }
}
