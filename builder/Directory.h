// The program's own folder, for the page URL.
//   ProgramDirectory  the executable's folder with its trailing backslash; "" when
//                     the system can't say
#pragma once

const char* ProgramDirectory();
