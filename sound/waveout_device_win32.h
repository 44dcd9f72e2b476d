// The Windows waveOut output device for the audio engine.
#pragma once

#include "sound/output_device.h"

// The process's waveOut device, to pass to EngineSetOutputDevice before EngineOpen.
const OutputDevice* waveOutDevice();
