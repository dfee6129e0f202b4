// Plays a list of files one after another, once, on a worker thread. A new list or stop()
// ends the one playing. A file that cannot be played is skipped.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/mediaplayer.h"

namespace wf {

class PlaylistPlayer {
  public:
    PlaylistPlayer() = default;
    ~PlaylistPlayer();
    PlaylistPlayer(const PlaylistPlayer&) = delete;
    PlaylistPlayer& operator=(const PlaylistPlayer&) = delete;

    void play(std::vector<std::string> files);
    void stop();
    // True from play() until the last file has ended or stop() was called.
    bool isPlaying() const { return m_playing.load(); }
    // Index of the file playing now, or -1.
    int currentIndex() const { return m_current.load(); }
    // How many files of the last list started to play.
    int filesPlayed() const { return m_played.load(); }

  private:
    void run(std::stop_token stop, std::vector<std::string> files);

    MediaPlayer m_player;
    std::jthread m_worker;
    std::mutex m_wakeMutex;
    std::condition_variable_any m_wake;
    std::atomic<bool> m_playing{false};
    std::atomic<int> m_current{-1};
    std::atomic<int> m_played{0};
};

}  // namespace wf
