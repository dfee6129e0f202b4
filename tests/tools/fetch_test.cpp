// wordfern-cli fetch, run as a program against the loopback server.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/loopbackserver.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

using test::LoopbackServer;
using test::Reply;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class FetchCommandTest : public ::testing::Test {
  protected:
    void SetUp() override { m_dir = test::makeTempDir("wordfern-fetch-"); }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    CliRun fetch(const std::vector<std::string>& args) {
        std::string command = quoted(WF_CLI_PATH) + " fetch";
        for (const std::string& a : args) command += " " + quoted(a);
        command +=
            " >" + quoted((m_dir / "out").string()) + " 2>" + quoted((m_dir / "err").string());
        CliRun run;
        int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = test::readBytes(m_dir / "out");
        run.err = test::readBytes(m_dir / "err");
        return run;
    }

    LoopbackServer server;
    std::filesystem::path m_dir;
};

TEST_F(FetchCommandTest, PassesExactlyWhatItWasGiven) {
    Reply page{200, std::string("bin\0ary\r\n", 9)};
    page.headers = {{"Set-Cookie", "s=1; path=/"}};
    server.on("/p", page);

    CliRun plain = fetch({server.url("/p")});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out, std::string("bin\0ary\r\n", 9));
    EXPECT_FALSE(server.lastRequest().header("Cookie"));

    CliRun full =
        fetch({"--method", "1", "--post", "a=1", "--cookies", "c=3", "--header", "X-One: 1",
               "--header", "User-Agent: tester", "--show-headers", server.url("/p")});
    EXPECT_EQ(full.status, 0);
    test::RecordedRequest got = server.lastRequest();
    EXPECT_EQ(got.method, "POST");
    EXPECT_EQ(got.body, "a=1");
    EXPECT_EQ(got.header("Cookie"), "c=3");
    EXPECT_EQ(got.header("X-One"), "1");
    EXPECT_EQ(got.header("User-Agent"), "tester");
    EXPECT_EQ(full.err.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_NE(full.err.find("\r\n\r\nCookies: s=1; c=3\n"), std::string::npos) << full.err;

    // An empty --cookies is still supplied: nothing from the store is sent.
    CliRun empty = fetch({"--cookies", "", server.url("/p")});
    EXPECT_EQ(empty.status, 0);
    EXPECT_FALSE(server.lastRequest().header("Cookie"));
}

TEST_F(FetchCommandTest, WinHttpRedirectsAndStatuses) {
    server.redirect("/old", "/new");
    server.on("/missing", Reply{404, "nope"});

    CliRun stopped = fetch({"--winhttp", "--no-redirect", "--show-headers", server.url("/old")});
    EXPECT_EQ(stopped.status, 0);
    EXPECT_EQ(stopped.out, "moved");
    EXPECT_NE(stopped.err.find("Status: 302 Found\n"), std::string::npos) << stopped.err;
    EXPECT_NE(stopped.err.find("Location: /new\n"), std::string::npos) << stopped.err;

    CliRun missing = fetch({"--winhttp", server.url("/missing")});
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(missing.out, "nope");

    CliRun proxied = fetch({"--proxy", server.hostPort(), "http://elsewhere.invalid/missing"});
    EXPECT_EQ(server.lastRequest().target, "http://elsewhere.invalid/missing");
    EXPECT_EQ(proxied.status, 0);
}

TEST_F(FetchCommandTest, BadArgumentsAndNoAnswer) {
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"--method"},
                                                                  {"--method", "x", "http://h/"},
                                                                  {"--bogus", "http://h/"},
                                                                  {"http://a/", "http://b/"},
                                                                  {"--header"}}) {
        CliRun run = fetch(args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(run.err.find("Usage: wordfern-cli fetch"), std::string::npos);
    }
    LoopbackServer* gone = new LoopbackServer;
    std::string deadUrl = gone->url("/");
    delete gone;
    EXPECT_EQ(fetch({deadUrl}).status, 1);
    CliRun winhttp = fetch({"--winhttp", deadUrl});
    EXPECT_EQ(winhttp.status, 1);
    EXPECT_NE(winhttp.err.find("711"), std::string::npos);
}

}  // namespace
}  // namespace wf
