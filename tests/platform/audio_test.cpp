// Sound through GStreamer into a fake sink that keeps real time ("fakesink sync=true").
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <functional>
#include <memory>
#include <thread>

#include "platform/audio/gstreamer.h"
#include "platform/audio/mcicommands.h"
#include "platform/audio/mciinterpreter.h"
#include "platform/audio/mediaplayer.h"
#include "platform/audio/playlistplayer.h"
#include "platform/audio/waveplayer.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

using namespace std::chrono_literals;

// Waits generously: the machine may be busy, and nothing here measures speed.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 20s) {
    auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (condition()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

// An MP3 of about one second, made with the encoder GStreamer ships.
void encodeMp3(const std::filesystem::path& path, int buffers) {
    ASSERT_TRUE(ensureGstreamer());
    std::string description = "audiotestsrc num-buffers=" + std::to_string(buffers) +
                              " samplesperbuffer=1102 ! audio/x-raw,rate=44100,channels=1 ! "
                              "audioconvert ! lamemp3enc target=bitrate cbr=true bitrate=64 ! "
                              "filesink location=\"" +
                              path.string() + "\"";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    ASSERT_TRUE(pipeline && !error);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* done = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    ASSERT_TRUE(done && GST_MESSAGE_TYPE(done) == GST_MESSAGE_EOS);
    gst_message_unref(done);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
}

// A RIFF file of PCM samples: a short tone.
std::string makeWave(int rate, int bitsPerSample, int channels, int milliseconds) {
    const int frames = rate * milliseconds / 1000;
    const int bytesPerFrame = channels * bitsPerSample / 8;
    std::string data(static_cast<std::size_t>(frames * bytesPerFrame), '\0');
    for (int i = 0; i < frames * bytesPerFrame; ++i) data[i] = static_cast<char>((i * 7) & 0x3f);
    auto le = [](std::uint32_t v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
        return out;
    };
    return "RIFF" + le(36 + data.size(), 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) +
           le(channels, 2) + le(rate, 4) + le(rate * bytesPerFrame, 4) + le(bytesPerFrame, 2) +
           le(bitsPerSample, 2) + "data" + le(data.size(), 4) + data;
}

class AudioTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("WORDFERN_AUDIO_SINK", "fakesink sync=true", 1);
        s_folder = new std::filesystem::path(test::makeTempDir("wordfern-audio-"));
        std::filesystem::create_directories(mp3().parent_path());
        encodeMp3(mp3(), 40);  // 40 * 1102 samples at 44.1 kHz: 1 s
        encodeMp3(*s_folder / "short.mp3", 12);
    }
    static void TearDownTestSuite() {
        mciInterpreter().send("close all");
        std::error_code ec;
        std::filesystem::remove_all(*s_folder, ec);
        delete s_folder;
    }
    static std::filesystem::path mp3() { return *s_folder / "with blanks" / "one second.mp3"; }
    static std::filesystem::path shortMp3() { return *s_folder / "short.mp3"; }
    static inline std::filesystem::path* s_folder = nullptr;
};

TEST(MciCommandWords, QuotedPartsAreOneWord) {
    EXPECT_EQ(splitMciCommand("open \"/a b/c d.mp3\" alias x"),
              (std::vector<std::string>{"open", "/a b/c d.mp3", "alias", "x"}));
    EXPECT_EQ(splitMciCommand("  status  x\tposition "),
              (std::vector<std::string>{"status", "x", "position"}));
    EXPECT_EQ(splitMciCommand("open \"unclosed"), (std::vector<std::string>{"open", "unclosed"}));
    EXPECT_TRUE(splitMciCommand("").empty());
}

TEST_F(AudioTest, MciPlaysToTheEndWithPositionLengthAndMode) {
    MciInterpreter& mci = mciInterpreter();
    mci.setRecording(true);
    mci.clearRecordedCommands();
    const std::string alias = "Wordfern_听力";

    ASSERT_TRUE(mciPlay(mp3().string(), alias));
    EXPECT_EQ(
        mci.recordedCommands(),
        (std::vector<std::string>{
            "close " + alias, "open \"" + mp3().string() + "\" alias " + alias, "play " + alias}));
    EXPECT_NEAR(mciLength(alias), 1000, 150);
    EXPECT_EQ(mci.send("status " + alias + " mode").answer, "playing");
    EXPECT_TRUE(eventually([&] { return mciPosition(alias) > 0; }));
    EXPECT_TRUE(
        eventually([&] { return mci.send("status " + alias + " mode").answer == "stopped"; }));
    // The think-time music loops on exactly this comparison.
    EXPECT_EQ(mciPosition(alias), mciLength(alias));

    // A second play under the same alias replaces the file and starts from the beginning.
    ASSERT_TRUE(mciPlay(shortMp3().string(), alias));
    EXPECT_NEAR(mciLength(alias), 300, 100);
    EXPECT_LE(mciPosition(alias), mciLength(alias));

    mciClose(alias);
    EXPECT_EQ(mciPosition(alias), 0);
    EXPECT_EQ(mciLength(alias), 0);
    EXPECT_FALSE(mci.send("play " + alias).ok());
    mci.setRecording(false);
}

TEST_F(AudioTest, MciFailuresAreQuiet) {
    MciInterpreter& mci = mciInterpreter();
    EXPECT_FALSE(mciPlay((*s_folder / "missing.mp3").string(), "gone"));
    EXPECT_EQ(mciPosition("gone"), 0);
    EXPECT_EQ(mciLength("never opened"), 0);
    test::writeBytes(*s_folder / "broken.mp3", "this is no sound at all");
    EXPECT_FALSE(mciPlay((*s_folder / "broken.mp3").string(), "broken"));
    EXPECT_EQ(mci.send("fly").error, MciInterpreter::kMissingParameter);
    EXPECT_EQ(mci.send("fly me to the moon").error, MciInterpreter::kUnknownAlias);

    ASSERT_EQ(mci.send("open \"" + shortMp3().string() + "\" alias Twice").error, 0);
    EXPECT_EQ(mci.send("open \"" + shortMp3().string() + "\" alias twice").error,
              MciInterpreter::kAliasInUse);
    EXPECT_EQ(mci.send("status TWICE mode").answer, "stopped");
    EXPECT_TRUE(mci.send("close twice").ok());
}

TEST_F(AudioTest, NoUsableSoundDeviceMeansAPlayThatReturnsFalse) {
    std::vector<std::string> sinks{"no-such-sink-element"};
    if (GstElementFactory* alsa = gst_element_factory_find("alsasink")) {
        sinks.push_back("alsasink device=hw:77,0");  // a card that is not there
        gst_object_unref(alsa);
    }
    for (const std::string& sink : sinks) {
        setenv("WORDFERN_AUDIO_SINK", sink.c_str(), 1);
        EXPECT_FALSE(mciPlay(shortMp3().string(), "nodevice")) << sink;
        MediaPlayer player;
        EXPECT_FALSE(player.open(shortMp3().string())) << sink;
        EXPECT_FALSE(playWaveFromMemory(makeWave(11025, 8, 1, 100))) << sink;
    }
    setenv("WORDFERN_AUDIO_SINK", "fakesink sync=true", 1);
}

TEST_F(AudioTest, MciIsSafeFromSeveralThreads) {
    std::vector<std::jthread> threads;
    std::atomic<int> played{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            const std::string alias = "thread" + std::to_string(t);
            for (int round = 0; round < 3; ++round) {
                if (mciPlay(shortMp3().string(), alias)) ++played;
                mciPosition(alias);
                mciLength(alias);
                mciClose(alias);
            }
        });
    }
    threads.clear();
    EXPECT_EQ(played.load(), 12);
}

TEST_F(AudioTest, MediaPlayerPausesResumesAndStopsWithRewind) {
    MediaPlayer player;
    EXPECT_EQ(player.status(), MediaPlayer::Status::Closed);
    ASSERT_TRUE(player.open(mp3().string()));
    EXPECT_EQ(player.status(), MediaPlayer::Status::Stopped);
    EXPECT_FALSE(player.resume());
    ASSERT_TRUE(player.play());
    EXPECT_TRUE(eventually([&] { return player.position() >= 200; }));
    ASSERT_TRUE(player.pause());
    EXPECT_EQ(player.status(), MediaPlayer::Status::Paused);
    const auto pausedAt = player.position();
    std::this_thread::sleep_for(150ms);
    EXPECT_LE(player.position(), pausedAt + 40);
    ASSERT_TRUE(player.resume());
    EXPECT_EQ(player.status(), MediaPlayer::Status::Playing);
    ASSERT_TRUE(player.stop());
    EXPECT_EQ(player.status(), MediaPlayer::Status::Stopped);
    EXPECT_EQ(player.position(), 0);
    ASSERT_TRUE(player.play());
    EXPECT_TRUE(eventually([&] { return player.ended(); }));
    EXPECT_EQ(player.status(), MediaPlayer::Status::Stopped);
    player.close();
    EXPECT_EQ(player.status(), MediaPlayer::Status::Closed);
    EXPECT_FALSE(player.play());
}

TEST_F(AudioTest, PlaylistPlaysFilesInOrderAndSkipsMissingOnes) {
    PlaylistPlayer playlist;
    playlist.play({shortMp3().string(), (*s_folder / "missing.mp3").string(), shortMp3().string()});
    EXPECT_TRUE(playlist.isPlaying());
    std::vector<int> seen;
    EXPECT_TRUE(eventually([&] {
        int index = playlist.currentIndex();
        if (index >= 0 && (seen.empty() || seen.back() != index)) seen.push_back(index);
        return !playlist.isPlaying();
    }));
    EXPECT_EQ(playlist.filesPlayed(), 2);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));  // in order, never back
    EXPECT_EQ(playlist.currentIndex(), -1);

    playlist.play({mp3().string(), mp3().string()});
    EXPECT_TRUE(playlist.isPlaying());
    playlist.stop();
    EXPECT_FALSE(playlist.isPlaying());
    EXPECT_EQ(playlist.currentIndex(), -1);
}

TEST_F(AudioTest, WaveFromMemoryPlaysEveryCueFormatAndRefusesOtherData) {
    WavePlayer player;
    const std::string cues[] = {makeWave(22050, 16, 1, 400), makeWave(11025, 16, 1, 400),
                                makeWave(11025, 8, 1, 400), makeWave(48000, 16, 2, 400)};
    for (const std::string& cue : cues) {
        ASSERT_TRUE(player.play(cue));
        EXPECT_TRUE(eventually([&] { return !player.isPlaying(); }));
    }
    EXPECT_FALSE(player.play("RIFF....WAVE but nothing else"));
    EXPECT_FALSE(player.play(std::string(100, 'x')));
    EXPECT_FALSE(player.isPlaying());

    ASSERT_TRUE(playWaveFromMemory(makeWave(22050, 16, 1, 3000)));
    ASSERT_TRUE(playWaveFromMemory(cues[0]));  // replaces the long one
    stopWave();
}

TEST_F(AudioTest, PlaysFromALoopbackHttpServer) {
    const std::string body = test::readBytes(mp3());
    httplib::Server server;
    server.set_tcp_nodelay(true);
    server.Get("/voice.mp3", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "audio/mpeg");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::jthread serving([&] { server.listen_after_bind(); });
    // Stops the server before the thread is joined, also when an assertion leaves early.
    std::unique_ptr<httplib::Server, void (*)(httplib::Server*)> stopper(
        &server, [](httplib::Server* s) { s->stop(); });
    ASSERT_TRUE(eventually([&] { return server.is_running(); }));
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    ASSERT_TRUE(mciPlay(base + "/voice.mp3", "web"));
    EXPECT_TRUE(
        eventually([&] { return mciInterpreter().send("status web mode").answer == "stopped"; }));
    EXPECT_GT(mciPosition("web"), 500);  // it played through
    mciClose("web");
    EXPECT_FALSE(mciPlay(base + "/missing.mp3", "web"));
}

}  // namespace
}  // namespace wf
