// Word files and settings at the sizes learners reach after years of use.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "app/programfolder.h"
#include "app/settings.h"
#include "platform/codec.h"
#include "platform/fileio.h"
#include "platform/wordxml.h"
#include "vocab/wordfile.h"

namespace {

namespace fs = std::filesystem;

struct Workspace {
    fs::path dir;
    fs::path wordsFile;
    std::string wordsBytes;

    Workspace() {
        dir = fs::temp_directory_path() / "wordfern-bench";
        fs::remove_all(dir);
        fs::create_directories(dir);
        wf::setProgramFolder(dir);
        // A words file of 10,000 entries like those the study cycle appends.
        wf::WordDocument doc("四级词汇");
        std::mt19937 rng(7);
        for (int i = 0; i < 10000; ++i) {
            wf::WordEntry w;
            w.en = "word" + std::to_string(i);
            w.ch = "释义" + std::to_string(rng() % 1000) + "；解释";
            w.wc = "n.-名词v.-动词";
            w.mp3 = "http://example.invalid/audio/" + std::to_string(i) + ".mp3";
            w.num = std::to_string(rng() % 4);
            w.sentence = "This is the example sentence for word " + std::to_string(i) +
                         ".\r\n这是一个例句。\r\nAnother one.\r\n另一个例句。";
            wf::LocalTime t{2024, 1 + i / 2000, 1 + (i / 60) % 28, (i / 3600) % 24, i % 60, i % 59 + 1};
            doc.appendStudyEntry(w, t);
        }
        wordsFile = dir / "u-words.xml";
        wordsBytes = doc.bytes();
        wf::writeFileAtomically(wordsFile, wordsBytes);

        std::string ini = "[settings]\r\ndefault=user199\r\ns_time=0\r\n";
        for (int i = 0; i < 200; ++i) {
            ini += "[user" + std::to_string(i) + "]\r\nclass=词库" + std::to_string(i) +
                   "\r\ngrade=3.12\r\nstudy=1.5\r\nwords=20\r\n";
        }
        wf::writeFileAtomically(dir / "sc.ini", wf::encodeGb18030(ini));
    }
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

void BM_LoadWordFile10k(benchmark::State& state) {
    Workspace& w = workspace();
    wf::RecordingNotifier notifier;
    for (auto _ : state) {
        wf::WordList list;
        wf::loadWordFile(w.wordsFile, list, notifier);
        benchmark::DoNotOptimize(list.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(w.wordsBytes.size()));
}
BENCHMARK(BM_LoadWordFile10k)->Unit(benchmark::kMillisecond);

// The floor for reading the same file: its bytes, GB18030 decoding and a bare pugixml parse.
void BM_RawDecodeAndParse10k(benchmark::State& state) {
    Workspace& w = workspace();
    for (auto _ : state) {
        auto bytes = wf::readFileBytes(w.wordsFile);
        wf::DecodeResult text = wf::decodeGb18030(*bytes);
        pugi::xml_document doc;
        doc.load_buffer(text.text.data(), text.text.size(), pugi::parse_default & ~pugi::parse_eol,
                        pugi::encoding_utf8);
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(w.wordsBytes.size()));
}
BENCHMARK(BM_RawDecodeAndParse10k)->Unit(benchmark::kMillisecond);

void BM_AppendWordEntry10k(benchmark::State& state) {
    Workspace& w = workspace();
    wf::RecordingNotifier notifier;
    wf::WordEntry word;
    word.en = "appended";
    word.ch = "追加的词";
    word.num = "1";
    for (auto _ : state) {
        state.PauseTiming();
        wf::writeFileAtomically(w.wordsFile, w.wordsBytes);
        state.ResumeTiming();
        wf::appendWordEntry(w.wordsFile, "四级词汇", word, {2026, 12, 11, 9, 0, 1}, notifier);
    }
}
BENCHMARK(BM_AppendWordEntry10k)->Unit(benchmark::kMillisecond)->ComputeStatistics("median", [](const std::vector<double>& v) {
    std::vector<double> s = v;
    std::nth_element(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(s.size() / 2), s.end());
    return s[s.size() / 2];
})->Repetitions(5);

void BM_ReadSetting200Users(benchmark::State& state) {
    workspace();
    for (auto _ : state) {
        benchmark::DoNotOptimize(wf::readSetting("user150", "grade", "1.1"));
    }
}
BENCHMARK(BM_ReadSetting200Users)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

void BM_Decode10k(benchmark::State& state) {
    Workspace& w = workspace();
    for (auto _ : state) benchmark::DoNotOptimize(wf::decodeGb18030(w.wordsBytes).text.size());
}
BENCHMARK(BM_Decode10k)->Unit(benchmark::kMillisecond);

void BM_Encode10k(benchmark::State& state) {
    Workspace& w = workspace();
    std::string text = wf::decodeGb18030(w.wordsBytes).text;
    for (auto _ : state) benchmark::DoNotOptimize(wf::encodeGb18030(text).size());
}
BENCHMARK(BM_Encode10k)->Unit(benchmark::kMillisecond);

void BM_Write10k(benchmark::State& state) {
    Workspace& w = workspace();
    auto doc = wf::WordDocument::parse(w.wordsBytes);
    for (auto _ : state) benchmark::DoNotOptimize(doc->bytes().size());
}
BENCHMARK(BM_Write10k)->Unit(benchmark::kMillisecond);

void BM_SaveFile10k(benchmark::State& state) {
    Workspace& w = workspace();
    for (auto _ : state) wf::writeFileAtomically(w.dir / "copy.xml", w.wordsBytes);
}
BENCHMARK(BM_SaveFile10k)->Unit(benchmark::kMillisecond);

}  // namespace
