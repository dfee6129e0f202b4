// The adapter of the system speech service (engine kind 3).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "speech/ikvspeechvoice.h"
#include "speech/notifytarget.h"
#include "speech/speechservice.h"

namespace wf {

class CSpVoice : public IKVSpeechVoice {
  public:
    using ServiceFactory = std::function<std::unique_ptr<SpeechService>()>;
    // language: the user-interface language in which token names are read.
    CSpVoice(ServiceFactory createService, std::function<std::uint16_t()> language);
    ~CSpVoice() override;

    int Init(void* window) override;
    void Uninit() override;
    int SetDevice(int device) override;
    int GetDevice(int* device) override;
    int EnumVoices(char16_t* names, int capacity, int* count) override;
    int SelectVoice(const char16_t* name) override;
    int GetVoiceName(char16_t* name) override;
    int SpeakNow(const char16_t* text) override;
    int Speak(const char16_t* text) override;
    int Stop() override;
    int Pause() override;
    int Resume() override;
    int SetVolume(int value) override;
    int GetVolume(int* value) override;
    int SetSpeed(int value) override;
    int GetSpeed(int* value) override;
    int SetPitch(int value) override;
    int GetPitch(int* value) override;
    int SetNotify(IKVNotify* target, std::intptr_t reserved, IKVSynthText* core) override;

    int pitch() const { return m_pitch; }

  private:
    std::u16string displayName(const SpeechToken& token) const;
    void onEvent(int event);

    ServiceFactory m_createService;
    std::function<std::uint16_t()> m_language;
    std::unique_ptr<SpeechService> m_voice;  // the voice object; null when not loaded
    int m_pitch = 0;                         // -10..10, applied with every text
    NotifyTarget m_notify;
    std::u16string m_selected;
};

// The pitch markup the adapter puts before every text. A text that is not well-formed markup
// (a lone "<" or "&") is escaped, so it is spoken as written.
std::u16string pitchMarkup(int pitch, std::u16string_view text);
bool isWellFormedMarkup(std::u16string_view text);

}  // namespace wf
