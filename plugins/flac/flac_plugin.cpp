// The FLAC plug-in: FlacX64.dll or FlacX86.dll.
#include "plugins/common/decoder_plugin.h"
#include "plugins/flac/flac_decoder.h"

const DecoderPluginTexts PLUGIN_TEXTS = {
    "FLAC",
    "FLAC \xe3\x83\x87\xe3\x82\xb3\xe3\x83\xbc\xe3\x83\x80", // "FLAC デコーダ"
    L"*.flac",
};

PcmDecoder* openPluginDecoder(const ByteSource& source) {
    return openFlacDecoder(source);
}
