// Channel matrices: how I input channels spread over O output channels, with a gain. Channel
// order is that of the device channel masks (FL, FR, C, LFE, BL, BR, SL, SR).
#pragma once

#include <cstdint>

struct ChannelMatrix {
    float m[8][8]; // row = output channel, column = input channel
};

// The speakers of an engine layout of `channels` channels (1 to 8) as a wave channel mask.
uint32_t channelLayoutMask(unsigned channels);
// Builds the matrix for O outputs from I inputs (both 1 to 8) scaled by `gain`.
void buildChannelMatrix(ChannelMatrix* out, unsigned outputs, unsigned inputs, float gain);
// The same for inputs whose speakers a file names in `inputMask` (its first I positions); a
// mask of 0, the layout's own or one naming fewer speakers than inputs gives the plain matrix.
void buildChannelMatrixForMask(ChannelMatrix* out, unsigned outputs, unsigned inputs,
                               uint32_t inputMask, float gain);
// y[o] = sum over i < inputs of m[o][i] * x[i], for o < outputs.
inline void applyChannelMatrix(const ChannelMatrix* matrix, unsigned outputs, unsigned inputs,
                               const float* x, float* y) {
    for (unsigned o = 0; o < outputs; ++o) {
        float sum = 0.0f;
        for (unsigned i = 0; i < inputs; ++i)
            sum += matrix->m[o][i] * x[i];
        y[o] = sum;
    }
}
