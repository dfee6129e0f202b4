// The second page-fetch routine: numbered error texts, time-outs, basic credentials, the
// status line and redirect target, and a body decoded by the charset its meta tag declares.
#pragma once

#include <optional>
#include <string>

#include "online/webpageaccess.h"

namespace wf {

// The error texts of the routine, in the order of its steps.
namespace winhttp_error {
inline constexpr const char* kPlatform = "700 当前系统不支持WinHttp服务!";
inline constexpr const char* kUrl = "701 解析URL地址失败!";
inline constexpr const char* kSession = "702 创建WinHttp会话失败!";
inline constexpr const char* kConnect = "703 创建WinHttp连接失败!";
inline constexpr const char* kRequest = "704 创建WinHttp请求失败!";
inline constexpr const char* kTimeout = "705 设置超时时间失败!";
inline constexpr const char* kCredentials = "707 设置代理凭证失败!";
inline constexpr const char* kCookies = "708 禁止自动设置Cookies失败!";
inline constexpr const char* kRedirect = "709 重定向设置失败!";
inline constexpr const char* kHeaders = "710 设置协议头失败!";
inline constexpr const char* kSend = "711 发送请求失败!";
inline constexpr const char* kReceive = "712 服务器未响应!";
inline constexpr const char* kRead = "713 读取数据失败!";
}  // namespace winhttp_error

struct WinHttpRequest {
    int method = 0;                      // the method codes of WebPageAccess
    std::string postText;                // sent with every method, GET included
    std::optional<std::string> cookies;  // absent: no cookies are sent or kept
    std::string returnedCookies;         // out
    std::string extraHeaders;            // header lines separated by "\r\n"
    std::string returnedHeaders;         // out: the final answer's raw header block
    bool noRedirect = false;
    std::string userName;
    std::string password;
    std::string proxy;  // "host:port"
    std::string proxyUser;
    std::string proxyPassword;
    int timeoutSeconds = 0;  // below 1 means 30
    std::string location;    // out: the answer's Location header
    std::string status;      // out: an error text, or the answer's status ("200 OK")
    std::string bodyBytes;   // out: the body as received
    bool mergeCookies = true;
    std::size_t maxBodyBytes = TransferLimits{}.maxBodyBytes;
};

// The body as text: decoded by the charset of its meta tag when that names one other than
// GBK or GB2312, else read as the code page's text. Empty after any error but a failed read.
std::string WinHttpPageAccess(const std::string& url, WinHttpRequest& request);
std::string WinHttpPageAccess(const std::string& url);

// The completed header block the routine sends, each line ending in "\r\n".
std::string winHttpHeaderBlock(const WinHttpRequest& request);
// The one time-out, in milliseconds, that every stage of a request gets.
long winHttpTimeoutMs(int timeoutSeconds);

}  // namespace wf
