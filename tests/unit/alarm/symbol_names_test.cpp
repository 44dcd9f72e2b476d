#include "alarm/symbol_names.h"

#include <gtest/gtest.h>

namespace {

TEST(SymbolNames, EverySymbolHasAName) {
    for (int i = 0; i < ALARM_SYMBOL_COUNT; ++i) {
        ASSERT_NE(symbolName(i), nullptr) << i;
        EXPECT_GT(text16Length(symbolName(i)), 0u) << i;
    }
    EXPECT_EQ(symbolName(-1), nullptr);
    EXPECT_EQ(symbolName(ALARM_SYMBOL_COUNT), nullptr);
}

} // namespace
