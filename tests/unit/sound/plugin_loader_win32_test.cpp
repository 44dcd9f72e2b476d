// The plug-in loader with real DLLs: which files of a plugin folder become plug-ins, what they
// report, how many the engine takes, and a file of the DeltaPcm format played through a voice.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "sound/plugin_list.h"
#include "sound/plugin_loader_win32.h"
#include "sound_test_support.h"

namespace {

namespace fs = std::filesystem;

// The other build's suffix, whose DLLs this build must leave alone.
const wchar_t* otherSuffix() {
    return std::wstring(VESK_PLUGIN_SUFFIX) == L"X64" ? L"X86" : L"X64";
}

std::wstring named(const wchar_t* stem, const wchar_t* suffix = VESK_PLUGIN_SUFFIX) {
    return std::wstring(stem) + suffix + L".dll";
}

struct PluginLoaderTest : ::testing::Test {
    TempFolder program;
    fs::path folder() const { return program.path / "plugin"; }
    void add(const char* built, const std::wstring& name) {
        fs::create_directories(folder());
        fs::copy_file(built, folder() / name);
    }
    void load() { loadPlugins(program.path.wstring().c_str()); }
    std::set<std::wstring> versions() const {
        std::set<std::wstring> seen;
        const PluginList* list = loadedPlugins();
        for (uint32_t k = 0; k < list->count; ++k)
            seen.insert(list->items[k].texts[PLUGIN_TEXT_VERSION]);
        return seen;
    }
    void TearDown() override { unloadPlugins(); }
};

TEST_F(PluginLoaderTest, NoPluginFolderLeavesTheListEmpty) {
    load();
    EXPECT_EQ(0u, loadedPlugins()->count);
    EngineRun run;
    ASSERT_TRUE(run.ok());
    EXPECT_EQ(0u, registerPlugins());
    EXPECT_EQ(1u, run.engine()->codecCount);
}

TEST_F(PluginLoaderTest, OnlyQualifyingDllsOfThisBuildStay) {
    add(DELTAPCM_PLUGIN, named(L"DeltaPcm"));
    add(DELTAPCM_PADDED_PLUGIN, named(L"Padded"));
    add(DELTAPCM_PLUGIN, named(L"DeltaPcm", otherSuffix()));
    add(DELTAPCM_OLD_PLUGIN, named(L"Old"));
    add(DELTAPCM_NODELETE_PLUGIN, named(L"NoDelete"));
    fs::create_directories(folder() / named(L"Folder"));
    std::ofstream(folder() / named(L"Broken")) << "not a library";
    std::ofstream(folder() / "readme.txt") << "text";
    load();
    ASSERT_EQ(2u, loadedPlugins()->count);
    // "0100" reads as version 100 as well.
    EXPECT_EQ((std::set<std::wstring>{L"100", L"0100"}), versions());
    for (uint32_t k = 0; k < 2; ++k) {
        const FormatPlugin& p = loadedPlugins()->items[k];
        EXPECT_NE(nullptr, p.module);
        EXPECT_NE(nullptr, p.check);
        EXPECT_NE(nullptr, p.seek);
        EXPECT_NE(nullptr, p.load);
        EXPECT_NE(nullptr, p.remove);
    }
}

TEST_F(PluginLoaderTest, InformationTextsAreConvertedByTheirResultCodes) {
    add(DELTAPCM_PLUGIN, named(L"DeltaPcm"));
    load();
    ASSERT_EQ(1u, loadedPlugins()->count);
    const FormatPlugin& p = loadedPlugins()->items[0];
    EXPECT_STREQ(L"DeltaPcm", p.texts[0]);        // system code page
    EXPECT_STREQ(L"\u5dee\u5206PCM", p.texts[1]); // UTF-8
    EXPECT_STREQ(L"*.vdl", p.texts[2]);           // UTF-16
    EXPECT_STREQ(L"100", p.texts[3]);
    EXPECT_STREQ(L"", p.texts[4]); // none given
    EXPECT_STREQ(L"Vesk", p.texts[5]);
}

TEST_F(PluginLoaderTest, SevenPluginsLoadAndTheFirstFiveAreRegistered) {
    for (int k = 1; k <= 7; ++k)
        add(DELTAPCM_PLUGIN, named((L"Copy" + std::to_wstring(k)).c_str()));
    load();
    const PluginList* list = loadedPlugins();
    ASSERT_EQ(7u, list->count);
    std::set<void*> modules;
    for (uint32_t k = 0; k < 7; ++k)
        modules.insert(list->items[k].module);
    EXPECT_EQ(7u, modules.size());

    EngineRun run;
    ASSERT_TRUE(run.ok());
    EXPECT_EQ(5u, registerPlugins());
    ASSERT_EQ(6u, run.engine()->codecCount);
    for (uint32_t k = 1; k < 6; ++k)
        EXPECT_EQ(&list->items[k - 1], run.engine()->codecs[k].context);
}

// A DeltaPcm file of stereo frames: left = frame + 1, right = its negation (the test ramp).
void saveDeltaRamp(const fs::path& path, uint32_t frames, uint32_t claimedFrames) {
    std::vector<uint8_t> bytes = {'V', 'K', 'D', 'L', 2, 0, 0, 0};
    auto put32 = [&](uint32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * k)));
    };
    put32(48000);
    put32(claimedFrames);
    std::vector<uint8_t> pcm = rampStereo16(frames);
    int16_t last[2] = {0, 0};
    for (size_t at = 0; at + 2 <= pcm.size(); at += 2) {
        int16_t sample = static_cast<int16_t>(pcm[at] | pcm[at + 1] << 8);
        int channel = static_cast<int>(at / 2 % 2);
        uint16_t delta = static_cast<uint16_t>(sample - last[channel]);
        last[channel] = sample;
        bytes.push_back(static_cast<uint8_t>(delta));
        bytes.push_back(static_cast<uint8_t>(delta >> 8));
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST_F(PluginLoaderTest, DeltaFilePlaysDecodedAndSeeksThroughThePlugin) {
    add(DELTAPCM_PLUGIN, named(L"DeltaPcm"));
    load();
    ASSERT_EQ(1u, loadedPlugins()->count);
    {
        EngineRun run(2, 32, 48000);
        ASSERT_TRUE(run.ok());
        ASSERT_EQ(1u, registerPlugins());
        saveDeltaRamp(program.file("ramp.vdl"), 3000, 3000);
        saveDeltaRamp(program.file("short.vdl"), 100, 5000);
        EXPECT_EQ(SND_E_FORMAT, EngineProbeFile(toPath16(program.file("short.vdl")).c_str()));

        VoiceHandle h = run.openReady(program.file("ramp.vdl"));
        ASSERT_EQ(VOICE_READY, VoiceGetState(h));
        uint64_t length = 0;
        VoiceGetPosition(h, nullptr, &length);
        EXPECT_EQ(3000u, length);
        ASSERT_TRUE(run.waitRing(h, 3000));
        ASSERT_EQ(SND_OK, VoicePlay(h));
        std::vector<uint8_t> played;
        ASSERT_TRUE(playUntilDone(
            run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, &played));
        ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS, &played));
        std::vector<int> frames = playedRampFrames(played);
        ASSERT_EQ(3000u, frames.size());
        for (int i = 0; i < 3000; ++i)
            ASSERT_EQ(i, frames[i]);

        ASSERT_EQ(SND_OK, VoiceSeek(h, 2100));
        ASSERT_TRUE(playUntilDone(run, [&] { return VoiceGetState(h) == VOICE_PAUSED; }));
        ASSERT_TRUE(run.waitRing(h, 900));
        ASSERT_EQ(SND_OK, VoicePlay(h));
        played.clear();
        ASSERT_TRUE(playUntilDone(
            run, [&] { return VoiceGetState(h) == VOICE_STOPPED; }, &played));
        ASSERT_TRUE(run.device().playPeriods(DEVICE_BUFFERS, &played));
        frames = playedRampFrames(played);
        ASSERT_EQ(900u, frames.size());
        EXPECT_EQ(2100, frames.front());
        EXPECT_EQ(2999, frames.back());
        EXPECT_EQ(SND_OK, VoiceClose(h));
    }
    // The engine is closed; the DLL can go.
    unloadPlugins();
    EXPECT_EQ(0u, loadedPlugins()->count);
}

} // namespace
