#include "sound/channel_matrix.h"

#include <cstring>
#include <iterator>

namespace {

struct Entry {
    unsigned row;
    unsigned column;
    float value;
};

void place(ChannelMatrix* out, const Entry* entries, size_t count, float gain) {
    for (size_t k = 0; k < count; ++k)
        out->m[entries[k].row][entries[k].column] = entries[k].value * gain;
}

// Down- and up-mixes between the layouts the engine knows (8, 6, 2 and 1 channels). The mono
// weights are the stereo ones halved, computed in single precision.
bool placeKnownMix(ChannelMatrix* out, unsigned outputs, unsigned inputs, float gain) {
    const float half = 0.5f;
    if (outputs == 8 && inputs == 6) {
        const Entry e[] = {{0, 0, 1},    {1, 1, 1},    {2, 2, 1},    {3, 3, 1},
                           {4, 4, 0.4f}, {5, 5, 0.4f}, {6, 4, 0.6f}, {7, 5, 0.6f}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 8 && inputs == 2) {
        const Entry e[] = {{0, 0, 0.3f}, {1, 1, 0.3f}, {4, 0, 0.2f},
                           {5, 1, 0.2f}, {6, 0, 0.5f}, {7, 1, 0.5f}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 8 && inputs == 1) {
        const Entry e[] = {{0, 0, 0.3f},  {1, 0, 0.3f}, {2, 0, 0.25f}, {4, 0, 0.25f},
                           {5, 0, 0.25f}, {6, 0, 0.2f}, {7, 0, 0.2f}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 6 && inputs == 8) {
        const Entry e[] = {{0, 0, 0.75f}, {1, 1, 0.75f}, {4, 4, 0.75f}, {5, 5, 0.75f},
                           {0, 6, 0.25f}, {1, 7, 0.25f}, {4, 6, 0.25f}, {5, 7, 0.25f},
                           {2, 2, 1},     {3, 3, 1}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 6 && inputs == 2) {
        const Entry e[] = {{0, 0, 0.7f}, {1, 1, 0.7f}, {4, 0, 0.3f}, {5, 1, 0.3f}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 6 && inputs == 1) {
        const Entry e[] = {{0, 0, 0.4f}, {1, 0, 0.4f}, {2, 0, 0.4f}, {4, 0, 0.2f}, {5, 0, 0.2f}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 2 && inputs == 8) {
        const Entry e[] = {{0, 0, 0.3f}, {1, 1, 0.3f}, {0, 2, 0.1f}, {1, 2, 0.1f},
                           {0, 4, 0.1f}, {1, 5, 0.1f}, {0, 6, 0.5f}, {1, 7, 0.5f}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 2 && inputs == 6) {
        const Entry e[] = {{0, 0, 0.7f}, {1, 1, 0.7f}, {0, 2, 0.1f},
                           {1, 2, 0.1f}, {0, 4, 0.2f}, {1, 5, 0.2f}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 2 && inputs == 1) {
        const Entry e[] = {{0, 0, 1}, {1, 0, 1}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 1 && inputs == 8) {
        const Entry e[] = {{0, 0, 0.3f * half},  {0, 1, 0.3f * half},  {0, 2, 0.25f * half},
                           {0, 6, 0.25f * half}, {0, 7, 0.25f * half}, {0, 4, 0.2f * half},
                           {0, 5, 0.2f * half}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 1 && inputs == 6) {
        const Entry e[] = {{0, 0, 0.5f * half},
                           {0, 1, 0.5f * half},
                           {0, 2, 0.3f * half},
                           {0, 4, 0.2f * half},
                           {0, 5, 0.2f * half}};
        place(out, e, std::size(e), gain);
    } else if (outputs == 1 && inputs == 2) {
        const Entry e[] = {{0, 0, 0.5f}, {0, 1, 0.5f}};
        place(out, e, std::size(e), gain);
    } else {
        return false;
    }
    return true;
}

bool isKnownLayout(unsigned channels) {
    return channels == 8 || channels == 6 || channels == 2 || channels == 1;
}

} // namespace

void buildChannelMatrix(ChannelMatrix* out, unsigned outputs, unsigned inputs, float gain) {
    std::memset(out, 0, sizeof *out);
    if (outputs > 8) outputs = 8;
    if (outputs != inputs && placeKnownMix(out, outputs, inputs, gain)) return;
    // A known output layout fed by an input it has no table for stays silent; the same layout,
    // or an output layout without tables (3, 4, 5, 7 channels), goes straight through.
    if (outputs != inputs && isKnownLayout(outputs)) return;
    for (unsigned k = 0; k < outputs; ++k)
        out->m[k][k] = gain;
}
