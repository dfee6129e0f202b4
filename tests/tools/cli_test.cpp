// Runs wordfern-cli as a learner would and checks what it prints.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/settings.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun runCli(const std::string& arguments) {
    auto dir = test::makeTempDir("wordfern-cli-");
    std::string command = std::string(WF_CLI) + " " + arguments + " 2>" + (dir / "err").string();
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = test::readBytes(dir / "err");
    std::filesystem::remove_all(dir);
    return run;
}

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TEST(Cli, WordsPrintsOneJsonObjectPerEntry) {
    CliRun run = runCli("words " + quoted(test::fixturePath("study.xml")));
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<nlohmann::json> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = run.out.find('\n', start)) != std::string::npos; start = nl + 1) {
        lines.push_back(nlohmann::json::parse(run.out.substr(start, nl - start)));
    }
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["en"], "abandon");
    EXPECT_EQ(lines[0]["sentence"], "He abandoned the car.\r\n他弃车而去。");
    EXPECT_EQ(lines[1]["entryName"], "Words2019年3月5日14时2分33秒_2");
    EXPECT_EQ(lines[1]["num"], "2");
    std::vector<std::string> keys;
    for (auto it = lines[0].begin(); it != lines[0].end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys.size(), 7u);
}

TEST(Cli, ErrorsAndHelp) {
    struct Case {
        std::string args;
        int status;
        bool errorLine;
    } cases[] = {
        {"words /no/such/file.xml", 1, true},
        {"words " + quoted(test::fixturePath("../../CMakeLists.txt")), 1, true},
        {"words", 2, true},
        {"bogus", 2, true},
        {"export " + quoted(test::fixturePath("study.xml")) + " --format xls", 2, true},
        {"--help", 0, false},
        {"words --help", 0, false},
        {"progress --help", 0, false},
        {"export --help", 0, false},
    };
    for (const Case& c : cases) {
        CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_EQ(!run.err.empty(), c.errorLine) << c.args << ": " << run.err;
        if (c.status == 0) {
            EXPECT_NE(run.out.find("Usage:"), std::string::npos) << c.args;
        }
    }
    CliRun missing = runCli("words /no/such/file.xml");
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1) << "one line";
}

using CliProgress = test::TempHome;

TEST_F(CliProgress, ProgressOfTheDefaultUserOrANamedOne) {
    writeSetting("settings", "default", "小明");
    writeSetting("小明", "class", "四级词汇");
    writeSetting("小明", "grade", "3.12");
    writeSetting("小明", "study", "2.4");
    writeSetting("other", "class", "x");
    CliRun run = runCli("progress --home " + quoted(home()));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out),
              nlohmann::json::parse(R"({"className":"四级词汇","unit":3,"position":12,"phase":2,)"
                                    R"("counter":4,"dailyWords":20})"));
    EXPECT_EQ(run.out.find("\"className\""), 1u) << "keys in the documented order";

    run = runCli("progress --home " + quoted(home()) + " other");
    EXPECT_EQ(nlohmann::json::parse(run.out)["className"], "x");

    run = runCli("progress --home " + quoted(home() / "empty"));
    EXPECT_EQ(run.status, 1);
    run = runCli("progress --home");
    EXPECT_EQ(run.status, 2);
}

TEST(Cli, ExportKeepsLineBreaksAsEachFormatAllows) {
    CliRun tsv = runCli("export " + quoted(test::fixturePath("study.xml")));
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_EQ(tsv.out,
              "abandon\t放弃；抛弃\tv.-动词\tHe abandoned the car.<br>他弃车而去。\n"
              "\xF0\xA0\x80\x80 rare\t代码 ]]> 结束\t\t\n");
    CliRun csv = runCli("export --format csv " + quoted(test::fixturePath("collection.xml")));
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "\"Q&A\",\"问答\",\"n.-名词\",\"\"\r\n");
    CliRun quotes = runCli("export --format=csv " + quoted(test::fixturePath("study.xml")));
    EXPECT_NE(quotes.out.find("\"He abandoned the car.\r\n他弃车而去。\""), std::string::npos);
}

}  // namespace
}  // namespace wf
