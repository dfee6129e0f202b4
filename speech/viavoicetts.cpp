#include "speech/viavoicetts.h"

#include <algorithm>
#include <string_view>

#include "platform/codec.h"

namespace wf {

CViavoiceTts::CViavoiceTts(EngineFactory createEngine) : m_createEngine(std::move(createEngine)) {}

CViavoiceTts::~CViavoiceTts() {
    Uninit();
}

int CViavoiceTts::Init(void*) {
    if (m_engine) Uninit();
    m_names.fill({});
    m_selected = 0;
    if (!m_api && m_createEngine) m_api = m_createEngine();
    if (!m_api) return kVoiceFailed;
    m_engine = m_api->create();
    if (!m_engine) return kVoiceFailed;
    for (int n = 1; n <= kPresetVoices; ++n) {
        char buffer[30] = {};
        if (!m_api->voiceName(m_engine, n, buffer)) continue;
        // The engine may fill all 30 bytes without a terminator.
        std::string_view ansi = untilNul(std::string_view(buffer, sizeof buffer));
        std::u16string name = utf8ToUtf16(decodeGb18030Lenient(ansi));
        if (name.size() > kVoiceNameSlot - 1) name.resize(kVoiceNameSlot - 1);
        m_names[static_cast<std::size_t>(n - 1)] = std::move(name);
    }
    m_api->setParam(m_engine, 5, 1);
    m_api->registerCallback(m_engine, &CViavoiceTts::eventCallback, this);
    return kVoiceOk;
}

void CViavoiceTts::Uninit() {
    if (m_engine) {
        Stop();
        m_api->destroy(m_engine);
        m_engine = nullptr;
    }
    m_api.reset();
    m_names.fill({});
    m_selected = 0;
    m_notify.clear();
}

int CViavoiceTts::SetDevice(int device) {
    if (!m_engine) return kVoiceFailed;
    return m_api->setOutputDevice(m_engine, device) ? kVoiceOk : kVoiceFailed;
}

int CViavoiceTts::GetDevice(int*) {
    return kVoiceFailed;
}

void CViavoiceTts::copySlot(int slot, char16_t* destination) const {
    const std::u16string& name = m_names[static_cast<std::size_t>(slot)];
    std::fill_n(destination, kVoiceNameSlot, u'\0');
    std::copy(name.begin(), name.end(), destination);
}

int CViavoiceTts::EnumVoices(char16_t* names, int capacity, int* count) {
    if (!m_engine || !count) return kVoiceFailed;
    if (!names) {
        *count = kPresetVoices;
        return kVoiceOk;
    }
    if (capacity <= 0) {
        *count = 0;
        return kVoiceFailed;
    }
    const int copied = std::min(capacity, kPresetVoices);
    for (int i = 0; i < copied; ++i)
        copySlot(i, names + static_cast<std::size_t>(i) * kVoiceNameSlot);
    *count = copied;
    return kVoiceOk;
}

int CViavoiceTts::SelectVoice(const char16_t* name) {
    if (!m_engine || !name) return kVoiceFailed;
    for (int i = 0; i < kPresetVoices; ++i) {
        if (m_names[static_cast<std::size_t>(i)] == name) {
            m_api->copyVoice(m_engine, i + 1, 0);
            m_selected = i;
            break;
        }
    }
    return kVoiceOk;  // also when no preset has the name
}

int CViavoiceTts::GetVoiceName(char16_t* name) {
    if (!m_engine || !name) return kVoiceFailed;
    copySlot(m_selected, name);
    return kVoiceOk;
}

int CViavoiceTts::Speak(const char16_t* text) {
    if (!m_engine || !text) return kVoiceFailed;
    const std::string ansi = encodeGb18030(utf16ToUtf8(text));
    m_api->addText(m_engine, ansi.c_str());
    m_api->insertIndex(m_engine, 0);  // its reply marks the end of the text
    m_api->addText(m_engine, "");
    m_api->synthesize(m_engine);
    return kVoiceOk;
}

int CViavoiceTts::SpeakNow(const char16_t* text) {
    if (!m_engine) return kVoiceFailed;
    m_api->stop(m_engine);
    return Speak(text);
}

int CViavoiceTts::Stop() {
    if (!m_engine) return kVoiceFailed;
    m_api->stop(m_engine);
    return kVoiceOk;
}

int CViavoiceTts::Pause() {
    if (!m_engine) return kVoiceFailed;
    m_api->pause(m_engine, true);
    return kVoiceOk;
}

int CViavoiceTts::Resume() {
    if (!m_engine) return kVoiceFailed;
    m_api->pause(m_engine, false);
    return kVoiceOk;
}

int CViavoiceTts::SetVolume(int value) {
    if (!m_engine) return kVoiceFailed;
    return m_api->setVoiceParam(m_engine, 0, EciApi::kParamVolume, value) == 0 ? kVoiceOk
                                                                               : kVoiceFailed;
}

int CViavoiceTts::GetVolume(int* value) {
    if (!m_engine || !value) return kVoiceFailed;
    *value = m_api->getVoiceParam(m_engine, 0, EciApi::kParamVolume);
    return kVoiceOk;
}

int CViavoiceTts::SetSpeed(int value) {
    if (!m_engine) return kVoiceFailed;
    const int speed = static_cast<int>(value * 2.5);
    return m_api->setVoiceParam(m_engine, 0, EciApi::kParamSpeed, speed) != 0 ? kVoiceOk
                                                                              : kVoiceFailed;
}

int CViavoiceTts::GetSpeed(int* value) {
    if (!m_engine || !value) return kVoiceFailed;
    *value = static_cast<int>(m_api->getVoiceParam(m_engine, 0, EciApi::kParamSpeed) / 2.5);
    return kVoiceOk;
}

int CViavoiceTts::SetPitch(int value) {
    if (!m_engine) return kVoiceFailed;
    return m_api->setVoiceParam(m_engine, 0, EciApi::kParamPitch, value) != 0 ? kVoiceOk
                                                                              : kVoiceFailed;
}

int CViavoiceTts::GetPitch(int* value) {
    if (!m_engine || !value) return kVoiceFailed;
    *value = m_api->getVoiceParam(m_engine, 0, EciApi::kParamPitch);
    return kVoiceOk;
}

int CViavoiceTts::SetNotify(IKVNotify* target, std::intptr_t reserved, IKVSynthText* core) {
    if (!m_engine) return kVoiceFailed;
    m_notify.set(target, reserved, core);
    return kVoiceOk;
}

int CViavoiceTts::eventCallback(EciApi::Handle, int message, long, void* data) {
    if (data && message == EciApi::kMessageIndexReply) {
        try {
            static_cast<CViavoiceTts*>(data)->m_notify.fire();
        } catch (...) {
            // nothing may unwind through the engine's frames
        }
    }
    return 1;
}

}  // namespace wf
