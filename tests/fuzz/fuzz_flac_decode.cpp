// Fuzzes the FLAC plug-in's core: any bytes are refused or decode within bounds.
#include "plugins/flac/flac_decoder.h"
#include "tests/fuzz/decoder_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkDecoder(openFlacDecoder, data, size);
    return 0;
}
