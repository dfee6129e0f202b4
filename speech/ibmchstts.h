// The adapter of the IBM Chinese engine (engine kind 1): a female and a male mode.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "speech/chinesettsapi.h"
#include "speech/ikvspeechvoice.h"
#include "speech/notifytarget.h"

namespace wf {

class CIbmChstts;

// Receives the engine's buffer notifications; reference counted because the engine may hold and
// release it on its own threads.
class CIbmChsttsNotifySink {
  public:
    explicit CIbmChsttsNotifySink(CIbmChstts* owner) : m_owner(owner) {}
    long AddRef() { return ++m_references; }
    long Release();
    int TextDataStarted() { return 0; }
    int TextDataDone();
    int BookMark() { return 0; }
    int WordPosition() { return 0; }

  private:
    std::atomic<long> m_references{0};
    CIbmChstts* m_owner;
};

class CIbmChstts : public IKVSpeechVoice {
  public:
    using EngineFactory = std::function<std::unique_ptr<ChineseTtsApi>()>;
    static constexpr const char16_t* kFemaleMode = u"IBM Female Voice SC";
    static constexpr const char16_t* kMaleMode = u"IBM Male Voice SC";

    explicit CIbmChstts(EngineFactory createEngine);
    ~CIbmChstts() override;

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

  private:
    friend class CIbmChsttsNotifySink;
    bool loaded() const { return m_api && m_holder && m_api->holderOpen(); }
    bool createHolder();

    EngineFactory m_createEngine;
    std::unique_ptr<ChineseTtsApi> m_api;
    CIbmChsttsNotifySink* m_sink = nullptr;
    bool m_directSound = false;
    bool m_holder = false;
    std::optional<TtsModeInfo> m_female;
    std::optional<TtsModeInfo> m_male;
    NotifyTarget m_notify;
};

}  // namespace wf
