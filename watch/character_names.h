// Display names of the character entries of the context menu, in menu order (entry i selects
// row i of the CharacterTable).
#pragma once

#include "platform/platform.h"

// The name of character entry `index` (0..29); entry 0 is the bare panel. Null outside the
// range.
const char16* characterName(int index);
