// A web server on 127.0.0.1 for tests of everything online: it serves fixture files and fixed
// answers, records every request it got, and can answer slowly, redirect, set cookies, send
// oversized headers, break off a body, or hang until it is stopped.
#pragma once

#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
}

namespace wf::test {

struct RecordedRequest {
    std::string method;
    std::string path;    // as requested; a proxy request carries the whole address
    std::string query;   // the raw text after "?", empty when there is none
    std::string target;  // the request line's target as sent
    std::vector<std::pair<std::string, std::string>> headers;  // in the order received
    std::string body;

    // The first header of that name (compared without case), or nothing.
    std::optional<std::string> header(std::string_view name) const;
    std::size_t headerCount(std::string_view name) const;
};

struct Reply {
    int status = 200;
    std::string body;
    std::string contentType = "text/html";
    std::vector<std::pair<std::string, std::string>> headers;
    int delayMs = 0;            // wait before answering
    bool hang = false;          // never answer (until the server stops)
    std::size_t cutBodyAt = 0;  // when set, announce the whole body but send only this much
};

class LoopbackServer {
  public:
    // With tls, the server speaks HTTPS with a self-signed certificate no client trusts.
    explicit LoopbackServer(bool tls = false);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return m_port; }
    std::string url(std::string_view path = "/") const;
    // "127.0.0.1:PORT", as a proxy address.
    std::string hostPort() const;

    // The answer for a path (without query); paths not set answer 404 "not found".
    void on(const std::string& path, Reply reply);
    // A fixture under tests/fixtures/ served as it is on disk.
    void serveFile(const std::string& path, const std::string& fixture,
                   std::string contentType = "text/html");
    void redirect(const std::string& from, const std::string& to, int status = 302);

    std::vector<RecordedRequest> requests() const;
    RecordedRequest lastRequest() const;
    void clearRequests();

  private:
    void answer(const RecordedRequest& request, const std::string& path, void* response);
    void record(RecordedRequest request);

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    bool m_tls = false;
    mutable std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stopping = false;
    std::map<std::string, Reply> m_replies;
    std::vector<RecordedRequest> m_requests;
};

}  // namespace wf::test
