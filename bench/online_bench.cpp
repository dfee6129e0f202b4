// The scraping expression and the page fetch, each beside the bare library call it wraps, so
// the overhead of the wrappers shows in one run.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <string>

#include "online/regexobject.h"
#include "online/webpageaccess.h"
#include "tests/support/loopbackserver.h"

namespace {

// About 2 MB of a dictionary page: many list rows, phonetics in brackets, and the section end
// marker the lookup expression looks for.
const std::string& page() {
    static const std::string text = [] {
        std::string p = "<html><head><meta charset=\"utf-8\"></head><body>\r\n";
        int i = 0;
        while (p.size() < 2 * 1024 * 1024) {
            p += "<li class=\"row\"><span title=\"例句 " + std::to_string(i) + "\">word" +
                 std::to_string(i) + "</span> 释义：一个词的意思 meaning of it</li>\r\n";
            if (i % 2000 == 0)
                p += "<p>[ˈwɜːd" + std::to_string(i) + "] n. 单词<div class=\"subsear_2\">\r\n";
            ++i;
        }
        return p + "</body></html>";
    }();
    return text;
}

const char* const kPatterns[] = {R"(]([\s\S]*?)<div class="subsear_2">)",
                                 R"x(<span title="(.*?)")x"};

void regexObject(benchmark::State& state) {
    const std::string& text = page();
    const char* pattern = kPatterns[state.range(0)];
    int matches = 0;
    for (auto _ : state) {
        wf::RegexObject regex;
        regex.Execute(pattern, text);
        matches = regex.MatchCount();
        benchmark::DoNotOptimize(regex.SubMatchText(matches, 1));
    }
    state.counters["matches"] = matches;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(regexObject)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same expression compiled once and JIT-matched in a global loop, results not kept. With
// range(1) set the first match validates the text's UTF-8 (as any safe use must, once per
// text); without it nothing is checked at all.
void barePcre2Jit(benchmark::State& state) {
    const bool validate = state.range(1) != 0;
    const std::string& text = page();
    std::string pattern = wf::translateJsPattern(kPatterns[state.range(0)]);
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_compile_context* cc = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(cc, PCRE2_NEWLINE_ANYCRLF);
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     PCRE2_UTF | PCRE2_CASELESS | PCRE2_MULTILINE | PCRE2_ALT_BSUX,
                                     &error, &offset, cc);
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    pcre2_match_context* mc = pcre2_match_context_create(nullptr);
    pcre2_jit_stack* stack = pcre2_jit_stack_create(32 * 1024, 64 * 1024 * 1024, nullptr);
    pcre2_jit_stack_assign(mc, nullptr, stack);
    int matches = 0;
    for (auto _ : state) {
        matches = 0;
        std::size_t at = 0;
        uint32_t options = validate ? 0 : PCRE2_NO_UTF_CHECK;
        while (pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), at,
                           options, data, mc) > 0) {
            options = PCRE2_NO_UTF_CHECK;
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
            ++matches;
            at = ov[1] > ov[0] ? ov[1] : ov[1] + 1;
        }
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = matches;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    pcre2_jit_stack_free(stack);
    pcre2_match_context_free(mc);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    pcre2_compile_context_free(cc);
}
BENCHMARK(barePcre2Jit)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);

wf::test::LoopbackServer& server() {
    static wf::test::LoopbackServer* s = [] {
        auto* created = new wf::test::LoopbackServer;
        created->on("/body", wf::test::Reply{200, std::string(1024 * 1024, 'b')});
        return created;
    }();
    return *s;
}

void webPageAccess(benchmark::State& state) {
    std::string url = server().url("/body");
    for (auto _ : state) {
        wf::WebPageRequest request;
        std::string body = wf::WebPageAccess(url, request);
        if (body.size() != 1024 * 1024) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 1024 * 1024));
}
BENCHMARK(webPageAccess)->Unit(benchmark::kMillisecond);

size_t collect(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

void bareCurlGet(benchmark::State& state) {
    std::string url = server().url("/body");
    for (auto _ : state) {
        std::string body;
        CURL* h = curl_easy_init();
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &collect);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
        curl_easy_perform(h);
        curl_easy_cleanup(h);
        if (body.size() != 1024 * 1024) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 1024 * 1024));
}
BENCHMARK(bareCurlGet)->Unit(benchmark::kMillisecond);

}  // namespace
