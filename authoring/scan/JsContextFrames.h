// The frames of the script's reading and what the last token leaves open,
// shared by the context's units.
//   JsTop          the innermost frame (FrameUnknown past those kept)
//   JsPush, JsPop  a frame opened, closed (the base frame stays)
//   JsInFunction   whether the innermost function is a generator (FlagGen) or
//                  async (FlagAsync)
//   JsKeyToken     reads a token that stands where an object or class member's
//                  key goes, or just after it; false if it is not there
//   JsPunctToken   reads a punctuator; returns what an arrow's body would be
#pragma once
#include "authoring/scan/JsLexInternal.h"

enum JsFrameKind {
    FrameTop,       // the script
    FrameBlock,     // a block or a switch's cases: statements
    FrameBody,      // a function body whose } ends a statement or a member
    FrameBodyExpr,  // a function body in an expression: its } ends a value
    FrameArrowBody, // an arrow function's body
    FrameObject,    // an object literal or pattern
    FrameClass,     // a class body in a declaration
    FrameClassExpr, // a class body in an expression
    FrameTemplate,  // a template literal's ${ }
    FrameParen,     // a call's arguments, or a parenthesized expression
    FrameHead,      // the ( ) of if, for, while, with, switch, catch
    FrameParams,    // a function's parameters
    FrameDoWhile,   // the ( ) of a do statement's while
    FrameArray,     // an array literal or pattern
    FrameMember,    // a [ ] after a value
    FrameKey,       // a computed key
    FrameUnknown,   // nested deeper than the frames kept
};

// Frame flags, by the kinds that use them.
enum {
    // bodies and parameters
    FlagGen = 1, FlagAsync = 2, FlagMember = 4, FlagExpr = 8,
    // heads
    FlagFor = 1, FlagSemi = 2, FlagBlockNext = 4, FlagCatch = 8,
    // objects and classes: where the member's key stands
    FlagKey = 1, FlagAfterKey = 2, FlagGetSet = 4, FlagModGen = 8, FlagModAsync = 16, FlagModifier = 32,
    // a call: async(
    FlagAsyncCall = 64,
};
// JsFrame::misc: a class whose body is to come in this frame, do statements open.
enum { MiscClassDecl = 1, MiscClassExpr = 2, MiscClass = 3, MiscDoOne = 4, MiscDo = 12 };
// pendFunc: a function keyword read, its parameters to come (with FlagGen, FlagAsync, FlagExpr).
enum { PendFunction = 16 };
// pendArrow
enum { PendArrow = 1, PendArrowAsync = 2 };

enum JsAfter {
    AfterStart,      // a statement may start
    AfterOperator,   // an expression goes on
    AfterValue,      // an expression may end here: a / divides
    AfterDot,        // . or ?.: a property name follows
    AfterRestricted, // return, break, continue, throw, debugger
    AfterYield,      // yield in a generator
    AfterArrowBody,  // the } of an arrow function's body
    AfterHead,       // the ) of if, for, while, with: a statement follows
    AfterBlockHead,  // the ) of switch, catch or parameters: a block follows
    AfterMember,     // the } of a method's body
    AfterModifier,   // get, set, static, async or * before a key
};

JsFrame* JsTop(JsLex* x);
void JsPush(JsLex* x, int kind, int flags);
JsFrame JsPop(JsLex* x);
bool JsInFunction(JsLex* x, int flag);
bool JsKeyToken(JsLex* x, JsToken* t, JsFrame* f);
unsigned char JsPunctToken(JsLex* x, JsToken* t, JsFrame* f, bool start);
