// Display names of the seven alarm symbols (ImageTable slots 45..51), for the alarm dialog.
#pragma once

#include "platform/platform.h"

constexpr int ALARM_SYMBOL_COUNT = 7;

// The name of alarm symbol `index` (0..6); null outside the range.
const char16* symbolName(int index);
