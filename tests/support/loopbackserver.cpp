#include "tests/support/loopbackserver.h"

#include <httplib.h>

#include <chrono>

#include "tests/support/testsupport.h"

namespace wf::test {
namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

RecordedRequest recordOf(const httplib::Request& req) {
    RecordedRequest r;
    r.method = req.method;
    r.target = req.target;
    r.path = req.path;
    std::size_t q = req.target.find('?');
    if (q != std::string::npos) r.query = req.target.substr(q + 1);
    for (const auto& [name, value] : req.headers) r.headers.emplace_back(name, value);
    r.body = req.body;
    return r;
}

}  // namespace

std::optional<std::string> RecordedRequest::header(std::string_view name) const {
    for (const auto& [n, v] : headers) {
        if (equalsNoCase(n, name)) return v;
    }
    return std::nullopt;
}

std::size_t RecordedRequest::headerCount(std::string_view name) const {
    std::size_t count = 0;
    for (const auto& h : headers) count += equalsNoCase(h.first, name) ? 1 : 0;
    return count;
}

LoopbackServer::LoopbackServer(bool tls) : m_tls(tls) {
    if (tls) {
        std::string cert = fixturePath("online/selfsigned.crt").string();
        std::string key = fixturePath("online/selfsigned.key").string();
        m_server = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
    } else {
        m_server = std::make_unique<httplib::Server>();
    }
    m_server->set_tcp_nodelay(true);
    m_server->set_keep_alive_max_count(100);
    auto handler = [this](const httplib::Request& req, httplib::Response& res) {
        RecordedRequest r = recordOf(req);
        record(r);
        answer(r, req.path, &res);
    };
    const std::string any = ".*";
    m_server->Get(any, handler);
    m_server->Post(any, handler);
    m_server->Put(any, handler);
    m_server->Delete(any, handler);
    m_server->Options(any, handler);
    m_server->Patch(any, handler);
    // Methods the library has no handlers for (CONNECT, TRACE) are recorded and refused here.
    m_server->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (req.method != "CONNECT" && req.method != "TRACE")
            return httplib::Server::HandlerResponse::Unhandled;
        record(recordOf(req));
        res.status = 405;
        return httplib::Server::HandlerResponse::Handled;
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() only works on a running server.
    while (!m_server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stopped.notify_all();
    m_server->stop();
    if (m_thread.joinable()) m_thread.join();
}

std::string LoopbackServer::url(std::string_view path) const {
    return (m_tls ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(m_port) +
           std::string(path);
}

std::string LoopbackServer::hostPort() const {
    return "127.0.0.1:" + std::to_string(m_port);
}

void LoopbackServer::on(const std::string& path, Reply reply) {
    std::lock_guard lock(m_mutex);
    m_replies[path] = std::move(reply);
}

void LoopbackServer::serveFile(const std::string& path, const std::string& fixture,
                               std::string contentType) {
    Reply reply;
    reply.body = readBytes(fixturePath(fixture));
    reply.contentType = std::move(contentType);
    on(path, std::move(reply));
}

void LoopbackServer::redirect(const std::string& from, const std::string& to, int status) {
    Reply reply;
    reply.status = status;
    reply.body = "moved";
    reply.headers.emplace_back("Location", to);
    on(from, std::move(reply));
}

void LoopbackServer::record(RecordedRequest request) {
    std::lock_guard lock(m_mutex);
    m_requests.push_back(std::move(request));
}

std::vector<RecordedRequest> LoopbackServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

RecordedRequest LoopbackServer::lastRequest() const {
    std::lock_guard lock(m_mutex);
    return m_requests.empty() ? RecordedRequest{} : m_requests.back();
}

void LoopbackServer::clearRequests() {
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

void LoopbackServer::answer(const RecordedRequest&, const std::string& path, void* response) {
    auto& res = *static_cast<httplib::Response*>(response);
    Reply reply;
    {
        std::unique_lock lock(m_mutex);
        auto it = m_replies.find(path);
        if (it == m_replies.end()) {
            res.status = 404;
            res.set_content("not found", "text/plain");
            return;
        }
        reply = it->second;
        if (reply.hang) {
            m_stopped.wait(lock, [this] { return m_stopping; });
            return;
        }
        if (reply.delayMs > 0) {
            m_stopped.wait_for(lock, std::chrono::milliseconds(reply.delayMs),
                               [this] { return m_stopping; });
        }
    }
    res.status = reply.status;
    for (const auto& [name, value] : reply.headers) res.headers.emplace(name, value);
    if (reply.cutBodyAt > 0) {
        auto body = std::make_shared<std::string>(reply.body);
        std::size_t cut = reply.cutBodyAt;
        res.set_content_provider(body->size(), reply.contentType,
                                 [body, cut](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset >= cut) return false;  // break the connection
                                     sink.write(body->data() + offset, cut - offset);
                                     return true;
                                 });
        return;
    }
    res.set_content(reply.body, reply.contentType);
}

}  // namespace wf::test
