// One libcurl easy handle with the body and header collection both page-fetch routines share:
// body size cap, time-outs, no proxy from the environment, certificates verified.
#pragma once

#include <curl/curl.h>

#include <string>
#include <string_view>
#include <vector>

#include "online/webpageaccess.h"

namespace wf {

class CurlTransfer {
  public:
    explicit CurlTransfer(const TransferLimits& limits);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    bool valid() const { return m_handle != nullptr; }
    CURL* handle() const { return m_handle; }

    // Each line becomes one request header; "Name:" with no value is sent as an empty header
    // (libcurl would read it as "remove"). Each name in removed ("Expect") keeps libcurl from
    // sending a header of its own. Returns false when libcurl refuses the list.
    bool setHeaderLines(const std::vector<std::string>& lines,
                        const std::vector<std::string>& removed = {});
    // "" keeps every proxy of the environment away; "host:port" goes through that proxy.
    bool setProxy(const std::string& proxy);
    // Makes the request send body with method (libcurl would add a form Content-Type and an
    // Expect line of its own; the caller's header lines decide those).
    bool setBody(const std::string& method, const std::string& body);

    CURLcode perform();
    long status() const;
    // True when the body outgrew the limit; the transfer was stopped.
    bool bodyTooLarge() const { return m_tooLarge; }
    // True once the final answer's header block was complete.
    bool headersComplete() const { return m_headersComplete; }

    std::string body;
    std::string headers;  // the final answer's header block, as received

  private:
    static size_t onBody(char* data, size_t size, size_t count, void* self) noexcept;
    static size_t onHeader(char* data, size_t size, size_t count, void* self) noexcept;

    CURL* m_handle = nullptr;
    curl_slist* m_headerList = nullptr;
    std::size_t m_maxBody;
    bool m_tooLarge = false;
    bool m_headersComplete = false;
};

// An address libcurl accepts: blanks, control and non-ASCII bytes percent-encoded.
std::string escapeUrlBytes(std::string_view url);

}  // namespace wf
