#include "watch/character_names.h"
#include "watch/character_table.h"

#include <gtest/gtest.h>

namespace {

TEST(CharacterNames, EveryMenuEntryHasAName) {
    for (int i = 0; i < CHARACTER_COUNT; ++i) {
        const char16* name = characterName(i);
        ASSERT_NE(name, nullptr) << i;
        EXPECT_GT(text16Length(name), 0u) << i;
    }
    EXPECT_EQ(characterName(0)[0], U16("な")[0]);
    EXPECT_EQ(characterName(-1), nullptr);
    EXPECT_EQ(characterName(CHARACTER_COUNT), nullptr);
}

TEST(CharacterNames, NamesAreDistinct) {
    for (int i = 0; i < CHARACTER_COUNT; ++i) {
        for (int j = i + 1; j < CHARACTER_COUNT; ++j) {
            const char16* a = characterName(i);
            const char16* b = characterName(j);
            size_t n = text16Length(a);
            bool same = n == text16Length(b);
            for (size_t k = 0; same && k < n; ++k)
                same = a[k] == b[k];
            EXPECT_FALSE(same) << i << " and " << j;
        }
    }
}

} // namespace
