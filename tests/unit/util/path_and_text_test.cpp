// Path splitting and UTF-8/UTF-16 conversions.
#include <gtest/gtest.h>

#include <string>

#include "tests/unit/test_paths.h"
#include "util/path_util.h"
#include "util/text_convert.h"

namespace {

std::u16string dirOf(const std::u16string& path, size_t* length = nullptr) {
    char16 out[260] = {};
    size_t n = directoryOf(asText16(path), out, 260);
    if (length) *length = n;
    return std::u16string(reinterpret_cast<const char16_t*>(out));
}

std::u16string nameOf(const std::u16string& path) {
    char16 out[260] = {};
    fileNameOf(asText16(path), out, 260);
    return std::u16string(reinterpret_cast<const char16_t*>(out));
}

TEST(DirectoryOf, KeepsDriveRootsAndDropsTheFileName) {
    size_t n = 0;
    EXPECT_EQ(dirOf(u"C:\\w.exe", &n), u"C:\\");
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(dirOf(u"C:\\Games\\w.exe"), u"C:\\Games");
    EXPECT_EQ(dirOf(u"w.exe", &n), u"");
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(dirOf(u"/x"), u"");
    EXPECT_EQ(dirOf(u"/home/user/Vesk.exe"), u"/home/user");
}

TEST(DirectoryOf, MeasuresWithoutOutputAndRefusesSmallBuffers) {
    const std::u16string path = u"C:\\Games\\w.exe";
    EXPECT_EQ(directoryOf(asText16(path), nullptr, 0), 8u);
    char16 small[8] = {U16('z')};
    EXPECT_EQ(directoryOf(asText16(path), small, 8), 0u);
    EXPECT_EQ(small[0], U16('z'));
}

TEST(FileNameOf, HandlesEverySeparatorPosition) {
    EXPECT_EQ(nameOf(u"C:\\Games\\a.wav"), u"a.wav");
    EXPECT_EQ(nameOf(u"\\a.wav"), u"\\a.wav"); // separator at index 0 stays
    EXPECT_EQ(nameOf(u"a.wav"), u"a.wav");
    EXPECT_EQ(nameOf(u"dir/b.wav"), u"b.wav");
    EXPECT_EQ(fileNameOf(asText16(std::u16string(u"C:\\a.wav")), nullptr, 0), 5u);
    char16 small[5];
    EXPECT_EQ(fileNameOf(asText16(std::u16string(u"C:\\a.wav")), small, 5), 0u);
}

TEST(TextConvert, RoundTripsEveryPlane) {
    const char* samples[] = {"Setting.xml", "アラーム設定", "naïve €", "\xF0\x9F\x8E\xB5 music"};
    for (const char* sample : samples) {
        char16* wide = utf8ToWide(sample);
        ASSERT_NE(wide, nullptr) << sample;
        char* back = wideToUtf8(wide);
        ASSERT_NE(back, nullptr);
        EXPECT_STREQ(back, sample);
        freeText(wide);
        freeText(back);
    }
    char16* music = utf8ToWide("\xF0\x9F\x8E\xB5");
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(static_cast<uint16_t>(music[0]), 0xD83C); // a surrogate pair
    EXPECT_EQ(static_cast<uint16_t>(music[1]), 0xDFB5);
    EXPECT_EQ(music[2], 0);
    freeText(music);
}

TEST(TextConvert, RefusesEmptyAndInvalidText) {
    EXPECT_EQ(utf8ToWide(""), nullptr);
    EXPECT_EQ(utf8ToWide("\xC3"), nullptr);         // truncated sequence
    EXPECT_EQ(utf8ToWide("\xC0\xAF"), nullptr);     // overlong '/'
    EXPECT_EQ(utf8ToWide("\xED\xA0\x80"), nullptr); // encoded surrogate
    const char16 lone[] = {static_cast<char16>(0xD800), U16('a'), 0};
    EXPECT_EQ(wideToUtf8(lone), nullptr);
    freeText(nullptr);
}

} // namespace
