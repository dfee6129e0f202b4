// PCM playback into "fakesink sync=true", which plays in real time: the end of a stream is
// reported once, after its audio has been played; a stopped stream is never reported.
#include "platform/audio/pcmoutput.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace wf::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 16000;

class PcmOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("WORDFERN_AUDIO_SINK", "fakesink sync=true", 1);
        output.setFinishedHandler([this](std::uint64_t stream, bool ok) {
            std::lock_guard lock(mutex);
            finished.emplace_back(stream, ok);
            changed.notify_all();
        });
    }
    // Writes the given length of silence to a new stream and ends it.
    std::uint64_t play(std::chrono::milliseconds length, bool end = true) {
        const std::uint64_t stream = output.beginStream();
        EXPECT_NE(stream, 0u);
        std::vector<std::int16_t> samples(kRate * length.count() / 1000 / 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(output.write(stream, samples.data(), samples.size()));
        if (end) output.endStream(stream);
        return stream;
    }
    bool waitFor(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20),
                                [&] { return finished.size() >= count; });
    }

    PcmOutput output{kRate, 1};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<std::uint64_t, bool>> finished;
};

TEST_F(PcmOutputTest, ReportsTheEndAfterTheAudioWasPlayed) {
    const auto start = Clock::now();
    const std::uint64_t stream = play(std::chrono::milliseconds(300));
    ASSERT_TRUE(waitFor(1));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(250));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard lock(mutex);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0], std::make_pair(stream, true));
}

TEST_F(PcmOutputTest, StoppedAndReplacedStreamsAreNotReported) {
    const std::uint64_t stopped = play(std::chrono::milliseconds(300));
    output.stop();
    EXPECT_FALSE(output.write(stopped, nullptr, 0));
    play(std::chrono::milliseconds(300));  // replaced by the next one
    const std::uint64_t last = play(std::chrono::milliseconds(100));
    ASSERT_TRUE(waitFor(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    std::lock_guard lock(mutex);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].first, last);
}

TEST_F(PcmOutputTest, PausedAudioDoesNotEnd) {
    const auto start = Clock::now();
    output.pause();
    play(std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    {
        std::lock_guard lock(mutex);
        EXPECT_TRUE(finished.empty());
    }
    EXPECT_TRUE(output.isPaused());
    output.resume();
    ASSERT_TRUE(waitFor(1));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(550));
}

TEST_F(PcmOutputTest, AnEmptyStreamEndsToo) {
    const std::uint64_t stream = output.beginStream();
    output.endStream(stream);
    ASSERT_TRUE(waitFor(1));
    // The handler can be dropped while the output lives on.
    output.setFinishedHandler(nullptr);
    play(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::lock_guard lock(mutex);
    EXPECT_EQ(finished.size(), 1u);
}

}  // namespace
}  // namespace wf::test
