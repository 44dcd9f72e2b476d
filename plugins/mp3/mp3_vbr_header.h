// The information frame some encoders put first: a frame of silence whose side information is
// followed by a Xing/Info or VBRI record (its frame count) and, from LAME-style encoders,
// the encoder delay and padding in samples.
#pragma once

#include <cstdint>

#include "plugins/mp3/mp3_frame.h"

struct Mp3VbrHeader {
    uint32_t frames;  // audio frames after this one; 0 when not given
    bool encoderGaps; // delay and padding below are known
    uint32_t delay;   // samples the encoder put before the audio
    uint32_t padding; // samples it put after
};

// Reads the information record of the frame at `frame` (`header` describes it; `size` bytes
// are available, at most the frame). False when the frame is ordinary audio.
bool mp3ReadVbrHeader(const uint8_t* frame, uint32_t size, const Mp3FrameHeader& header,
                      Mp3VbrHeader* out);
