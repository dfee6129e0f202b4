#include "online/webpageaccess.h"

#include <gtest/gtest.h>

#include "online/services.h"
#include "online/winhttppageaccess.h"
#include "platform/profile.h"
#include "tests/support/loopbackserver.h"
#include "tests/support/testsupport.h"

namespace wf {
namespace {

using test::LoopbackServer;
using test::Reply;

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// A port nothing listens on: taken from a server that is gone again.
int deadPort() {
    LoopbackServer gone;
    return gone.port();
}

class WebPageAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        clearCookieStore();
        server.serveFile("/page", "online/page.html");
    }
    LoopbackServer server;
};

TEST_F(WebPageAccessTest, PlainGetSendsTheDefaultBlockAndReturnsTheBodyUnchanged) {
    WebPageRequest request;
    std::string url = server.url("/page?x=1");
    std::string body = WebPageAccess(url, request);

    EXPECT_EQ(body, test::readBytes(test::fixturePath("online/page.html")));
    EXPECT_EQ(request.extraHeaders,
              "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn");
    test::RecordedRequest got = server.lastRequest();
    EXPECT_EQ(got.method, "GET");
    EXPECT_EQ(got.target, "/page?x=1");
    EXPECT_EQ(got.header("User-Agent"), kAgent);
    EXPECT_EQ(got.header("Accept"), "*/*");
    EXPECT_EQ(got.header("Referer"), url);
    EXPECT_EQ(got.header("Accept-Language"), "zh-cn");
    EXPECT_FALSE(got.header("Cookie"));
    EXPECT_FALSE(got.header("Content-Type"));
    EXPECT_EQ(request.returnedHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_NE(request.returnedHeaders.find("Content-Type: text/html"), std::string::npos);
}

TEST_F(WebPageAccessTest, BlanksAndNonAsciiInTheAddressTravelPercentEncoded) {
    server.on("/a b/你", Reply{200, "found"});
    EXPECT_EQ(WebPageAccess(server.url("/a b/你?q=好 x")), "found");
    EXPECT_EQ(server.lastRequest().target, "/a%20b/%E4%BD%A0?q=%E5%A5%BD%20x");
    WinHttpRequest request;
    EXPECT_EQ(WinHttpPageAccess(server.url("/a b/你"), request), "found");
}

TEST_F(WebPageAccessTest, PostAddsTheFormTypeAndPutSendsItsBodyWithoutOne) {
    WebPageRequest post;
    post.method = 1;
    post.postText = "q=a&b=c";
    WebPageAccess(server.url("/page"), post);
    test::RecordedRequest got = server.lastRequest();
    EXPECT_EQ(got.method, "POST");
    EXPECT_EQ(got.body, "q=a&b=c");
    EXPECT_EQ(got.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(got.header("Content-Length"), "7");
    EXPECT_FALSE(got.header("Expect"));
    EXPECT_EQ(post.postBytes, "q=a&b=c");
    EXPECT_NE(post.extraHeaders.find("\r\nContent-Type: application/x-www-form-urlencoded"),
              std::string::npos);

    WebPageRequest put;
    put.method = 3;
    put.postText = "ignored";
    put.postBytes = std::string("\x00\x01raw", 5);
    WebPageAccess(server.url("/page"), put);
    got = server.lastRequest();
    EXPECT_EQ(got.method, "PUT");
    EXPECT_EQ(got.body, std::string("\x00\x01raw", 5));
    EXPECT_FALSE(got.header("Content-Type"));
    EXPECT_EQ(put.extraHeaders.find("Content-Type"), std::string::npos);
}

TEST_F(WebPageAccessTest, MethodCodesOutsideTheTableSendGet) {
    struct Case {
        int code;
        const char* method;
    } cases[] = {{0, "GET"},    {1, "POST"},  {2, "HEAD"},    {3, "PUT"}, {4, "OPTIONS"},
                 {5, "DELETE"}, {6, "TRACE"}, {7, "CONNECT"}, {9, "GET"}, {-1, "GET"}};
    for (const Case& c : cases) {
        server.clearRequests();
        WebPageRequest request;
        request.method = c.code;
        std::string body = WebPageAccess(server.url("/page"), request);
        ASSERT_EQ(server.requests().size(), 1u) << c.code;
        EXPECT_EQ(server.lastRequest().method, c.method) << c.code;
        if (c.code == 2) {
            EXPECT_EQ(body, "");
        }
    }
}

TEST_F(WebPageAccessTest, AgentComesFromTheUserAgentLineWhichIsSentToo) {
    struct Case {
        const char* headers;
        const char* agent;
    } cases[] = {
        {"", kAgent},
        {"User-Agent: X", "X"},
        {"Accept: text/html\r\nUser-Agent:   Y z  \r\nX-A: 1", "Y z"},
        // The line is found ignoring case, its value case-sensitively: the rest after the
        // first colon stands in.
        {"user-agent: low", "low"},
        {"X-A: 1\r\nuser-agent: low", "1\r\nuser-agent: low"},
    };
    for (const Case& c : cases) EXPECT_EQ(userAgentFor(c.headers), c.agent) << c.headers;

    WebPageRequest request;
    request.extraHeaders = "User-Agent: X";
    std::string url = server.url("/page");
    WebPageAccess(url, request);
    EXPECT_EQ(request.extraHeaders,
              "User-Agent: X\r\nAccept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn");
    test::RecordedRequest got = server.lastRequest();
    EXPECT_EQ(got.header("User-Agent"), "X");
    EXPECT_EQ(got.headerCount("User-Agent"), 1u);

    WebPageRequest accept;
    accept.extraHeaders = "Accept: text/html";
    WebPageAccess(url, accept);
    EXPECT_EQ(accept.extraHeaders.rfind("Accept: text/html\r\nReferer: ", 0), 0u);
    EXPECT_EQ(server.lastRequest().headerCount("Accept"), 1u);
    EXPECT_EQ(server.lastRequest().header("Accept"), "text/html");
}

TEST_F(WebPageAccessTest, CookiesAbsentEmptyOrSuppliedAndTheMerge) {
    Reply setting;
    setting.body = "set";
    setting.headers = {{"Set-Cookie", "a=9; path=/"},
                       {"set-cookie", "c=deleted"},
                       {"SET-COOKIE", "d=4; HttpOnly"}};
    server.on("/set", setting);

    // Supplied: sent as given, merged with the answer's; "=deleted" drops c.
    WebPageRequest supplied;
    supplied.cookies = "a=1; c=3; e=5";
    WebPageAccess(server.url("/set"), supplied);
    EXPECT_EQ(server.lastRequest().header("Cookie"), "a=1; c=3; e=5");
    EXPECT_EQ(supplied.returnedCookies, "a=9; d=4; e=5");
    EXPECT_NE(supplied.returnedHeaders.find("Set-Cookie: c=deleted"), std::string::npos);
    EXPECT_EQ(findText(supplied.returnedHeaders, "set-cookie: c"), -1);

    WebPageRequest unmerged;
    unmerged.cookies = "a=1; e=5";
    unmerged.mergeCookies = false;
    WebPageAccess(server.url("/set"), unmerged);
    EXPECT_EQ(unmerged.returnedCookies, "a=9; c=deleted; d=4");

    // A cookie text that already is a header line travels as it is.
    WebPageRequest line;
    line.cookies = "Cookie: z=26";
    WebPageAccess(server.url("/page"), line);
    EXPECT_EQ(server.lastRequest().header("Cookie"), "z=26");

    // Absent: the process-wide store keeps what an answer set and sends it back.
    WebPageRequest first;
    WebPageAccess(server.url("/set"), first);
    EXPECT_EQ(first.returnedCookies, "a=9; c=deleted; d=4");
    WebPageRequest absent;
    WebPageAccess(server.url("/page"), absent);
    std::string sent = server.lastRequest().header("Cookie").value_or("");
    EXPECT_NE(sent.find("a=9"), std::string::npos);
    EXPECT_NE(sent.find("d=4"), std::string::npos);

    // Supplied but empty: the store is neither read nor written.
    WebPageRequest empty;
    empty.cookies = "";
    WebPageAccess(server.url("/page"), empty);
    EXPECT_FALSE(server.lastRequest().header("Cookie"));
    EXPECT_EQ(empty.returnedCookies, "");
}

TEST_F(WebPageAccessTest, RedirectsAreFollowedUnlessForbidden) {
    server.redirect("/old", "/page");
    WebPageRequest followed;
    EXPECT_EQ(WebPageAccess(server.url("/old"), followed),
              test::readBytes(test::fixturePath("online/page.html")));
    EXPECT_EQ(followed.returnedHeaders.rfind("HTTP/1.1 200 OK", 0), 0u);
    EXPECT_EQ(followed.returnedHeaders.find("Location"), std::string::npos);

    WebPageRequest stopped;
    stopped.noRedirect = true;
    EXPECT_EQ(WebPageAccess(server.url("/old"), stopped), "moved");
    EXPECT_EQ(stopped.returnedHeaders.rfind("HTTP/1.1 302", 0), 0u);
    EXPECT_NE(stopped.returnedHeaders.find("Location: /page"), std::string::npos);
}

TEST_F(WebPageAccessTest, ProxyCarriesHttpRequestsAndTunnelsHttps) {
    server.on("http://proxied.invalid/x", Reply{200, "via proxy"});
    WebPageRequest plain;
    plain.proxy = server.hostPort();
    EXPECT_EQ(WebPageAccess("http://proxied.invalid/x", plain), "via proxy");
    EXPECT_EQ(server.lastRequest().target, "http://proxied.invalid/x");

    WebPageRequest secure;
    secure.proxy = server.hostPort();
    EXPECT_EQ(WebPageAccess("https://secure.invalid/y", secure), "");
    EXPECT_EQ(server.lastRequest().method, "CONNECT");
    EXPECT_EQ(server.lastRequest().target, "secure.invalid:443");
}

TEST_F(WebPageAccessTest, AnswerHeadersBeyondTheBufferAreDropped) {
    for (std::size_t filler : {3800u, 5200u}) {
        Reply big;
        big.body = "body";
        big.headers = {{"X-Filler", std::string(filler, 'f')}, {"Set-Cookie", "k=v"}};
        server.on("/big", big);
        WebPageRequest request;
        EXPECT_EQ(WebPageAccess(server.url("/big"), request), "body") << filler;
        if (filler < 4900) {
            EXPECT_NE(request.returnedHeaders.find("X-Filler"), std::string::npos);
            EXPECT_EQ(request.returnedCookies, "k=v");
        } else {
            EXPECT_EQ(request.returnedHeaders, "");
            EXPECT_EQ(request.returnedCookies, "");
        }
    }
}

TEST_F(WebPageAccessTest, UnreachableHostsAndHostileServersGiveAnEmptyBody) {
    WebPageRequest dead;
    dead.returnedHeaders = "stale";
    dead.returnedCookies = "stale=1";
    std::string url = "http://127.0.0.1:" + std::to_string(deadPort()) + "/";
    EXPECT_EQ(WebPageAccess(url, dead), "");
    EXPECT_EQ(dead.returnedHeaders, "");
    EXPECT_EQ(dead.returnedCookies, "");
    EXPECT_NE(dead.extraHeaders.find("Referer: " + url), std::string::npos);

    // Certificates are verified: a server nobody vouches for gets no request through.
    LoopbackServer untrusted(true);
    untrusted.on("/", Reply{200, "secret"});
    EXPECT_EQ(WebPageAccess(untrusted.url("/")), "");
    EXPECT_TRUE(untrusted.requests().empty());

    Reply huge;
    huge.body = std::string(5000, 'x');
    server.on("/huge", huge);
    WebPageRequest capped;
    capped.limits.maxBodyBytes = 1000;
    EXPECT_EQ(WebPageAccess(server.url("/huge"), capped), "");

    Reply hanging;
    hanging.hang = true;
    server.on("/hang", hanging);
    WebPageRequest stalled;
    stalled.limits.stallSeconds = 1;
    EXPECT_EQ(WebPageAccess(server.url("/hang"), stalled), "");
}

TEST(UrlParts, HostPortAndPath) {
    struct Case {
        const char* url;
        const char* host;
        int port;
        const char* path;
    } cases[] = {
        {"https://Example.COM", "example.com", 443, "/"},
        {"http://host:8080/a?b=1", "host", 8080, "/a?b=1"},
        {"server1", "server1", 80, "/"},
        {"HTTP://Host/Path/To?Q=A#frag", "host", 80, "/Path/To?Q=A"},
        {"http://h?q=1", "h", 80, "/?q=1"},
        {"https://h:8443", "h", 8443, "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
        EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
        EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
    }
}

TEST(TextBetween, MarkersPositionsCaseAndQuotePlaceholder) {
    struct Case {
        const char* text;
        const char* left;
        const char* right;
        long long start;
        bool ignoreCase;
        const char* expected;
    } cases[] = {
        {"<a class=\"x\">v</a>", "class=#引号x#引号>", "<", 1, false, "v"},
        {"[1][2]", "[", "]", 1, false, "1"},
        {"[1][2]", "[", "]", 2, false, "2"},
        {"AbC", "a", "c", 1, false, ""},
        {"AbC", "a", "c", 1, true, "b"},
        {"no right", "no", "#", 1, false, ""},
        {"中文<b>字</b>", "<b>", "</b>", 1, false, "字"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected)
            << c.text << " " << c.left;
    }
    EXPECT_EQ(findText("abc", "z"), -1);
    EXPECT_EQ(findText("abcabc", "c", 4), 6);
}

TEST(Cookies, MergeAndDuplicateRemoval) {
    struct Case {
        const char* old;
        const char* fresh;
        const char* merged;
    } cases[] = {
        {"a=1; c=3", "a=9; c=deleted", "a=9"},
        {"x=1; y=2", "z=3", "z=3; x=1; y=2"},
        {"", "a=1", "a=1"},
        {"a=1", "", "a=1"},
        {"s = 1 ;t=2", "t=9", "t=9; s=1"},
        {"a=1; a=1", "b=2", "b=2; a=1"},
        {"gone=deleted", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MergeCookies(c.old, c.fresh), c.merged) << c.old << " | " << c.fresh;
    }
    EXPECT_EQ(RemoveDuplicateItems("a|b|a|c|b", "|"), "a|b|c");
    EXPECT_EQ(RemoveDuplicateItems("", "; "), "");

    std::string headers = "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nset-cookie: b=2\r\n\r\n";
    EXPECT_EQ(cookiesFromHeaders(headers), "a=1; b=2");
    EXPECT_NE(headers.find("Set-Cookie: b=2"), std::string::npos);
}

TEST(Utf8ToAnsi, DecodesUpToTheFirstZero) {
    EXPECT_EQ(Utf8ToAnsi(""), "");
    EXPECT_EQ(Utf8ToAnsi("你好"), "你好");
    EXPECT_EQ(Utf8ToAnsi(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(Utf8ToAnsi("a\xFF"), "a\xEF\xBF\xBD");
}

class ConnectivityTest : public test::TempHome {
  protected:
    void SetUp() override {
        TempHome::SetUp();
        std::filesystem::create_directories(home() / "data");
        server.serveFile("/probe", "online/probe.html");
        server.serveFile("/plain", "online/page.html");
        server.on("/missing", Reply{404, "gone"});
    }
    void setProbe(const std::string& address) {
        ASSERT_TRUE(profileWrite(servicesFile(), "probe", "address", address));
        ASSERT_TRUE(profileWrite(servicesFile(), "probe", "marker", "百度一下"));
    }
    LoopbackServer server;
};

TEST_F(ConnectivityTest, OnlineOnlyWhenTheProbePageAnswersWithItsMarker) {
    setProbe(server.url("/probe"));
    EXPECT_TRUE(CheckOnline());
    EXPECT_TRUE(IsConnected());

    setProbe(server.url("/plain"));
    EXPECT_FALSE(CheckOnline());

    setProbe("http://127.0.0.1:" + std::to_string(deadPort()) + "/");
    server.clearRequests();
    EXPECT_FALSE(CheckOnline());
    EXPECT_FALSE(IsConnected());
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(ConnectivityTest, UrlExistsAndHttpGetBytes) {
    EXPECT_TRUE(UrlExists(server.url("/plain")));
    EXPECT_EQ(server.lastRequest().method, "HEAD");
    EXPECT_FALSE(UrlExists(server.url("/missing")));
    EXPECT_EQ(httpGetBytes(server.url("/plain")),
              test::readBytes(test::fixturePath("online/page.html")));
    EXPECT_EQ(httpGetBytes(server.url("/missing")), "");
    EXPECT_EQ(httpGetBytes("http://127.0.0.1:" + std::to_string(deadPort()) + "/"), "");
}

}  // namespace
}  // namespace wf

namespace wf {
namespace {

class ServicesTest : public test::TempHome {};

TEST_F(ServicesTest, ShippedAddressesReadThroughTheProfileFile) {
    std::filesystem::create_directories(home() / "data");
    std::filesystem::copy_file(std::filesystem::path(WF_SOURCE_DIR) / "data" / "services.ini",
                               servicesFile());
    EXPECT_EQ(serviceAddress("baidu_translate"), "https://fanyi-api.baidu.com");
    EXPECT_EQ(serviceAddress("PROBE"), "https://www.baidu.com");
    EXPECT_EQ(serviceValue("probe", "marker"), "百度一下");
    EXPECT_EQ(serviceValue("baidu_translate", "key"), "");
    EXPECT_EQ(serviceAddress("no_such_service"), "");
    for (const char* service : {"google_translate", "kekenet_dictionary", "iciba_dictionary",
                                "iciba_examples", "youdao_voice", "en998"}) {
        EXPECT_EQ(serviceAddress(service).rfind("http", 0), 0u) << service;
    }
}

}  // namespace
}  // namespace wf
