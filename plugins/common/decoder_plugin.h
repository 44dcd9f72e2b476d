// The exports of a plug-in that decodes to PCM itself, shared by the decoding plug-ins. Each
// plug-in supplies its information texts and the function that opens its kind of file.
#pragma once

#include <cstdint>

#include "plugins/common/pcm_decoder.h"
#include "plugins/common/plugin_info.h"

// Opens the file for decoding, or refuses it with null: not this format, or a file whose
// format, size or end is not sound enough to play.
PcmDecoder* openPluginDecoder(const ByteSource& source);
