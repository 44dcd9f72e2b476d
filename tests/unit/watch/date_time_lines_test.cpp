#include "watch/watch_face.h"

#include "gfx/bitmap.h"
#include "gfx/draw.h"
#include "tests/unit/watch/barcode_glyphs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A glyph found on a printed line: where it starts and which slot it came from.
struct Printed {
    int x;
    int slot;
    bool operator==(const Printed& o) const { return x == o.x && slot == o.slot; }
};

std::ostream& operator<<(std::ostream& out, const Printed& p) {
    return out << "(x " << p.x << ", slot " << p.slot << ")";
}

bool isBlack(const CBitMap& s, int x, int yFromTop) {
    const uint8_t* p =
        s.backBuffer() + size_t(s.height() - 1 - yFromTop) * s.stride + size_t(x) * 3;
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// Reads back the glyphs whose top row lies at `y`.
std::vector<Printed> readLine(const CBitMap& s, int y) {
    std::vector<Printed> out;
    for (int x = 0; x < s.width(); ++x) {
        if (!isBlack(s, x, y)) continue;
        int slot = 0;
        for (int b = 0; b < 6; ++b) {
            if (x + b < s.width() && isBlack(s, x + b, y + 1)) slot |= 1 << b;
        }
        out.push_back({x, slot});
    }
    return out;
}

// Expected glyphs from a pen walk: a slot prints and advances by its width, GAP(n) only
// advances.
constexpr int gap(int pixels) {
    return -pixels;
}
std::vector<Printed> walk(int x, std::initializer_list<int> items) {
    std::vector<Printed> out;
    for (int item : items) {
        if (item < 0) {
            x -= item;
            continue;
        }
        out.push_back({x, item});
        x += expectedPictureSize(item).width;
    }
    return out;
}

constexpr int S0 = SLOT_SMALL_DIGIT;
constexpr int L0 = SLOT_LARGE_DIGIT;
constexpr int SLASH = SLOT_SMALL_SLASH;
constexpr int COLON = SLOT_LARGE_COLON;
constexpr int SMALL_BLANK = gap(7);
constexpr int LARGE_BLANK = gap(12);
constexpr int MONDAY = 1;

SystemTime moment(int year, int month, int day, int hour, int minute, int second) {
    SystemTime t = {};
    t.year = uint16_t(year);
    t.month = uint16_t(month);
    t.day = uint16_t(day);
    t.hour = uint16_t(hour);
    t.minute = uint16_t(minute);
    t.second = uint16_t(second);
    t.dayOfWeek = 6; // deliberately wrong: the face works the weekday out itself
    return t;
}

class DateTimeLines : public ::testing::Test {
  protected:
    void SetUp() override {
        resources = barcodeResources();
        fillImageTable(resources.source());
        ASSERT_TRUE(window.create(24, 200, 60));
        fillRect(&window, 0, 0, 200, 60, 0xFFFFFF);
        face = WatchFace{&window, nullptr, 0, 0, 0, 0};
    }
    void TearDown() override { freeImageTable(); }

    std::vector<Printed> date(uint32_t format, const SystemTime& t) {
        face.dateFormat = format;
        drawDate(face, t, 10, 5);
        return readLine(window, 5);
    }
    // The time line at y 20, and the mark found 12 pixels lower.
    std::vector<Printed> time(int32_t format, const SystemTime& t, std::vector<Printed>* mark) {
        face.timeFormat = format;
        drawTime(face, t, 10, 20);
        *mark = readLine(window, 32);
        return readLine(window, 20);
    }

    MemoryResources resources;
    CBitMap window;
    WatchFace face = {};
};

TEST_F(DateTimeLines, DateFormatsOfTheSameMoment) {
    SystemTime t = moment(2026, 12, 7, 9, 5, 3);
    EXPECT_EQ(date(0, t),
              walk(10, {S0 + 2, S0, S0 + 2, S0 + 6, SLOT_YEAR_MARK, S0 + 1, S0 + 2, SLOT_MONTH_MARK,
                        SMALL_BLANK, S0 + 7, SLOT_DAY_MARK, gap(5), SLOT_WEEKDAY_JA + MONDAY}));
}

TEST_F(DateTimeLines, SlashedDateFormats) {
    SystemTime t = moment(2026, 12, 7, 9, 5, 3);
    const int year[] = {S0 + 2, S0, S0 + 2, S0 + 6};
    EXPECT_EQ(date(1, t), walk(10, {year[0], year[1], year[2], year[3], SLASH, S0 + 1, S0 + 2,
                                    SLASH, SMALL_BLANK, S0 + 7, gap(5), SLOT_WEEKDAY_EN + MONDAY}));
}

TEST_F(DateTimeLines, DayMonthYear) {
    SystemTime t = moment(2026, 12, 7, 9, 5, 3);
    EXPECT_EQ(date(2, t), walk(10, {SMALL_BLANK, S0 + 7, SLASH, S0 + 1, S0 + 2, SLASH, S0 + 2, S0,
                                    S0 + 2, S0 + 6, gap(5), SLOT_WEEKDAY_EN + MONDAY}));
}

TEST_F(DateTimeLines, MonthDayYearAlsoForUnknownFormats) {
    SystemTime t = moment(2026, 12, 7, 9, 5, 3);
    std::vector<Printed> expected =
        walk(10, {S0 + 1, S0 + 2, SLASH, SMALL_BLANK, S0 + 7, SLASH, S0 + 2, S0, S0 + 2, S0 + 6,
                  gap(5), SLOT_WEEKDAY_EN + MONDAY});
    EXPECT_EQ(date(3, t), expected);
    for (uint32_t unknown : {4u, 0x80000000u, 0xFFFFFFFFu}) {
        fillRect(&window, 0, 0, 200, 60, 0xFFFFFF);
        EXPECT_EQ(date(unknown, t), expected) << unknown;
    }
}

TEST_F(DateTimeLines, WideWeekdayLabelsAndYearDigits) {
    // Thursday 1 January 2026, in the leap-year-free first days: the label is 42 pixels wide.
    SystemTime t = moment(2026, 1, 1, 0, 0, 0);
    std::vector<Printed> line = date(1, t);
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back().slot, SLOT_WEEKDAY_EN + 4);
    SystemTime y987 = moment(987, 10, 31, 0, 0, 0);
    fillRect(&window, 0, 0, 200, 60, 0xFFFFFF);
    std::vector<Printed> early = date(1, y987);
    ASSERT_GE(early.size(), 4u);
    EXPECT_EQ(early[0].slot, S0); // four year digits always
    EXPECT_EQ(early[3].slot, S0 + 7);
}

struct TimeCase {
    int32_t format;
    int hour, minute, second;
    std::initializer_list<int> digits; // hour field as glyphs or blanks
    int mark;                          // slot or -1
};

TEST_F(DateTimeLines, TimeFormatsAndMarks) {
    const TimeCase cases[] = {
        {0, 9, 5, 3, {LARGE_BLANK, L0 + 9}, -1},       {0, 0, 0, 0, {LARGE_BLANK, L0}, -1},
        {0, 23, 0, 0, {L0 + 2, L0 + 3}, -1},           {-1, 13, 0, 0, {L0 + 1, L0 + 3}, -1},
        {1, 0, 30, 0, {L0 + 1, L0 + 2}, SLOT_AM},      {1, 12, 30, 0, {L0 + 1, L0 + 2}, SLOT_PM},
        {1, 13, 5, 0, {LARGE_BLANK, L0 + 1}, SLOT_PM}, {2, 0, 30, 0, {LARGE_BLANK, L0}, SLOT_AM},
        {2, 12, 30, 0, {LARGE_BLANK, L0}, SLOT_PM},    {7, 11, 30, 0, {L0 + 1, L0 + 1}, SLOT_AM},
    };
    for (const TimeCase& c : cases) {
        fillRect(&window, 0, 0, 200, 60, 0xFFFFFF);
        std::vector<Printed> mark;
        std::vector<int> items(c.digits);
        for (int v : {COLON, L0 + c.minute / 10, L0 + c.minute % 10, COLON, L0 + c.second / 10,
                      L0 + c.second % 10}) {
            items.push_back(v);
        }
        std::vector<Printed> expected;
        int x = 10;
        for (int item : items) {
            if (item < 0) {
                x -= item;
                continue;
            }
            expected.push_back({x, item});
            x += expectedPictureSize(item).width;
        }
        SCOPED_TRACE(testing::Message()
                     << "format " << c.format << " at " << c.hour << ":" << c.minute);
        EXPECT_EQ(time(c.format, moment(2026, 12, 7, c.hour, c.minute, c.second), &mark), expected);
        if (c.mark < 0) {
            EXPECT_TRUE(mark.empty());
        } else {
            // Right after the last seconds digit, bottoms aligned.
            EXPECT_EQ(mark, (std::vector<Printed>{{x, c.mark}}));
        }
    }
}

TEST_F(DateTimeLines, MissingGlyphDrawsNothingAndKeepsThePen) {
    freeImageTable();
    resources.bitmaps.erase(IMAGE_BITMAP_IDS[S0]); // small 0
    resources.bitmaps.erase(IMAGE_BITMAP_IDS[SLOT_YEAR_MARK]);
    fillImageTable(resources.source());
    SystemTime t = moment(2026, 3, 7, 9, 5, 3);
    // Without a 0 glyph a blank tens digit takes no room either.
    EXPECT_EQ(date(0, t), walk(10, {S0 + 2, S0 + 2, S0 + 6, S0 + 3, SLOT_MONTH_MARK, S0 + 7,
                                    SLOT_DAY_MARK, gap(5), SLOT_WEEKDAY_JA + 6}));
}

TEST_F(DateTimeLines, NoTableDrawsNothing) {
    freeImageTable();
    SystemTime t = moment(2026, 12, 7, 9, 5, 3);
    std::vector<Printed> mark;
    EXPECT_TRUE(date(0, t).empty());
    EXPECT_TRUE(time(1, t, &mark).empty());
    EXPECT_TRUE(mark.empty());
}

} // namespace
