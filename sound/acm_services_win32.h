// Compressed-audio conversion through the Windows audio compression manager.
#pragma once

#include "sound/codec.h"

// The services to pass to EngineSetAcmServices at start-up.
const AcmServices* acmServices();
