// Speech latency: from kvttsSpeakA with one word to the first audio buffer at the sink, next to
// espeak-ng's own synthesis time of the same word; and the time kvttsInitA takes to build the
// voice list.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/pcmoutput.h"
#include "speech/espeakengine.h"
#include "speech/include/kvtts.h"

namespace {

using Clock = std::chrono::steady_clock;

std::mutex g_mutex;
std::condition_variable g_arrived;
bool g_firstBuffer = false;
Clock::time_point g_firstBufferAt;

void onFirstBuffer() {
    std::lock_guard lock(g_mutex);
    if (g_firstBuffer) return;
    g_firstBuffer = true;
    g_firstBufferAt = Clock::now();
    g_arrived.notify_all();
}

// Fast sink: the measurement ends when the first buffer arrives, not when it is heard.
void useFastSink() {
    setenv("WORDFERN_AUDIO_SINK", "fakesink sync=false", 0);
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_InitWithVoiceList(benchmark::State& state) {
    useFastSink();
    std::vector<double> samples;
    int voices = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        kvttsInitA(0);
        voices = kvttsGetCount();
        samples.push_back(milliseconds(Clock::now() - start));
        state.PauseTiming();
        kvttsUninit(0);
        state.ResumeTiming();
    }
    state.counters["first_ms"] = samples.front();  // includes loading espeak-ng and GStreamer
    state.counters["median_ms"] = median(samples);
    state.counters["voices"] = voices;
}
BENCHMARK(BM_InitWithVoiceList)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SpeakOneWordToFirstBuffer(benchmark::State& state) {
    useFastSink();
    wf::PcmOutput::setFirstBufferObserver(onFirstBuffer);
    kvttsInitA(0);
    if (!kvttsSetVoiceA("English (America)")) {
        state.SkipWithError("no English voice");
        return;
    }
    std::vector<double> latencies;
    std::vector<double> synthesis;
    for (auto _ : state) {
        {
            std::lock_guard lock(g_mutex);
            g_firstBuffer = false;
        }
        const auto start = Clock::now();
        if (!kvttsSpeakA("hello")) {
            state.SkipWithError("speaking failed");
            break;
        }
        std::unique_lock lock(g_mutex);
        if (!g_arrived.wait_for(lock, std::chrono::seconds(5), [] { return g_firstBuffer; })) {
            state.SkipWithError("no audio reached the sink");
            break;
        }
        const double latency = milliseconds(g_firstBufferAt - start);
        lock.unlock();
        state.SetIterationTime(latency / 1000.0);
        latencies.push_back(latency);

        // espeak-ng alone, the same word, on its own thread.
        state.PauseTiming();
        kvttsStop();
        wf::EspeakEngine::Synthesis job;
        job.voice = "en-us";
        job.text = "hello";
        job.sink = [](const short*, int) { return true; };
        const auto synthStart = Clock::now();
        wf::EspeakEngine::instance().synthesizeNow(std::move(job));
        synthesis.push_back(milliseconds(Clock::now() - synthStart));
        state.ResumeTiming();
    }
    kvttsUninit(0);
    wf::PcmOutput::setFirstBufferObserver(nullptr);
    state.counters["latency_median_ms"] = median(latencies);
    state.counters["espeak_synth_median_ms"] = median(synthesis);
}
BENCHMARK(BM_SpeakOneWordToFirstBuffer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

}  // namespace
