// Conversions between UTF-8 and UTF-16. Each result is a new NUL-terminated heap string, released
// with freeText, or null when the input is empty or invalid or memory runs out.
#pragma once

#include "platform/platform.h"

char16* utf8ToWide(const char* text);
char* wideToUtf8(const char16* text);
// Releases a result of the conversions; null is ignored.
void freeText(void* text);
