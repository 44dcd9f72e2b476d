// The ImageTable: every picture of the program by slot number, filled once at start-up from
// the program's resources and read-only afterwards. Slots 0-51 are the BITMAP resources used in
// place, slots 52-77 the character PNGs decoded into 32-bit pictures. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>

struct BitmapInfoHeader;

constexpr int IMAGE_TABLE_SLOTS = 78;
constexpr int IMAGE_BITMAP_SLOTS = 52;
constexpr int IMAGE_CHARACTER_COUNT = 26;

// Slot numbers the drawing code names pictures by.
constexpr int SLOT_WATCH_PANEL = 0;
constexpr int SLOT_PLAYER_PANEL = 1;
constexpr int SLOT_SMALL_DIGIT = 2;  // + digit 0..9
constexpr int SLOT_LARGE_DIGIT = 12; // + digit 0..9
constexpr int SLOT_SMALL_SLASH = 22;
constexpr int SLOT_SMALL_COLON = 23;
constexpr int SLOT_LARGE_SLASH = 24;
constexpr int SLOT_LARGE_COLON = 25;
constexpr int SLOT_WEEKDAY_EN = 26; // + weekday, 0 = Sunday
constexpr int SLOT_WEEKDAY_JA = 33; // + weekday, 0 = Sunday
constexpr int SLOT_YEAR_MARK = 40;
constexpr int SLOT_MONTH_MARK = 41;
constexpr int SLOT_DAY_MARK = 42;
constexpr int SLOT_AM = 43;
constexpr int SLOT_PM = 44;
constexpr int SLOT_ALARM_SYMBOL = 45;   // + symbol 0..6
constexpr int SLOT_CHARACTER_BASE = 51; // + character image number 1..26

// Resource numbers: BITMAP resource of slot s, and PNG resource of slot 52 + i.
extern const uint16_t IMAGE_BITMAP_IDS[IMAGE_BITMAP_SLOTS];
extern const uint16_t IMAGE_PNG_IDS[IMAGE_CHARACTER_COUNT];

// Where the table's pictures come from: the program's resources on Windows, anything that
// serves the same bytes elsewhere. Each lookup returns the resource bytes and their size, or
// null when there is no such resource. The bytes must stay valid until freeImageTable.
struct ImageResources {
    void* context;
    const uint8_t* (*findBitmap)(void* context, uint16_t id, size_t* size);
    const uint8_t* (*findPng)(void* context, uint16_t id, size_t* size);
};

// Fills the table from `resources`; a second call while the table exists does nothing. A
// missing or damaged picture leaves its slot null. If the table itself cannot be allocated
// the program runs without pictures.
void fillImageTable(const ImageResources& resources);

// Frees the decoded character pictures and the table.
void freeImageTable();

// The picture in `slot`, or null when there is no table, the slot is out of range or empty.
const BitmapInfoHeader* imageSlot(int slot);

// Character image number n (1..26) as the character table uses it; null for any other n.
const BitmapInfoHeader* characterImage(int32_t n);
