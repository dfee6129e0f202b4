// The page-fetch routine every online feature goes through, and the small URL, cookie and text
// helpers that travel with it. Text is program text (UTF-8); positions are 1-based byte
// positions; bodies are raw bytes held in std::string.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

// Limits that keep a hostile or dead server from exhausting memory or hanging the caller.
struct TransferLimits {
    long connectSeconds = 30;
    long stallSeconds = 60;  // no byte received for this long ends the transfer
    long totalSeconds = 600;
    std::size_t maxBodyBytes = 32u << 20;
};

// The parameters of one call, in the routine's order; inputs, in/out values and outputs.
struct WebPageRequest {
    int method = 0;                      // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE,
                                         // 6 TRACE, 7 CONNECT; anything else is GET
    std::string postText;                // body when postBytes is empty
    std::optional<std::string> cookies;  // absent: the process-wide cookie store is used
    std::string returnedCookies;         // out: "name=value; name=value"
    std::string extraHeaders;            // in/out: the completed block that was sent
    std::string returnedHeaders;         // out: the final answer's raw header block
    bool noRedirect = false;
    std::string postBytes;  // in/out: the body that was sent
    std::string proxy;      // "host:port"; empty for a direct connection
    bool mergeCookies = true;
    TransferLimits limits;
};

// One synchronous request; returns the body exactly as received, whatever the status, or
// empty bytes when the request could not be made.
std::string WebPageAccess(const std::string& url, WebPageRequest& request);
std::string WebPageAccess(const std::string& url);

// The agent a request announces for an extra header block.
std::string userAgentFor(std::string_view extraHeaders);
// Forgets the cookies that requests without a cookies argument collected.
void clearCookieStore();

std::string UrlHost(std::string_view url, bool withPort = false);
int UrlPort(std::string_view url);
std::string UrlPath(std::string_view url);

// 1-based byte position of needle in text from start, or -1; ASCII letters compare without
// case when ignoreCase is set.
long long findText(std::string_view text, std::string_view needle, long long start = 1,
                   bool ignoreCase = false);
// The text between the two markers; "#引号" in a marker stands for a double quote.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        long long start = 1, bool ignoreCase = false);

std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies);
std::string RemoveDuplicateItems(std::string_view list, std::string_view separator);
// The name=value items of every Set-Cookie line of a raw header block.
std::string cookiesFromHeaders(std::string& headers);

// A UTF-8 body as program text, up to its first zero byte; invalid sequences become U+FFFD.
std::string Utf8ToAnsi(std::string_view bytes);

// Connectivity: the probe page of data/services.ini must answer and carry its marker.
bool CheckOnline();
bool IsConnected();
// True when a HEAD request to url answers with status 200.
bool UrlExists(const std::string& url);
// The body of a plain GET, empty when the request fails or the status is not 2xx.
std::string httpGetBytes(const std::string& url);

// Text helpers shared by the fetch routines.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);
std::string trimBlanks(std::string_view text);
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string toLowerAscii(std::string_view text);

}  // namespace wf
