#include "alarm/symbol_names.h"

namespace {

// In the order of the symbol pictures: bell, sun, moon, star, heart, note, cherry blossom.
const char16* const Names[ALARM_SYMBOL_COUNT] = {
    U16("ベル"),   U16("おひさま"), U16("おつきさま"), U16("おほしさま"),
    U16("ハート"), U16("おんぷ"),   U16("さくら"),
};

} // namespace

const char16* symbolName(int index) {
    if (index < 0 || index >= ALARM_SYMBOL_COUNT) return nullptr;
    return Names[index];
}
