// Plays WAV data held in memory (a whole RIFF file), asynchronously, one sound at a time:
// a new sound stops the one playing, as the system's sound call does.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

typedef struct _GstElement GstElement;

namespace wf {

class WavePlayer {
  public:
    WavePlayer() = default;
    ~WavePlayer();
    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

    // Starts playing a copy of the data; false when it is no WAV data or cannot be played.
    bool play(std::string_view wavBytes);
    void stop();
    bool isPlaying();

  private:
    void stopLocked();

    std::mutex m_mutex;
    GstElement* m_pipeline = nullptr;
};

// The program's one sound channel for short cues.
bool playWaveFromMemory(std::string_view wavBytes);
void stopWave();

}  // namespace wf
