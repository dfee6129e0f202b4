// The speech core: one voice list across the installed engine kinds, the engine of the current
// (main) voice and an optional English engine, and the utterance queue through which the end of
// every text reaches the caller's completion callback.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "speech/ikvspeechvoice.h"

namespace wf {

using KvNotifyCallback = void (*)(std::intptr_t zero, std::intptr_t param1, std::intptr_t param2);

class IKVSynthText {
  public:
    virtual ~IKVSynthText() = default;
    virtual int Init(void* window) = 0;
    virtual void Uninit() = 0;
    virtual void Destroy() = 0;
    virtual int GetDeviceCount() = 0;
    virtual int GetDeviceName(int device, char16_t* dst, int count, int* outLength) = 0;
    virtual int SetDevice(int device) = 0;
    virtual void SetNotify(KvNotifyCallback callback, std::intptr_t param1,
                           std::intptr_t param2) = 0;
    virtual const char16_t* GetFirstVoice() = 0;
    virtual const char16_t* GetNextVoice() = 0;
    virtual int SetVoice(const char16_t* name) = 0;
    virtual const char16_t* GetVoice() = 0;
    virtual int SetVolume(int value) = 0;
    virtual int GetVolume() = 0;
    virtual int SetSpeed(int value) = 0;
    virtual int GetSpeed() = 0;
    virtual int SetPitch(int value) = 0;
    virtual int GetPitch() = 0;
    virtual int SetEnglishVoice(const char16_t* name) = 0;
    virtual const char16_t* GetEnglishVoice() = 0;
    virtual int SetEnglishVolume(int value) = 0;
    virtual int SetEnglishSpeed(int value) = 0;
    virtual int SetEnglishPitch(int value) = 0;
    virtual int GetEnglishVolume() = 0;
    virtual int GetEnglishSpeed() = 0;
    virtual int GetEnglishPitch() = 0;
    virtual int Speak(const char16_t* text) = 0;
    virtual int Speak2(const char16_t* text) = 0;
    virtual int SpeakWith(const char16_t* text, int which) = 0;
    virtual int Stop() = 0;
    virtual int Pause() = 0;
    virtual int Resume() = 0;
};

class CKVNotify : public IKVNotify {
  public:
    void Notify(std::intptr_t reserved, IKVSynthText* core) override;
};

// Engine kinds, in the order the voice list is built.
enum VoiceKind : int { kKindIbmChinese = 1, kKindViavoice = 2, kKindSpeechService = 3 };

// How the core reaches what lies outside it: engine adapters by kind, and the audio outputs.
struct SpeechCoreEnvironment {
    std::function<std::unique_ptr<IKVSpeechVoice>(int kind)> createVoice;
    std::function<std::vector<std::u16string>()> audioOutputNames;
};
// Real engines and the system's audio outputs.
SpeechCoreEnvironment systemSpeechEnvironment();

class CKVSynthTextCore : public IKVSynthText {
  public:
    explicit CKVSynthTextCore(SpeechCoreEnvironment environment);
    ~CKVSynthTextCore() override;

    int Init(void* window) override;
    void Uninit() override;
    void Destroy() override;
    int GetDeviceCount() override;
    int GetDeviceName(int device, char16_t* dst, int count, int* outLength) override;
    int SetDevice(int device) override;
    void SetNotify(KvNotifyCallback callback, std::intptr_t param1, std::intptr_t param2) override;
    const char16_t* GetFirstVoice() override;
    const char16_t* GetNextVoice() override;
    int SetVoice(const char16_t* name) override;
    const char16_t* GetVoice() override;
    int SetVolume(int value) override;
    int GetVolume() override;
    int SetSpeed(int value) override;
    int GetSpeed() override;
    int SetPitch(int value) override;
    int GetPitch() override;
    int SetEnglishVoice(const char16_t* name) override;
    const char16_t* GetEnglishVoice() override;
    int SetEnglishVolume(int value) override;
    int SetEnglishSpeed(int value) override;
    int SetEnglishPitch(int value) override;
    int GetEnglishVolume() override;
    int GetEnglishSpeed() override;
    int GetEnglishPitch() override;
    int Speak(const char16_t* text) override;
    int Speak2(const char16_t* text) override;
    int SpeakWith(const char16_t* text, int which) override;
    int Stop() override;
    int Pause() override;
    int Resume() override;

    // An engine has finished a text: speaks the next queued run or reports the end of a text.
    // Any thread.
    void Notify();

    struct VoiceEntry {
        char16_t name[kVoiceNameSlot] = {};
        int kind = 0;
    };
    enum QueueKind : std::uint16_t { kEndMarker = 0, kMainText = 67, kEnglishText = 69 };
    struct QueueEntry {
        QueueKind kind = kEndMarker;
        std::u16string text;
    };
    // For tests: the queue as it stands.
    std::vector<QueueEntry> queueSnapshot() const;

  private:
    using Engine = std::unique_ptr<IKVSpeechVoice>;
    static constexpr std::size_t kNoVoice = static_cast<std::size_t>(-1);

    Engine createEngine(int kind) const;
    // Swaps an engine slot under the engine lock; the old engine is unloaded outside it.
    void replaceEngine(Engine& slot, Engine replacement);
    std::size_t findVoice(const char16_t* name) const;
    void append(QueueEntry entry);
    // Calls the completion callback, if one is registered.
    void reportEnd();
    int setOn(IKVSpeechVoice* engine, int (IKVSpeechVoice::*set)(int), int value);
    int getFrom(IKVSpeechVoice* engine, int (IKVSpeechVoice::*get)(int*));

    SpeechCoreEnvironment m_environment;
    void* m_window = nullptr;
    // Written only on the calling thread, under m_engineLock; Notify reads them under it.
    Engine m_mainEngine;
    Engine m_englishEngine;
    mutable std::shared_mutex m_engineLock;
    CKVNotify m_notifyTarget;
    std::vector<VoiceEntry> m_voiceList;
    std::size_t m_enumPosition = kNoVoice;
    std::size_t m_currentVoice = kNoVoice;
    std::size_t m_englishVoice = kNoVoice;

    mutable std::mutex m_queueLock;  // the one lock of the queue
    std::deque<QueueEntry> m_queue;

    // The callback is called outside the queue lock; this gate lets SetNotify and Uninit wait
    // for a call in progress, so no callback runs after they return.
    std::mutex m_callbackGate;
    KvNotifyCallback m_callback = nullptr;
    std::intptr_t m_param1 = 0;
    std::intptr_t m_param2 = 0;
};

// The cutting of a mixed text into runs for the main and the English voice.
struct TextRun {
    std::u16string text;
    bool english = false;
};
std::vector<TextRun> cutIntoRuns(std::u16string_view text);

}  // namespace wf
