// The three engine adapters over fake engines: the value conversions, enumeration capacities,
// selection rules, device bounds, the pitch markup and the end-of-text reports.
#include <gtest/gtest.h>

#include <optional>

#include "platform/codec.h"
#include "speech/chinesettsapi.h"
#include "speech/eciapi.h"
#include "speech/espeakspeechservice.h"
#include "speech/ibmchstts.h"
#include "speech/kvsynthtextcore.h"
#include "speech/speechservice.h"
#include "speech/spvoice.h"
#include "speech/viavoicetts.h"

namespace wf::test {
namespace {

struct CountingNotify : IKVNotify {
    int calls = 0;
    void Notify(std::intptr_t, IKVSynthText*) override { ++calls; }
};

// ---- the system speech service -------------------------------------------------------------

struct ServiceRecord {
    std::vector<SpeechToken> voices;
    std::vector<SpeechToken> outputs;
    int rate = 0;
    int volume = 100;
    int state = SpeechService::kRunDone;
    std::optional<std::optional<std::size_t>> output;  // last setOutput
    std::optional<std::size_t> voice;
    std::vector<std::pair<std::u16string, unsigned>> spoken;
    std::function<void(int)> handler;
    bool paused = false;
};

class FakeService : public SpeechService {
  public:
    explicit FakeService(ServiceRecord& record) : m_record(record) {}
    bool createVoice() override { return true; }
    void releaseVoice() override {}
    void setEventHandler(std::function<void(int)> handler) override {
        m_record.handler = std::move(handler);
    }
    std::optional<std::vector<SpeechToken>> voiceTokens() override { return m_record.voices; }
    std::optional<std::vector<SpeechToken>> outputTokens() override { return m_record.outputs; }
    int setVoice(std::size_t token) override {
        m_record.voice = token;
        return 0;
    }
    int setOutput(std::optional<std::size_t> token) override {
        m_record.output = token;
        return 0;
    }
    std::optional<SpeechToken> currentOutput() override { return std::nullopt; }
    int speak(std::u16string_view text, unsigned flags) override {
        m_record.spoken.emplace_back(std::u16string(text), flags);
        return 0;
    }
    int pause() override {
        m_record.paused = true;
        return 0;
    }
    int resume() override { return 0; }
    int runningState(int* state) override {
        *state = m_record.state;
        return 0;
    }
    int setVolume(int volume) override {
        m_record.volume = volume;
        return 0;
    }
    int getVolume(int* volume) override {
        *volume = m_record.volume;
        return 0;
    }
    int setRate(int rate) override {
        m_record.rate = rate;
        return 0;
    }
    int getRate(int* rate) override {
        *rate = m_record.rate;
        return 0;
    }

  private:
    ServiceRecord& m_record;
};

class SpVoiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        record.voices = {{{{u"", u"English (America)"}, {u"804", u"英语（美国）"}}},
                         {{{u"", u"Chinese"}}}};
        record.outputs = {{{{u"", u"Default"}}}, {{{u"", u"Speakers"}}}, {{{u"", u"Headset"}}}};
        ASSERT_EQ(voice.Init(nullptr), kVoiceOk);
    }
    std::uint16_t language = 0x409;
    ServiceRecord record;
    CSpVoice voice{[this] { return std::make_unique<FakeService>(record); },
                   [this] { return language; }};
};

TEST_F(SpVoiceTest, SpeedMapsToRateAroundFifty) {
    const std::pair<int, int> cases[] = {{52, 0}, {47, 0}, {100, 10}, {0, -10}, {50, 0}, {75, 5}};
    for (auto [speed, rate] : cases) {
        EXPECT_EQ(voice.SetSpeed(speed), kVoiceOk);
        EXPECT_EQ(record.rate, rate) << speed;
    }
    voice.SetSpeed(0);
    int speed = -1;
    EXPECT_EQ(voice.GetSpeed(&speed), kVoiceOk);
    EXPECT_EQ(speed, 0);
}

TEST_F(SpVoiceTest, PitchIsKeptAndSentAsMarkup) {
    struct Case {
        int set, stored, reported;
    };
    for (Case c : {Case{1, -9, 5}, Case{0, -10, 0}, Case{99, 9, 95}, Case{100, 10, 100},
                   Case{250, 10, 100}}) {
        EXPECT_EQ(voice.SetPitch(c.set), kVoiceOk);
        EXPECT_EQ(voice.pitch(), c.stored) << c.set;
        int reported = -1;
        voice.GetPitch(&reported);
        EXPECT_EQ(reported, c.reported) << c.set;
    }
    voice.SetPitch(1);
    voice.Speak(u"hello");
    ASSERT_EQ(record.spoken.size(), 1u);
    EXPECT_EQ(record.spoken[0].first, u"<pitch middle=\"-9\" />hello");
    EXPECT_EQ(record.spoken[0].second, SpeechService::kSpeakAsync | SpeechService::kSpeakXml);
}

TEST_F(SpVoiceTest, TextThatIsNotMarkupIsSpokenAsWritten) {
    struct Case {
        std::u16string text, sent;
        std::string heard;
    };
    const Case cases[] = {
        {u"a < b", u"a &lt; b", "a < b"},
        {u"Tom & Jerry", u"Tom &amp; Jerry", "Tom & Jerry"},
        {u"x &nbsp; y", u"x &amp;nbsp; y", "x &nbsp; y"},
        {u"<b>bold", u"&lt;b&gt;bold", "<b>bold"},
        // Well-formed markup stays markup and acts on the engine.
        {u"fish &amp; chips", u"fish &amp; chips", "fish & chips"},
        {u"<pitch middle=\"5\">up</pitch>", u"<pitch middle=\"5\">up</pitch>", "up"},
    };
    for (const Case& c : cases) {
        record.spoken.clear();
        voice.Speak(c.text.c_str());
        ASSERT_EQ(record.spoken.size(), 1u);
        EXPECT_EQ(record.spoken[0].first, u"<pitch middle=\"0\" />" + c.sent)
            << utf16ToUtf8(c.text);
        EXPECT_EQ(EspeakSpeechService::readMarkup(record.spoken[0].first, 0).text, c.heard);
    }
    EXPECT_EQ(EspeakSpeechService::readMarkup(u"<pitch middle=\"5\">up</pitch>", 0).pitch, 5);
}

TEST_F(SpVoiceTest, SetDeviceCountsFromTheTokenAfterTheDefault) {
    // Three output tokens: the default and two devices.
    struct Case {
        int device;
        int result;
        std::optional<std::size_t> token;
    };
    for (Case c : {Case{0, kVoiceOk, 1}, Case{1, kVoiceOk, 2}, Case{2, kVoiceOk, std::nullopt},
                   Case{3, kVoiceOk, std::nullopt}}) {
        record.output.reset();
        EXPECT_EQ(voice.SetDevice(c.device), c.result) << c.device;
        ASSERT_TRUE(record.output.has_value()) << c.device;
        EXPECT_EQ(*record.output, c.token) << c.device;
    }
    record.output.reset();
    EXPECT_EQ(voice.SetDevice(4), kVoiceFailed);
    EXPECT_FALSE(record.output.has_value());
}

TEST_F(SpVoiceTest, VoiceNamesFollowTheInterfaceLanguage) {
    char16_t names[2 * kVoiceNameSlot] = {};
    int count = 0;
    EXPECT_EQ(voice.EnumVoices(nullptr, 0, &count), kVoiceOk);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(voice.EnumVoices(names, 2, &count), kVoiceOk);
    EXPECT_EQ(std::u16string(names), u"English (America)");
    EXPECT_EQ(std::u16string(names + kVoiceNameSlot), u"Chinese");

    language = 0x804;
    EXPECT_EQ(voice.EnumVoices(names, 2, &count), kVoiceOk);
    EXPECT_EQ(std::u16string(names), u"英语（美国）");
    EXPECT_EQ(voice.SelectVoice(u"Chinese"), kVoiceOk);
    EXPECT_EQ(record.voice, 1u);
    EXPECT_EQ(*record.output, 1u);  // selection returns the output to device 0
    EXPECT_EQ(voice.SelectVoice(u"English (America)"), kVoiceFailed);
    EXPECT_EQ(voice.SelectVoice(u""), kVoiceFailed);
}

TEST_F(SpVoiceTest, EndOfStreamIsReportedOnlyWhileSpeaking) {
    CountingNotify target;
    voice.SetNotify(&target, 0, nullptr);
    record.state = SpeechService::kRunIsSpeaking;
    record.handler(SpeechService::kEventEndInputStream);
    record.handler(1);
    record.state = SpeechService::kRunDone;
    record.handler(SpeechService::kEventEndInputStream);
    EXPECT_EQ(target.calls, 1);

    EXPECT_EQ(voice.Pause(), kVoiceOk);  // nothing is spoken: nothing to pause
    EXPECT_FALSE(record.paused);
    voice.Uninit();
    EXPECT_EQ(voice.Speak(u"x"), kEFail);
    EXPECT_EQ(voice.SetSpeed(50), kEFail);
    EXPECT_EQ(voice.SetDevice(0), kVoiceFailed);
}

TEST(EspeakSpeechService, RateStepsAroundTheNormalSpeed) {
    EXPECT_EQ(EspeakSpeechService::wordsPerMinute(0), 175);
    EXPECT_EQ(EspeakSpeechService::wordsPerMinute(10), 450);
    EXPECT_EQ(EspeakSpeechService::wordsPerMinute(-10), 80);
    EXPECT_LT(EspeakSpeechService::wordsPerMinute(-1), 175);
    EXPECT_GT(EspeakSpeechService::wordsPerMinute(1), 175);
}

// ---- the ECI engine ---------------------------------------------------------------------------

struct EciRecord {
    std::vector<std::string> calls;
    int params[16] = {};
    EciApi::Callback callback = nullptr;
    void* data = nullptr;
    bool installed = true;
};

class FakeEci : public EciApi {
  public:
    explicit FakeEci(EciRecord& record) : m_record(record) {}
    Handle create() override { return m_record.installed ? &m_record : nullptr; }
    void destroy(Handle) override { m_record.calls.push_back("delete"); }
    void setParam(Handle, int param, int value) override {
        m_record.calls.push_back("param " + std::to_string(param) + "=" + std::to_string(value));
    }
    void copyVoice(Handle, int from, int to) override {
        m_record.calls.push_back("copy " + std::to_string(from) + ">" + std::to_string(to));
    }
    bool voiceName(Handle, int voice, char* buffer) override {
        if (voice == 3) return false;
        // Voice 2 has a Chinese name in GB18030 ("中文"); voice 8 fills all 30 bytes.
        const std::string name = voice == 2   ? std::string("\xD6\xD0\xCE\xC4")
                                 : voice == 8 ? std::string(30, 'x')
                                              : "Voice " + std::to_string(voice);
        std::copy(name.begin(), name.end(), buffer);
        return true;
    }
    int getVoiceParam(Handle, int, int param) override { return m_record.params[param]; }
    int setVoiceParam(Handle, int, int param, int value) override {
        m_record.params[param] = value;
        return param == kParamVolume ? 0 : 1;  // what the adapter reads as success
    }
    void addText(Handle, const char* text) override {
        m_record.calls.push_back("add " + std::string(text));
    }
    void insertIndex(Handle, int index) override {
        m_record.calls.push_back("index " + std::to_string(index));
    }
    void synthesize(Handle) override { m_record.calls.push_back("synthesize"); }
    void stop(Handle) override { m_record.calls.push_back("stop"); }
    bool setOutputDevice(Handle, int device) override { return device == 0; }
    void pause(Handle, bool on) override { m_record.calls.push_back(on ? "pause" : "resume"); }
    void registerCallback(Handle, Callback callback, void* data) override {
        m_record.callback = callback;
        m_record.data = data;
    }

  private:
    EciRecord& m_record;
};

class ViavoiceTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(voice.Init(nullptr), kVoiceOk); }
    EciRecord record;
    CViavoiceTts voice{[this] { return std::make_unique<FakeEci>(record); }};
};

TEST_F(ViavoiceTest, SpeedIsScaledByTwoAndAHalf) {
    EXPECT_EQ(voice.SetSpeed(33), kVoiceOk);
    EXPECT_EQ(record.params[EciApi::kParamSpeed], 82);
    int speed = 0;
    EXPECT_EQ(voice.GetSpeed(&speed), kVoiceOk);
    EXPECT_EQ(speed, 32);
    voice.SetVolume(70);
    voice.SetPitch(20);
    int value = 0;
    voice.GetVolume(&value);
    EXPECT_EQ(value, 70);
    voice.GetPitch(&value);
    EXPECT_EQ(value, 20);
}

TEST_F(ViavoiceTest, EnumerationHonoursTheCapacity) {
    char16_t names[10 * kVoiceNameSlot] = {};
    int count = -1;
    EXPECT_EQ(voice.EnumVoices(nullptr, 0, &count), kVoiceOk);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(voice.EnumVoices(names, 0, &count), kVoiceFailed);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(voice.EnumVoices(names, 3, &count), kVoiceOk);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(names[3 * kVoiceNameSlot], 0);
    EXPECT_EQ(voice.EnumVoices(names, 10, &count), kVoiceOk);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(std::u16string(names), u"Voice 1");
    EXPECT_EQ(std::u16string(names + kVoiceNameSlot), u"中文");
    EXPECT_EQ(std::u16string(names + 2 * kVoiceNameSlot), u"");  // not delivered
    EXPECT_EQ(std::u16string(names + 7 * kVoiceNameSlot), std::u16string(30, u'x'));
}

TEST_F(ViavoiceTest, SelectionSpeakingAndEndReports) {
    record.calls.clear();
    EXPECT_EQ(voice.SelectVoice(u"中文"), kVoiceOk);
    EXPECT_EQ(voice.selectedVoice(), 1);
    EXPECT_EQ(voice.SelectVoice(u"nobody"), kVoiceOk);  // succeeds, changes nothing
    EXPECT_EQ(voice.selectedVoice(), 1);
    EXPECT_EQ(voice.SpeakNow(u"你好"), kVoiceOk);
    EXPECT_EQ(record.calls, (std::vector<std::string>{"copy 2>0", "stop", "add \xC4\xE3\xBA\xC3",
                                                      "index 0", "add ", "synthesize"}));
    EXPECT_EQ(voice.SetDevice(0), kVoiceOk);
    EXPECT_EQ(voice.SetDevice(1), kVoiceFailed);

    CountingNotify target;
    voice.SetNotify(&target, 0, nullptr);
    ASSERT_NE(record.callback, nullptr);
    EXPECT_EQ(record.callback(&record, EciApi::kMessageIndexReply, 0, record.data), 1);
    EXPECT_EQ(record.callback(&record, 1, 0, record.data), 1);
    EXPECT_EQ(record.callback(&record, EciApi::kMessageIndexReply, 0, nullptr), 1);
    EXPECT_EQ(target.calls, 1);
}

TEST(Viavoice, AbsentEngineOffersNothing) {
    EciRecord record;
    record.installed = false;
    CViavoiceTts voice{[&] { return std::make_unique<FakeEci>(record); }};
    EXPECT_EQ(voice.Init(nullptr), kVoiceFailed);
    int count = 0;
    EXPECT_EQ(voice.EnumVoices(nullptr, 0, &count), kVoiceFailed);
    EXPECT_EQ(voice.Speak(u"x"), kVoiceFailed);
}

// ---- the IBM Chinese engine -------------------------------------------------------------------

struct ChineseRecord {
    bool female = true;
    bool male = true;
    bool open = false;
    std::u16string openMode;
    std::uint32_t volume = 0, speed = 0;
    std::uint16_t pitch = 0;
    std::uint32_t volumeMin = 0, volumeMax = 0xFFFF;
    std::uint16_t pitchMin = 100, pitchMax = 300;
    std::vector<std::u16string> spoken;
};

class FakeChineseTts : public AbsentChineseTts {
  public:
    explicit FakeChineseTts(ChineseRecord& record) : m_record(record) {}
    bool openEnumerator() override { return true; }
    std::optional<TtsModeInfo> findMode(std::u16string_view name) override {
        if ((name == CIbmChstts::kFemaleMode && m_record.female) ||
            (name == CIbmChstts::kMaleMode && m_record.male)) {
            return TtsModeInfo{std::u16string(name), u"id"};
        }
        return std::nullopt;
    }
    int openMode(const TtsModeInfo& mode) override {
        m_record.open = true;
        m_record.openMode = mode.modeName;
        return 0;
    }
    bool holderOpen() const override { return m_record.open; }
    void destroyHolder() override { m_record.open = false; }
    int textData(std::u16string_view text, CIbmChsttsNotifySink* sink) override {
        m_record.spoken.emplace_back(text);
        sink->AddRef();
        sink->TextDataDone();
        sink->Release();
        return 0;
    }
    int audioReset() override { return 0; }
    // The engine keeps values inside its range, as the real one does.
    int volumeSet(std::uint32_t v) override {
        m_record.volume = std::clamp(v, m_record.volumeMin, m_record.volumeMax);
        return 0;
    }
    int volumeGet(std::uint32_t* v) override {
        *v = m_record.volume;
        return 0;
    }
    int pitchSet(std::uint16_t v) override {
        m_record.pitch = std::clamp(v, m_record.pitchMin, m_record.pitchMax);
        return 0;
    }
    int pitchGet(std::uint16_t* v) override {
        *v = m_record.pitch;
        return 0;
    }

  private:
    ChineseRecord& m_record;
};

TEST(IbmChstts, NeedsBothModes) {
    ChineseRecord record;
    record.male = false;
    CIbmChstts voice{[&] { return std::make_unique<FakeChineseTts>(record); }};
    EXPECT_EQ(voice.Init(nullptr), kVoiceFailed);
    int count = 0;
    EXPECT_EQ(voice.EnumVoices(nullptr, 0, &count), kVoiceFailed);

    CIbmChstts absent{[] { return std::make_unique<AbsentChineseTts>(); }};
    EXPECT_EQ(absent.Init(nullptr), kVoiceFailed);
}

TEST(IbmChstts, VoicesParametersAndSelection) {
    ChineseRecord record;
    CIbmChstts voice{[&] { return std::make_unique<FakeChineseTts>(record); }};
    ASSERT_EQ(voice.Init(nullptr), kVoiceOk);
    EXPECT_EQ(record.openMode, CIbmChstts::kFemaleMode);
    char16_t names[2 * kVoiceNameSlot] = {};
    int count = 0;
    EXPECT_EQ(voice.EnumVoices(names, 1, &count), kVoiceOk);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(voice.EnumVoices(names, 2, &count), kVoiceOk);
    EXPECT_EQ(std::u16string(names + kVoiceNameSlot), CIbmChstts::kMaleMode);

    // Percentages over the engine's own range: volume 0..0xFFFF, pitch 100..300.
    EXPECT_EQ(voice.SetVolume(50), kVoiceOk);
    EXPECT_EQ(record.volume, 32767u);
    int value = 0;
    EXPECT_EQ(voice.GetVolume(&value), kVoiceOk);
    EXPECT_EQ(value, 49);
    EXPECT_EQ(record.volume, 32767u);  // restored after the range was probed
    EXPECT_EQ(voice.SetPitch(25), kVoiceOk);
    EXPECT_EQ(record.pitch, 150);
    EXPECT_EQ(voice.GetPitch(&value), kVoiceOk);
    EXPECT_EQ(value, 25);

    CountingNotify target;
    voice.SetNotify(&target, 0, nullptr);
    EXPECT_EQ(voice.Speak(u"你好"), kVoiceOk);
    EXPECT_EQ(target.calls, 1);

    EXPECT_EQ(voice.SelectVoice(CIbmChstts::kMaleMode), kVoiceOk);
    EXPECT_EQ(record.openMode, CIbmChstts::kMaleMode);
    // An unknown name leaves an empty holder: speaking fails until a voice is selected.
    EXPECT_EQ(voice.SelectVoice(u"Someone"), kVoiceFailed);
    EXPECT_EQ(voice.Speak(u"你好"), kVoiceFailed);
    EXPECT_EQ(voice.SelectVoice(CIbmChstts::kFemaleMode), kVoiceOk);
    EXPECT_EQ(voice.Speak(u"你好"), kVoiceOk);
}

}  // namespace
}  // namespace wf::test
