// The built-in RIFF/WAVE codec: describes the data chunk so that the engine reads and decodes the
// samples itself; loop regions come from "cue " or "smpl" chunks. It takes the sample kinds the
// engine decodes (integer PCM of 8 to 32 bits, 32- and 64-bit float, A-law, µ-law, plain or in
// the extensible format with its channel mask) and leaves every other file to the plug-ins.
#pragma once

#include <cstdint>

struct CodecContext;

// The probe to register first with EngineRegisterCodec (context null).
int32_t waveCodecProbe(CodecContext* context, uint32_t reserved);
// Seek hook: exact to the frame.
int32_t waveCodecSeek(CodecContext* context, uint64_t* frame, uint64_t* byte);
