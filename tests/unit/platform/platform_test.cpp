// The platform services the engine and the files depend on, on every system we build for.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/platform.h"
#include "tests/unit/test_paths.h"

namespace {

TEST(PlatformThread, RunsItsProcedureAndJoins) {
    std::atomic<int> runs{0};
    PlatformThread thread;
    ASSERT_TRUE(threadStart(
        &thread, [](void* arg) { static_cast<std::atomic<int>*>(arg)->fetch_add(1); }, &runs,
        PRIORITY_HIGHEST));
    threadJoin(&thread);
    EXPECT_EQ(runs.load(), 1);
}

TEST(PlatformLock, IsRecursiveAndExcludesOtherThreads) {
    struct Shared {
        PlatformLock lock;
        long counter = 0;
    } shared;
    lockInit(&shared.lock);
    lockEnter(&shared.lock);
    lockEnter(&shared.lock); // the same thread may enter again
    lockLeave(&shared.lock);
    lockLeave(&shared.lock);

    auto work = [](void* arg) {
        Shared* s = static_cast<Shared*>(arg);
        for (int i = 0; i < 20000; ++i) {
            lockEnter(&s->lock);
            ++s->counter;
            lockLeave(&s->lock);
        }
    };
    PlatformThread a, b;
    ASSERT_TRUE(threadStart(&a, work, &shared, PRIORITY_NORMAL));
    ASSERT_TRUE(threadStart(&b, work, &shared, PRIORITY_NORMAL));
    threadJoin(&a);
    threadJoin(&b);
    EXPECT_EQ(shared.counter, 40000);
    lockDestroy(&shared.lock);
}

TEST(PlatformEvent, WakesOnceThenResetsItself) {
    PlatformEvent event;
    eventInit(&event);
    EXPECT_FALSE(eventWait(&event, 10));
    eventSignal(&event);
    EXPECT_TRUE(eventWait(&event, 0));
    EXPECT_FALSE(eventWait(&event, 10)); // auto-reset: the first wait consumed it

    PlatformThread thread;
    ASSERT_TRUE(threadStart(
        &thread,
        [](void* arg) {
            platformSleep(20);
            eventSignal(static_cast<PlatformEvent*>(arg));
        },
        &event, PRIORITY_NORMAL));
    EXPECT_TRUE(eventWait(&event, PLATFORM_WAIT_FOREVER));
    threadJoin(&thread);
    eventDestroy(&event);
}

TEST(PlatformFile, ReadsSeeksAndMeasures) {
    TempFolder folder;
    std::u16string path = folder.file(u"data.bin");
    std::string bytes = "0123456789abcdef";
    ASSERT_TRUE(pathReplaceFile(asText16(path), bytes.data(), bytes.size()));

    PlatformFile file;
    ASSERT_TRUE(fileOpenRead(&file, asText16(path)));
    EXPECT_EQ(fileSizeOf(&file), 16);
    char buffer[8] = {};
    EXPECT_EQ(fileRead(&file, buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(fileSeek(&file, -3, SEEK_FROM_END), 13);
    EXPECT_EQ(fileRead(&file, buffer, 8), 3u); // short read at the end
    EXPECT_EQ(std::string(buffer, 3), "def");
    EXPECT_EQ(fileSeek(&file, 2, SEEK_FROM_START), 2);
    EXPECT_EQ(fileSeek(&file, 5, SEEK_FROM_CURRENT), 7);
    EXPECT_EQ(fileTell(&file), 7);
    fileClose(&file);

    EXPECT_FALSE(fileOpenRead(&file, asText16(folder.file(u"missing.bin"))));
}

TEST(PlatformTime, LocalTimeIsPlausible) {
    SystemTime now;
    platformLocalTime(&now);
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_LE(now.dayOfWeek, 6);
    EXPECT_LE(now.hour, 23);
    uint64_t before = platformTickMs();
    platformSleep(30);
    EXPECT_GE(platformTickMs() - before, 15u); // the tick may advance in 16 ms steps
}

} // namespace
