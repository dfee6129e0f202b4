#include "speech/espeakspeechservice.h"

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>

#include "platform/audio/gstreamer.h"
#include "platform/audio/pcmoutput.h"
#include "platform/codec.h"
#include "speech/espeakengine.h"
#include "speech/ikvspeechvoice.h"

namespace wf {

namespace {

void collectText(const pugi::xml_node& node, std::string& text, int& pitch) {
    for (pugi::xml_node child : node.children()) {
        switch (child.type()) {
            case pugi::node_pcdata:
            case pugi::node_cdata:
                text += child.value();
                break;
            case pugi::node_element:
                if (std::string_view(child.name()) == "pitch") {
                    if (pugi::xml_attribute middle = child.attribute("middle")) {
                        pitch = std::clamp(middle.as_int(), -10, 10);
                    }
                }
                collectText(child, text, pitch);
                break;
            default:
                break;
        }
    }
}

}  // namespace

EspeakSpeechService::EspeakSpeechService() : m_cancel(std::make_shared<std::atomic<bool>>(false)) {}

EspeakSpeechService::~EspeakSpeechService() {
    releaseVoice();
}

const std::vector<EspeakSpeechService::Voice>& EspeakSpeechService::installedVoices() {
    // English for the words, Mandarin read as characters (the "cmn" voice reads them as pinyin
    // with tone digits, so the pinyin voice is the one that sounds Chinese).
    static const std::vector<Voice> kOffered = {
        {"en-us", u"English (America)", u"英语（美国）"},
        {"en", u"English (Great Britain)", u"英语（英国）"},
        {"cmn-latn-pinyin", u"Chinese (Mandarin)", u"汉语（普通话）"},
    };
    static const std::vector<Voice> installed = [] {
        std::vector<Voice> found;
        const std::vector<std::string> voices = EspeakEngine::instance().voices();
        for (const Voice& voice : kOffered) {
            if (std::find(voices.begin(), voices.end(), voice.identifier) != voices.end()) {
                found.push_back(voice);
            }
        }
        return found;
    }();
    return installed;
}

bool EspeakSpeechService::createVoice() {
    const bool ok = EspeakEngine::instance().available() && !installedVoices().empty();
    std::lock_guard lock(m_mutex);
    m_created = ok;
    return ok;
}

void EspeakSpeechService::releaseVoice() {
    setEventHandler(nullptr);
    purge();
    std::shared_ptr<PcmOutput> pcm;
    {
        std::lock_guard lock(m_mutex);
        pcm = std::move(m_pcm);
        m_created = false;
    }
    // The output may outlive this service inside a synthesis job; it must not call back here.
    if (pcm) pcm->setFinishedHandler(nullptr);
}

void EspeakSpeechService::setEventHandler(std::function<void(int)> handler) {
    std::lock_guard delivery(m_delivery);  // waits for an event being delivered
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

std::optional<std::vector<SpeechToken>> EspeakSpeechService::voiceTokens() {
    std::vector<SpeechToken> tokens;
    for (const Voice& voice : installedVoices()) {
        tokens.push_back(
            {{{u"", voice.english}, {u"409", voice.english}, {u"804", voice.chinese}}});
    }
    return tokens;
}

std::optional<std::vector<SpeechToken>> EspeakSpeechService::outputTokens() {
    std::vector<SpeechToken> tokens;
    tokens.push_back({{{u"", u"Default audio output"}, {u"804", u"默认音频输出"}}});
    for (const AudioOutputInfo& output : audioOutputs()) {
        tokens.push_back({{{u"", utf8ToUtf16(output.name)}}});
    }
    return tokens;
}

int EspeakSpeechService::setVoice(std::size_t voiceToken) {
    if (voiceToken >= installedVoices().size()) return kEInvalidArg;
    std::lock_guard lock(m_mutex);
    if (!m_created) return kEFail;
    m_voice = voiceToken;
    return kVoiceOk;
}

int EspeakSpeechService::setOutput(std::optional<std::size_t> outputToken) {
    std::lock_guard lock(m_mutex);
    if (!m_created) return kEFail;
    m_output = outputToken;
    return kVoiceOk;
}

std::optional<SpeechToken> EspeakSpeechService::currentOutput() {
    std::optional<std::size_t> output;
    {
        std::lock_guard lock(m_mutex);
        output = m_output;
    }
    auto tokens = outputTokens();
    const std::size_t index = output.value_or(0);
    if (!tokens || index >= tokens->size()) return std::nullopt;
    return (*tokens)[index];
}

EspeakSpeechService::Utterance EspeakSpeechService::readMarkup(std::u16string_view markup,
                                                               int pitch) {
    Utterance utterance{utf16ToUtf8(markup), pitch};
    const std::string document = "<k>" + utterance.text + "</k>";
    pugi::xml_document parsed;
    if (!parsed.load_buffer(document.data(), document.size(), pugi::parse_default,
                            pugi::encoding_utf8)) {
        return utterance;
    }
    utterance.text.clear();
    collectText(parsed.first_child(), utterance.text, utterance.pitch);
    return utterance;
}

int EspeakSpeechService::wordsPerMinute(int rate) {
    const double wpm = 175.0 * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
    return std::clamp(static_cast<int>(std::lround(wpm)), 80, 450);
}

int EspeakSpeechService::speak(std::u16string_view text, unsigned flags) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_created) return kEFail;
    }
    if (flags & kSpeakPurge) purge();
    if (text.empty()) return kVoiceOk;
    Utterance utterance =
        (flags & kSpeakXml) ? readMarkup(text, 0) : Utterance{utf16ToUtf8(text), 0};
    std::lock_guard lock(m_mutex);
    m_pending.push_back(std::move(utterance));
    if (!m_inFlight) return startNextLocked();
    return kVoiceOk;
}

int EspeakSpeechService::startNextLocked() {
    if (m_pending.empty()) {
        m_inFlight = false;
        return kVoiceOk;
    }
    Utterance utterance = std::move(m_pending.front());
    m_pending.pop_front();
    if (!m_pcm) {
        const int rate = EspeakEngine::instance().sampleRate();
        m_pcm = std::make_shared<PcmOutput>(rate, 1);
        m_pcm->setFinishedHandler([this](std::uint64_t stream, bool) { onStreamFinished(stream); });
    }
    m_pcm->setOutput(m_output && *m_output > 0 ? static_cast<int>(*m_output) - 1 : -1);
    const std::uint64_t stream = m_pcm->beginStream();
    if (!stream) {
        // No audio output can be built: nothing queued here can be heard.
        m_pending.clear();
        m_inFlight = false;
        return kEFail;
    }
    m_inFlight = true;
    m_stream = stream;

    EspeakEngine::Synthesis synthesis;
    synthesis.voice = installedVoices()[std::min(m_voice, installedVoices().size() - 1)].identifier;
    synthesis.text = std::move(utterance.text);
    synthesis.wordsPerMinute = wordsPerMinute(m_rate);
    synthesis.volume = m_volume;
    synthesis.pitch = 50 + 5 * utterance.pitch;
    synthesis.cancelled = m_cancel;
    std::shared_ptr<PcmOutput> pcm = m_pcm;
    synthesis.sink = [pcm, stream](const short* samples, int count) {
        return pcm->write(stream, samples, static_cast<std::size_t>(count));
    };
    EspeakEngine::instance().synthesize(std::move(synthesis),
                                        [pcm, stream] { pcm->endStream(stream); });
    return kVoiceOk;
}

void EspeakSpeechService::onStreamFinished(std::uint64_t stream) {
    std::lock_guard delivery(m_delivery);
    std::function<void(int)> handler;
    {
        std::lock_guard lock(m_mutex);
        if (stream != m_stream || !m_inFlight) return;
        handler = m_handler;
    }
    // Still "speaking" while the end is reported, as the adapter expects.
    if (handler) handler(kEventEndInputStream);
    std::lock_guard lock(m_mutex);
    if (stream != m_stream) return;  // the handler spoke something new
    m_stream = 0;
    m_inFlight = false;
    startNextLocked();
}

void EspeakSpeechService::purge() {
    std::lock_guard delivery(m_delivery);
    std::shared_ptr<PcmOutput> pcm;
    {
        std::lock_guard lock(m_mutex);
        m_pending.clear();
        m_cancel->store(true);
        m_cancel = std::make_shared<std::atomic<bool>>(false);
        m_inFlight = false;
        m_stream = 0;
        pcm = m_pcm;
    }
    if (pcm) pcm->stop();
}

int EspeakSpeechService::pause() {
    std::shared_ptr<PcmOutput> pcm;
    {
        std::lock_guard lock(m_mutex);
        if (!m_created) return kEFail;
        pcm = m_pcm;
    }
    if (pcm) pcm->pause();
    return kVoiceOk;
}

int EspeakSpeechService::resume() {
    std::shared_ptr<PcmOutput> pcm;
    {
        std::lock_guard lock(m_mutex);
        if (!m_created) return kEFail;
        pcm = m_pcm;
    }
    if (pcm) pcm->resume();
    return kVoiceOk;
}

int EspeakSpeechService::runningState(int* state) {
    std::lock_guard lock(m_mutex);
    if (!m_created || !state) return kEFail;
    *state = m_inFlight ? kRunIsSpeaking : kRunDone;
    return kVoiceOk;
}

int EspeakSpeechService::setVolume(int volume) {
    std::lock_guard lock(m_mutex);
    if (!m_created) return kEFail;
    m_volume = std::clamp(volume, 0, 100);
    return kVoiceOk;
}

int EspeakSpeechService::getVolume(int* volume) {
    std::lock_guard lock(m_mutex);
    if (!m_created || !volume) return kEFail;
    *volume = m_volume;
    return kVoiceOk;
}

int EspeakSpeechService::setRate(int rate) {
    std::lock_guard lock(m_mutex);
    if (!m_created) return kEFail;
    m_rate = std::clamp(rate, -10, 10);
    return kVoiceOk;
}

int EspeakSpeechService::getRate(int* rate) {
    std::lock_guard lock(m_mutex);
    if (!m_created || !rate) return kEFail;
    *rate = m_rate;
    return kVoiceOk;
}

}  // namespace wf
