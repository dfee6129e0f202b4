// The adapter of the ECI engine (engine kind 2): its eight preset voices.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "speech/eciapi.h"
#include "speech/ikvspeechvoice.h"
#include "speech/notifytarget.h"

namespace wf {

class CViavoiceTts : public IKVSpeechVoice {
  public:
    using EngineFactory = std::function<std::unique_ptr<EciApi>()>;
    explicit CViavoiceTts(EngineFactory createEngine);
    ~CViavoiceTts() override;

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

    int selectedVoice() const { return m_selected; }

  private:
    static constexpr int kPresetVoices = 8;
    static int eventCallback(EciApi::Handle engine, int message, long parameter, void* data);
    void copySlot(int slot, char16_t* destination) const;

    EngineFactory m_createEngine;
    std::unique_ptr<EciApi> m_api;
    EciApi::Handle m_engine = nullptr;
    std::array<std::u16string, kPresetVoices> m_names;
    int m_selected = 0;
    NotifyTarget m_notify;
};

}  // namespace wf
