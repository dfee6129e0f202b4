// The system speech service as CSpVoice reaches it: a voice object that speaks asynchronously and
// reports the end of each text, and the token categories of voices and audio outputs. The real
// one is EspeakSpeechService; tests give CSpVoice a fake.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wf {

// An entry of a token category: named text values, the unnamed one being the default.
struct SpeechToken {
    std::vector<std::pair<std::u16string, std::u16string>> values;

    std::optional<std::u16string> value(std::u16string_view name) const {
        for (const auto& [key, text] : values) {
            if (key == name) return text;
        }
        return std::nullopt;
    }
};

class SpeechService {
  public:
    static constexpr int kRunDone = 1;
    static constexpr int kRunIsSpeaking = 2;
    static constexpr int kEventEndInputStream = 2;
    static constexpr unsigned kSpeakAsync = 1;
    static constexpr unsigned kSpeakPurge = 2;
    static constexpr unsigned kSpeakXml = 8;

    virtual ~SpeechService() = default;

    // Creates the voice object; false when the service is not installed.
    virtual bool createVoice() = 0;
    virtual void releaseVoice() = 0;
    // Called with the event's identifier on the service's thread. Replacing the handler waits
    // for a call of the old one on another thread to return.
    virtual void setEventHandler(std::function<void(int event)> handler) = 0;

    // Nothing when the category cannot be opened.
    virtual std::optional<std::vector<SpeechToken>> voiceTokens() = 0;
    virtual std::optional<std::vector<SpeechToken>> outputTokens() = 0;
    virtual int setVoice(std::size_t voiceToken) = 0;
    // Nothing selects the system's default output.
    virtual int setOutput(std::optional<std::size_t> outputToken) = 0;
    virtual std::optional<SpeechToken> currentOutput() = 0;

    // Text with kSpeakXml is markup; kSpeakPurge first drops what is spoken and queued; an empty
    // text speaks nothing.
    virtual int speak(std::u16string_view text, unsigned flags) = 0;
    virtual int pause() = 0;
    virtual int resume() = 0;
    virtual int runningState(int* state) = 0;

    virtual int setVolume(int volume) = 0;  // 0..100
    virtual int getVolume(int* volume) = 0;
    virtual int setRate(int rate) = 0;  // -10..10
    virtual int getRate(int* rate) = 0;
};

}  // namespace wf
