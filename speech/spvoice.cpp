#include "speech/spvoice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <pugixml.hpp>

#include "platform/codec.h"
#include "speech/speechsettings.h"

namespace wf {

namespace {

bool isReferenceName(std::u16string_view name) {
    if (name == u"lt" || name == u"gt" || name == u"amp" || name == u"quot" || name == u"apos") {
        return true;
    }
    if (name.size() < 2 || name[0] != u'#') return false;
    const bool hex = name[1] == u'x' || name[1] == u'X';
    const std::u16string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    return std::all_of(digits.begin(), digits.end(), [&](char16_t c) {
        return (c >= u'0' && c <= u'9') ||
               (hex && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')));
    });
}

// pugixml reads an unknown or unterminated reference as text; markup must not have one.
bool referencesAreWellFormed(std::u16string_view text) {
    for (std::size_t i = text.find(u'&'); i != std::u16string_view::npos;
         i = text.find(u'&', i + 1)) {
        const std::size_t end = text.find(u';', i);
        if (end == std::u16string_view::npos || !isReferenceName(text.substr(i + 1, end - i - 1))) {
            return false;
        }
    }
    return true;
}

std::u16string escapeMarkup(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c == u'<') {
            out += u"&lt;";
        } else if (c == u'&') {
            out += u"&amp;";
        } else if (c == u'>') {
            out += u"&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool isWellFormedMarkup(std::u16string_view text) {
    if (!referencesAreWellFormed(text)) return false;
    const std::string document = "<k>" + utf16ToUtf8(text) + "</k>";
    pugi::xml_document parsed;
    return static_cast<bool>(parsed.load_buffer(document.data(), document.size(),
                                                pugi::parse_default, pugi::encoding_utf8));
}

std::u16string pitchMarkup(int pitch, std::u16string_view text) {
    std::u16string out = u"<pitch middle=\"" + utf8ToUtf16(std::to_string(pitch)) + u"\" />";
    if (isWellFormedMarkup(text)) {
        out += text;
    } else {
        out += escapeMarkup(text);
    }
    return out;
}

CSpVoice::CSpVoice(ServiceFactory createService, std::function<std::uint16_t()> language)
    : m_createService(std::move(createService)), m_language(std::move(language)) {}

CSpVoice::~CSpVoice() {
    Uninit();
}

int CSpVoice::Init(void*) {
    Uninit();
    if (m_createService) m_voice = m_createService();
    if (!m_voice || !m_voice->createVoice()) {
        m_voice.reset();
        return kVoiceFailed;
    }
    m_voice->setEventHandler([this](int event) { onEvent(event); });
    return kVoiceOk;
}

void CSpVoice::Uninit() {
    if (m_voice) {
        Stop();
        m_voice->setEventHandler(nullptr);
        m_voice->releaseVoice();
        m_voice.reset();
    }
    m_notify.clear();
    m_pitch = 0;
    m_selected.clear();
}

std::u16string CSpVoice::displayName(const SpeechToken& token) const {
    const std::uint16_t language = m_language ? m_language() : kDefaultLanguage;
    if (auto text = token.value(languageIdText(language))) return *text;
    return token.value(u"").value_or(u"");
}

int CSpVoice::SetDevice(int device) {
    if (!m_voice) return kVoiceFailed;
    auto tokens = m_voice->outputTokens();
    if (!tokens) return kVoiceFailed;
    const long long count = static_cast<long long>(tokens->size());
    if (device > count) return kVoiceFailed;
    // Output token 0 is the system default; device d is the token after it.
    const long long position = static_cast<long long>(device) + 1;
    std::optional<std::size_t> token;
    if (position >= 0 && position < count) token = static_cast<std::size_t>(position);
    return m_voice->setOutput(token);
}

int CSpVoice::GetDevice(int*) {
    if (!m_voice) return kVoiceFailed;
    if (auto token = m_voice->currentOutput()) (void)displayName(*token);
    return kVoiceFailed;  // the output's name says nothing about its device number
}

int CSpVoice::EnumVoices(char16_t* names, int capacity, int* count) {
    if (!m_voice) return kVoiceFailed;
    auto tokens = m_voice->voiceTokens();
    if (!tokens) return kVoiceFailed;
    int n = 0;
    for (const SpeechToken& token : *tokens) {
        const std::u16string name = displayName(token);
        // Only slots inside the buffer's capacity are written, whatever the list holds now.
        if (names && n < capacity) {
            char16_t* slot = names + static_cast<std::size_t>(n) * kVoiceNameSlot;
            std::fill_n(slot, kVoiceNameSlot, u'\0');
            std::copy_n(name.begin(), std::min<std::size_t>(name.size(), kVoiceNameSlot - 1), slot);
        }
        ++n;
    }
    if (count) *count = names ? std::min(n, std::max(capacity, 0)) : n;
    return kVoiceOk;
}

int CSpVoice::SelectVoice(const char16_t* name) {
    if (!m_voice) return kVoiceFailed;
    if (!name || !*name) return kVoiceFailed;
    auto tokens = m_voice->voiceTokens();
    if (!tokens) return kVoiceFailed;
    for (std::size_t i = 0; i < tokens->size(); ++i) {
        if (displayName((*tokens)[i]) != name) continue;
        int device = 0;
        GetDevice(&device);
        m_voice->setVoice(i);
        m_selected = name;
        return SetDevice(device);
    }
    return kVoiceFailed;
}

int CSpVoice::GetVoiceName(char16_t* name) {
    if (!m_voice || !name) return kVoiceFailed;
    std::fill_n(name, kVoiceNameSlot, u'\0');
    std::copy_n(m_selected.begin(), std::min<std::size_t>(m_selected.size(), kVoiceNameSlot - 1),
                name);
    return kVoiceOk;
}

int CSpVoice::Speak(const char16_t* text) {
    if (!text || !m_voice) return kEFail;
    std::u16string markup;
    try {
        markup = pitchMarkup(m_pitch, text);
    } catch (const std::bad_alloc&) {
        return kEOutOfMemory;
    }
    return m_voice->speak(markup, SpeechService::kSpeakAsync | SpeechService::kSpeakXml);
}

int CSpVoice::SpeakNow(const char16_t* text) {
    if (!m_voice) return kEFail;
    m_voice->speak(u"", SpeechService::kSpeakPurge);
    return Speak(text);
}

int CSpVoice::Stop() {
    if (!m_voice) return kEFail;
    return m_voice->speak(u"", SpeechService::kSpeakPurge);
}

int CSpVoice::Pause() {
    if (!m_voice) return kEFail;
    int state = 0;
    if (m_voice->runningState(&state) == kVoiceOk && state == SpeechService::kRunDone) {
        return kVoiceOk;  // nothing to pause
    }
    return m_voice->pause();
}

int CSpVoice::Resume() {
    if (!m_voice) return kEFail;
    return m_voice->resume();
}

int CSpVoice::SetVolume(int value) {
    if (!m_voice) return kEFail;
    return m_voice->setVolume(value);
}

int CSpVoice::GetVolume(int* value) {
    if (!m_voice || !value) return kEFail;
    return m_voice->getVolume(value);
}

int CSpVoice::SetSpeed(int value) {
    if (!m_voice) return kEFail;
    return m_voice->setRate(static_cast<int>(std::trunc(value / 5.0 - 10)));
}

int CSpVoice::GetSpeed(int* value) {
    if (!m_voice || !value) return kEFail;
    int rate = 0;
    const int result = m_voice->getRate(&rate);
    if (result == kVoiceOk) *value = rate * 5 + 50;
    return result;
}

int CSpVoice::SetPitch(int value) {
    if (!m_voice) return kEFail;
    if (value >= 100) {
        m_pitch = 10;
    } else if (value <= 0) {
        m_pitch = -10;
    } else {
        m_pitch = static_cast<int>(std::trunc(value / 5.0 - 10));
    }
    return kVoiceOk;
}

int CSpVoice::GetPitch(int* value) {
    if (!m_voice || !value) return kEFail;
    *value = (m_pitch + 10) * 5;
    return kVoiceOk;
}

int CSpVoice::SetNotify(IKVNotify* target, std::intptr_t reserved, IKVSynthText* core) {
    if (!m_voice) return kVoiceFailed;
    m_notify.set(target, reserved, core);
    return kVoiceOk;
}

void CSpVoice::onEvent(int event) {
    if (event != SpeechService::kEventEndInputStream || !m_voice) return;
    int state = 0;
    if (m_voice->runningState(&state) != kVoiceOk) return;
    if ((state & SpeechService::kRunIsSpeaking) && m_notify.isSet()) m_notify.fire();
}

}  // namespace wf
