// The channel tables: each layout pair's weights, the halved mono weights, and the fallbacks.
#include <gtest/gtest.h>

#include <cstring>

#include "sound/channel_matrix.h"

namespace {

struct Weight {
    unsigned outputs, inputs, row, column;
    float value;
};

TEST(ChannelMatrixTest, TableWeightsTimesGain) {
    const Weight weights[] = {
        {8, 6, 3, 3, 1.0f},        {8, 6, 5, 5, 0.4f},         {8, 6, 6, 4, 0.6f},
        {8, 2, 1, 1, 0.3f},        {8, 2, 4, 0, 0.2f},         {8, 2, 7, 1, 0.5f},
        {8, 1, 2, 0, 0.25f},       {8, 1, 7, 0, 0.2f},         {6, 8, 4, 4, 0.75f},
        {6, 8, 5, 7, 0.25f},       {6, 8, 3, 3, 1.0f},         {6, 2, 0, 0, 0.7f},
        {6, 2, 5, 1, 0.3f},        {6, 1, 2, 0, 0.4f},         {6, 1, 4, 0, 0.2f},
        {2, 8, 1, 2, 0.1f},        {2, 8, 0, 4, 0.1f},         {2, 8, 1, 7, 0.5f},
        {2, 6, 1, 2, 0.1f},        {2, 6, 1, 5, 0.2f},         {2, 1, 1, 0, 1.0f},
        {1, 8, 0, 1, 0.3f * 0.5f}, {1, 8, 0, 7, 0.25f * 0.5f}, {1, 8, 0, 5, 0.2f * 0.5f},
        {1, 6, 0, 0, 0.25f},       {1, 6, 0, 2, 0.3f * 0.5f},  {1, 6, 0, 4, 0.2f * 0.5f},
        {1, 2, 0, 1, 0.5f},
    };
    for (const Weight& w : weights) {
        ChannelMatrix m;
        buildChannelMatrix(&m, w.outputs, w.inputs, 2.0f);
        EXPECT_EQ(w.value * 2.0f, m.m[w.row][w.column])
            << w.outputs << " from " << w.inputs << " at " << w.row << "," << w.column;
    }
}

float total(const ChannelMatrix& m) {
    float sum = 0.0f;
    for (const auto& row : m.m)
        for (float v : row)
            sum += v;
    return sum;
}

TEST(ChannelMatrixTest, NothingBeyondTheTable) {
    // Sums of each row set: any stray entry changes them.
    const struct {
        unsigned outputs, inputs;
        float sum;
    } sums[] = {{8, 6, 6.0f}, {8, 2, 2.0f},   {8, 1, 1.75f}, {6, 8, 6.0f},
                {6, 2, 2.0f}, {6, 1, 1.6f},   {2, 8, 2.0f},  {2, 6, 2.0f},
                {2, 1, 2.0f}, {1, 8, 0.875f}, {1, 6, 0.85f}, {1, 2, 1.0f}};
    for (const auto& s : sums) {
        ChannelMatrix m;
        buildChannelMatrix(&m, s.outputs, s.inputs, 1.0f);
        EXPECT_NEAR(s.sum, total(m), 1e-5f) << s.outputs << " from " << s.inputs;
    }
}

TEST(ChannelMatrixTest, SameLayoutStraightUnknownOutputsDiagonal) {
    ChannelMatrix m;
    buildChannelMatrix(&m, 5, 5, 0.5f);
    EXPECT_EQ(0.5f, m.m[4][4]);
    EXPECT_FLOAT_EQ(2.5f, total(m));
    buildChannelMatrix(&m, 4, 2, 1.0f); // output without tables: channel by channel
    EXPECT_EQ(1.0f, m.m[3][3]);
    EXPECT_EQ(4.0f, total(m));
    buildChannelMatrix(&m, 7, 8, 1.0f);
    EXPECT_EQ(7.0f, total(m));
}

// Inputs without a table of their own fold into every known output: each input speaker but
// the bass is heard, and no output sums above full scale.
TEST(ChannelMatrixTest, LayoutsWithoutATableAreHeardUnclipped) {
    const unsigned outputs[] = {1, 2, 6, 8};
    for (unsigned o : outputs) {
        for (unsigned i : {3u, 4u, 5u, 7u}) {
            ChannelMatrix m;
            buildChannelMatrix(&m, o, i, 1.0f);
            uint32_t mask = channelLayoutMask(i);
            for (unsigned column = 0, bit = 0; column < i; ++bit) {
                if (!((mask >> bit) & 1)) continue;
                float heard = 0.0f;
                for (unsigned row = 0; row < o; ++row)
                    heard += m.m[row][column];
                if (bit != 3) {
                    EXPECT_GT(heard, 0.1f) << o << " from " << i << " input " << column;
                }
                ++column;
            }
            for (unsigned row = 0; row < o; ++row) {
                float sum = 0.0f;
                for (unsigned column = 0; column < i; ++column)
                    sum += m.m[row][column];
                EXPECT_LE(sum, 1.0f + 1e-6f) << o << " from " << i << " row " << row;
            }
        }
    }
    ChannelMatrix quad;
    buildChannelMatrix(&quad, 2, 4, 1.0f); // FL FR BL BR: each side gets its own half
    EXPECT_FLOAT_EQ(0.5f, quad.m[0][0]);
    EXPECT_FLOAT_EQ(0.5f, quad.m[0][2]);
    EXPECT_FLOAT_EQ(0.5f, quad.m[1][3]);
    EXPECT_EQ(0.0f, quad.m[0][1] + quad.m[0][3]);
}

TEST(ChannelMatrixTest, FileMaskPlacesTheSpeakers) {
    ChannelMatrix m;
    // Centre and bass in a stereo file: the centre goes to both sides, the bass is dropped.
    buildChannelMatrixForMask(&m, 2, 2, 0x0C, 1.0f);
    EXPECT_NEAR(0.7071f, m.m[0][0], 1e-4f);
    EXPECT_NEAR(0.7071f, m.m[1][0], 1e-4f);
    EXPECT_EQ(0.0f, m.m[0][1] + m.m[1][1]);
    // Side speakers of a 5.1 file land on the back channels of a 5.1 ring.
    buildChannelMatrixForMask(&m, 6, 6, 0x60F, 1.0f);
    EXPECT_EQ(1.0f, m.m[4][4]);
    EXPECT_EQ(1.0f, m.m[5][5]);
    EXPECT_EQ(6.0f, total(m));
    // The layout's own mask, none, or one naming too few speakers: the plain matrix.
    ChannelMatrix plain;
    buildChannelMatrix(&plain, 2, 6, 1.0f);
    for (uint32_t mask : {0x3Fu, 0u, 0x3u}) {
        buildChannelMatrixForMask(&m, 2, 6, mask, 1.0f);
        EXPECT_EQ(0, std::memcmp(&m, &plain, sizeof m)) << mask;
    }
}

} // namespace
