// The presenter that comes with the tool, and where it shows a presentation.
//   PresenterBesideTool  the path of lumivane.exe beside lumivane-author.exe into
//                        `path` (MAX_PATH bytes); 0 when none stands there
//   AuthorShow           the show command: check on the folder, then the presenter
//                        run there until it ends; the exit code
#pragma once

int PresenterBesideTool(char* path);
int AuthorShow(const char* folder);
