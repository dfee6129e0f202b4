#include "online/winhttppageaccess.h"

#include <curl/curl.h>

#include <cstring>

#include "online/curltransfer.h"
#include "online/regexobject.h"
#include "platform/codec.h"

namespace wf {
namespace {

constexpr const char* kMethodNames[] = {"GET",     "POST",   "HEAD",  "PUT",
                                        "OPTIONS", "DELETE", "TRACE", "CONNECT"};

bool supportsHttp() {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    if (!info || !info->protocols) return false;
    for (const char* const* p = info->protocols; *p; ++p) {
        if (std::strcmp(*p, "http") == 0) return true;
    }
    return false;
}

// The address split into what the request needs; nothing when it is not an http(s) address.
std::optional<std::string> crackUrl(const std::string& url) {
    CURLU* parts = curl_url();
    if (!parts) return std::nullopt;
    std::optional<std::string> result;
    if (curl_url_set(parts, CURLUPART_URL, escapeUrlBytes(url).c_str(), 0) == CURLUE_OK) {
        char* scheme = nullptr;
        char* host = nullptr;
        char* port = nullptr;
        char* path = nullptr;
        char* query = nullptr;
        curl_url_get(parts, CURLUPART_SCHEME, &scheme, 0);
        curl_url_get(parts, CURLUPART_HOST, &host, 0);
        curl_url_get(parts, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT);
        curl_url_get(parts, CURLUPART_PATH, &path, 0);
        curl_url_get(parts, CURLUPART_QUERY, &query, 0);
        std::string s = scheme ? toLowerAscii(scheme) : "";
        if ((s == "http" || s == "https") && host && *host && port) {
            std::string object = path && *path ? path : "/";
            if (query) object += std::string("?") + query;
            result = s + "://" + host + ":" + port + object;
        }
        curl_free(scheme);
        curl_free(host);
        curl_free(port);
        curl_free(path);
        curl_free(query);
    }
    curl_url_cleanup(parts);
    return result;
}

bool containsIgnoringCase(std::string_view text, std::string_view what) {
    return findText(text, what, 1, true) > 0;
}

// The error of a transfer that ended without a complete answer: whether the request got out.
const char* failureText(CURL* handle, CURLcode rc) {
    switch (rc) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SEND_ERROR:
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return winhttp_error::kSend;
        default:
            break;
    }
    curl_off_t sent = 0;
    curl_easy_getinfo(handle, CURLINFO_PRETRANSFER_TIME_T, &sent);
    return sent > 0 ? winhttp_error::kReceive : winhttp_error::kSend;
}

// The charset named by a meta tag near the top of the page, as written there.
std::string declaredCharset(std::string_view body) {
    RegexObject regex;
    std::string head = decodeGb18030Lenient(body.substr(0, 1024));
    if (!regex.Execute("<meta.+?charset=[^\\w]?([-\\w]+)", head)) return {};
    return regex.SubMatchText(1, 1);
}

}  // namespace

long winHttpTimeoutMs(int timeoutSeconds) {
    return timeoutSeconds < 1 ? 30000L : static_cast<long>(timeoutSeconds) * 1000L;
}

std::string winHttpHeaderBlock(const WinHttpRequest& request) {
    int method = request.method >= 0 && request.method <= 7 ? request.method : 0;
    std::string block = request.extraHeaders.empty() ? "" : request.extraHeaders + "\r\n";
    auto addUnlessPresent = [&](std::string_view name, std::string_view line) {
        if (!containsIgnoringCase(block, name)) block.append(line);
    };
    addUnlessPresent("User-Agent: ",
                     "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; "
                     "Trident/5.0)\r\n");
    addUnlessPresent("Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n");
    addUnlessPresent("Accept-Encoding: ", "Accept-Encoding: gbk, GB2312\r\n");
    addUnlessPresent("Accept-Language: ", "Accept-Language: zh-cn\r\n");
    if (method == 1 && block.find("Content-Type:") == std::string::npos) {
        block += "Content-Type: application/x-www-form-urlencoded\r\n";
    }
    addUnlessPresent("Cache-Control: ", "Cache-Control: no-cache\r\n");
    if (request.cookies && !request.cookies->empty()) {
        addUnlessPresent("Cookie: ", "Cookie: " + *request.cookies + "\r\n");
    }
    return block;
}

std::string WinHttpPageAccess(const std::string& url) {
    WinHttpRequest request;
    return WinHttpPageAccess(url, request);
}

std::string WinHttpPageAccess(const std::string& url, WinHttpRequest& request) {
    using namespace winhttp_error;
    int method = request.method >= 0 && request.method <= 7 ? request.method : 0;
    if (!supportsHttp()) {
        request.status = kPlatform;
        return {};
    }
    std::optional<std::string> target = crackUrl(url);
    if (!target) {
        request.status = kUrl;
        return {};
    }
    long timeoutMs = winHttpTimeoutMs(request.timeoutSeconds);
    TransferLimits limits;
    limits.connectSeconds = (timeoutMs + 999) / 1000;
    limits.stallSeconds = limits.connectSeconds;
    limits.maxBodyBytes = request.maxBodyBytes;
    CurlTransfer transfer(limits);
    if (!transfer.valid()) {
        request.status = kSession;
        return {};
    }
    CURL* h = transfer.handle();
    if (curl_easy_setopt(h, CURLOPT_URL, target->c_str()) != CURLE_OK) {
        request.status = kConnect;
        return {};
    }
    bool requestOk = true;
    if (method == 2) {
        requestOk = curl_easy_setopt(h, CURLOPT_NOBODY, 1L) == CURLE_OK;
    } else if (method != 0 || !request.postText.empty()) {
        requestOk = transfer.setBody(kMethodNames[method], request.postText);
    }
    if (!requestOk) {
        request.status = kRequest;
        return {};
    }
    if (curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs) != CURLE_OK) {
        request.status = kTimeout;
        return {};
    }
    bool credentialsOk = true;
    if (!request.userName.empty() && !request.password.empty()) {
        credentialsOk =
            curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_BASIC) == CURLE_OK &&
            curl_easy_setopt(h, CURLOPT_USERNAME, request.userName.c_str()) == CURLE_OK &&
            curl_easy_setopt(h, CURLOPT_PASSWORD, request.password.c_str()) == CURLE_OK;
    }
    if (!request.proxy.empty()) transfer.setProxy(request.proxy);
    if (credentialsOk && !request.proxyUser.empty() && !request.proxyPassword.empty()) {
        credentialsOk =
            curl_easy_setopt(h, CURLOPT_PROXYAUTH, CURLAUTH_BASIC) == CURLE_OK &&
            curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, request.proxyUser.c_str()) == CURLE_OK &&
            curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, request.proxyPassword.c_str()) == CURLE_OK;
    }
    if (!credentialsOk) {
        request.status = kCredentials;
        return {};
    }
    // The cookie engine stays off: the caller's cookies travel in the Cookie line only.
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, request.noRedirect ? 0L : 1L);

    std::string block = winHttpHeaderBlock(request);
    std::vector<std::string> lines;
    for (std::string& line : splitText(block, "\r\n")) {
        if (!trimBlanks(line).empty()) lines.push_back(std::move(line));
    }
    std::vector<std::string> removed = {"Expect"};
    if (!containsIgnoringCase(block, "Content-Type:")) removed.push_back("Content-Type");
    if (!transfer.setHeaderLines(lines, removed)) {
        request.status = kHeaders;
        return {};
    }

    CURLcode rc = transfer.perform();
    if (rc != CURLE_OK && !transfer.headersComplete()) {
        request.status = failureText(h, rc);
        return {};
    }
    // A body cut short, or one beyond the size limit, is reported and kept as far as it came.
    bool readFailed = rc != CURLE_OK;

    std::string headers = transfer.headers;
    std::string firstLine = headers.substr(0, headers.find("\r\n"));
    std::size_t blank = firstLine.find(' ');
    request.status =
        readFailed ? kRead : (blank == std::string::npos ? "" : firstLine.substr(blank + 1));
    request.returnedCookies = cookiesFromHeaders(headers);
    request.returnedHeaders = headers;
    for (const std::string& line : splitText(headers, "\r\n")) {
        if (line.size() >= 10 && toLowerAscii(line.substr(0, 10)) == "location: ") {
            request.location = line.substr(10);
        }
    }
    if (request.mergeCookies && request.cookies) {
        request.returnedCookies = MergeCookies(*request.cookies, request.returnedCookies);
    }
    request.bodyBytes = std::move(transfer.body);

    std::string charset = declaredCharset(request.bodyBytes);
    if (!charset.empty() && charset != "gbk" && charset != "gb2312") {
        if (std::optional<std::string> text = decodeCharset(request.bodyBytes, charset)) {
            return *text;
        }
    }
    return decodeGb18030Lenient(request.bodyBytes);
}

}  // namespace wf
