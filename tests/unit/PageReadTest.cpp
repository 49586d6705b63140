// Where a byte of a page stands, as the page reader tells it: the elements open
// at the token that holds the "|" and the state that reads it, on pages with
// SVG and MathML, their integration points, the tags that leave them, raw
// text, templates, selects and misnested tags; and the page's first <base href>.
#include "authoring/scan/HtmlRead.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

struct Probe {
    size_t at;
    std::string stack; // "html body svg:svg svg:desc b"
    std::string base;
};

static int Take(void* context, const HtmlTree* tree, const HtmlToken* token) {
    Probe* probe = (Probe*)context;
    if (token->kind == HtmlTokenEndOfFile && tree->base)
        probe->base = HtmlElementAttribute(tree->base, "href", nullptr);
    if (token->span.start > probe->at || token->span.end <= probe->at) return 1;
    for (size_t i = 0; i < tree->depth; i++) {
        const HtmlElement* e = tree->open[i];
        static const char* const prefixes[] = {"", "svg:", "math:"};
        probe->stack += std::string(i ? " " : "") + prefixes[e->ns] + e->name;
    }
    return 1;
}

TEST(PageRead, OpenElementsAndStateWhereAByteStands) {
    struct Row {
        const char* page;
        const char* stack;
        HtmlState state;
    } rows[] = {
        {"<svg><desc><b>|</b></desc></svg>", "html body svg:svg svg:desc b", HtmlStateData},
        {"<svg><title>|</title></svg>", "html body svg:svg svg:title", HtmlStateData},
        {"<svg><script>|</script>", "html body svg:svg svg:script", HtmlStateData},
        {"<svg><p>|", "html body p", HtmlStateData},
        {"<svg><font color=red>|", "html body font", HtmlStateData},
        {"<svg><font>|", "html body svg:svg svg:font", HtmlStateData},
        {"<svg></p>|", "html body", HtmlStateData},
        {"<svg><foreignObject></svg>|", "html body", HtmlStateData},
        {"<p><svg><desc><p>x</desc>|", "html body p svg:svg svg:desc p", HtmlStateData},
        {"<math><mi><textarea>|</textarea>", "html body math:math math:mi textarea", HtmlStateRcdata},
        {"<math><mi><mglyph>|", "html body math:math math:mi math:mglyph", HtmlStateData},
        {"<math><annotation-xml encoding=\"Text/HTML\"><style>|</style>",
         "html body math:math math:annotation-xml style", HtmlStateRawtext},
        {"<math><annotation-xml><style>|</style>",
         "html body math:math math:annotation-xml math:style", HtmlStateData},
        {"<svg><![CDATA[|]]></svg>", "html body svg:svg", HtmlStateCdataSection},
        {"<math><mi><svg><![CDATA[|]]>", "html body math:math math:mi svg:svg",
         HtmlStateCdataSection},
        {"<div><![CDATA[|]]>", "html body div", HtmlStateBogusComment},
        {"<table><svg><td>|", "html body table svg:svg svg:td", HtmlStateData},
        {"<table><tr><td><svg><g></table>|", "html body", HtmlStateData},
        {"<template><tr><td>|</td></tr></template>", "html head template tr td", HtmlStateData},
        {"<select><style>|</style></select>", "html body select", HtmlStateData},
        {"<select><textarea>|</textarea>", "html body textarea", HtmlStateRcdata},
        {"<frameset><noframes>|</noframes>", "html frameset noframes", HtmlStateRawtext},
        {"<body><noframes>|", "html body noframes", HtmlStateRawtext},
        {"<p><xmp>|", "html body xmp", HtmlStateRawtext},
        {"<body><noscript>|", "html body noscript", HtmlStateRawtext},
        {"<title>|", "html head title", HtmlStateRcdata},
        {"<p><plaintext>|", "html body plaintext", HtmlStatePlaintext},
        {"<p><b>x</p>|", "html body b", HtmlStateData},
        {"<b><div>x</b>|", "html body div", HtmlStateData},
        {"<pre>|</pre>", "html body pre", HtmlStateData},
    };
    for (const Row& row : rows) {
        std::string page = row.page;
        Probe probe{page.find('|'), "", ""};
        std::vector<unsigned char> states(page.size());
        ASSERT_TRUE(HtmlRead(page.data(), page.size(), states.data(), Take, &probe)) << page;
        EXPECT_EQ(row.stack, probe.stack) << page;
        EXPECT_STREQ(HtmlStateName(row.state), HtmlStateName((HtmlState)states[probe.at])) << page;
    }
    // The first <base href> counts, but not one in a template's content.
    std::string page = "<template><base href=t/></template><base><base href=a/><base href=b/>|";
    Probe probe{page.find('|'), "", ""};
    ASSERT_TRUE(HtmlRead(page.data(), page.size(), nullptr, Take, &probe));
    EXPECT_EQ("a/", probe.base);
}
