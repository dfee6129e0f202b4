// The system speech service on Linux: espeak-ng voices for English and Mandarin, played through
// the project's audio output. The end of a text is reported once its audio has been heard.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "speech/speechservice.h"

namespace wf {

class PcmOutput;

class EspeakSpeechService : public SpeechService {
  public:
    EspeakSpeechService();
    ~EspeakSpeechService() override;

    bool createVoice() override;
    void releaseVoice() override;
    void setEventHandler(std::function<void(int event)> handler) override;
    std::optional<std::vector<SpeechToken>> voiceTokens() override;
    std::optional<std::vector<SpeechToken>> outputTokens() override;
    int setVoice(std::size_t voiceToken) override;
    int setOutput(std::optional<std::size_t> outputToken) override;
    std::optional<SpeechToken> currentOutput() override;
    int speak(std::u16string_view text, unsigned flags) override;
    int pause() override;
    int resume() override;
    int runningState(int* state) override;
    int setVolume(int volume) override;
    int getVolume(int* volume) override;
    int setRate(int rate) override;
    int getRate(int* rate) override;

    struct Utterance {
        std::string text;  // UTF-8, plain
        int pitch = 0;     // -10..10
    };
    // Markup as the service reads it: pitch elements set the pitch, other elements are skipped,
    // their text is spoken; text that is not markup is spoken as it stands.
    static Utterance readMarkup(std::u16string_view markup, int pitch);
    // Speaking rate -10..10 as espeak-ng words per minute (each step about 11.6 % faster).
    static int wordsPerMinute(int rate);

  private:
    struct Voice {
        std::string identifier;
        std::u16string english;
        std::u16string chinese;
    };
    static const std::vector<Voice>& installedVoices();

    void purge();
    // Starts the next pending text when nothing is playing; m_mutex held.
    int startNextLocked();
    void onStreamFinished(std::uint64_t stream);

    std::recursive_mutex m_delivery;  // held while an event is delivered; taken before m_mutex
    std::mutex m_mutex;
    bool m_created = false;
    std::function<void(int)> m_handler;
    std::size_t m_voice = 0;
    std::optional<std::size_t> m_output;
    int m_volume = 100;
    int m_rate = 0;
    std::deque<Utterance> m_pending;
    bool m_inFlight = false;
    std::uint64_t m_stream = 0;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::shared_ptr<PcmOutput> m_pcm;
};

}  // namespace wf
