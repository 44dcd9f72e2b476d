// The Ogg Vorbis plug-in: OggVorbisX64.dll or OggVorbisX86.dll.
#include "plugins/common/decoder_plugin.h"
#include "plugins/vorbis/vorbis_decoder.h"

const DecoderPluginTexts PLUGIN_TEXTS = {
    "OggVorbis",
    "Ogg Vorbis \xe3\x83\x87\xe3\x82\xb3\xe3\x83\xbc\xe3\x83\x80", // "Ogg Vorbis デコーダ"
    L"*.ogg",
};

PcmDecoder* openPluginDecoder(const ByteSource& source) {
    return openVorbisDecoder(source);
}
