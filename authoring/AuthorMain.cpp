// lumivane-author: the authors' console tool. It writes, checks and builds a
// presentation's data folder with the presenter's own settings and page code.
#include "authoring/AuthorCheck.h"
#include "authoring/AuthorPack.h"
#include "authoring/AuthorPage.h"
#include "authoring/AuthorOutput.h"
#include "authoring/AuthorPresenter.h"
#include "authoring/AuthorSettings.h"
#include "authoring/InsertText.h"
#include "base/Heap.h"
#include "base/ObjectList.h"
#include "base/Texts.h"
#include "files/File.h"
#include <stdio.h>
#include <string.h>

static const char kUsage[] =
    "usage: lumivane-author COMMAND ...\n"
    "  pack PAGE DIR [--insert TEXT | --settings PLAIN] [--entities]\n"
    "                                 cuts one HTML page, with {{width}}, {{height}},\n"
    "                                 {{insert}}, {{insert}}, {{width}}, {{height}} where\n"
    "                                 the values go, into DIR/data so that the presenter\n"
    "                                 shows that page, and copies the presenter into DIR;\n"
    "                                 the settings get TEXT as the insert text (in the\n"
    "                                 page's encoding), or PLAIN's ten values, or stay\n"
    "  show DIR                       checks DIR, then shows it with the presenter until\n"
    "                                 Escape ends it\n"
    "  init DIR                       writes the sample presentation into DIR/data\n"
    "  encode [--entities] PLAIN SETTINGS\n"
    "                                 enciphers ten plain values, one a line, into the\n"
    "                                 settings file; --entities writes what the insert\n"
    "                                 text can't hold as HTML references (&#69;)\n"
    "  decode SETTINGS                shows the ten values of a settings file\n"
    "  check DIR                      reports every problem of DIR/data as file:line\n"
    "                                 (:column where the join of the lines changes the page)\n"
    "  build DIR --screen WxH [-o FILE]\n"
    "                                 writes the page the presenter writes on a screen\n"
    "                                 of W by H pixels, to FILE or standard output\n"
    "  --help                         shows this\n"
    "  --version                      shows the version of Lumivane it belongs to\n"
    "Exit codes: 0 done (check: nothing found), 1 a problem, 2 a usage error or a\n"
    "value the settings can't hold.\n";

static int UsageError(const char* what) {
    ErrPrint("lumivane-author: %s\n%s", what, kUsage);
    return 2;
}

// A whole number from 1 to 100000.
static bool SizeParse(const char* text, const char** end, int32_t* size) {
    int32_t value = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9'; p++) {
        value = value * 10 + (*p - '0');
        if (value > 100000) return false;
    }
    *end = p;
    *size = value;
    return p != text && value > 0;
}

static bool ScreenParse(const char* text, int32_t* width, int32_t* height) {
    const char* end = nullptr;
    if (!SizeParse(text, &end, width) || (*end != 'x' && *end != 'X')) return false;
    return SizeParse(end + 1, &end, height) && *end == 0;
}

static int CommandBuild(int count, char** words) {
    const char* folder = nullptr;
    const char* out = nullptr;
    int32_t width = 0, height = 0;
    for (int i = 0; i < count; i++) {
        if (strcmp(words[i], "--screen") == 0 || strcmp(words[i], "-o") == 0) {
            if (i + 1 >= count) return UsageError("build: a value must follow --screen and -o");
            if (words[i][1] == 'o') {
                out = words[++i];
            } else if (!ScreenParse(words[++i], &width, &height)) {
                return UsageError("build: --screen takes WIDTHxHEIGHT in pixels, 1 to 100000 "
                                  "each (1280x720)");
            }
        } else if (words[i][0] == '-' || folder) {
            return UsageError("build: takes one DIR, --screen WxH and -o FILE");
        } else {
            folder = words[i];
        }
    }
    if (!folder) return UsageError("build: no DIR");
    if (!width) return UsageError("build: no --screen WxH");
    return AuthorBuild(folder, width, height, out);
}

static int CommandPack(int count, char** words, wchar_t** wide) {
    PackOptions options = {};
    for (int i = 0; i < count; i++) {
        const char* word = words[i];
        if (strcmp(word, "--insert") == 0 || strcmp(word, "--settings") == 0) {
            if (i + 1 >= count) return UsageError("pack: a value must follow --insert and --settings");
            if (options.insert || options.settings)
                return UsageError("pack: takes --insert TEXT or --settings PLAIN, not both");
            i++;
            if (word[2] == 'i')
                options.insert = wide[i];
            else
                options.settings = words[i];
        } else if (strcmp(word, "--entities") == 0) {
            options.entities = true;
        } else if (word[0] == '-' && word[1]) {
            return UsageError("pack: takes PAGE, DIR, --insert TEXT or --settings PLAIN, --entities");
        } else if (!options.page) {
            options.page = word;
        } else if (!options.folder) {
            options.folder = word;
        } else {
            return UsageError("pack: takes one PAGE and one DIR");
        }
    }
    if (!options.folder) return UsageError("pack takes PAGE and DIR");
    return AuthorPack(options);
}

static int CommandRun(int count, char** words, wchar_t** wide) {
    const char* command = words[0];
    if (strcmp(command, "--help") == 0 || strcmp(command, "-h") == 0) {
        OutPrint("%s", kUsage);
        return 0;
    }
    if (strcmp(command, "--version") == 0) {
        OutPrint("lumivane-author %s\n", LUMIVANE_VERSION);
        return 0;
    }
    if (strcmp(command, "encode") == 0) {
        bool entities = count > 1 && strcmp(words[1], "--entities") == 0;
        int first = entities ? 2 : 1;
        for (int i = first; i < count; i++)
            if (words[i][0] == '-')
                return UsageError("encode: --entities is the only option, and comes first");
        if (count - first != 2) return UsageError("encode takes PLAIN and SETTINGS");
        return AuthorEncode(words[first], words[first + 1], entities);
    }
    if (strcmp(command, "decode") == 0) {
        if (count != 2) return UsageError("decode takes SETTINGS");
        return AuthorDecode(words[1]);
    }
    if (strcmp(command, "check") == 0) {
        if (count != 2) return UsageError("check takes DIR");
        return AuthorCheck(words[1]);
    }
    if (strcmp(command, "init") == 0) {
        if (count != 2) return UsageError("init takes DIR");
        return AuthorInit(words[1]);
    }
    if (strcmp(command, "show") == 0) {
        if (count != 2) return UsageError("show takes DIR");
        return AuthorShow(words[1]);
    }
    if (strcmp(command, "build") == 0) return CommandBuild(count - 1, words + 1);
    if (strcmp(command, "pack") == 0) return CommandPack(count - 1, words + 1, wide + 1);
    char message[256];
    snprintf(message, sizeof message, "no command \"%.64s\"", command);
    return UsageError(message);
}

// The command line is read in wide characters: the insert text keeps every
// character, and the other words (names of files and folders among them) go
// to the file calls in the ANSI code page, which must spell them exactly.
static int WordsSpell(int count, wchar_t** wide, char** words) {
    bool pack = count > 0 && wcscmp(wide[0], L"pack") == 0;
    for (int i = 0; i < count; i++) {
        size_t length = wcslen(wide[i]);
        size_t room = length * 4 + 1;
        words[i] = (char*)HeapAlloc(HeapMain(), 0, room);
        if (!words[i]) return 0;
        if (InsertCodePageSpells(CP_ACP, wide[i], words[i], room)) continue;
        // The insert text is the pack command's to write in the page's encoding.
        if (pack && i > 0 && wcscmp(wide[i - 1], L"--insert") == 0) continue;
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, words[i], (int)room, nullptr, nullptr);
        ErrPrint("lumivane-author: \"%s\": this system's code page (%u) can't spell all of its "
                 "characters, and the tool opens files and folders by that code page, as the "
                 "presenter does; give it a name of the code page's characters\n",
                 words[i], GetACP());
        return -1;
    }
    return 1;
}

int wmain(int argc, wchar_t** argv) {
    if (!HeapMainCreate() || !ObjectHeapCreate() || !FileLibraryInit() || !StringBaseInit()) {
        ErrPrint("lumivane-author: out of memory\n");
        return 1;
    }
    char** words = argc > 1 ? (char**)HeapAlloc(HeapMain(), HEAP_ZERO_MEMORY,
                                                (size_t)argc * sizeof(char*))
                            : nullptr;
    int spelled = words ? WordsSpell(argc - 1, argv + 1, words) : 1;
    int code = 2;
    if (argc > 1 && (!words || spelled == 0))
        ErrPrint("lumivane-author: out of memory\n"), code = 1;
    else if (spelled > 0)
        code = argc < 2 ? UsageError("no command") : CommandRun(argc - 1, words, argv + 1);
    FileCloseAll();
    return code;
}
