// espeak-ng is one global, non-reentrant instance per process: every call to it runs on the one
// thread this class owns, in the order the calls were made.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wf {

class EspeakEngine {
  public:
    // The process's engine; it lives until the process ends.
    static EspeakEngine& instance();

    // Initialises espeak-ng on first use; false when it cannot run here.
    bool available();
    int sampleRate();
    // Identifiers of the installed voices, lower case without their folder ("en-us", "cmn").
    std::vector<std::string> voices();

    struct Synthesis {
        std::string voice;  // identifier as voices() gives it
        std::string text;   // UTF-8, plain text
        int wordsPerMinute = 175;
        int volume = 100;  // espeak-ng's scale, 100 normal
        int pitch = 50;    // 0..100
        // Receives the samples as they are made; false stops the synthesis.
        std::function<bool(const short* samples, int count)> sink;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };
    // Synthesises on the engine's thread and returns at once; done follows on that thread.
    void synthesize(Synthesis synthesis, std::function<void()> done);
    // The same, waiting for the end (benchmarks).
    void synthesizeNow(Synthesis synthesis);

  private:
    EspeakEngine() = default;
    void post(std::function<void()> job);
    void run(std::function<void()> job);  // waits for the job
    void loop();
    bool initialiseOnThread();
    void synthesizeOnThread(Synthesis& synthesis);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    std::thread m_thread;
    // Touched only on the engine's thread.
    bool m_triedInit = false;
    int m_sampleRate = 0;
    std::vector<std::string> m_voices;
};

}  // namespace wf
