#include "sound/channel_matrix.h"

#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

struct Entry {
    unsigned row;
    unsigned column;
    float value;
};

template <size_t N> void place(ChannelMatrix* out, const Entry (&entries)[N], float gain) {
    for (const Entry& e : entries)
        out->m[e.row][e.column] = e.value * gain;
}

// Down- and up-mixes between the layouts the engine knows (8, 6, 2 and 1 channels). The mono
// weights are the stereo ones halved, computed in single precision.
bool placeKnownMix(ChannelMatrix* out, unsigned outputs, unsigned inputs, float gain) {
    const float half = 0.5f;
    if (outputs == 8 && inputs == 6) {
        const Entry e[] = {{0, 0, 1},    {1, 1, 1},    {2, 2, 1},    {3, 3, 1},
                           {4, 4, 0.4f}, {5, 5, 0.4f}, {6, 4, 0.6f}, {7, 5, 0.6f}};
        place(out, e, gain);
    } else if (outputs == 8 && inputs == 2) {
        const Entry e[] = {{0, 0, 0.3f}, {1, 1, 0.3f}, {4, 0, 0.2f},
                           {5, 1, 0.2f}, {6, 0, 0.5f}, {7, 1, 0.5f}};
        place(out, e, gain);
    } else if (outputs == 8 && inputs == 1) {
        const Entry e[] = {{0, 0, 0.3f},  {1, 0, 0.3f}, {2, 0, 0.25f}, {4, 0, 0.25f},
                           {5, 0, 0.25f}, {6, 0, 0.2f}, {7, 0, 0.2f}};
        place(out, e, gain);
    } else if (outputs == 6 && inputs == 8) {
        const Entry e[] = {{0, 0, 0.75f}, {1, 1, 0.75f}, {4, 4, 0.75f}, {5, 5, 0.75f},
                           {0, 6, 0.25f}, {1, 7, 0.25f}, {4, 6, 0.25f}, {5, 7, 0.25f},
                           {2, 2, 1},     {3, 3, 1}};
        place(out, e, gain);
    } else if (outputs == 6 && inputs == 2) {
        const Entry e[] = {{0, 0, 0.7f}, {1, 1, 0.7f}, {4, 0, 0.3f}, {5, 1, 0.3f}};
        place(out, e, gain);
    } else if (outputs == 6 && inputs == 1) {
        const Entry e[] = {{0, 0, 0.4f}, {1, 0, 0.4f}, {2, 0, 0.4f}, {4, 0, 0.2f}, {5, 0, 0.2f}};
        place(out, e, gain);
    } else if (outputs == 2 && inputs == 8) {
        const Entry e[] = {{0, 0, 0.3f}, {1, 1, 0.3f}, {0, 2, 0.1f}, {1, 2, 0.1f},
                           {0, 4, 0.1f}, {1, 5, 0.1f}, {0, 6, 0.5f}, {1, 7, 0.5f}};
        place(out, e, gain);
    } else if (outputs == 2 && inputs == 6) {
        const Entry e[] = {{0, 0, 0.7f}, {1, 1, 0.7f}, {0, 2, 0.1f},
                           {1, 2, 0.1f}, {0, 4, 0.2f}, {1, 5, 0.2f}};
        place(out, e, gain);
    } else if (outputs == 2 && inputs == 1) {
        const Entry e[] = {{0, 0, 1}, {1, 0, 1}};
        place(out, e, gain);
    } else if (outputs == 1 && inputs == 8) {
        const Entry e[] = {{0, 0, 0.3f * half},  {0, 1, 0.3f * half},  {0, 2, 0.25f * half},
                           {0, 6, 0.25f * half}, {0, 7, 0.25f * half}, {0, 4, 0.2f * half},
                           {0, 5, 0.2f * half}};
        place(out, e, gain);
    } else if (outputs == 1 && inputs == 6) {
        const Entry e[] = {{0, 0, 0.5f * half},
                           {0, 1, 0.5f * half},
                           {0, 2, 0.3f * half},
                           {0, 4, 0.2f * half},
                           {0, 5, 0.2f * half}};
        place(out, e, gain);
    } else if (outputs == 1 && inputs == 2) {
        const Entry e[] = {{0, 0, 0.5f}, {0, 1, 0.5f}};
        place(out, e, gain);
    } else {
        return false;
    }
    return true;
}

bool isKnownLayout(unsigned channels) {
    return channels == 8 || channels == 6 || channels == 2 || channels == 1;
}

// Speaker positions, as bit numbers of a wave channel mask.
enum Speaker : uint8_t {
    FL,
    FR,
    FC,
    LFE,
    BL,
    BR,
    FLC,
    FRC,
    BC,
    SL,
    SR,
    TC,
    TFL,
    TFC,
    TFR,
    TBL,
    TBC,
    TBR,
    SPEAKER_COUNT
};
constexpr float HALF_POWER = 0.70710678f;

struct Share {
    uint8_t speaker;
    float weight; // 0: unused
};
// Where a speaker's signal goes when the output lacks it: the first group whose speakers the
// output all has. Overhead speakers first become the one below them.
struct Fold {
    uint8_t floor;
    Share groups[3][2];
};
const Fold FOLDS[SPEAKER_COUNT] = {
    {FL, {{{FC, 1}}}},
    {FR, {{{FC, 1}}}},
    {FC, {{{FL, HALF_POWER}, {FR, HALF_POWER}}}},
    {LFE, {}}, // bass alone is dropped where there is no channel for it
    {BL, {{{SL, 1}}, {{FL, 1}}}},
    {BR, {{{SR, 1}}, {{FR, 1}}}},
    {FLC, {{{FL, HALF_POWER}, {FC, HALF_POWER}}, {{FL, 1}}}},
    {FRC, {{{FR, HALF_POWER}, {FC, HALF_POWER}}, {{FR, 1}}}},
    {BC,
     {{{BL, HALF_POWER}, {BR, HALF_POWER}},
      {{SL, HALF_POWER}, {SR, HALF_POWER}},
      {{FL, HALF_POWER}, {FR, HALF_POWER}}}},
    {SL, {{{BL, 1}}, {{FL, 1}}}},
    {SR, {{{BR, 1}}, {{FR, 1}}}},
    {FC, {}},
    {FL, {}},
    {FC, {}},
    {FR, {}},
    {BL, {}},
    {BC, {}},
    {BR, {}},
};

bool hasSpeaker(uint32_t mask, unsigned speaker) {
    return (mask >> speaker) & 1u;
}
// The channel that carries `speaker` in a layout: the count of positions below it.
unsigned channelOf(uint32_t mask, unsigned speaker) {
    return static_cast<unsigned>(__builtin_popcount(mask & ((1u << speaker) - 1u)));
}

// Adds input channel `column` at `speaker` into the output layout `outputMask`.
void foldSpeaker(ChannelMatrix* out, uint32_t outputMask, unsigned speaker, unsigned column) {
    if (outputMask == channelLayoutMask(1)) {
        if (speaker != LFE) out->m[0][column] += 1.0f;
        return;
    }
    const Fold* fold = &FOLDS[speaker];
    if (fold->floor != speaker) fold = &FOLDS[fold->floor];
    unsigned at = fold->floor;
    if (hasSpeaker(outputMask, at)) {
        out->m[channelOf(outputMask, at)][column] += 1.0f;
        return;
    }
    for (const auto& group : fold->groups) {
        bool usable = group[0].weight != 0.0f;
        for (const Share& share : group)
            if (share.weight != 0.0f && !hasSpeaker(outputMask, share.speaker)) usable = false;
        if (!usable) continue;
        for (const Share& share : group)
            if (share.weight != 0.0f)
                out->m[channelOf(outputMask, share.speaker)][column] += share.weight;
        return;
    }
}

// Every input speaker folded into the output layout, scaled so that no output channel sums
// above 1 (a full-scale input on every channel does not clip), times `gain`.
void placeGeneralMix(ChannelMatrix* out, unsigned outputs, const uint8_t* speakers, unsigned inputs,
                     float gain) {
    uint32_t outputMask = channelLayoutMask(outputs);
    for (unsigned i = 0; i < inputs; ++i)
        foldSpeaker(out, outputMask, speakers[i], i);
    float largest = 1.0f;
    for (unsigned o = 0; o < outputs; ++o) {
        float sum = 0.0f;
        for (unsigned i = 0; i < inputs; ++i)
            sum += out->m[o][i];
        if (sum > largest) largest = sum;
    }
    for (unsigned o = 0; o < outputs; ++o)
        for (unsigned i = 0; i < inputs; ++i)
            out->m[o][i] *= gain / largest;
}

// The speakers of the first `count` positions of `mask`, lowest bit first; false when the mask
// names fewer.
bool speakersOf(uint32_t mask, unsigned count, uint8_t* speakers) {
    unsigned found = 0;
    for (unsigned bit = 0; bit < SPEAKER_COUNT && found < count; ++bit)
        if (hasSpeaker(mask, bit)) speakers[found++] = static_cast<uint8_t>(bit);
    return found == count;
}

} // namespace

uint32_t channelLayoutMask(unsigned channels) {
    // Mono is the centre; 3 to 8 are the device layouts of the same count.
    static const uint32_t MASKS[] = {0, 0x4, 0x3, 0x0B, 0x33, 0x37, 0x3F, 0x637, 0x63F};
    return channels < std::size(MASKS) ? MASKS[channels] : 0;
}

void buildChannelMatrix(ChannelMatrix* out, unsigned outputs, unsigned inputs, float gain) {
    std::memset(out, 0, sizeof *out);
    if (outputs > 8) outputs = 8;
    if (inputs > 8) inputs = 8;
    if (outputs != inputs && placeKnownMix(out, outputs, inputs, gain)) return;
    // A known output layout fed by an input it has no table for folds the input's speakers into
    // its own; the same layout, or an output layout without tables (3, 4, 5, 7 channels), goes
    // straight through.
    if (outputs != inputs && isKnownLayout(outputs) && inputs != 0) {
        uint8_t speakers[8];
        speakersOf(channelLayoutMask(inputs), inputs, speakers);
        placeGeneralMix(out, outputs, speakers, inputs, gain);
        return;
    }
    for (unsigned k = 0; k < outputs; ++k)
        out->m[k][k] = gain;
}

void buildChannelMatrixForMask(ChannelMatrix* out, unsigned outputs, unsigned inputs,
                               uint32_t inputMask, float gain) {
    uint8_t speakers[8];
    if (outputs > 8) outputs = 8;
    if (inputs == 0 || inputs > 8 || inputMask == channelLayoutMask(inputs) ||
        !speakersOf(inputMask, inputs, speakers)) {
        buildChannelMatrix(out, outputs, inputs, gain);
        return;
    }
    std::memset(out, 0, sizeof *out);
    placeGeneralMix(out, outputs, speakers, inputs, gain);
}
