#include "speech/espeakengine.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cctype>
#include <future>

namespace wf {

namespace {

int synthCallback(short* samples, int count, espeak_EVENT* events) {
    auto* synthesis = events ? static_cast<EspeakEngine::Synthesis*>(events->user_data) : nullptr;
    if (!synthesis) return 0;
    if (synthesis->cancelled && synthesis->cancelled->load()) return 1;
    try {
        if (samples && count > 0 && synthesis->sink && !synthesis->sink(samples, count)) return 1;
    } catch (...) {
        return 1;  // nothing may unwind through espeak-ng's frames
    }
    return 0;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

EspeakEngine& EspeakEngine::instance() {
    // Never destroyed: its thread may still be busy when the process ends.
    static EspeakEngine* engine = new EspeakEngine;
    return *engine;
}

void EspeakEngine::post(std::function<void()> job) {
    std::lock_guard lock(m_mutex);
    if (!m_thread.joinable()) m_thread = std::thread([this] { loop(); });
    m_jobs.push_back(std::move(job));
    m_wake.notify_one();
}

void EspeakEngine::run(std::function<void()> job) {
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    post([&] {
        job();
        finished.set_value();
    });
    done.wait();
}

void EspeakEngine::loop() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return !m_jobs.empty(); });
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        try {
            job();
        } catch (...) {
            // A failed job must not end the thread every later call waits on.
        }
    }
}

bool EspeakEngine::initialiseOnThread() {
    if (m_triedInit) return m_sampleRate > 0;
    m_triedInit = true;
    // DONT_EXIT: missing data must not end the host process.
    const int rate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 50, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) return false;
    espeak_SetSynthCallback(synthCallback);
    if (const espeak_VOICE** list = espeak_ListVoices(nullptr)) {
        for (; *list; ++list) {
            if (!(*list)->identifier) continue;
            std::string identifier = lowerCase((*list)->identifier);
            if (auto slash = identifier.rfind('/'); slash != std::string::npos) {
                identifier.erase(0, slash + 1);
            }
            m_voices.push_back(identifier);
        }
    }
    m_sampleRate = rate;
    return true;
}

bool EspeakEngine::available() {
    bool ok = false;
    run([&] { ok = initialiseOnThread(); });
    return ok;
}

int EspeakEngine::sampleRate() {
    int rate = 0;
    run([&] { rate = initialiseOnThread() ? m_sampleRate : 0; });
    return rate;
}

std::vector<std::string> EspeakEngine::voices() {
    std::vector<std::string> voices;
    run([&] {
        if (initialiseOnThread()) voices = m_voices;
    });
    return voices;
}

void EspeakEngine::synthesizeOnThread(Synthesis& synthesis) {
    if (!initialiseOnThread()) return;
    if (synthesis.cancelled && synthesis.cancelled->load()) return;
    if (espeak_SetVoiceByName(synthesis.voice.c_str()) != EE_OK) return;
    espeak_SetParameter(espeakRATE, std::clamp(synthesis.wordsPerMinute, 80, 450), 0);
    espeak_SetParameter(espeakVOLUME, std::clamp(synthesis.volume, 0, 200), 0);
    espeak_SetParameter(espeakPITCH, std::clamp(synthesis.pitch, 0, 100), 0);
    espeak_Synth(synthesis.text.c_str(), synthesis.text.size() + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_UTF8, nullptr, &synthesis);
}

void EspeakEngine::synthesize(Synthesis synthesis, std::function<void()> done) {
    post([this, synthesis = std::move(synthesis), done = std::move(done)]() mutable {
        synthesizeOnThread(synthesis);
        if (done) done();
    });
}

void EspeakEngine::synthesizeNow(Synthesis synthesis) {
    run([&] { synthesizeOnThread(synthesis); });
}

}  // namespace wf
