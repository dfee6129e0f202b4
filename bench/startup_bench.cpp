// Start-up of wordfern with 50 registered users against a minimal Qt Widgets program, as
// whole processes: time from start until the first window has painted and the program left,
// and the peak resident memory of that start.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/codec.h"
#include "platform/fileio.h"

extern char** environ;

namespace {

std::filesystem::path workFolder() {
    static std::filesystem::path folder = [] {
        auto dir = std::filesystem::temp_directory_path() /
                   ("wordfern-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "home");
        std::string ini = "[settings]\r\ndefault=user1\r\n";
        for (int i = 1; i <= 50; ++i) {
            ini += "[user" + std::to_string(i) + "]\r\nclass=四级词汇" + std::to_string(i) +
                   "\r\ngrade=3.12\r\nstudy=2.1\r\nwords=20\r\n";
        }
        wf::writeFileAtomically(dir / "home" / "sc.ini", wf::encodeGb18030(ini));
        // The program needs no data/ to start; an empty one keeps it from copying any.
        std::filesystem::create_directories(dir / "home" / "data");
        return dir;
    }();
    return folder;
}

void runProgram(benchmark::State& state, std::vector<std::string> arguments) {
    setenv("TMPDIR", workFolder().c_str(), 1);
    // On a display when there is one (scripts/bench provides Xvfb), else off screen.
    if (!getenv("QT_QPA_PLATFORM") && !getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    std::vector<char*> argv;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    long peakKb = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start the program");
            return;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(seconds.count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            return;
        }
        peakKb = std::max(peakKb, usage.ru_maxrss);
        cpuMs += (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(peakKb) / 1024.0;
    // CPU time is steadier than wall time on a machine that others share.
    state.counters["cpu_ms"] = cpuMs / static_cast<double>(state.iterations());
}

void BM_MinimalQtWindow(benchmark::State& state) {
    runProgram(state, {WF_MINIMAL_WINDOW_EXE});
}

// The same with a Chinese caption: it pays for the fallback to a CJK font, as Wordfern must.
void BM_MinimalQtWindowChinese(benchmark::State& state) {
    runProgram(state, {WF_MINIMAL_WINDOW_EXE, "欢迎使用"});
}

void BM_WordfernFiftyUsers(benchmark::State& state) {
    runProgram(state,
               {WF_WORDFERN_EXE, "--home", (workFolder() / "home").string(), "--quit-when-shown"});
}

BENCHMARK(BM_MinimalQtWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3);
BENCHMARK(BM_MinimalQtWindowChinese)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3);
BENCHMARK(BM_WordfernFiftyUsers)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3);

}  // namespace

BENCHMARK_MAIN();
