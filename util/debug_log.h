// One formatted line to the debugger output.
#pragma once

#ifdef __GNUC__
#define VESK_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define VESK_PRINTF_FORMAT(f, a)
#endif

// Formats with the C printf rules and sends the text to the debugger output.
void debugLog(const char* format, ...) VESK_PRINTF_FORMAT(1, 2);
