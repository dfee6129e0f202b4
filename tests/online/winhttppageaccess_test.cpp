#include "online/winhttppageaccess.h"

#include <gtest/gtest.h>

#include "tests/support/loopbackserver.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

using test::LoopbackServer;
using test::Reply;

constexpr const char* kDefaultBlock =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
    "Accept: text/html, application/xhtml+xml, */*\r\n"
    "Accept-Encoding: gbk, GB2312\r\n"
    "Accept-Language: zh-cn\r\n"
    "Cache-Control: no-cache\r\n";

int deadPort() {
    LoopbackServer gone;
    return gone.port();
}

class WinHttpTest : public ::testing::Test {
  protected:
    LoopbackServer server;
};

TEST_F(WinHttpTest, OnlyTheAddressSendsTheSixDefaultLines) {
    server.serveFile("/page", "online/page.html");
    WinHttpRequest request;
    std::string text = WinHttpPageAccess(server.url("/page?a=1"), request);

    EXPECT_EQ(winHttpHeaderBlock(WinHttpRequest{}), kDefaultBlock);
    test::RecordedRequest got = server.lastRequest();
    EXPECT_EQ(got.method, "GET");
    EXPECT_EQ(got.target, "/page?a=1");
    EXPECT_EQ(got.header("User-Agent"),
              "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)");
    EXPECT_EQ(got.header("Accept"), "text/html, application/xhtml+xml, */*");
    EXPECT_EQ(got.header("Accept-Encoding"), "gbk, GB2312");
    EXPECT_EQ(got.header("Accept-Language"), "zh-cn");
    EXPECT_EQ(got.header("Cache-Control"), "no-cache");
    EXPECT_FALSE(got.header("Cookie"));
    EXPECT_FALSE(got.header("Content-Type"));
    EXPECT_EQ(request.status, "200 OK");
    EXPECT_EQ(request.bodyBytes, test::readBytes(test::fixturePath("online/page.html")));
    EXPECT_EQ(text, request.bodyBytes);
    EXPECT_EQ(request.location, "");
    EXPECT_EQ(request.returnedHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

TEST_F(WinHttpTest, HeaderBlockRules) {
    struct Case {
        int method;
        const char* extra;
        const char* cookies;  // nullptr: absent
        const char* expected;
    } cases[] = {
        {0, "user-agent: X", nullptr,
         "user-agent: X\r\nAccept: text/html, application/xhtml+xml, */*\r\n"
         "Accept-Encoding: gbk, GB2312\r\nAccept-Language: zh-cn\r\nCache-Control: no-cache\r\n"},
        // The Content-Type search alone keeps letter case: a lower-case line does not count.
        {1, "content-type: text/plain", nullptr,
         "content-type: text/plain\r\nUser-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT "
         "6.1; WOW64; Trident/5.0)\r\nAccept: text/html, application/xhtml+xml, */*\r\n"
         "Accept-Encoding: gbk, GB2312\r\nAccept-Language: zh-cn\r\n"
         "Content-Type: application/x-www-form-urlencoded\r\nCache-Control: no-cache\r\n"},
        {0, "", "a=1; b=2",
         "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
         "Accept: text/html, application/xhtml+xml, */*\r\nAccept-Encoding: gbk, GB2312\r\n"
         "Accept-Language: zh-cn\r\nCache-Control: no-cache\r\nCookie: a=1; b=2\r\n"},
        {0, "", "", kDefaultBlock},
    };
    for (const Case& c : cases) {
        WinHttpRequest request;
        request.method = c.method;
        request.extraHeaders = c.extra;
        if (c.cookies) request.cookies = c.cookies;
        EXPECT_EQ(winHttpHeaderBlock(request), c.expected) << c.extra;
    }

    server.on("/p", Reply{200, "ok"});
    WinHttpRequest agent;
    agent.extraHeaders = "user-agent: X";
    WinHttpPageAccess(server.url("/p"), agent);
    EXPECT_EQ(server.lastRequest().header("User-Agent"), "X");
    EXPECT_EQ(server.lastRequest().headerCount("User-Agent"), 1u);

    WinHttpRequest post;
    post.method = 1;
    post.postText = "k=v";
    WinHttpPageAccess(server.url("/p"), post);
    EXPECT_EQ(server.lastRequest().method, "POST");
    EXPECT_EQ(server.lastRequest().body, "k=v");
    EXPECT_EQ(server.lastRequest().header("Content-Type"), "application/x-www-form-urlencoded");

    // The body travels with a GET too.
    WinHttpRequest get;
    get.postText = "abc";
    WinHttpPageAccess(server.url("/p"), get);
    EXPECT_EQ(server.lastRequest().method, "GET");
    EXPECT_EQ(server.lastRequest().header("Content-Length"), "3");
}

TEST_F(WinHttpTest, TimeOutsAndCredentials) {
    EXPECT_EQ(winHttpTimeoutMs(5), 5000);
    EXPECT_EQ(winHttpTimeoutMs(0), 30000);
    EXPECT_EQ(winHttpTimeoutMs(-3), 30000);

    Reply hanging;
    hanging.hang = true;
    server.on("/hang", hanging);
    WinHttpRequest slow;
    slow.timeoutSeconds = 1;
    EXPECT_EQ(WinHttpPageAccess(server.url("/hang"), slow), "");
    EXPECT_EQ(slow.status, winhttp_error::kReceive);

    Reply late{200, "late"};
    late.delayMs = 300;
    server.on("/late", late);
    WinHttpRequest patient;
    patient.timeoutSeconds = 10;
    EXPECT_EQ(WinHttpPageAccess(server.url("/late"), patient), "late");
    EXPECT_EQ(patient.status, "200 OK");

    server.on("/auth", Reply{200, "ok"});
    WinHttpRequest both;
    both.userName = "u";
    both.password = "p";
    WinHttpPageAccess(server.url("/auth"), both);
    EXPECT_EQ(server.lastRequest().header("Authorization"), "Basic dTpw");

    WinHttpRequest userOnly;
    userOnly.userName = "u";
    WinHttpPageAccess(server.url("/auth"), userOnly);
    EXPECT_FALSE(server.lastRequest().header("Authorization"));

    server.on("http://behind.invalid/x", Reply{200, "proxied"});
    WinHttpRequest proxied;
    proxied.proxy = server.hostPort();
    proxied.proxyUser = "pu";
    proxied.proxyPassword = "pp";
    EXPECT_EQ(WinHttpPageAccess("http://behind.invalid/x", proxied), "proxied");
    EXPECT_EQ(server.lastRequest().header("Proxy-Authorization"), "Basic cHU6cHA=");
}

TEST_F(WinHttpTest, LocationStatusAndCookies) {
    server.redirect("/old", "http://elsewhere.invalid/new");
    WinHttpRequest stopped;
    stopped.noRedirect = true;
    EXPECT_EQ(WinHttpPageAccess(server.url("/old"), stopped), "moved");
    EXPECT_EQ(stopped.location, "http://elsewhere.invalid/new");
    EXPECT_EQ(stopped.status, "302 Found");

    server.on("/missing", Reply{404, "no such page"});
    WinHttpRequest missing;
    EXPECT_EQ(WinHttpPageAccess(server.url("/missing"), missing), "no such page");
    EXPECT_EQ(missing.status, "404 Not Found");

    Reply setting{200, "c"};
    setting.headers = {{"set-cookie", "a=9; path=/"}, {"Set-Cookie", "b=deleted"}};
    server.on("/cookies", setting);
    WinHttpRequest supplied;
    supplied.cookies = "a=1; b=2; c=3";
    WinHttpPageAccess(server.url("/cookies"), supplied);
    EXPECT_EQ(server.lastRequest().header("Cookie"), "a=1; b=2; c=3");
    EXPECT_EQ(supplied.returnedCookies, "a=9; c=3");
    EXPECT_NE(supplied.returnedHeaders.find("Set-Cookie: a=9"), std::string::npos);

    // Without cookies nothing is kept between calls.
    WinHttpRequest absent;
    WinHttpPageAccess(server.url("/cookies"), absent);
    EXPECT_EQ(absent.returnedCookies, "a=9; b=deleted");
    WinHttpPageAccess(server.url("/cookies"), absent);
    EXPECT_FALSE(server.lastRequest().header("Cookie"));
}

TEST_F(WinHttpTest, EveryReachableErrorText) {
    struct Case {
        std::string url;
        const char* status;
    } cases[] = {
        {"not an address", winhttp_error::kUrl},
        {"ftp://127.0.0.1/file", winhttp_error::kUrl},
        {"http://", winhttp_error::kUrl},
        {"http://127.0.0.1:" + std::to_string(deadPort()) + "/", winhttp_error::kSend},
    };
    for (const Case& c : cases) {
        WinHttpRequest request;
        EXPECT_EQ(WinHttpPageAccess(c.url, request), "") << c.url;
        EXPECT_EQ(request.status, c.status) << c.url;
    }

    LoopbackServer untrusted(true);
    untrusted.on("/", Reply{200, "secret"});
    WinHttpRequest tls;
    EXPECT_EQ(WinHttpPageAccess(untrusted.url("/"), tls), "");
    EXPECT_EQ(tls.status, winhttp_error::kSend);
    EXPECT_TRUE(untrusted.requests().empty());

    // A body broken off keeps what arrived and says that reading failed.
    Reply cut;
    cut.body = std::string(4000, 'b');
    cut.cutBodyAt = 100;
    server.on("/cut", cut);
    WinHttpRequest broken;
    WinHttpPageAccess(server.url("/cut"), broken);
    EXPECT_EQ(broken.status, winhttp_error::kRead);
    EXPECT_EQ(broken.bodyBytes, std::string(100, 'b'));

    Reply huge{200, std::string(5000, 'h')};
    server.on("/huge", huge);
    WinHttpRequest capped;
    capped.maxBodyBytes = 1000;
    WinHttpPageAccess(server.url("/huge"), capped);
    EXPECT_EQ(capped.status, winhttp_error::kRead);
    EXPECT_LE(capped.bodyBytes.size(), 1000u);
}

TEST_F(WinHttpTest, PagesAreDecodedByTheCharsetTheyDeclare) {
    struct Case {
        const char* fixture;
        bool decoded;
    } cases[] = {
        {"online/charset-utf8.html", true},      {"online/charset-gbk.html", true},
        {"online/charset-gbk-upper.html", true}, {"online/charset-big5.html", true},
        {"online/answer.json", false},
    };
    for (const Case& c : cases) {
        server.serveFile("/doc", c.fixture);
        WinHttpRequest request;
        std::string text = WinHttpPageAccess(server.url("/doc"), request);
        EXPECT_EQ(request.bodyBytes, test::readBytes(test::fixturePath(c.fixture))) << c.fixture;
        if (c.decoded) {
            EXPECT_NE(text.find("<body>你好世界</body>"), std::string::npos) << c.fixture;
        } else {
            // Without a declaration the bytes are read as the code page's text, so a UTF-8
            // answer comes back undecoded and the caller decodes bodyBytes itself.
            EXPECT_EQ(text.find("你好"), std::string::npos) << c.fixture;
            EXPECT_NE(text.find("{\"word\":"), std::string::npos) << c.fixture;
        }
    }
}

}  // namespace
}  // namespace wf
