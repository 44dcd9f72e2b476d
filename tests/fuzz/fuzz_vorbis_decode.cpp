// Fuzzes the Ogg Vorbis plug-in's core: any bytes are refused or decode within bounds.
#include "plugins/vorbis/vorbis_decoder.h"
#include "tests/fuzz/decoder_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkDecoder(openVorbisDecoder, data, size);
    return 0;
}
