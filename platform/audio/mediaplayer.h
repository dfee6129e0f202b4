// A media player over GStreamer's playbin: one file or web address at a time, with open, play,
// pause, resume, stop with rewind, status and close. Every call is safe from any thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

typedef struct _GstElement GstElement;

namespace wf {

class MediaPlayer {
  public:
    enum class Status { Closed, Stopped, Playing, Paused };

    MediaPlayer() = default;
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // Opens a local file or an http(s) address, closing what was open, and waits until it is
    // ready to play (at most the open timeout). False when it cannot be played.
    bool open(std::string_view pathOrAddress);
    // Plays from the current position; after the end of the media, from the start again.
    bool play();
    bool pause();
    bool resume();
    // Stops and rewinds to the start.
    bool stop();
    bool seek(std::int64_t milliseconds);
    void close();
    // 0 to 1.
    void setVolume(double volume);

    Status status();
    std::int64_t position();  // milliseconds; the length once the media has ended
    std::int64_t length();    // milliseconds; 0 while unknown
    // True once the media played to its end (until the next play, stop or open).
    bool ended();
    const std::string& source() const { return m_source; }

    // How long open() waits for a file or address to become playable.
    static constexpr int kOpenTimeoutMs = 8000;

  private:
    void pollBus();
    void closeLocked();

    std::mutex m_mutex;
    GstElement* m_pipeline = nullptr;
    Status m_status = Status::Closed;
    bool m_ended = false;
    std::string m_source;
};

// A file URI for a local path, or the address itself when it already has a scheme.
std::string mediaUri(std::string_view pathOrAddress);

}  // namespace wf
