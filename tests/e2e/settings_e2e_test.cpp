// Setting.xml through the real program: start, quit, and read what it leaves beside itself.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace {

// Starts the program in `folder`, waits for its watch, closes it and waits for the exit.
void startAndQuit(const ProgramFolder& folder) {
    VeskProcess vesk;
    ASSERT_TRUE(vesk.start(folder.exe()));
    HWND watch = vesk.waitForWatchWindow();
    ASSERT_NE(watch, nullptr);
    PostMessageW(watch, WM_CLOSE, 0, 0);
    ASSERT_EQ(vesk.waitForExit(), 0u);
}

std::string defaultSettings() {
    return readFileBytes(hostPath(VESK_SOURCE_DIR "/tests/data/app/Setting.default.xml"));
}

TEST(SettingsFile, FirstRunWritesTheDefaultFileByteForByte) {
    ProgramFolder folder;
    startAndQuit(folder);
    std::string expected = defaultSettings();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(readFileBytes(folder.file(L"Setting.xml")), expected);
}

TEST(SettingsFile, PartialPositionKeepsItsValuesAndGainsTheRest) {
    ProgramFolder folder;
    writeFileBytes(folder.file(L"Setting.xml"),
                   "<?xml version=\"1.0\" ?>\r\n<setting>\r\n"
                   " <position x=\"100\" y=\"-20\" />\r\n</setting>\r\n");
    startAndQuit(folder);
    std::string text = readFileBytes(folder.file(L"Setting.xml"));
    EXPECT_NE(text.find(" <position\r\n  x = \"100\"\r\n  y = \"-20\"\r\n  Topmost = \"1\"\r\n"
                        "  Chara = \"1\"\r\n  Watch = \"0\"\r\n"),
              std::string::npos)
        << text;
    for (const char* group : {"<view", "<player", "<visual", "<sound", "<watch"})
        EXPECT_NE(text.find(group), std::string::npos) << group;
}

TEST(SettingsFile, NumbersReadAsFarAsTheirDigitsGo) {
    ProgramFolder folder;
    writeFileBytes(
        folder.file(L"Setting.xml"),
        "<?xml version=\"1.0\" ?>\r\n<setting>\r\n <view Date=\"12abc\" Time=\"abc\" />\r\n"
        " <sound Volume=\"+75\" />\r\n</setting>\r\n");
    startAndQuit(folder);
    std::string text = readFileBytes(folder.file(L"Setting.xml"));
    EXPECT_NE(text.find("Date = \"12\""), std::string::npos) << text;
    EXPECT_NE(text.find("<view\r\n  Date = \"12\"\r\n  Time = \"0\""), std::string::npos) << text;
    EXPECT_NE(text.find("Volume = \"75\""), std::string::npos) << text;
}

TEST(SettingsFile, UnknownElementsAndAttributesSurvive) {
    ProgramFolder folder;
    writeFileBytes(folder.file(L"Setting.xml"),
                   "<?xml version=\"1.0\" ?>\r\n<setting>\r\n <theme colour=\"rose\" >\r\n"
                   "  <note text=\"keep&nbsp;me\" />\r\n </theme>\r\n"
                   " <player Loop=\"0\" Mine=\"yes\" />\r\n</setting>\r\n");
    startAndQuit(folder);
    std::string text = readFileBytes(folder.file(L"Setting.xml"));
    EXPECT_NE(text.find("colour = \"rose\""), std::string::npos) << text;
    EXPECT_NE(text.find("text = \"keep&nbsp;me\""), std::string::npos) << text;
    EXPECT_NE(text.find("Mine = \"yes\""), std::string::npos) << text;
    EXPECT_NE(text.find("Loop = \"0\""), std::string::npos) << text;
}

TEST(SettingsFile, AFileThatDoesNotParseIsKeptBesideTheNewOne) {
    ProgramFolder folder;
    const std::string broken = "<setting><position x=\"5\"</setting";
    writeFileBytes(folder.file(L"Setting.xml"), broken);
    startAndQuit(folder);
    EXPECT_EQ(readFileBytes(folder.file(L"Setting.xml.bad")), broken);
    EXPECT_EQ(readFileBytes(folder.file(L"Setting.xml")), defaultSettings());
}

} // namespace
