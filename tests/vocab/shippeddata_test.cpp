// The data files committed under data/ must load with the program's own readers, silently.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/programfolder.h"
#include "platform/codec.h"
#include "platform/notifier.h"
#include "tests/support/testsupport.h"
#include "vocab/referencedata.h"

namespace wf {
namespace {

const std::filesystem::path kSource = WF_SOURCE_DIR;

class ShippedData : public ::testing::Test {
protected:
    void SetUp() override { setProgramFolder(kSource); }
    RecordingNotifier m_notifier;
};

// Every line of a shipped text file ends with CR LF and the bytes are strict GB18030.
void expectWellFormedText(const std::filesystem::path& path) {
    SCOPED_TRACE(path.string());
    std::string bytes = test::readBytes(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(decodeGb18030(bytes).ok());
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
        ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "bare LF at byte " << at;
    }
}

TEST_F(ShippedData, ReferenceFilesLoadWithoutAMessage) {
    for (const char* name : {"tt.dat", "word class.dat", "address.dat", "LICENSE.txt"}) {
        expectWellFormedText(kSource / "data" / name);
    }
    // The manual and the change log go to the program folder itself.
    for (const char* name : {"说明.txt", "更新日志.txt"}) {
        expectWellFormedText(kSource / "dist" / name);
    }
    EXPECT_TRUE(loadWordLists().empty());  // no built-in list ships until one is confirmed
    EXPECT_FALSE(loadWordClasses(m_notifier).empty());
    WordList library = loadMixedLibrary(m_notifier);
    EXPECT_TRUE(m_notifier.messages().empty());

    // Every line of tt.dat is a record: nothing is silently skipped.
    std::string bytes = test::readBytes(kSource / "data" / "tt.dat");
    std::size_t lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    EXPECT_EQ(library.size(), lines);
    EXPECT_GE(library.size(), 4000u);
    EXPECT_LE(library.size(), 5200u);

    std::set<std::string> seen;
    std::map<char, int> perLetter;
    for (const WordEntry& e : library) {
        ASSERT_FALSE(e.en.empty());
        ASSERT_FALSE(e.ch.empty()) << e.en;
        EXPECT_TRUE(seen.insert(e.en).second) << "twice: " << e.en;
        EXPECT_EQ(e.en.find(' '), std::string::npos) << e.en;
        ++perLetter[e.en[0]];
    }
    // The word-chain game needs words for every initial letter.
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        EXPECT_GE(perLetter[letter], 10) << letter;
    }
}

TEST_F(ShippedData, WordClassTableHasTheLearnerMarksInASafeOrder) {
    std::vector<WordClass> table = loadWordClasses(m_notifier);
    std::map<std::string, std::string> labels;
    for (const WordClass& wc : table) labels[wc.key] = wc.label;
    const std::pair<const char*, const char*> required[] = {
        {"n.", "名词"},     {"v.", "动词"},     {"vt.", "及物动词"}, {"vi.", "不及物动词"},
        {"adj.", "形容词"}, {"a.", "形容词"},   {"adv.", "副词"},    {"ad.", "副词"},
        {"prep.", "介词"},  {"conj.", "连词"},  {"pron.", "代词"},   {"num.", "数词"},
        {"art.", "冠词"},   {"int.", "感叹词"}, {"interj.", "感叹词"}, {"aux.", "助动词"},
        {"abbr.", "缩写"},  {"pl.", "复数"},
    };
    for (const auto& [key, label] : required) EXPECT_EQ(labels[key], label) << key;

    // Keys are removed in table order, so a key that stands inside a longer key must come
    // after it ("pron." before "n.", "adv." before "v.").
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            EXPECT_EQ(table[j].key.find(table[i].key), std::string::npos)
                << '"' << table[i].key << "\" would cut into \"" << table[j].key << '"';
        }
    }
}

bool looksLikeMp3(const std::string& bytes) {
    if (bytes.size() < 400) return false;
    if (bytes.starts_with("ID3")) return true;
    auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
    return b0 == 0xFF && (b1 & 0xE0) == 0xE0;
}

TEST_F(ShippedData, EverySoundIsThere) {
    std::vector<std::filesystem::path> files = {"word/0.mp3", "music/later.mp3", "bandari.mp3",
                                                "开始.mp3", "接着.mp3", "胜利.mp3", "错误.mp3"};
    for (int code = 32; code <= 126; ++code) {
        files.push_back("word/" + std::to_string(code) + ".mp3");
    }
    for (const auto& file : files) {
        EXPECT_TRUE(looksLikeMp3(test::readBytes(kSource / "data" / file))) << file;
    }
}

}  // namespace
}  // namespace wf
