// The speech core over fake engines: voice list, engine changes, the utterance queue and its
// completion reports arriving on other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "speech/kvsynthtextcore.h"
#include "tests/speech/fakevoice.h"

namespace wf::test {
namespace {

std::atomic<int> g_callbacks{0};
std::atomic<bool> g_afterUninit{false};
std::atomic<int> g_lateCallbacks{0};

void countCallback(std::intptr_t zero, std::intptr_t param1, std::intptr_t param2) {
    if (zero == 0 && param1 == 7 && param2 == 8) ++g_callbacks;
    if (g_afterUninit) ++g_lateCallbacks;
}

std::u16string text(const char16_t* value) {
    return value ? value : u"(null)";
}

class SpeechCoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_callbacks = 0;
        g_afterUninit = false;
        g_lateCallbacks = 0;
    }
    std::unique_ptr<CKVSynthTextCore> start(std::vector<std::u16string> outputs = {}) {
        auto core = std::make_unique<CKVSynthTextCore>(fakeEnvironment(world, std::move(outputs)));
        EXPECT_EQ(core->Init(nullptr), 1);
        core->SetNotify(countCallback, 7, 8);
        world.takeLog();
        return core;
    }
    FakeVoice& engine(int kind) { return *world.live.at(kind); }

    FakeWorld world;
};

TEST_F(SpeechCoreTest, WithoutEnginesItStartsEmptyAndSpeaksNothing) {
    auto core = start();
    EXPECT_EQ(core->GetFirstVoice(), nullptr);
    EXPECT_EQ(core->GetVoice(), nullptr);
    EXPECT_EQ(core->Speak(u"hello"), 0);
    EXPECT_EQ(core->Speak2(u"hello"), 0);
    EXPECT_EQ(core->SetDevice(0), 0);
    EXPECT_EQ(core->GetVolume(), -1);
    EXPECT_EQ(core->SetVolume(10), 0);
}

TEST_F(SpeechCoreTest, ListsVoicesByKindAndSelectsTheFirst) {
    world.voices = {{kKindViavoice, {u"Eci A", u"Eci B"}}, {kKindSpeechService, {u"Service"}}};
    auto core = std::make_unique<CKVSynthTextCore>(fakeEnvironment(world));
    ASSERT_EQ(core->Init(nullptr), 1);
    std::vector<std::u16string> names;
    for (const char16_t* n = core->GetFirstVoice(); n; n = core->GetNextVoice()) names.push_back(n);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Eci A", u"Eci B", u"Service"}));
    EXPECT_EQ(core->GetNextVoice(), nullptr);
    EXPECT_EQ(text(core->GetVoice()), u"Eci A");
    EXPECT_EQ(world.takeLog().back(), "2:SelectVoice Eci A");

    // An unknown name keeps the engine; a known one loads its kind's engine.
    EXPECT_EQ(core->SetVoice(u"Nobody"), 0);
    EXPECT_EQ(text(core->GetVoice()), u"Eci A");
    EXPECT_TRUE(world.takeLog().empty());
    EXPECT_EQ(core->SetVoice(u"Service"), 1);
    EXPECT_EQ(text(core->GetVoice()), u"Service");
    EXPECT_EQ(world.takeLog(), (std::vector<std::string>{"3:Init", "3:SelectVoice Service"}));
    EXPECT_EQ(core->SetVoice(nullptr), 0);
}

TEST_F(SpeechCoreTest, OneCallbackPerTextAndStopDropsWhatIsQueued) {
    world.voices = {{kKindSpeechService, {u"Voice"}}};
    auto core = start();
    EXPECT_EQ(core->Speak2(u"one"), 1);
    EXPECT_EQ(core->Speak2(u"two"), 1);
    EXPECT_TRUE(engine(kKindSpeechService).reportEnd());
    EXPECT_EQ(g_callbacks, 1);
    EXPECT_TRUE(engine(kKindSpeechService).reportEnd());
    EXPECT_EQ(g_callbacks, 2);

    EXPECT_EQ(core->Speak2(u"three"), 1);
    EXPECT_EQ(core->Speak2(u"four"), 1);
    EXPECT_EQ(core->Stop(), 1);
    EXPECT_TRUE(core->queueSnapshot().empty());
    EXPECT_FALSE(engine(kKindSpeechService).reportEnd());
    EXPECT_EQ(g_callbacks, 2);

    // Speak stops what is spoken: only the new text is reported.
    EXPECT_EQ(core->Speak2(u"five"), 1);
    EXPECT_EQ(core->Speak(u"six"), 1);
    EXPECT_TRUE(engine(kKindSpeechService).reportEnd());
    EXPECT_FALSE(engine(kKindSpeechService).reportEnd());
    EXPECT_EQ(g_callbacks, 3);
    EXPECT_EQ(core->Speak2(u""), 0);
    EXPECT_EQ(core->Speak2(nullptr), 0);
}

TEST(TextRuns, MixedTextIsCutWhereTheClassChanges) {
    struct Case {
        std::u16string text;
        std::vector<std::pair<std::u16string, bool>> runs;  // text, English
    };
    const Case cases[] = {
        {u"Hello 你好 world", {{u"Hello ", true}, {u"你好 ", false}, {u"world", true}}},
        {u"3 apples", {{u"3 ", false}, {u"apples", true}}},
        {u"  ", {{u"  ", true}}},
        {u" 你好", {{u" 你好", false}}},
        {u"a,b", {{u"a", true}, {u",", false}, {u"b", true}}},
        {u"😀x", {{u"😀", false}, {u"x", true}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::u16string, bool>> runs;
        for (const TextRun& run : cutIntoRuns(c.text)) runs.emplace_back(run.text, run.english);
        EXPECT_EQ(runs, c.runs) << utf16ToUtf8(c.text);
    }
}

TEST_F(SpeechCoreTest, EnglishVoiceSpeaksItsRunsInTurn) {
    world.voices = {{kKindViavoice, {u"Chinese"}}, {kKindSpeechService, {u"English"}}};
    auto core = start();
    ASSERT_EQ(core->SetEnglishVoice(u"English"), 1);
    EXPECT_EQ(text(core->GetEnglishVoice()), u"English");
    world.takeLog();

    EXPECT_EQ(core->Speak2(u"Hello 你好 world"), 1);
    EXPECT_EQ(world.takeLog(), std::vector<std::string>{"3:SpeakNow Hello "});
    auto queued = core->queueSnapshot();
    ASSERT_EQ(queued.size(), 3u);
    EXPECT_EQ(queued[0].kind, CKVSynthTextCore::kMainText);
    EXPECT_EQ(queued[0].text, u"你好 ");
    EXPECT_EQ(queued[1].kind, CKVSynthTextCore::kEnglishText);
    EXPECT_EQ(queued[1].text, u"world");
    EXPECT_EQ(queued[2].kind, CKVSynthTextCore::kEndMarker);

    // A second text while the queue is busy: its first run is queued too.
    EXPECT_EQ(core->Speak2(u"Hi"), 1);
    queued = core->queueSnapshot();
    ASSERT_EQ(queued.size(), 5u);
    EXPECT_EQ(queued[3].kind, CKVSynthTextCore::kEnglishText);
    EXPECT_EQ(queued[3].text, u"Hi");

    // Each end report hands the next run to its engine; each text ends in one callback, and
    // the end of the first text starts the second.
    EXPECT_TRUE(engine(kKindSpeechService).reportEnd());
    EXPECT_TRUE(engine(kKindViavoice).reportEnd());
    EXPECT_EQ(g_callbacks, 0);
    EXPECT_TRUE(engine(kKindSpeechService).reportEnd());
    EXPECT_EQ(g_callbacks, 1);
    EXPECT_TRUE(engine(kKindSpeechService).reportEnd());
    EXPECT_EQ(g_callbacks, 2);
    EXPECT_FALSE(engine(kKindSpeechService).reportEnd());
    EXPECT_TRUE(core->queueSnapshot().empty());
    EXPECT_EQ(world.takeLog(),
              (std::vector<std::string>{"2:SpeakNow 你好 ", "3:SpeakNow world", "3:SpeakNow Hi"}));

    EXPECT_EQ(core->SpeakWith(u"x", 2), 0);
    EXPECT_EQ(core->SpeakWith(u"word", 1), 1);
    EXPECT_EQ(world.takeLog(), std::vector<std::string>{"3:SpeakNow word"});
}

TEST_F(SpeechCoreTest, ChineseEngineCannotBeTheEnglishVoice) {
    world.voices = {{kKindIbmChinese, {u"IBM Female Voice SC"}},
                    {kKindSpeechService, {u"English", u"Other"}}};
    auto core = start();
    ASSERT_EQ(core->SetVoice(u"English"), 1);
    EXPECT_EQ(core->SetEnglishVoice(u"IBM Female Voice SC"), 0);
    EXPECT_EQ(core->GetEnglishVoice(), nullptr);
    EXPECT_EQ(core->SetEnglishVoice(u"Unknown"), 0);
    EXPECT_EQ(core->SetEnglishVoice(u"Other"), 1);
    EXPECT_EQ(text(core->GetEnglishVoice()), u"Other");
    // The main voice as English voice means no English engine.
    EXPECT_EQ(core->SetEnglishVoice(u"English"), 1);
    EXPECT_EQ(core->GetEnglishVoice(), nullptr);
}

TEST_F(SpeechCoreTest, DeviceNamesAreCutToTheBuffer) {
    world.voices = {{kKindSpeechService, {u"Voice"}}};
    auto core = start({u"Speakers 123", u"Headphones"});
    EXPECT_EQ(core->GetDeviceCount(), 2);
    char16_t name[16] = {};
    int length = -1;
    EXPECT_EQ(core->GetDeviceName(0, name, 5, &length), 1);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(std::u16string(name), u"Spea");
    EXPECT_EQ(core->GetDeviceName(0, nullptr, 0, &length), 1);
    EXPECT_EQ(length, 12);
    EXPECT_EQ(core->GetDeviceName(1, name, 16, &length), 1);
    EXPECT_EQ(std::u16string(name), u"Headphones");
    EXPECT_EQ(core->GetDeviceName(0, name, 0, &length), 0);
    EXPECT_EQ(core->GetDeviceName(0, nullptr, 0, nullptr), 0);
    EXPECT_EQ(core->GetDeviceName(2, name, 16, &length), 0);
    EXPECT_EQ(core->SetDevice(1), 0);
    EXPECT_EQ(core->SetDevice(5), 1);
}

// Reports come from the engine's own thread while the calling thread keeps speaking and
// stopping; run under ThreadSanitizer this shows that the queue is properly locked.
TEST_F(SpeechCoreTest, ReportsFromAnotherThreadWhileSpeakingAndStopping) {
    world.voices = {{kKindSpeechService, {u"Voice"}}};
    world.freeRunning = true;
    auto core = start();
    constexpr int kTexts = 200;
    for (int i = 0; i < kTexts; ++i) ASSERT_EQ(core->Speak2(u"text"), 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (g_callbacks < kTexts && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(g_callbacks, kTexts);

    g_callbacks = 0;
    for (int i = 0; i < kTexts; ++i) {
        core->Speak2(u"text");
        if (i % 7 == 0) core->Stop();
        if (i % 11 == 0) core->Speak(u"again");
    }
    core->Uninit();
    g_afterUninit = true;
    const int reported = g_callbacks;
    EXPECT_LE(reported, kTexts + kTexts / 11 + 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(g_lateCallbacks, 0);
}

}  // namespace
}  // namespace wf::test
