// Start-up and shutdown of the real program: one instance, its own folder, clean exit.
#include <gtest/gtest.h>

#include "watch/watch_window_win32.h"
#include "tests/e2e/e2e_support.h"

namespace {

TEST(Startup, SecondStartExitsAndLeavesOneWatch) {
    ProgramFolder folder;
    VeskProcess first;
    ASSERT_TRUE(first.start(folder.exe()));
    ASSERT_NE(first.waitForWatchWindow(), nullptr);

    VeskProcess second;
    ASSERT_TRUE(second.start(folder.exe()));
    EXPECT_EQ(second.waitForExit(), 0u);
    EXPECT_EQ(windowsOfClass(WATCH_CLASS).size(), 1u);
}

TEST(Startup, WorksInItsOwnFolderWhenStartedFromElsewhere) {
    ProgramFolder folder;
    ProgramFolder elsewhere;
    DeleteFileW(elsewhere.exe().c_str());

    VeskProcess vesk;
    ASSERT_TRUE(vesk.start(folder.exe(), elsewhere.path()));
    HWND watch = vesk.waitForWatchWindow();
    ASSERT_NE(watch, nullptr);
    PostMessageW(watch, WM_CLOSE, 0, 0);
    EXPECT_EQ(vesk.waitForExit(), 0u);

    EXPECT_TRUE(filesIn(elsewhere.path()).empty());
    EXPECT_TRUE(fileExists(folder.file(L"Setting.xml")));
}

TEST(Startup, ClosingTheWatchEndsTheProgramWithCodeZero) {
    ProgramFolder folder;
    VeskProcess vesk;
    ASSERT_TRUE(vesk.start(folder.exe()));
    HWND watch = vesk.waitForWatchWindow();
    ASSERT_NE(watch, nullptr);
    PostMessageW(watch, WM_CLOSE, 0, 0);
    EXPECT_EQ(vesk.waitForExit(), 0u);
    EXPECT_TRUE(windowsOfClass(WATCH_CLASS, vesk.id()).empty());
}

} // namespace
