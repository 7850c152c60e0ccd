// HttpTestServer: a real HTTP server on 127.0.0.1 inside the test process, for the HTTP client's
// and the web installer's tests: each test scripts the replies (status, headers, body, chunked
// transfer, a pause between pieces, a connection closed in the middle of the body) or serves the
// files of a folder. Winsock is bound by name, so that the test program imports nothing new.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace wintest {

struct HttpRequest {
  std::string method;
  std::string target;  // as sent: "/dl/Setup.exe"
  std::vector<std::pair<std::string, std::string>> headers;
  // The value of the first header of that name (any letter case); empty when none.
  std::string Header(const std::string& name) const;
};

struct HttpReply {
  int status = 200;
  std::string reason = "OK";
  std::vector<std::pair<std::string, std::string>> headers;  // besides the ones below
  std::string body;
  bool contentLength = true;         // "Content-Length: <body size>" (unless chunked)
  std::int64_t declaredLength = -1;  // 0 or more: this length is announced instead
  bool chunked = false;              // "Transfer-Encoding: chunked", the body in chunks of piece
  std::size_t piece = 65536;         // bytes per send (and per chunk)
  std::uint32_t pauseMs = 0;         // before every piece after the first
  std::size_t cutAfter = static_cast<std::size_t>(-1);  // body bytes sent before closing
};

using HttpHandler = std::function<HttpReply(const HttpRequest&)>;

class HttpTestServer {
 public:
  // Listens on an ephemeral port of 127.0.0.1 and answers every request through handler, one
  // thread per connection; every reply closes its connection.
  explicit HttpTestServer(HttpHandler handler);
  // Stops listening, ends the replies under way and waits for them.
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  bool Ready() const { return port_ != 0; }
  unsigned short Port() const { return port_; }
  // "http://127.0.0.1:<port>" + path.
  std::string Url(const std::string& path) const;
  // The requests parsed so far, in arrival order.
  std::vector<HttpRequest> Requests() const;
  // The first bytes of every connection, whatever they were (a TLS hello shows here too).
  std::vector<std::string> FirstBytes() const;

  // Serves folder\name for "GET /name" (with its Last-Modified time) and a 404 HTML page for
  // anything else.
  static HttpHandler Files(const std::string& folder);
  // A port of 127.0.0.1 on which nothing listens (it was free a moment ago).
  static unsigned short ClosedPort();

 private:
  struct Sockets;
  void AcceptLoop();
  void Serve(std::uintptr_t connection);

  HttpHandler handler_;
  std::unique_ptr<Sockets> sockets_;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex lock_;
  std::vector<HttpRequest> requests_;
  std::vector<std::string> firstBytes_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace wintest
