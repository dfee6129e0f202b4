// Plays 16-bit PCM made in memory (synthetic speech, generated tones) through the project's audio
// sink. Each stream gets a pipeline of its own, so a stopped stream can never report the end of a
// later one; the end of a stream is reported once its last sample has been played, not when the
// last sample was written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace wf {

class PcmOutput {
  public:
    // Called on the output's own thread when a stream ended by endStream() has been played to its
    // end (or could not be played at all: ok is then false). Never called for a stopped stream.
    using FinishedHandler = std::function<void(std::uint64_t stream, bool ok)>;

    PcmOutput(int sampleRate, int channels);
    ~PcmOutput();
    PcmOutput(const PcmOutput&) = delete;
    PcmOutput& operator=(const PcmOutput&) = delete;

    // Replacing the handler waits until a call of the old one running on another thread returns,
    // so that whatever it refers to can be freed afterwards.
    void setFinishedHandler(FinishedHandler handler);

    // Output for the streams begun from now on: an index of audioOutputs(), -1 for the default.
    void setOutput(int outputIndex);

    // Stops the current stream and starts a new one; 0 when no pipeline could be built.
    std::uint64_t beginStream();
    // Writes samples (interleaved) to the stream; false once the stream is no longer current.
    bool write(std::uint64_t stream, const std::int16_t* samples, std::size_t count);
    // No more samples for the stream: the handler follows once they have been heard.
    void endStream(std::uint64_t stream);
    // Drops the current stream at once, without a report.
    void stop();
    void pause();
    void resume();
    bool isPaused() const;

    // Measurement hook (benchmarks): called on a streaming thread when the first buffer of a
    // stream reaches the sink. Process-wide; null switches it off.
    static void setFirstBufferObserver(void (*observer)());

    struct State;  // shared with the output's thread and the pipelines' bus handlers

  private:
    std::shared_ptr<State> m_state;
};

}  // namespace wf
