#include "speech/kvsynthtextcore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

namespace wf {

namespace {

// Set while this thread runs the completion callback, so that a callback which changes the
// registration does not wait for itself.
thread_local bool t_inCallback = false;

std::u16string_view slotText(const char16_t* slot, std::size_t size) {
    std::size_t n = 0;
    while (n < size && slot[n]) ++n;
    return {slot, n};
}

bool isEnglishLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

void debugOutput(const std::string& text) {
    // The library prints nothing unless asked; this is the only diagnostic it has.
    if (std::getenv("KVTTS_DEBUG")) std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

std::vector<TextRun> cutIntoRuns(std::u16string_view text) {
    std::vector<TextRun> runs;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t first = pos;
        while (first < text.size() && text[first] == u' ') ++first;
        const bool english = first == text.size() || isEnglishLetter(text[first]);
        std::size_t end = first;
        while (end < text.size() && (text[end] == u' ' || isEnglishLetter(text[end]) == english)) {
            ++end;
        }
        runs.push_back({std::u16string(text.substr(pos, end - pos)), english});
        pos = end;
    }
    return runs;
}

void CKVNotify::Notify(std::intptr_t, IKVSynthText* core) {
    if (auto* synth = dynamic_cast<CKVSynthTextCore*>(core)) synth->Notify();
}

CKVSynthTextCore::CKVSynthTextCore(SpeechCoreEnvironment environment)
    : m_environment(std::move(environment)) {}

CKVSynthTextCore::~CKVSynthTextCore() {
    Uninit();
}

CKVSynthTextCore::Engine CKVSynthTextCore::createEngine(int kind) const {
    if (!m_environment.createVoice) return nullptr;
    try {
        return m_environment.createVoice(kind);
    } catch (...) {
        return nullptr;
    }
}

void CKVSynthTextCore::replaceEngine(Engine& slot, Engine replacement) {
    {
        std::unique_lock lock(m_engineLock);
        std::swap(slot, replacement);
    }
    // Unloading waits for the engine's thread, which may be inside Notify: not under the lock.
    if (replacement) replacement->Uninit();
}

int CKVSynthTextCore::Init(void* window) {
    Uninit();
    m_window = window;
    SetNotify(nullptr, 0, 0);
    for (int kind : {kKindIbmChinese, kKindViavoice, kKindSpeechService}) {
        Engine engine = createEngine(kind);
        if (!engine) continue;
        if (engine->Init(window) == kVoiceOk) {
            int count = 0;
            engine->EnumVoices(nullptr, 0, &count);
            if (count > 0) {
                std::vector<char16_t> names(static_cast<std::size_t>(count) * kVoiceNameSlot);
                int delivered = count;
                if (engine->EnumVoices(names.data(), count, &delivered) == kVoiceOk) {
                    // An engine whose list grew between the two calls gets no more slots.
                    delivered = std::clamp(delivered, 0, count);
                    for (int i = 0; i < delivered; ++i) {
                        VoiceEntry entry;
                        const char16_t* slot = &names[static_cast<std::size_t>(i) * kVoiceNameSlot];
                        auto name = slotText(slot, kVoiceNameSlot - 1);
                        std::copy(name.begin(), name.end(), entry.name);
                        entry.kind = kind;
                        m_voiceList.push_back(entry);
                    }
                }
            }
        }
        engine->Uninit();
    }
    if (m_voiceList.empty()) return 1;
    Engine main = createEngine(m_voiceList.front().kind);
    if (!main) return 0;
    if (main->Init(window) != kVoiceOk) {
        main->Uninit();
        return 0;
    }
    main->SetNotify(&m_notifyTarget, 0, this);
    m_currentVoice = 0;
    main->SelectVoice(m_voiceList.front().name);
    replaceEngine(m_mainEngine, std::move(main));
    return 1;
}

void CKVSynthTextCore::Uninit() {
    SetNotify(nullptr, 0, 0);
    Stop();
    replaceEngine(m_mainEngine, nullptr);
    replaceEngine(m_englishEngine, nullptr);
    m_voiceList.clear();
    m_enumPosition = m_currentVoice = m_englishVoice = kNoVoice;
}

void CKVSynthTextCore::Destroy() {
    delete this;
}

int CKVSynthTextCore::GetDeviceCount() {
    if (!m_environment.audioOutputNames) return 0;
    return static_cast<int>(m_environment.audioOutputNames().size());
}

int CKVSynthTextCore::GetDeviceName(int device, char16_t* dst, int count, int* outLength) {
    if (!dst && !outLength) return 0;
    if (!m_environment.audioOutputNames) return 0;
    const std::vector<std::u16string> names = m_environment.audioOutputNames();
    if (device < 0 || device >= static_cast<int>(names.size())) return 0;
    const std::u16string& name = names[static_cast<std::size_t>(device)];
    if (outLength) *outLength = static_cast<int>(name.size());
    if (!dst) return 1;
    if (count <= 0) return 0;
    const std::size_t copied = std::min(name.size(), static_cast<std::size_t>(count - 1));
    std::copy_n(name.begin(), copied, dst);
    dst[copied] = 0;
    if (outLength) *outLength = static_cast<int>(copied);
    return 1;
}

int CKVSynthTextCore::SetDevice(int device) {
    bool failed = false;
    if (m_mainEngine && m_mainEngine->SetDevice(device) != kVoiceOk) failed = true;
    if (m_englishEngine && m_englishEngine->SetDevice(device) != kVoiceOk) failed = true;
    return failed ? 1 : 0;
}

void CKVSynthTextCore::SetNotify(KvNotifyCallback callback, std::intptr_t param1,
                                 std::intptr_t param2) {
    std::unique_lock<std::mutex> gate(m_callbackGate, std::defer_lock);
    if (!t_inCallback) gate.lock();
    m_callback = callback;
    m_param1 = param1;
    m_param2 = param2;
}

const char16_t* CKVSynthTextCore::GetFirstVoice() {
    if (m_voiceList.empty()) {
        m_enumPosition = kNoVoice;
        return nullptr;
    }
    m_enumPosition = 0;
    return m_voiceList.front().name;
}

const char16_t* CKVSynthTextCore::GetNextVoice() {
    if (m_enumPosition == kNoVoice || m_enumPosition >= m_voiceList.size()) return nullptr;
    ++m_enumPosition;
    if (m_enumPosition >= m_voiceList.size()) return nullptr;
    return m_voiceList[m_enumPosition].name;
}

std::size_t CKVSynthTextCore::findVoice(const char16_t* name) const {
    const std::u16string_view wanted(name);
    for (std::size_t i = 0; i < m_voiceList.size(); ++i) {
        if (slotText(m_voiceList[i].name, kVoiceNameSlot) == wanted) return i;
    }
    return kNoVoice;
}

int CKVSynthTextCore::SetVoice(const char16_t* name) {
    if (!name) return 0;
    Stop();
    if (!m_mainEngine) return 0;
    const std::size_t entry = findVoice(name);
    if (entry == kNoVoice) return 0;
    replaceEngine(m_mainEngine, nullptr);
    Engine engine = createEngine(m_voiceList[entry].kind);
    if (!engine) return 0;
    const bool loaded = engine->Init(m_window) == kVoiceOk;
    IKVSpeechVoice* raw = engine.get();
    // A failed engine stays loaded as the main engine; its operations then fail.
    replaceEngine(m_mainEngine, std::move(engine));
    if (!loaded) return 0;
    if (raw->SelectVoice(name) != kVoiceOk) return 0;
    raw->SetNotify(&m_notifyTarget, 0, this);
    m_currentVoice = entry;
    return 1;
}

const char16_t* CKVSynthTextCore::GetVoice() {
    if (!m_mainEngine || m_currentVoice >= m_voiceList.size()) return nullptr;
    return m_voiceList[m_currentVoice].name;
}

int CKVSynthTextCore::setOn(IKVSpeechVoice* engine, int (IKVSpeechVoice::*set)(int), int value) {
    if (!engine) return 0;
    return (engine->*set)(value) == kVoiceOk ? 1 : 0;
}

int CKVSynthTextCore::getFrom(IKVSpeechVoice* engine, int (IKVSpeechVoice::*get)(int*)) {
    if (!engine) return -1;
    int value = 0;
    return (engine->*get)(&value) == kVoiceOk ? value : -1;
}

int CKVSynthTextCore::SetVolume(int value) {
    return setOn(m_mainEngine.get(), &IKVSpeechVoice::SetVolume, value);
}
int CKVSynthTextCore::GetVolume() {
    return getFrom(m_mainEngine.get(), &IKVSpeechVoice::GetVolume);
}
int CKVSynthTextCore::SetSpeed(int value) {
    return setOn(m_mainEngine.get(), &IKVSpeechVoice::SetSpeed, value);
}
int CKVSynthTextCore::GetSpeed() {
    return getFrom(m_mainEngine.get(), &IKVSpeechVoice::GetSpeed);
}
int CKVSynthTextCore::SetPitch(int value) {
    return setOn(m_mainEngine.get(), &IKVSpeechVoice::SetPitch, value);
}
int CKVSynthTextCore::GetPitch() {
    return getFrom(m_mainEngine.get(), &IKVSpeechVoice::GetPitch);
}

int CKVSynthTextCore::SetEnglishVoice(const char16_t* name) {
    if (!name) return 0;
    Stop();
    if (const char16_t* current = GetVoice(); current && std::u16string_view(current) == name) {
        replaceEngine(m_englishEngine, nullptr);
        m_englishVoice = kNoVoice;
        return 1;
    }
    const std::size_t entry = findVoice(name);
    if (entry == kNoVoice) return 0;
    replaceEngine(m_englishEngine, nullptr);
    if (m_voiceList[entry].kind == kKindIbmChinese) {
        m_englishVoice = kNoVoice;
        return 0;  // the Chinese engine cannot read English
    }
    Engine engine = createEngine(m_voiceList[entry].kind);
    if (!engine) return 0;
    if (engine->Init(m_window) != kVoiceOk || engine->SelectVoice(name) != kVoiceOk) {
        engine->Uninit();
        return 0;
    }
    engine->SetNotify(&m_notifyTarget, 0, this);
    m_englishVoice = entry;
    replaceEngine(m_englishEngine, std::move(engine));
    return 1;
}

const char16_t* CKVSynthTextCore::GetEnglishVoice() {
    if (!m_englishEngine || m_englishVoice >= m_voiceList.size()) return nullptr;
    return m_voiceList[m_englishVoice].name;
}

int CKVSynthTextCore::SetEnglishVolume(int value) {
    return setOn(m_englishEngine.get(), &IKVSpeechVoice::SetVolume, value);
}
int CKVSynthTextCore::SetEnglishSpeed(int value) {
    return setOn(m_englishEngine.get(), &IKVSpeechVoice::SetSpeed, value);
}
int CKVSynthTextCore::SetEnglishPitch(int value) {
    return setOn(m_englishEngine.get(), &IKVSpeechVoice::SetPitch, value);
}
int CKVSynthTextCore::GetEnglishVolume() {
    return getFrom(m_englishEngine.get(), &IKVSpeechVoice::GetVolume);
}
int CKVSynthTextCore::GetEnglishSpeed() {
    return getFrom(m_englishEngine.get(), &IKVSpeechVoice::GetSpeed);
}
int CKVSynthTextCore::GetEnglishPitch() {
    return getFrom(m_englishEngine.get(), &IKVSpeechVoice::GetPitch);
}

void CKVSynthTextCore::append(QueueEntry entry) {
    std::lock_guard lock(m_queueLock);
    m_queue.push_back(std::move(entry));
}

int CKVSynthTextCore::Speak(const char16_t* text) {
    Stop();
    return Speak2(text);
}

int CKVSynthTextCore::Speak2(const char16_t* text) {
    if (!text || !*text || !m_mainEngine) return 0;
    if (!m_englishEngine) {
        append({kEndMarker, {}});
        if (m_mainEngine->Speak(text) == kVoiceOk) return 1;
        // Refused: its end marker would otherwise stand for the next text's end.
        std::lock_guard lock(m_queueLock);
        if (!m_queue.empty() && m_queue.back().kind == kEndMarker) m_queue.pop_back();
        return 0;
    }
    std::vector<TextRun> runs = cutIntoRuns(text);
    std::optional<TextRun> speakAtOnce;
    {
        // Queued before the first run is spoken, so that a fast engine's end report finds them.
        std::lock_guard lock(m_queueLock);
        std::size_t i = 0;
        if (m_queue.empty()) {
            speakAtOnce = std::move(runs.front());
            i = 1;
        }
        for (; i < runs.size(); ++i) {
            m_queue.push_back(
                {runs[i].english ? kEnglishText : kMainText, std::move(runs[i].text)});
        }
        m_queue.push_back({kEndMarker, {}});
    }
    if (speakAtOnce) {
        IKVSpeechVoice* engine = speakAtOnce->english ? m_englishEngine.get() : m_mainEngine.get();
        engine->SpeakNow(speakAtOnce->text.c_str());
    }
    return 1;
}

int CKVSynthTextCore::SpeakWith(const char16_t* text, int which) {
    Stop();
    if (!text || !*text || !m_mainEngine) return 0;
    IKVSpeechVoice* engine = nullptr;
    if (which == 0) {
        engine = m_mainEngine.get();
    } else if (which == 1) {
        engine = m_englishEngine ? m_englishEngine.get() : m_mainEngine.get();
    } else {
        return 0;
    }
    append({kEndMarker, {}});  // before speaking, so that a fast end report finds it
    engine->SpeakNow(text);
    return 1;
}

int CKVSynthTextCore::Stop() {
    {
        std::lock_guard lock(m_queueLock);
        m_queue.clear();
    }
    if (m_mainEngine) m_mainEngine->Stop();
    if (m_englishEngine) m_englishEngine->Stop();
    return 1;
}

int CKVSynthTextCore::Pause() {
    if (m_mainEngine) m_mainEngine->Pause();
    if (m_englishEngine) m_englishEngine->Pause();
    return 1;
}

int CKVSynthTextCore::Resume() {
    if (m_mainEngine) m_mainEngine->Resume();
    if (m_englishEngine) {
        if (int result = m_englishEngine->Resume(); result != kVoiceOk) {
            char text[128];
            std::snprintf(text, sizeof text, "英文语音恢复错误：0x%x,0x%x",
                          static_cast<unsigned>(result), static_cast<unsigned>(errno));
            debugOutput(text);
        }
    }
    return 1;
}

void CKVSynthTextCore::Notify() {
    QueueEntry entry;
    {
        std::lock_guard lock(m_queueLock);
        if (m_queue.empty()) return;
        entry = std::move(m_queue.front());
        m_queue.pop_front();
    }
    if (entry.kind == kEndMarker) {
        reportEnd();
        // A text queued behind the one just finished has no report of its own to start it.
        std::lock_guard lock(m_queueLock);
        if (m_queue.empty() || m_queue.front().kind == kEndMarker) return;
        entry = std::move(m_queue.front());
        m_queue.pop_front();
    }
    std::shared_lock lock(m_engineLock);
    IKVSpeechVoice* engine = nullptr;
    if (entry.kind == kMainText) {
        engine = m_mainEngine ? m_mainEngine.get() : m_englishEngine.get();
    } else {
        engine = m_englishEngine ? m_englishEngine.get() : m_mainEngine.get();
    }
    if (engine) engine->SpeakNow(entry.text.c_str());
}

void CKVSynthTextCore::reportEnd() {
    std::unique_lock<std::mutex> gate(m_callbackGate, std::defer_lock);
    if (!t_inCallback) gate.lock();
    if (!m_callback) return;
    const bool nested = t_inCallback;
    t_inCallback = true;
    m_callback(0, m_param1, m_param2);
    t_inCallback = nested;
}

std::vector<CKVSynthTextCore::QueueEntry> CKVSynthTextCore::queueSnapshot() const {
    std::lock_guard lock(m_queueLock);
    return {m_queue.begin(), m_queue.end()};
}

}  // namespace wf
