// Plug-in admission: the version text, the information texts by result code, the entry-point
// rules and the names of the plug-in folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sound/plugin_info.h"
#include "util/text_convert.h"

namespace {

using Text16 = std::basic_string<char16>;

Text16 stored(int32_t kind, const std::vector<uint8_t>& bytes, TextToWideFn ansi = nullptr) {
    uint8_t buffer[PLUGIN_INFO_BYTES] = {};
    std::memcpy(buffer, bytes.data(), bytes.size() < sizeof buffer ? bytes.size() : sizeof buffer);
    char16 out[PLUGIN_TEXT_UNITS];
    std::fill(out, out + PLUGIN_TEXT_UNITS, U16('#'));
    pluginStoreText(kind, buffer, ansi, out);
    return out;
}

std::vector<uint8_t> bytesOf(const char* text) {
    return std::vector<uint8_t>(text, text + std::strlen(text));
}

std::vector<uint8_t> utf16Bytes(const Text16& text) {
    std::vector<uint8_t> bytes;
    for (char16 c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

// A stand-in for the system code page: Latin-1, one unit per byte, marked by a leading '@'.
char16* latin1ToWide(const char* text) {
    size_t n = std::strlen(text);
    char16* out = static_cast<char16*>(std::malloc((n + 2) * sizeof(char16)));
    out[0] = U16('@');
    for (size_t k = 0; k < n; ++k)
        out[k + 1] = static_cast<char16>(static_cast<unsigned char>(text[k]));
    out[n + 1] = 0;
    return out;
}
char16* failingConversion(const char*) {
    return nullptr;
}

TEST(PluginInfoTest, VersionIsTheLeadingDecimalNumber) {
    struct Case {
        const char16* text;
        bool accepted;
    } const cases[] = {
        {U16("100"), true},   {U16("0100"), true},        {U16("100abc"), true},
        {U16("100.5"), true}, {U16(" 100"), true},        {U16("+100"), true},
        {U16("99"), false},   {U16("1000"), false},       {U16("101"), false},
        {U16(""), false},     {U16("abc100"), false},     {U16("-100"), false},
        {U16("10 0"), false}, {U16("4294967396"), false}, {U16("00000000000000000000100"), true},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.accepted, pluginVersionAccepted(k.text))
            << std::string(k.text, k.text + text16Length(k.text));
}

TEST(PluginInfoTest, ResultCodeChoosesTheEncoding) {
    EXPECT_EQ(Text16(), stored(-1, bytesOf("ignored")));
    EXPECT_EQ(Text16(U16("@Caf\u00e9")), stored(0, {'C', 'a', 'f', 0xE9}, latin1ToWide));
    EXPECT_EQ(Text16(U16("\u97f3\u697d")), stored(1, bytesOf("\xe9\x9f\xb3\xe6\xa5\xbd")));
    EXPECT_EQ(Text16(U16("\u97f3\u697d")), stored(2, utf16Bytes(U16("\u97f3\u697d"))));
    EXPECT_EQ(Text16(U16("wide")), stored(7, utf16Bytes(U16("wide"))));
}

TEST(PluginInfoTest, TextThatDoesNotConvertIsKeptAsUtf16) {
    // "AB" as UTF-16 is not valid UTF-8 once its high bytes are odd values.
    std::vector<uint8_t> raw = {0x41, 0xFF, 0x42, 0xFF};
    Text16 asUtf16 = {static_cast<char16>(0xFF41), static_cast<char16>(0xFF42)};
    EXPECT_EQ(asUtf16, stored(1, raw));
    EXPECT_EQ(asUtf16, stored(0, raw, failingConversion));
    EXPECT_EQ(asUtf16, stored(0, raw, nullptr));
}

TEST(PluginInfoTest, LongOrUnterminatedTextIsCutAndTerminated) {
    std::vector<uint8_t> full(PLUGIN_INFO_BYTES, 'x'); // no terminator anywhere
    EXPECT_EQ(Text16(63, U16('x')), stored(1, full));
    EXPECT_EQ(Text16(63, static_cast<char16>(0x7878)), stored(2, full));

    // A surrogate pair that straddles the last unit is dropped whole.
    Text16 wide(62, U16('a'));
    wide += static_cast<char16>(0xD83D);
    wide += static_cast<char16>(0xDE00);
    EXPECT_EQ(Text16(62, U16('a')), stored(2, utf16Bytes(wide)));
    std::string utf8(62, 'a');
    utf8 += "\xf0\x9f\x98\x80";
    EXPECT_EQ(Text16(62, U16('a')), stored(1, bytesOf(utf8.c_str())));
}

TEST(PluginInfoTest, PluginStaysOnlyWithVersionCheckAndMatchingDelete) {
    auto check = [](PluginCheckRecord*) -> int32_t { return 0; };
    auto load = [](PluginLoadRecord*) -> int32_t { return 0; };
    auto remove = [](PluginDeleteRecord*) {};
    struct Case {
        const char16* version;
        bool check, load, remove, usable;
    } const cases[] = {
        {U16("100"), true, false, false, true},   {U16("100"), true, true, true, true},
        {U16("100"), true, false, true, true},    {U16("100"), true, true, false, false},
        {U16("100"), false, false, false, false}, {U16("99"), true, false, false, false},
        {U16(""), true, true, true, false},
    };
    for (const Case& k : cases) {
        FormatPlugin p{};
        std::memcpy(p.texts[PLUGIN_TEXT_VERSION], k.version,
                    (text16Length(k.version) + 1) * sizeof(char16));
        p.check = k.check ? static_cast<PluginCheckFn>(check) : nullptr;
        p.load = k.load ? static_cast<PluginPcmLoadFn>(load) : nullptr;
        p.remove = k.remove ? static_cast<PluginDeleteFn>(remove) : nullptr;
        EXPECT_EQ(k.usable, pluginUsable(&p)) << k.check << k.load << k.remove;
    }
}

TEST(PluginInfoTest, PathsAreBuiltOnlyWhenTheyFit) {
    char16 out[40];
    ASSERT_TRUE(pluginSearchPattern(out, 40, U16("C:\\Vesk"), U16("X64")));
    EXPECT_EQ(Text16(U16("C:\\Vesk\\plugin\\*X64.dll")), out);
    ASSERT_TRUE(pluginFilePath(out, 40, U16("C:\\Vesk"), U16("aX64.dll")));
    EXPECT_EQ(Text16(U16("C:\\Vesk\\plugin\\aX64.dll")), out);

    // 23 units and the terminator fill 24 exactly; one unit less refuses, leaving nothing.
    EXPECT_TRUE(pluginFilePath(out, 24, U16("C:\\Vesk"), U16("aX64.dll")));
    EXPECT_FALSE(pluginFilePath(out, 23, U16("C:\\Vesk"), U16("aX64.dll")));
    EXPECT_EQ(Text16(), out);
    EXPECT_FALSE(pluginSearchPattern(out, 10, U16("C:\\Vesk"), U16("X86")));
    EXPECT_EQ(Text16(), out);
}

TEST(PluginInfoTest, OnlyNamesEndingInTheBuildSuffixMatch) {
    struct Case {
        const char16* name;
        bool matches;
    } const cases[] = {
        {U16("decodeX64.dll"), true},
        {U16("DECODEx64.DLL"), true},
        {U16("X64.dll"), true},
        {U16("decodeX86.dll"), false},
        {U16("decodeX64.dll.bak"), false},
        {U16("decodeX64.dl"), false},
        {U16("64.dll"), false},
        {U16(""), false},
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.matches, pluginNameMatches(k.name, U16("X64")))
            << std::string(k.name, k.name + text16Length(k.name));
}

} // namespace
