// Setting.xml: defaults, the exact file a fresh start writes, hand-edited files and files that
// cannot be read as settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/settings.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::basic_string<char16> toChar16(const fs::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return path.u16string();
#endif
}

std::string defaultFile() {
    return readBytes(fs::path(VESK_SOURCE_DIR) / "tests" / "data" / "app" / "Setting.default.xml");
}

std::string crlfLines(std::initializer_list<const char*> lines) {
    std::string text = "\xEF\xBB\xBF";
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

const char* const DECLARATION = "<?xml version=\"1.0\" standalone=\"yes\" ?>";

// A fresh folder per test, holding Setting.xml.
class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / (std::string("vesk_settings_") + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = folder_ / "Setting.xml";
    }
    void TearDown() override {
        freeSettings(&record_);
        fs::remove_all(folder_);
    }
    void load() {
        freeSettings(&record_);
        loadSettings(toChar16(file_).c_str(), &record_);
    }
    std::string saved() {
        EXPECT_TRUE(saveSettings(&record_));
        return readBytes(file_);
    }

    fs::path folder_;
    fs::path file_;
    WatchSettings record_{};
};

TEST_F(SettingsFile, WithoutAFileTheDefaultsApplyAndSavingWritesTheFullFile) {
    load();
    EXPECT_EQ(toChar16(file_), record_.path);
    EXPECT_EQ(record_.x, 0);
    EXPECT_EQ(record_.y, 0);
    EXPECT_EQ(record_.topmost, 1);
    EXPECT_EQ(record_.chara, 1);
    EXPECT_EQ(record_.watch, 0);
    EXPECT_EQ(record_.dateFormat, 0);
    EXPECT_EQ(record_.timeFormat, 0);
    EXPECT_EQ(record_.playCount, 1);
    EXPECT_EQ(record_.playerTime, 1);
    EXPECT_EQ(record_.hammingWindow, 1);
    EXPECT_EQ(record_.peak, 1);
    EXPECT_EQ(record_.smooth, 0);
    EXPECT_EQ(record_.channels, 2);
    EXPECT_EQ(record_.sampleBits, 32);
    EXPECT_EQ(record_.sampleRate, 48000);
    EXPECT_EQ(record_.volume, 100);
    EXPECT_EQ(record_.doNotAskAgain, 0);
    ASSERT_NE(record_.document, nullptr);
    std::string expected = defaultFile();
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 40);
    EXPECT_EQ(saved(), expected);
    EXPECT_FALSE(fs::exists(folder_ / "Setting.xml.bad"));
}

TEST_F(SettingsFile, ChangedValuesAreWrittenAndReadBack) {
    load();
    record_.x = -1234;
    record_.y = 56;
    record_.chara = 29;
    record_.timeFormat = 2;
    record_.volume = 25;
    record_.doNotAskAgain = 1;
    std::string first = saved();
    EXPECT_EQ(saved(), first);
    load();
    EXPECT_EQ(record_.x, -1234);
    EXPECT_EQ(record_.y, 56);
    EXPECT_EQ(record_.chara, 29);
    EXPECT_EQ(record_.timeFormat, 2);
    EXPECT_EQ(record_.volume, 25);
    EXPECT_EQ(record_.doNotAskAgain, 1);
    EXPECT_NE(first.find("  x = \"-1234\"\r\n"), std::string::npos);
}

// "Snooze" is written only while another time than 5 minutes is chosen: going back gives the
// default file again, byte for byte.
TEST_F(SettingsFile, SnoozeIsWrittenWhileChosenAndKeptWithinItsRange) {
    load();
    EXPECT_EQ(record_.snooze, 5);
    const std::string plain = saved();
    record_.snooze = 15;
    EXPECT_NE(saved().find(" <player\r\n  Loop = \"1\"\r\n  Time = \"1\"\r\n  Snooze = \"15\""),
              std::string::npos);
    load();
    EXPECT_EQ(record_.snooze, 15);
    record_.snooze = 5;
    EXPECT_EQ(saved(), plain);
    for (const char* value : {"0", "61", "-3"}) {
        writeBytes(file_, crlfLines({DECLARATION, "<setting", ">", " <player",
                                     (std::string("  Snooze = \"") + value + "\"").c_str(), " >",
                                     " </player>", "</setting>"}));
        load();
        EXPECT_EQ(record_.snooze, 5) << value;
    }
}

// "CharaFile" is there only while a file character is worn; a name that would reach outside the
// "chara" folder is not taken.
TEST_F(SettingsFile, CharaFileIsWrittenWhileChosenAndOnlyAPlainNameIsRead) {
    load();
    const std::string plain = saved();
    const std::basic_string<char16> cat = U16("猫.png");
    std::copy(cat.begin(), cat.end(), record_.charaFile);
    EXPECT_NE(saved().find("  Watch = \"0\"\r\n  CharaFile = \"\xE7\x8C\xAB.png\"\r\n"),
              std::string::npos);
    load();
    EXPECT_EQ(std::basic_string<char16>(record_.charaFile), cat);
    record_.charaFile[0] = 0;
    EXPECT_EQ(saved(), plain);
    for (const char* bad : {"..\\Setting.xml.png", "C&#058;x.png", "cat.bmp"}) {
        writeBytes(file_, crlfLines({DECLARATION, "<setting", ">", " <position",
                                     (std::string("  CharaFile = \"") + bad + "\"").c_str(), " >",
                                     " </position>", "</setting>"}));
        load();
        EXPECT_EQ(record_.charaFile[0], 0) << bad;
    }
}

TEST_F(SettingsFile, APartialPositionGroupKeepsItsValuesAndGainsTheRest) {
    writeBytes(file_, crlfLines({DECLARATION, "<setting", ">", " <position", "  x = \"100\"",
                                 "  y = \"-20\"", " >", " </position>", "</setting>"}));
    load();
    EXPECT_EQ(record_.x, 100);
    EXPECT_EQ(record_.y, -20);
    EXPECT_EQ(record_.topmost, 1);
    EXPECT_EQ(record_.chara, 1);
    EXPECT_EQ(record_.volume, 100);
    std::string expected = defaultFile();
    expected.replace(expected.find("x = \"0\""), 7, "x = \"100\"");
    expected.replace(expected.find("y = \"0\""), 7, "y = \"-20\"");
    EXPECT_EQ(saved(), expected);
}

TEST_F(SettingsFile, NumbersReadUpToTheFirstNonDigit) {
    writeBytes(file_, crlfLines({DECLARATION, "<setting", ">", " <sound", "  Volume = \"12abc\"",
                                 "  Channel = \"abc\"", "  BitRate = \"&nbsp;-16\"",
                                 "  SamplingRate = \"\"", " >", " </sound>", "</setting>"}));
    load();
    EXPECT_EQ(record_.volume, 12);
    EXPECT_EQ(record_.channels, 0);
    EXPECT_EQ(record_.sampleBits, -16);
    EXPECT_EQ(record_.sampleRate, 48000);
}

TEST_F(SettingsFile, UnknownElementsAndAttributesSurviveASave) {
    writeBytes(file_, crlfLines({DECLARATION, "<setting", " version = \"0.9\"", " Owner = \"me\"",
                                 ">", " <theme", "  Color = \"red\"", " >", "  <font>", "  </font>",
                                 " </theme>", " <view", "  Zoom = \"3\"", "  Time = \"1\"", " >",
                                 " </view>", "</setting>"}));
    load();
    EXPECT_EQ(record_.timeFormat, 1);
    std::string text = saved();
    EXPECT_EQ(text, crlfLines({DECLARATION,
                               "<setting",
                               " version = \"1.00\"",
                               " Owner = \"me\"",
                               ">",
                               " <theme",
                               "  Color = \"red\"",
                               " >",
                               "  <font>",
                               "  </font>",
                               " </theme>",
                               " <view",
                               "  Zoom = \"3\"",
                               "  Time = \"1\"",
                               "  Date = \"0\"",
                               " >",
                               " </view>",
                               " <position",
                               "  x = \"0\"",
                               "  y = \"0\"",
                               "  Topmost = \"1\"",
                               "  Chara = \"1\"",
                               "  Watch = \"0\"",
                               " >",
                               " </position>",
                               " <player",
                               "  Loop = \"1\"",
                               "  Time = \"1\"",
                               " >",
                               " </player>",
                               " <visual",
                               "  Window = \"1\"",
                               "  Peak = \"1\"",
                               "  Smooth = \"0\"",
                               " >",
                               " </visual>",
                               " <sound",
                               "  Channel = \"2\"",
                               "  BitRate = \"32\"",
                               "  SamplingRate = \"48000\"",
                               "  Volume = \"100\"",
                               " >",
                               " </sound>",
                               " <watch",
                               "  DoNotAskAgain = \"0\"",
                               " >",
                               " </watch>",
                               "</setting>"}));
}

TEST_F(SettingsFile, AFileThatDoesNotParseIsKeptBesideTheNewOne) {
    const std::string typed = "<?xml version=\"1.0\" ?>\r\n<setting>\r\n <position x=\"5\">";
    writeBytes(file_, typed);
    load();
    EXPECT_EQ(record_.x, 0);
    EXPECT_EQ(readBytes(folder_ / "Setting.xml.bad"), typed);
    EXPECT_EQ(saved(), defaultFile());
    EXPECT_EQ(readBytes(folder_ / "Setting.xml.bad"), typed);
}

TEST_F(SettingsFile, AFileTooShortToParseIsKeptToo) {
    writeBytes(file_, "x = 5");
    load();
    EXPECT_EQ(readBytes(folder_ / "Setting.xml.bad"), "x = 5");
    EXPECT_EQ(saved(), defaultFile());
}

TEST_F(SettingsFile, AnEmptyFileLeavesNoCopy) {
    writeBytes(file_, "");
    load();
    EXPECT_FALSE(fs::exists(folder_ / "Setting.xml.bad"));
    EXPECT_EQ(saved(), defaultFile());
}

TEST_F(SettingsFile, ACharacterOutsideTheTableShowsNone) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {{"0", 0}, {"29", 29}, {"30", 0}, {"-1", 0}, {"4294967295", 0}, {"7x", 7}};
    for (const auto& c : cases) {
        std::string chara = std::string("  Chara = \"") + c.text + "\"";
        writeBytes(file_, crlfLines({DECLARATION, "<setting", ">", " <position", chara.c_str(),
                                     " >", " </position>", "</setting>"}));
        load();
        EXPECT_EQ(record_.chara, c.expected) << c.text;
    }
}

TEST_F(SettingsFile, NothingToSaveIsReportedAsSuch) {
    EXPECT_FALSE(saveSettings(nullptr));
    load();
    freeSettings(&record_);
    EXPECT_FALSE(saveSettings(&record_));
    EXPECT_FALSE(fs::exists(file_));
    freeSettings(nullptr);
}

TEST_F(SettingsFile, AnUnwritableFolderIsReportedAndLeavesNoFile) {
    file_ = folder_ / "missing" / "Setting.xml";
    load();
    EXPECT_FALSE(saveSettings(&record_));
    EXPECT_FALSE(fs::exists(file_));
}

// A save interrupted between writing "Setting.xml.new" and renaming it leaves the complete text
// there; the next start takes it whenever the real file is missing or broken, never a cut one.
TEST_F(SettingsFile, ACompleteNewFileFromAnInterruptedSaveIsTaken) {
    const std::string complete = crlfLines({DECLARATION, "<setting", ">", " <position",
                                            "  x = \"42\"", " >", " </position>", "</setting>"});
    const std::string cut = complete.substr(0, complete.size() - 12);
    const std::string broken = "<setting><position x=\"5\"</setting";
    const struct {
        const char* real; // null: no Setting.xml
        const std::string* newText;
        int32_t x;
        bool taken;
    } cases[] = {{nullptr, &complete, 42, true},
                 {broken.c_str(), &complete, 42, true},
                 {nullptr, &cut, 0, false},
                 {"<?xml version=\"1.0\" ?>\r\n<setting x = \"1\" />", &complete, 0, false}};
    for (const auto& c : cases) {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        if (c.real) writeBytes(file_, c.real);
        writeBytes(folder_ / "Setting.xml.new", *c.newText);
        load();
        EXPECT_EQ(record_.x, c.x) << *c.newText;
        EXPECT_EQ(fs::exists(folder_ / "Setting.xml.new"), !c.taken);
        if (c.taken) {
            EXPECT_EQ(readBytes(file_), complete);
        }
        EXPECT_EQ(fs::exists(folder_ / "Setting.xml.bad"), c.real == broken.c_str());
    }
}

// A file that is there but cannot be read is the user's: no save may put defaults in its place.
TEST_F(SettingsFile, AFileThatCannotBeReadIsNeverOverwritten) {
    const std::string huge((1u << 20) + 1, ' ');
    writeBytes(file_, huge);
    load();
    EXPECT_TRUE(record_.keepFile);
    EXPECT_FALSE(saveSettings(&record_));
    EXPECT_EQ(fs::file_size(file_), huge.size());
#ifdef _WIN32
    writeBytes(file_, defaultFile());
    HANDLE locked =
        CreateFileW(file_.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    load();
    CloseHandle(locked);
    EXPECT_TRUE(record_.keepFile);
    EXPECT_FALSE(saveSettings(&record_));
    EXPECT_FALSE(fs::exists(folder_ / "Setting.xml.bad"));
#endif
}

} // namespace
