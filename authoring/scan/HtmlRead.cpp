#include "authoring/scan/HtmlRead.h"
#include <string.h>

struct Reading {
    HtmlTree tree;
    HtmlReadTake take;
    void* context;
};

static int Take(void* context, HtmlTokenizer* tokenizer, const HtmlToken* token) {
    Reading* reading = (Reading*)context;
    if (!HtmlTreeTake(&reading->tree, tokenizer, token)) return 0;
    return reading->take(reading->context, &reading->tree, token);
}

int HtmlRead(const char* bytes, size_t length, unsigned char* states, HtmlReadTake take,
             void* context) {
    Reading reading;
    HtmlTreeStart(&reading.tree);
    reading.take = take;
    reading.context = context;
    HtmlTokenizer tokenizer;
    HtmlTokenizerStart(&tokenizer, bytes, length, states, Take, &reading);
    if (length >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) {
        tokenizer.pos = tokenizer.stretchStart = 3;
        if (states) memset(states, HtmlStateData, 3);
    }
    int read = HtmlTokenizerRun(&tokenizer);
    HtmlTokenizerFree(&tokenizer);
    HtmlTreeFree(&reading.tree);
    return read;
}
