// Text in the process code page (command-line arguments) to UTF-16.
#pragma once

// A new heap string released with freeText, or null if empty or not convertible.
wchar_t* ansiToWide(const char* text);
