// A voice engine adapter for the core's tests. Its end-of-text reports come from another thread:
// on request (reportEnd) or, when free-running, as soon as a text was handed over.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/codec.h"
#include "speech/kvsynthtextcore.h"
#include "speech/notifytarget.h"

namespace wf::test {

// What every fake adapter of one test shares: the voices per kind and a log of calls.
struct FakeWorld {
    std::map<int, std::vector<std::u16string>> voices;
    bool freeRunning = false;
    std::mutex mutex;
    std::vector<std::string> log;
    std::map<int, class FakeVoice*> live;  // the adapter of each kind created last

    void record(std::string entry) {
        std::lock_guard lock(mutex);
        log.push_back(std::move(entry));
    }
    std::vector<std::string> takeLog() {
        std::lock_guard lock(mutex);
        return std::exchange(log, {});
    }
};

class FakeVoice : public IKVSpeechVoice {
  public:
    FakeVoice(FakeWorld& world, int kind) : m_world(world), m_kind(kind) {
        std::lock_guard lock(world.mutex);
        world.live[kind] = this;
    }
    ~FakeVoice() override {
        Uninit();
        std::lock_guard lock(m_world.mutex);
        if (m_world.live[m_kind] == this) m_world.live.erase(m_kind);
    }

    int Init(void*) override {
        if (!m_world.voices.count(m_kind)) return kVoiceFailed;
        m_loaded = true;
        if (m_world.freeRunning) m_reporter = std::thread([this] { runReporter(); });
        record("Init");
        return kVoiceOk;
    }
    void Uninit() override {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
            m_pending.clear();
        }
        m_wake.notify_all();
        if (m_reporter.joinable()) m_reporter.join();
        m_notify.clear();
        m_loaded = false;
    }
    int SetDevice(int device) override { return device < 2 ? kVoiceOk : kVoiceFailed; }
    int GetDevice(int*) override { return kVoiceFailed; }
    int EnumVoices(char16_t* names, int capacity, int* count) override {
        const auto& voices = m_world.voices[m_kind];
        *count = static_cast<int>(voices.size());
        if (names) {
            for (std::size_t i = 0; i < voices.size() && static_cast<int>(i) < capacity; ++i) {
                std::copy(voices[i].begin(), voices[i].end(), names + i * kVoiceNameSlot);
            }
        }
        return kVoiceOk;
    }
    int SelectVoice(const char16_t* name) override {
        record("SelectVoice " + utf16ToUtf8(name));
        return kVoiceOk;
    }
    int GetVoiceName(char16_t*) override { return kVoiceFailed; }
    int SpeakNow(const char16_t* text) override {
        std::lock_guard lock(m_mutex);
        m_pending.clear();
        return queue(text, "SpeakNow ");
    }
    int Speak(const char16_t* text) override {
        std::lock_guard lock(m_mutex);
        return queue(text, "Speak ");
    }
    int Stop() override {
        std::lock_guard lock(m_mutex);  // waits for a report being delivered
        m_pending.clear();
        return kVoiceOk;
    }
    int Pause() override { return kVoiceOk; }
    int Resume() override { return kVoiceOk; }
    int SetVolume(int value) override { return set(m_volume, value); }
    int GetVolume(int* value) override { return get(m_volume, value); }
    int SetSpeed(int value) override { return set(m_speed, value); }
    int GetSpeed(int* value) override { return get(m_speed, value); }
    int SetPitch(int value) override { return set(m_pitch, value); }
    int GetPitch(int* value) override { return get(m_pitch, value); }
    int SetNotify(IKVNotify* target, std::intptr_t reserved, IKVSynthText* core) override {
        m_notify.set(target, reserved, core);
        return kVoiceOk;
    }

    // Reports the end of the oldest text on a thread of its own; false when none is pending.
    bool reportEnd() {
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.empty()) return false;
            m_pending.pop_front();
        }
        std::thread([this] { m_notify.fire(); }).join();
        return true;
    }
    std::size_t pending() {
        std::lock_guard lock(m_mutex);
        return m_pending.size();
    }

  private:
    int queue(const char16_t* text, const char* what) {
        m_pending.push_back(text);
        m_wake.notify_all();
        record(what + utf16ToUtf8(text));
        return kVoiceOk;
    }
    void record(const std::string& entry) { m_world.record(std::to_string(m_kind) + ":" + entry); }
    int set(int& slot, int value) {
        if (!m_loaded) return kVoiceFailed;
        slot = value;
        return kVoiceOk;
    }
    int get(int slot, int* value) {
        if (!m_loaded) return kVoiceFailed;
        *value = slot;
        return kVoiceOk;
    }
    void runReporter() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return m_quit || !m_pending.empty(); });
            if (m_quit) return;
            m_pending.pop_front();
            m_notify.fire();  // under the lock, so that Stop cannot pass a report in flight
        }
    }

    FakeWorld& m_world;
    int m_kind;
    bool m_loaded = false;
    int m_volume = 50, m_speed = 50, m_pitch = 50;
    NotifyTarget m_notify;
    std::recursive_mutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<std::u16string> m_pending;
    bool m_quit = false;
    std::thread m_reporter;
};

inline SpeechCoreEnvironment fakeEnvironment(FakeWorld& world,
                                             std::vector<std::u16string> outputs = {}) {
    SpeechCoreEnvironment environment;
    environment.createVoice = [&world](int kind) {
        return std::make_unique<FakeVoice>(world, kind);
    };
    environment.audioOutputNames = [outputs] { return outputs; };
    return environment;
}

}  // namespace wf::test
