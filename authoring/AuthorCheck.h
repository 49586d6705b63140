// The check of a presentation folder: its data folder read as the presenter
// reads it, every problem reported as "file:line: message".
//   AuthorCheck          the command; 0 when it found nothing, 1 otherwise
//   CheckReport          one problem as "DIR/file:line[:column]: message" (no column
//                        when it is 0)
#pragma once
#include <stddef.h>
#include <stdint.h>

int AuthorCheck(const char* folder);
void CheckReport(const char* name, int32_t line, size_t column, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
