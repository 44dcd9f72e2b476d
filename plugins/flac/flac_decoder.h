// The FLAC plug-in's core over libFLAC: the file is read through the host's stream services as
// libFLAC asks for it. Tags in front of the stream and metadata blocks are passed over.
#pragma once

#include "plugins/common/pcm_decoder.h"

// Opens a FLAC file, or returns null when it is none or cannot be played to its end.
PcmDecoder* openFlacDecoder(const ByteSource& source);
