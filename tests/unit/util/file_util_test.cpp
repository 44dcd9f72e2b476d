// Whole-file reading and the safe replace that protects settings and alarms.
#include <gtest/gtest.h>

#include <string>

#include "tests/unit/test_paths.h"
#include "util/file_util.h"

namespace {

std::string readAll(const std::u16string& path) {
    char buffer[256];
    uint32_t n = readWholeFile(asText16(path), buffer, sizeof buffer);
    return std::string(buffer, n);
}

TEST(WholeFile, WritesReadsAndReportsSize) {
    TempFolder folder;
    std::u16string path = folder.file(u"Setting.xml");
    EXPECT_EQ(fileSize(asText16(path)), 0u);
    EXPECT_EQ(readAll(path), "");

    ASSERT_TRUE(writeWholeFile(asText16(path), "first text", 10));
    EXPECT_EQ(fileSize(asText16(path)), 10u);
    EXPECT_EQ(readAll(path), "first text");

    ASSERT_TRUE(writeWholeFile(asText16(path), "second", 6));
    EXPECT_EQ(readAll(path), "second");
    EXPECT_EQ(fileSize(asText16(path)), 6u);

    deleteFile(asText16(path));
    EXPECT_EQ(pathFileSize(asText16(path)), -1);
}

TEST(WholeFile, ReadRefusesAFileLargerThanTheBuffer) {
    TempFolder folder;
    std::u16string path = folder.file(u"big.xml");
    ASSERT_TRUE(writeWholeFile(asText16(path), "0123456789", 10));
    char buffer[9] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(readWholeFile(asText16(path), buffer, 9), 0u);
    EXPECT_EQ(buffer[0], 'x'); // nothing was read into a buffer that is too small
}

TEST(BadCopy, NumberedNewestFirstAndAtMostFiveKept) {
    TempFolder folder;
    std::u16string path = folder.file(u"Alarm.xml");
    for (char copy = '1'; copy <= '6'; copy++)
        ASSERT_TRUE(keepBadCopy(asText16(path), &copy, 1));
    EXPECT_EQ(readAll(path + u".bad"), "6");
    EXPECT_EQ(readAll(path + u".2.bad"), "5");
    EXPECT_EQ(readAll(path + u".5.bad"), "2");
    EXPECT_EQ(pathFileSize(asText16(path + u".6.bad")), -1);
    EXPECT_EQ(pathFileSize(asText16(path)), -1); // the original name is left alone

    // Every copy's name must fit: ".5.bad" needs six more units and the terminator one.
    std::u16string shortest = folder.file(u"a");
    std::u16string longest = shortest + std::u16string(253 - shortest.size(), u'a');
    EXPECT_TRUE(keepBadCopy(asText16(longest), "x", 1));
    EXPECT_EQ(readAll(longest + u".bad"), "x");
    EXPECT_FALSE(keepBadCopy(asText16(longest + u"a"), "x", 1));
}

TEST(SafeReplace, MissingFolderFailsWithoutLeavingAnything) {
    TempFolder folder;
    std::u16string path =
        folder.file(u"missing") + folder.file(u"x.xml").substr(folder.path().size());
    EXPECT_FALSE(writeWholeFile(asText16(path), "abc", 3));
    EXPECT_EQ(pathFileSize(asText16(path + u".new")), -1);
}

// A target that cannot be replaced fails after the new text was written in full: the old file
// must stay as it was, and the temporary file must be gone.
TEST(SafeReplace, FailurePartWayKeepsTheOldFile) {
    TempFolder folder;
    std::u16string path = folder.file(u"Alarm.xml");
    ASSERT_TRUE(writeWholeFile(asText16(path), "old alarms", 10));
#ifdef _WIN32
    HANDLE locked = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(writeWholeFile(asText16(path), "new alarms!", 11));
    CloseHandle(locked);
    EXPECT_EQ(readAll(path), "old alarms");
    EXPECT_EQ(pathFileSize(asText16(path + u".new")), -1);
#else
    // On POSIX a non-empty folder in the file's place refuses the final rename.
    std::u16string blocked = folder.file(u"blocked");
    std::string dir(blocked.begin(), blocked.end());
    ASSERT_EQ(system(("mkdir -p '" + dir + "/inside'").c_str()), 0);
    EXPECT_FALSE(writeWholeFile(asText16(blocked), "new alarms!", 11));
    EXPECT_EQ(pathFileSize(asText16(blocked + u".new")), -1);
    EXPECT_EQ(readAll(path), "old alarms");
#endif
}

#ifdef _WIN32
DWORD WINAPI closeAfterAMoment(void* handle) {
    Sleep(60);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

// A reader that holds the old file open for a moment, as a virus scanner or backup does, must
// not make the save fail.
TEST(SafeReplace, ReaderHoldingTheOldFileBrieflyDoesNotLoseTheSave) {
    TempFolder folder;
    std::u16string path = folder.file(u"Alarm.xml");
    ASSERT_TRUE(writeWholeFile(asText16(path), "old alarms", 10));
    HANDLE reader =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE closer = CreateThread(nullptr, 0, closeAfterAMoment, reader, 0, nullptr);
    ASSERT_NE(closer, nullptr);
    EXPECT_TRUE(writeWholeFile(asText16(path), "new alarms!", 11));
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    EXPECT_EQ(readAll(path), "new alarms!");
    EXPECT_EQ(pathFileSize(asText16(path + u".new")), -1);
}
#endif

} // namespace
