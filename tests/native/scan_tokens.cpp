// The page tokenizer on the HTML standard's tokenizer tests: reads cases from
// standard input, each a line "INITIAL STATE<TAB>LAST START TAG<TAB>LENGTH"
// ("-" for no last start tag) and LENGTH bytes of input, and prints for each
// one line: its tokens as the tests write them (a JSON array, adjacent
// characters joined, duplicate attributes dropped, parse errors left out).
#include "authoring/scan/HtmlTokenizer.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <string>

static void Quote(std::string& out, const char* bytes, size_t length) {
    out += '"';
    for (size_t i = 0; i < length; i++) {
        unsigned char c = (unsigned char)bytes[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += (char)c;
        }
    }
    out += '"';
}

struct Tokens {
    std::string json;
    std::string characters; // adjacent character runs, joined
    size_t count;
};

static void Item(Tokens* tokens, const std::string& item) {
    if (tokens->count++) tokens->json += ',';
    tokens->json += item;
}

static void FlushCharacters(Tokens* tokens) {
    if (tokens->characters.empty()) return;
    std::string item = "[\"Character\",";
    Quote(item, tokens->characters.data(), tokens->characters.size());
    Item(tokens, item + "]");
    tokens->characters.clear();
}

static void Optional(std::string& out, bool has, const char* text, size_t length) {
    if (has) Quote(out, text, length);
    else out += "null";
}

static int Take(void* context, HtmlTokenizer*, const HtmlToken* token) {
    Tokens* tokens = (Tokens*)context;
    if (token->kind == HtmlTokenCharacters) {
        tokens->characters.append(token->text, token->textLength);
        return 1;
    }
    FlushCharacters(tokens);
    std::string item;
    switch (token->kind) {
    case HtmlTokenStartTag:
    case HtmlTokenEndTag:
        item = token->kind == HtmlTokenStartTag ? "[\"StartTag\"," : "[\"EndTag\",";
        Quote(item, token->text, token->textLength);
        if (token->kind == HtmlTokenStartTag) {
            item += ",{";
            bool first = true;
            for (size_t i = 0; i < token->attributeCount; i++) {
                const HtmlAttribute& a = token->attributes[i];
                if (a.duplicate) continue;
                if (!first) item += ',';
                first = false;
                Quote(item, a.name, a.nameLength);
                item += ':';
                Quote(item, a.value, a.valueLength);
            }
            item += '}';
            if (token->selfClosing) item += ",true";
        }
        break;
    case HtmlTokenComment:
        item = "[\"Comment\",";
        Quote(item, token->text, token->textLength);
        break;
    case HtmlTokenDoctype:
        item = "[\"DOCTYPE\",";
        Optional(item, token->hasName, token->text, token->textLength);
        item += ',';
        Optional(item, token->hasPublic, token->publicId, token->publicLength);
        item += ',';
        Optional(item, token->hasSystem, token->systemId, token->systemLength);
        item += token->forceQuirks ? ",false" : ",true";
        break;
    default: return 1; // the end of the input
    }
    Item(tokens, item + "]");
    return 1;
}

static bool StateNamed(const char* name, HtmlState* state) {
    for (int s = 0; s < HtmlStateCount; s++) {
        std::string full = std::string(HtmlStateName((HtmlState)s)) + " state";
        if (strcasecmp(full.c_str(), name) == 0) {
            *state = (HtmlState)s;
            return true;
        }
    }
    return false;
}

int main() {
    char header[512];
    while (fgets(header, sizeof header, stdin)) {
        char* tab1 = strchr(header, '\t');
        char* tab2 = tab1 ? strchr(tab1 + 1, '\t') : nullptr;
        if (!tab2) {
            fprintf(stderr, "scan_tokens: bad case header: %s", header);
            return 2;
        }
        *tab1 = *tab2 = 0;
        size_t length = strtoul(tab2 + 1, nullptr, 10);
        std::string input(length, '\0');
        if (length && fread(&input[0], 1, length, stdin) != length) {
            fprintf(stderr, "scan_tokens: input cut short\n");
            return 2;
        }
        HtmlState initial;
        if (!StateNamed(header, &initial)) {
            fprintf(stderr, "scan_tokens: no state named %s\n", header);
            return 2;
        }
        Tokens tokens{"[", "", 0};
        // Every byte is read in some state.
        std::string states(length, (char)HtmlStateCount);
        HtmlTokenizer tokenizer;
        HtmlTokenizerStart(&tokenizer, input.data(), input.size(), (unsigned char*)&states[0],
                           Take, &tokens);
        HtmlTokenizerSwitch(&tokenizer, initial);
        if (strcmp(tab1 + 1, "-") != 0)
            HtmlTokenizerAssumeStartTag(&tokenizer, tab1 + 1, strlen(tab1 + 1));
        int ran = HtmlTokenizerRun(&tokenizer);
        HtmlTokenizerFree(&tokenizer);
        if (!ran) {
            fprintf(stderr, "scan_tokens: the tokenizer stopped\n");
            return 1;
        }
        if (states.find((char)HtmlStateCount) != std::string::npos) {
            fprintf(stderr, "scan_tokens: a byte read in no state\n");
            return 1;
        }
        FlushCharacters(&tokens);
        printf("%s]\n", tokens.json.c_str());
    }
    return 0;
}
