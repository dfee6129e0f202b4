#include "online/webpageaccess.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "online/curltransfer.h"
#include "online/services.h"
#include "platform/codec.h"

namespace wf {
namespace {

constexpr const char* kMethodNames[] = {"GET",     "POST",   "HEAD",  "PUT",
                                        "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr std::string_view kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
// The answer's header block had to fit a buffer of this many bytes, terminating zero included.
constexpr std::size_t kHeaderBuffer = 5000;
constexpr std::string_view kQuotePlaceholder = "#引号";

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// The process-wide cookie store that requests without a cookies argument share, as the
// system's Internet library keeps one for the whole process.
class CookieStore {
  public:
    static CookieStore& instance() {
        static CookieStore store;
        return store;
    }
    CURLSH* share() const { return m_share; }

  private:
    CookieStore() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        m_share = curl_share_init();
        if (!m_share) return;
        curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &CookieStore::lock);
        curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &CookieStore::unlock);
        curl_share_setopt(m_share, CURLSHOPT_USERDATA, this);
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<CookieStore*>(self)->m_mutexes[data % kLocks].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<CookieStore*>(self)->m_mutexes[data % kLocks].unlock();
    }
    static constexpr int kLocks = 8;
    CURLSH* m_share = nullptr;
    std::mutex m_mutexes[kLocks];
};

// Every "Set-Cookie" in any letter case becomes "Set-Cookie".
std::string normaliseSetCookie(std::string_view headers) {
    std::string out(headers);
    const std::string_view name = "Set-Cookie";
    long long pos = findText(out, name, 1, true);
    while (pos > 0) {
        out.replace(static_cast<std::size_t>(pos - 1), name.size(), name);
        pos = findText(out, name, pos + static_cast<long long>(name.size()), true);
    }
    return out;
}

std::string removeIgnoringCase(std::string_view text, std::string_view what) {
    std::string out(text);
    long long pos = findText(out, what, 1, true);
    while (pos > 0) {
        out.erase(static_cast<std::size_t>(pos - 1), what.size());
        pos = findText(out, what, pos, true);
    }
    return out;
}

bool containsIgnoringCase(std::string_view text, std::string_view what) {
    return findText(text, what, 1, true) > 0;
}

// Builds the address libcurl requests from the split the routine itself makes.
std::string requestUrl(std::string_view url) {
    bool https = toLowerAscii(url.substr(0, 8)) == "https://";
    std::string target = (https ? "https://" : "http://") + UrlHost(url) + ":" +
                         std::to_string(UrlPort(url)) + UrlPath(url);
    return escapeUrlBytes(target);
}

// A request for the helpers: GET or HEAD of an address, redirects followed.
struct SimpleAnswer {
    bool answered = false;
    long status = 0;
    std::string body;
};

SimpleAnswer simpleRequest(const std::string& url, bool headOnly) {
    SimpleAnswer answer;
    CurlTransfer transfer{TransferLimits{}};
    if (!transfer.valid()) return answer;
    CURL* h = transfer.handle();
    curl_easy_setopt(h, CURLOPT_URL, escapeUrlBytes(url).c_str());
    curl_easy_setopt(h, CURLOPT_USERAGENT, std::string(kDefaultAgent).c_str());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    if (headOnly) curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    CURLcode rc = transfer.perform();
    answer.answered = rc == CURLE_OK;
    answer.status = transfer.status();
    answer.body = std::move(transfer.body);
    return answer;
}

// Whether a connection to the address's host can be made at all.
bool canConnect(const std::string& url) {
    CurlTransfer transfer{TransferLimits{}};
    if (!transfer.valid()) return false;
    curl_easy_setopt(transfer.handle(), CURLOPT_URL, escapeUrlBytes(url).c_str());
    curl_easy_setopt(transfer.handle(), CURLOPT_CONNECT_ONLY, 1L);
    return transfer.perform() == CURLE_OK;
}

}  // namespace

std::string toLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

std::vector<std::string> splitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    if (separator.empty()) {
        parts.emplace_back(text);
        return parts;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, pos - start));
        start = pos + separator.size();
    }
}

std::string trimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    while (true) {
        std::size_t pos = text.find(from, start);
        if (pos == std::string_view::npos) break;
        out.append(text.substr(start, pos - start));
        out.append(to);
        start = pos + from.size();
    }
    out.append(text.substr(start));
    return out;
}

long long findText(std::string_view text, std::string_view needle, long long start,
                   bool ignoreCase) {
    if (start < 1) start = 1;
    auto from = static_cast<std::size_t>(start - 1);
    if (from > text.size()) return -1;
    if (!ignoreCase) {
        std::size_t pos = text.find(needle, from);
        return pos == std::string_view::npos ? -1 : static_cast<long long>(pos) + 1;
    }
    auto it =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(),
                    needle.end(), [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
    if (it == text.end() && !needle.empty()) return -1;
    return static_cast<long long>(it - text.begin()) + 1;
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        long long start, bool ignoreCase) {
    std::string leftMarker = replaceAll(left, kQuotePlaceholder, "\"");
    std::string rightMarker = replaceAll(right, kQuotePlaceholder, "\"");
    long long leftPos = findText(text, leftMarker, start, ignoreCase);
    if (leftPos < 0) return {};
    long long from = leftPos + static_cast<long long>(leftMarker.size());
    long long rightPos = findText(text, rightMarker, from, ignoreCase);
    if (rightPos < 0) return {};
    return std::string(
        text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(rightPos - from)));
}

std::string UrlHost(std::string_view url, bool withPort) {
    std::string lower = toLowerAscii(url);
    if (lower.empty() || lower.back() != '/') lower += '/';
    std::string rest;
    if (lower.rfind("https://", 0) == 0) {
        rest = lower.substr(8);
    } else {
        std::size_t scheme = lower.find("http://");
        if (scheme == std::string::npos) {
            rest = lower;
        } else {
            rest = lower.substr(scheme + 7);
        }
    }
    // The host also ends where a query or fragment starts ("http://h?q=1" names host "h").
    std::string host = rest.substr(0, rest.find_first_of("/?#"));
    if (!withPort) host = host.substr(0, host.find(':'));
    return host;
}

int UrlPort(std::string_view url) {
    std::string host = UrlHost(url, true);
    std::size_t colon = host.rfind(':');
    if (colon == std::string::npos) {
        return toLowerAscii(url.substr(0, 5)) == "https" ? 443 : 80;
    }
    return std::atoi(host.c_str() + colon + 1);
}

std::string UrlPath(std::string_view url) {
    std::string host = UrlHost(url, true);
    // Searched after the scheme, so that a host such as "h" is not found inside "http".
    std::size_t scheme = url.find("://");
    long long from = scheme == std::string_view::npos ? 1 : static_cast<long long>(scheme) + 4;
    long long pos = host.empty() ? -1 : findText(url, host, from, true);
    if (pos < 0) return "/";
    std::string_view rest = url.substr(static_cast<std::size_t>(pos - 1) + host.size());
    rest = rest.substr(0, rest.find('#'));  // a fragment never travels
    if (rest.empty()) return "/";
    if (rest.front() == '?') return "/" + std::string(rest);
    return std::string(rest);
}

std::string RemoveDuplicateItems(std::string_view list, std::string_view separator) {
    std::vector<std::string> kept;
    for (std::string& item : splitText(list, separator)) {
        if (std::find(kept.begin(), kept.end(), item) == kept.end())
            kept.push_back(std::move(item));
    }
    std::string out;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i) out.append(separator);
        out.append(kept[i]);
    }
    return out;
}

std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies) {
    auto items = [](std::string_view text) {
        std::vector<std::string> out;
        for (std::string& item : splitText(replaceAll(text, " ", ""), ";")) {
            if (!item.empty()) out.push_back(std::move(item));
        }
        return out;
    };
    auto nameOf = [](const std::string& item) {
        return trimBlanks(item.substr(0, item.find('=')));
    };
    std::vector<std::string> merged = items(newCookies);
    const std::size_t newCount = merged.size();
    for (std::string& item : items(oldCookies)) {
        std::string name = nameOf(item);
        bool replaced = std::any_of(merged.begin(), merged.begin() + static_cast<long>(newCount),
                                    [&](const std::string& n) { return nameOf(n) == name; });
        if (!replaced) merged.push_back(std::move(item));
    }
    std::string joined;
    for (const std::string& item : merged) {
        bool deleted = item.size() >= 8 && item.compare(item.size() - 8, 8, "=deleted") == 0;
        if (deleted) continue;
        if (!joined.empty()) joined += "; ";
        joined += item;
    }
    return RemoveDuplicateItems(joined, "; ");
}

std::string cookiesFromHeaders(std::string& headers) {
    headers = normaliseSetCookie(headers);
    std::string cookies;
    for (const std::string& line : splitText(headers, "\r\n")) {
        if (line.find("Set-Cookie") == std::string::npos) continue;
        std::string item;
        if (line.find(';') != std::string::npos) {
            item = trimBlanks(TextBetween(line, "Set-Cookie:", ";"));
        } else {
            item = trimBlanks(removeIgnoringCase(line, "Set-Cookie:"));
        }
        cookies += item + "; ";
    }
    if (cookies.size() >= 2) cookies.resize(cookies.size() - 2);
    return cookies;
}

std::string userAgentFor(std::string_view extraHeaders) {
    if (!containsIgnoringCase(extraHeaders, "User-Agent:")) return std::string(kDefaultAgent);
    std::string agent =
        trimBlanks(TextBetween(std::string(extraHeaders) + "\r\n", "User-Agent:", "\r\n"));
    if (agent.empty()) {
        std::size_t colon = extraHeaders.find(':');
        agent = trimBlanks(extraHeaders.substr(colon == std::string_view::npos ? 0 : colon + 1));
    }
    return agent;
}

void clearCookieStore() {
    CURLSH* share = CookieStore::instance().share();
    CurlTransfer transfer{TransferLimits{}};
    if (!share || !transfer.valid()) return;
    curl_easy_setopt(transfer.handle(), CURLOPT_SHARE, share);
    curl_easy_setopt(transfer.handle(), CURLOPT_COOKIELIST, "ALL");
}

std::string WebPageAccess(const std::string& url) {
    WebPageRequest request;
    return WebPageAccess(url, request);
}

std::string WebPageAccess(const std::string& url, WebPageRequest& request) {
    int method = request.method >= 0 && request.method <= 7 ? request.method : 0;
    std::string methodName = kMethodNames[method];
    std::string agent = userAgentFor(request.extraHeaders);

    CurlTransfer transfer(request.limits);
    if (!transfer.valid()) return {};
    CURL* h = transfer.handle();
    if (curl_easy_setopt(h, CURLOPT_URL, requestUrl(url).c_str()) != CURLE_OK) return {};
    curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
    if (!request.proxy.empty()) transfer.setProxy(request.proxy);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, request.noRedirect ? 0L : 1L);
    if (!request.cookies) {
        curl_easy_setopt(h, CURLOPT_SHARE, CookieStore::instance().share());
        curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
    }

    std::string& block = request.extraHeaders;
    if (block.empty()) {
        block = "Accept: */*";
    } else if (block.find("Accept:") == std::string::npos) {
        block += "\r\nAccept: */*";
    }
    if (block.find("Referer:") == std::string::npos) block += "\r\nReferer: " + url;
    if (block.find("Accept-Language:") == std::string::npos) block += "\r\nAccept-Language: zh-cn";
    if (method == 1 && block.find("Content-Type:") == std::string::npos) {
        block += "\r\nContent-Type: application/x-www-form-urlencoded";
    }
    if (request.cookies && !request.cookies->empty()) {
        if (request.cookies->find("Cookie:") != std::string::npos) {
            block += "\r\n" + *request.cookies;
        } else {
            block += "\r\nCookie: " + *request.cookies;
        }
    }

    std::vector<std::string> lines;
    for (std::string& line : splitText(block, "\r\n")) {
        if (!trimBlanks(line).empty()) lines.push_back(std::move(line));
    }
    // Never wait for an interim answer the server may not send.
    std::vector<std::string> removed = {"Expect"};
    if (method == 0) {
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    } else if (method == 2) {
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
        if (request.postBytes.empty()) request.postBytes = request.postText;
    } else {
        if (request.postBytes.empty()) request.postBytes = request.postText;
        if (!containsIgnoringCase(block, "Content-Type:")) removed.push_back("Content-Type");
        transfer.setBody(methodName, request.postBytes);
    }
    transfer.setHeaderLines(lines, removed);
    CURLcode rc = transfer.perform();

    std::string body = std::move(transfer.body);
    if (transfer.bodyTooLarge()) body.clear();
    std::string headers = rc == CURLE_OK || transfer.headersComplete() ? transfer.headers : "";
    if (headers.size() + 1 > kHeaderBuffer) headers.clear();
    request.returnedCookies = cookiesFromHeaders(headers);
    request.returnedHeaders = std::move(headers);
    if (request.mergeCookies && request.cookies) {
        request.returnedCookies = MergeCookies(*request.cookies, request.returnedCookies);
    }
    return body;
}

std::string Utf8ToAnsi(std::string_view bytes) {
    return sanitizeUtf8(untilNul(bytes));
}

bool CheckOnline() {
    std::string probe = serviceValue("probe", "address");
    if (probe.empty() || !canConnect(probe)) return false;
    std::string marker = serviceValue("probe", "marker");
    std::string body = WebPageAccess(probe);
    return !marker.empty() && body.find(marker) != std::string::npos;
}

bool IsConnected() {
    std::string probe = serviceValue("probe", "address");
    if (probe.empty() || !canConnect(probe)) return false;
    return simpleRequest(probe, true).status > 0;
}

bool UrlExists(const std::string& url) {
    SimpleAnswer answer = simpleRequest(url, true);
    return answer.answered && answer.status == 200;
}

std::string httpGetBytes(const std::string& url) {
    SimpleAnswer answer = simpleRequest(url, false);
    if (!answer.answered || answer.status < 200 || answer.status >= 300) return {};
    return std::move(answer.body);
}

}  // namespace wf
