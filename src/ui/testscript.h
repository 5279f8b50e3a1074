#pragma once
// A test hook of the real program: when the environment variable FIELDINPUT_TEST_SCRIPT names
// a file, its commands are run one by one in the event loop, so that a test can drive the
// program it started (and then kill it, or read what it wrote). One command per line (UTF-8;
// empty lines and lines starting with # are skipped):
//   field NAME TEXT       sets a station field's text (ES EP EW EX EY EO EI EAB), as typing does
//   cell COL ROW TEXT     sets a grid cell's text (the grid's numbering), as typing does
//   commit                the 插入数据 command
//   flush                 writes the recovery file now and waits for it
//   answer TEXT           waits (up to 20 s) for a modal message box and clicks its button TEXT
//                         (compared without "&", ignoring case), or a standard button by
//                         its name in any language (Yes, No, Ok, Cancel ...)
//   no-modal              nothing: fails, as every command but answer does, when a modal
//                         window is open (a message nobody expected)
//   dump PATH             writes what the survey and the window hold to PATH
//   print TEXT            writes TEXT and a line end to the standard output
//   quit                  closes the window as its close box does
// A command that fails writes "script: line N: reason" to the standard error and ends the
// program at once with exit status 3.

class Autosave;
class QString;
class TInputDataForm;

void StartTestScript(TInputDataForm& form, Autosave* autosave, const QString& path);
