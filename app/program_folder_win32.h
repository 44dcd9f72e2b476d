// The program's own folder, where Setting.xml, Alarm.xml and the plug-in folder live. It comes
// from the program file's name as the system knows it, not from the command line, so that a
// relative start, a name outside the ANSI code page and a path of any length all give the folder
// the program really lies in.
#pragma once

// Full path of the folder the program file lies in; a new heap string released with freeText,
// or null when it cannot be determined.
wchar_t* programFolder();
// Makes `folder` the working directory. A folder too long for the program's file paths is
// entered by its short name. Returns the folder as entered (a new heap string released with
// freeText), or null, with the working directory unchanged, when it cannot be entered.
wchar_t* enterFolder(const wchar_t* folder);
