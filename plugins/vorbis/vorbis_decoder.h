// The Ogg Vorbis plug-in's core: the whole file is read into memory and decoded there, which
// gives the exact length from the last page and sample-exact seeking.
#pragma once

#include "plugins/common/pcm_decoder.h"

// Files above this size are refused rather than held in memory.
constexpr uint64_t VORBIS_MAX_FILE_BYTES = 256ull << 20;

// Opens an Ogg Vorbis file, or returns null when it is none or cannot be played.
PcmDecoder* openVorbisDecoder(const ByteSource& source);
