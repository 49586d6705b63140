// What the tree's rules know of each tag name.
#include "authoring/scan/HtmlTreeRules.h"

namespace {
struct TagName {
    const char* name;
    unsigned flags;
};

const unsigned S = TagSpecial, F = TagFormatting | TagBreakout, I = TagImplied,
               T = TagThorough | TagTablePart, X = TagScope, B = TagBreakout,
               P = TagClosesP | TagBlockEnd, E = TagBlockEnd, H = TagHeadRules, V = TagVoid,
               N = TagHeading | TagBreakout, M = TagModeRule;

// Sorted by name, for a binary search.
const TagName kNames[] = {
    {"a", TagFormatting}, {"address", S | P}, {"applet", S | X}, {"area", S | V}, {"article", S | P},
    {"aside", S | P}, {"b", F}, {"base", S | H}, {"basefont", S | H}, {"bgsound", S | H},
    {"big", F}, {"blockquote", S | P | B}, {"body", S | B | M}, {"br", S | V | B},
    {"button", S | E}, {"caption", S | X | T | M}, {"center", S | P | B}, {"code", F},
    {"col", S | TagTablePart}, {"colgroup", S | T | M}, {"dd", S | I | B}, {"details", S | P},
    {"dialog", P}, {"dir", S | P}, {"div", S | P | B}, {"dl", S | P | B}, {"dt", S | I | B},
    {"em", F}, {"embed", S | V | B}, {"fieldset", S | P}, {"figcaption", S | P},
    {"figure", S | P}, {"font", TagFormatting}, {"footer", S | P}, {"form", S},
    {"frame", S}, {"frameset", S | M}, {"h1", S | N}, {"h2", S | N}, {"h3", S | N},
    {"h4", S | N}, {"h5", S | N}, {"h6", S | N}, {"head", S | B | M}, {"header", S | P},
    {"hgroup", S | P}, {"hr", S | B}, {"html", S | X | M}, {"i", F}, {"iframe", S},
    {"img", S | V | B}, {"input", S}, {"keygen", S | V}, {"li", S | I | B}, {"link", S | H},
    {"listing", S | E | B}, {"main", S | P}, {"marquee", S | X}, {"menu", S | P | B},
    {"meta", S | H | B}, {"nav", S | P}, {"nobr", F}, {"noembed", S}, {"noframes", S | H},
    {"noscript", S}, {"object", S | X}, {"ol", S | P | B}, {"optgroup", I}, {"option", I},
    {"p", S | TagClosesP | I | B}, {"param", S}, {"plaintext", S}, {"pre", S | E | B},
    {"rb", I}, {"rp", I}, {"rt", I}, {"rtc", I}, {"ruby", B}, {"s", F}, {"script", S | H},
    {"section", S | P}, {"select", S | M}, {"small", F}, {"source", S}, {"span", B},
    {"strike", F}, {"strong", F}, {"style", S | H}, {"sub", B}, {"summary", S | P},
    {"sup", B}, {"table", S | X | B | M}, {"tbody", S | T | M}, {"td", S | X | T | M},
    {"template", S | X | H | M}, {"textarea", S}, {"tfoot", S | T | M},
    {"th", S | X | T | M}, {"thead", S | T | M}, {"title", S | H}, {"tr", S | T | M}, {"track", S},
    {"tt", F}, {"u", F}, {"ul", S | P | B}, {"var", B}, {"wbr", S | V}, {"xmp", S},
};

// SVG element names that are not all lower case.
const char* const kSvgNames[] = {
    "altGlyph", "altGlyphDef", "altGlyphItem", "animateColor", "animateMotion",
    "animateTransform", "clipPath", "feBlend", "feColorMatrix", "feComponentTransfer",
    "feComposite", "feConvolveMatrix", "feDiffuseLighting", "feDisplacementMap",
    "feDistantLight", "feDropShadow", "feFlood", "feFuncA", "feFuncB", "feFuncG", "feFuncR",
    "feGaussianBlur", "feImage", "feMerge", "feMergeNode", "feMorphology", "feOffset",
    "fePointLight", "feSpecularLighting", "feSpotLight", "feTile", "feTurbulence",
    "foreignObject", "glyphRef", "linearGradient", "radialGradient", "textPath",
};

int Compare(const char* name, size_t length, const char* word) {
    int order = strncmp(name, word, length);
    if (order) return order;
    return word[length] ? -1 : 0;
}
} // namespace

unsigned HtmlTagFlags(const char* name, size_t length, const char** known) {
    *known = nullptr;
    if (memchr(name, 0, length)) return 0;
    size_t low = 0, high = sizeof kNames / sizeof kNames[0];
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        int order = Compare(name, length, kNames[middle].name);
        if (order == 0) {
            *known = kNames[middle].name;
            return kNames[middle].flags;
        }
        if (order < 0) high = middle;
        else low = middle + 1;
    }
    return 0;
}

const char* HtmlSvgName(const char* name, size_t length) {
    for (const char* svg : kSvgNames) {
        if (strlen(svg) != length) continue;
        size_t i = 0;
        while (i < length && name[i] == (char)(svg[i] | 0x20)) i++; // letters only
        if (i == length) return svg;
    }
    return nullptr;
}

bool HtmlTokenHiddenInput(const TreeToken* t) {
    for (size_t i = 0; i < t->token->attributeCount; i++) {
        const HtmlAttribute& a = t->token->attributes[i];
        if (!a.duplicate && NameIs(a.name, a.nameLength, "type"))
            return HtmlLowerIs(a.value, a.valueLength, "hidden", 6);
    }
    return false;
}
