#include "speech/ibmchstts.h"

#include <algorithm>
#include <string_view>

namespace wf {

namespace {

constexpr int kPriorityLevel = 2;

struct Range {
    std::uint32_t min = 0;
    std::uint32_t max = 0;
};

// The engine tells its range only by clamping: set the lowest and the highest value and read
// back what it kept.
template <typename T>
bool findRange(ChineseTtsApi& api, int (ChineseTtsApi::*set)(T), int (ChineseTtsApi::*get)(T*),
               T highest, Range& range) {
    T value{};
    if ((api.*set)(0) != 0 || (api.*get)(&value) != 0) return false;
    range.min = value;
    if ((api.*set)(highest) != 0 || (api.*get)(&value) != 0) return false;
    range.max = static_cast<std::uint32_t>(value) & 0xFFFFu;
    return true;
}

template <typename T>
int setPercent(ChineseTtsApi& api, int (ChineseTtsApi::*set)(T), int (ChineseTtsApi::*get)(T*),
               T highest, int percent) {
    Range range;
    if (!findRange(api, set, get, highest, range)) return kVoiceFailed;
    const std::uint32_t product = (range.max - range.min) * static_cast<std::uint32_t>(percent);
    const auto value = static_cast<T>(range.min + product / 100.0);
    return (api.*set)(value) == 0 ? kVoiceOk : kVoiceFailed;
}

template <typename T>
int getPercent(ChineseTtsApi& api, int (ChineseTtsApi::*set)(T), int (ChineseTtsApi::*get)(T*),
               T highest, int* percent) {
    T current{};
    if ((api.*get)(&current) != 0) return kVoiceFailed;
    Range range;
    const bool found = findRange(api, set, get, highest, range);
    (api.*set)(static_cast<T>(static_cast<std::uint32_t>(current) & 0xFFFFu));
    // An engine with an empty range has no percentage to report.
    if (!found || range.max == range.min) return kVoiceFailed;
    *percent = static_cast<int>((static_cast<long long>(current) - range.min) * 100 /
                                (static_cast<long long>(range.max) - range.min));
    return kVoiceOk;
}

}  // namespace

long CIbmChsttsNotifySink::Release() {
    const long left = --m_references;
    if (left == 0) delete this;
    return left;
}

int CIbmChsttsNotifySink::TextDataDone() {
    try {
        if (m_owner) m_owner->m_notify.fire();
    } catch (...) {
        // called by the engine: nothing may unwind into it
    }
    return 0;
}

CIbmChstts::CIbmChstts(EngineFactory createEngine) : m_createEngine(std::move(createEngine)) {}

CIbmChstts::~CIbmChstts() {
    Uninit();
}

bool CIbmChstts::createHolder() {
    if (!m_api->createHolder()) return false;
    m_holder = true;
    if (m_directSound && !m_api->useDirectSoundDestination()) return false;
    return true;
}

int CIbmChstts::Init(void* window) {
    if (m_holder) Uninit();
    if (!m_api && m_createEngine) m_api = m_createEngine();
    if (!m_api) return kVoiceFailed;
    m_directSound = m_api->createDirectSound();
    if (m_directSound) m_api->setCooperativeLevel(window, kPriorityLevel);
    if (!createHolder()) {
        if (m_directSound) m_api->releaseDirectSound();
        m_directSound = false;
        if (m_holder) m_api->destroyHolder();
        m_holder = false;
        return kVoiceFailed;
    }
    m_sink = new CIbmChsttsNotifySink(this);
    m_sink->AddRef();
    m_female.reset();
    m_male.reset();
    if (m_api->openEnumerator()) {
        m_female = m_api->findMode(kFemaleMode);
        m_male = m_api->findMode(kMaleMode);
    }
    if (m_female && m_male) {
        m_api->openMode(*m_female);
        return kVoiceOk;
    }
    // Both modes or none: the engine is not (completely) installed.
    Uninit();
    return kVoiceFailed;
}

void CIbmChstts::Uninit() {
    if (m_api && m_holder) {
        m_api->audioReset();
        m_api->destroyHolder();
        m_holder = false;
    }
    if (m_sink) {
        m_sink->Release();
        m_sink = nullptr;
    }
    if (m_api && m_directSound) m_api->releaseDirectSound();
    m_directSound = false;
    m_notify.clear();
}

int CIbmChstts::SetDevice(int) {
    return loaded() ? kVoiceOk : kVoiceFailed;
}

int CIbmChstts::GetDevice(int* device) {
    if (!loaded() || !device) return kVoiceFailed;
    *device = 0;
    return kVoiceOk;
}

int CIbmChstts::EnumVoices(char16_t* names, int capacity, int* count) {
    if (!m_holder || !m_female || !m_male || !count) return kVoiceFailed;
    if (!names) {
        *count = 2;
        return kVoiceOk;
    }
    if (capacity <= 0) {
        *count = 0;
        return kVoiceFailed;
    }
    const TtsModeInfo* modes[] = {&*m_female, &*m_male};
    const int copied = std::min(capacity, 2);
    for (int i = 0; i < copied; ++i) {
        char16_t* slot = names + static_cast<std::size_t>(i) * kVoiceNameSlot;
        std::fill_n(slot, kVoiceNameSlot, u'\0');
        const std::u16string& name = modes[i]->modeName;
        std::copy_n(name.begin(), std::min<std::size_t>(name.size(), kVoiceNameSlot - 1), slot);
    }
    *count = copied;
    return kVoiceOk;
}

int CIbmChstts::SelectVoice(const char16_t* name) {
    if (!m_holder || !name || !*name) return kVoiceFailed;
    // The old mode is gone from here on, even when the name turns out to be unknown.
    m_api->destroyHolder();
    m_holder = false;
    if (!createHolder()) return kVoiceFailed;
    const std::u16string_view wanted(name);
    const TtsModeInfo* mode = nullptr;
    if (m_female && wanted == m_female->modeName) {
        mode = &*m_female;
    } else if (m_male && wanted == m_male->modeName) {
        mode = &*m_male;
    }
    if (!mode) return kVoiceFailed;
    return m_api->openMode(*mode) == 0 ? kVoiceOk : kVoiceFailed;
}

int CIbmChstts::GetVoiceName(char16_t* name) {
    if (!loaded() || !name) return kVoiceFailed;
    std::u16string mode;
    if (m_api->modeName(&mode) != 0) return kVoiceFailed;
    std::fill_n(name, kVoiceNameSlot, u'\0');
    std::copy_n(mode.begin(), std::min<std::size_t>(mode.size(), kVoiceNameSlot - 1), name);
    return kVoiceOk;
}

int CIbmChstts::Speak(const char16_t* text) {
    if (!loaded() || !text) return kVoiceFailed;
    return m_api->textData(text, m_sink) == 0 ? kVoiceOk : kVoiceFailed;
}

int CIbmChstts::SpeakNow(const char16_t* text) {
    if (!loaded()) return kVoiceFailed;
    m_api->audioReset();
    return Speak(text);
}

int CIbmChstts::Stop() {
    if (!loaded()) return kVoiceFailed;
    return m_api->audioReset() == 0 ? kVoiceOk : kVoiceFailed;
}

int CIbmChstts::Pause() {
    if (!loaded()) return kVoiceFailed;
    return m_api->audioPause() == 0 ? kVoiceOk : kVoiceFailed;
}

int CIbmChstts::Resume() {
    if (!loaded()) return kVoiceFailed;
    return m_api->audioResume() == 0 ? kVoiceOk : kVoiceFailed;
}

int CIbmChstts::SetVolume(int value) {
    if (!loaded()) return kVoiceFailed;
    return setPercent<std::uint32_t>(*m_api, &ChineseTtsApi::volumeSet, &ChineseTtsApi::volumeGet,
                                     0xFFFFFFFFu, value);
}

int CIbmChstts::GetVolume(int* value) {
    if (!loaded() || !value) return kVoiceFailed;
    return getPercent<std::uint32_t>(*m_api, &ChineseTtsApi::volumeSet, &ChineseTtsApi::volumeGet,
                                     0xFFFFFFFFu, value);
}

int CIbmChstts::SetSpeed(int value) {
    if (!loaded()) return kVoiceFailed;
    return setPercent<std::uint32_t>(*m_api, &ChineseTtsApi::speedSet, &ChineseTtsApi::speedGet,
                                     0xFFFFFFFFu, value);
}

int CIbmChstts::GetSpeed(int* value) {
    if (!loaded() || !value) return kVoiceFailed;
    return getPercent<std::uint32_t>(*m_api, &ChineseTtsApi::speedSet, &ChineseTtsApi::speedGet,
                                     0xFFFFFFFFu, value);
}

int CIbmChstts::SetPitch(int value) {
    if (!loaded()) return kVoiceFailed;
    return setPercent<std::uint16_t>(*m_api, &ChineseTtsApi::pitchSet, &ChineseTtsApi::pitchGet,
                                     0xFFFF, value);
}

int CIbmChstts::GetPitch(int* value) {
    if (!loaded() || !value) return kVoiceFailed;
    return getPercent<std::uint16_t>(*m_api, &ChineseTtsApi::pitchSet, &ChineseTtsApi::pitchGet,
                                     0xFFFF, value);
}

int CIbmChstts::SetNotify(IKVNotify* target, std::intptr_t reserved, IKVSynthText* core) {
    if (!m_holder) return kVoiceFailed;
    m_notify.set(target, reserved, core);
    return kVoiceOk;
}

}  // namespace wf
