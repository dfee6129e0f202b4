#include "online/curltransfer.h"

#include <mutex>

namespace wf {
namespace {

void ensureCurlInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

CurlTransfer::CurlTransfer(const TransferLimits& limits) : m_maxBody(limits.maxBodyBytes) {
    ensureCurlInitialised();
    m_handle = curl_easy_init();
    if (!m_handle) return;
    curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, &CurlTransfer::onBody);
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
    curl_easy_setopt(m_handle, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(m_handle, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(m_handle, CURLOPT_TIMEOUT, limits.totalSeconds);
    curl_easy_setopt(m_handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_handle, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(m_handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_handle, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(m_handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYHOST, 2L);
    setProxy("");
}

CurlTransfer::~CurlTransfer() {
    if (m_handle) curl_easy_cleanup(m_handle);
    curl_slist_free_all(m_headerList);
}

bool CurlTransfer::setHeaderLines(const std::vector<std::string>& lines,
                                  const std::vector<std::string>& removed) {
    std::vector<std::string> all;
    for (const std::string& line : lines) {
        std::string sent = line;
        std::size_t colon = sent.find(':');
        if (colon != std::string::npos &&
            sent.find_first_not_of(" \t", colon + 1) == std::string::npos) {
            sent = sent.substr(0, colon) + ";";
        }
        all.push_back(std::move(sent));
    }
    for (const std::string& name : removed) all.push_back(name + ":");
    curl_slist* list = nullptr;
    for (const std::string& sent : all) {
        curl_slist* grown = curl_slist_append(list, sent.c_str());
        if (!grown) {
            curl_slist_free_all(list);
            return false;
        }
        list = grown;
    }
    curl_slist_free_all(m_headerList);
    m_headerList = list;
    return curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, m_headerList) == CURLE_OK;
}

bool CurlTransfer::setProxy(const std::string& proxy) {
    bool ok = curl_easy_setopt(m_handle, CURLOPT_PROXY, proxy.c_str()) == CURLE_OK;
    // A NO_PROXY of the environment must not bypass the proxy the caller named.
    ok = ok && curl_easy_setopt(m_handle, CURLOPT_NOPROXY, "") == CURLE_OK;
    return ok;
}

bool CurlTransfer::setBody(const std::string& method, const std::string& body) {
    bool ok = curl_easy_setopt(m_handle, CURLOPT_POSTFIELDSIZE_LARGE,
                               static_cast<curl_off_t>(body.size())) == CURLE_OK;
    ok = ok && curl_easy_setopt(m_handle, CURLOPT_COPYPOSTFIELDS, body.c_str()) == CURLE_OK;
    if (method != "POST") {
        ok = ok && curl_easy_setopt(m_handle, CURLOPT_CUSTOMREQUEST, method.c_str()) == CURLE_OK;
    }
    return ok;
}

CURLcode CurlTransfer::perform() {
    return curl_easy_perform(m_handle);
}

long CurlTransfer::status() const {
    long code = 0;
    curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

size_t CurlTransfer::onBody(char* data, size_t size, size_t count, void* self) noexcept {
    auto* transfer = static_cast<CurlTransfer*>(self);
    size_t bytes = size * count;
    try {
        if (transfer->body.size() + bytes > transfer->m_maxBody) {
            transfer->m_tooLarge = true;
            return 0;
        }
        transfer->body.append(data, bytes);
        return bytes;
    } catch (...) {
        return 0;
    }
}

size_t CurlTransfer::onHeader(char* data, size_t size, size_t count, void* self) noexcept {
    auto* transfer = static_cast<CurlTransfer*>(self);
    size_t bytes = size * count;
    try {
        std::string_view line(data, bytes);
        // Each answer (a followed redirect, an interim 100) starts over: only the last counts.
        if (line.substr(0, 5) == "HTTP/") {
            transfer->headers.clear();
            transfer->m_headersComplete = false;
        }
        if (line == "\r\n" || line == "\n") transfer->m_headersComplete = true;
        // Keep the block bounded even against a server that never ends it.
        if (transfer->headers.size() + bytes > transfer->m_maxBody) return 0;
        transfer->headers.append(line);
        return bytes;
    } catch (...) {
        return 0;
    }
}

std::string escapeUrlBytes(std::string_view url) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (char ch : url) {
        auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace wf
