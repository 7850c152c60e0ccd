// HttpTestServer: the test process's own HTTP server on 127.0.0.1 (see HttpTestServer.h).
#include <winsock2.h>
#include <windows.h>

#include "HttpTestServer.h"

#include <cstdio>

#include "WinTempFolder.h"
#include "util/Utils.h"
#include "util/win/SysInfo.h"

namespace wintest {
namespace {

// The few Winsock functions the server uses, looked up once.
struct Winsock {
  decltype(&::WSAStartup) startup = nullptr;
  decltype(&::socket) socket = nullptr;
  decltype(&::bind) bind = nullptr;
  decltype(&::listen) listen = nullptr;
  decltype(&::getsockname) getsockname = nullptr;
  decltype(&::accept) accept = nullptr;
  decltype(&::recv) recv = nullptr;
  decltype(&::send) send = nullptr;
  decltype(&::closesocket) closesocket = nullptr;
  decltype(&::select) select = nullptr;
  decltype(&::shutdown) shutdown = nullptr;
  decltype(&::setsockopt) setsockopt = nullptr;
  bool ok = false;
};

template <typename F>
void Bind(HMODULE module, const char* name, F& f, bool& ok) {
  f = ProcAs<F>(GetProcAddress(module, name));
  ok = ok && f != nullptr;
}

const Winsock& Ws() {
  static const Winsock ws = [] {
    Winsock w;
    const HMODULE m = LoadSystemLibrary("ws2_32.dll");
    w.ok = m != nullptr;
    if (!w.ok) return w;
    Bind(m, "WSAStartup", w.startup, w.ok);
    Bind(m, "socket", w.socket, w.ok);
    Bind(m, "bind", w.bind, w.ok);
    Bind(m, "listen", w.listen, w.ok);
    Bind(m, "getsockname", w.getsockname, w.ok);
    Bind(m, "accept", w.accept, w.ok);
    Bind(m, "recv", w.recv, w.ok);
    Bind(m, "send", w.send, w.ok);
    Bind(m, "closesocket", w.closesocket, w.ok);
    Bind(m, "select", w.select, w.ok);
    Bind(m, "shutdown", w.shutdown, w.ok);
    Bind(m, "setsockopt", w.setsockopt, w.ok);
    WSADATA data{};
    w.ok = w.ok && w.startup(MAKEWORD(2, 2), &data) == 0;
    return w;
  }();
  return ws;
}

unsigned short Swap16(unsigned short v) {
  return static_cast<unsigned short>((v >> 8) | (v << 8));
}

// 127.0.0.1 with the port (0: any free one), in network byte order.
sockaddr_in Loopback(unsigned short port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = Swap16(port);
  a.sin_addr.s_addr = 0x0100007F;
  return a;
}

// A listening (or merely bound) socket on 127.0.0.1 and the port it got.
SOCKET BoundSocket(unsigned short& port, bool listening) {
  const Winsock& ws = Ws();
  port = 0;
  if (!ws.ok) return INVALID_SOCKET;
  const SOCKET s = ws.socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in a = Loopback(0);
  int length = sizeof(a);
  if (ws.bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 ||
      (listening && ws.listen(s, 16) != 0) ||
      ws.getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
    ws.closesocket(s);
    return INVALID_SOCKET;
  }
  port = Swap16(a.sin_port);
  return s;
}

bool SendAll(SOCKET s, const std::string& bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const int n = Ws().send(s, bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
    if (n <= 0) return false;
    at += static_cast<std::size_t>(n);
  }
  return true;
}

// The request head (up to the blank line, at most 16 KiB), or whatever came before the peer
// stopped sending or the time-out.
std::string ReadHead(SOCKET s) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384) {
    const int n = Ws().recv(s, buffer, sizeof(buffer), 0);
    if (n <= 0) break;
    head.append(buffer, static_cast<std::size_t>(n));
    if (head[0] < 'A' || head[0] > 'Z') break;  // not HTTP (a TLS hello): no point waiting
  }
  return head;
}

bool ParseRequest(const std::string& head, HttpRequest& request) {
  const std::size_t end = head.find("\r\n\r\n");
  if (end == std::string::npos) return false;
  std::size_t at = head.find("\r\n");
  const std::string first = head.substr(0, at);
  const std::size_t a = first.find(' ');
  const std::size_t b = first.find(' ', a + 1);
  if (a == std::string::npos || b == std::string::npos) return false;
  request.method = first.substr(0, a);
  request.target = first.substr(a + 1, b - a - 1);
  while (at < end) {
    const std::size_t next = head.find("\r\n", at + 2);
    const std::string line = head.substr(at + 2, next - at - 2);
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos)
      request.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
    at = next;
  }
  return true;
}

std::string Hex(std::size_t n) {
  char text[32];
  std::snprintf(text, sizeof(text), "%zx", n);
  return text;
}

std::string HttpDate(const FILETIME& time) {
  SYSTEMTIME st{};
  FileTimeToSystemTime(&time, &st);
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  std::snprintf(text, sizeof(text), "%s, %02u %s %04u %02u:%02u:%02u GMT", kDays[st.wDayOfWeek % 7],
                st.wDay, kMonths[(st.wMonth + 11) % 12], st.wYear, st.wHour, st.wMinute,
                st.wSecond);
  return text;
}

HttpReply NotFoundPage() {
  HttpReply r;
  r.status = 404;
  r.reason = "Not Found";
  r.headers = {{"Content-Type", "text/html"}};
  r.body =
      "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n"
      "<body><h1>Not Found</h1><p>The requested URL was not found on this server.</p></body>"
      "</html>\n";
  return r;
}

}  // namespace

struct HttpTestServer::Sockets {
  SOCKET listener = INVALID_SOCKET;
};

std::string HttpRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers)
    if (SameText(key, name)) return value;
  return "";
}

HttpTestServer::HttpTestServer(HttpHandler handler)
    : handler_(std::move(handler)), sockets_(std::make_unique<Sockets>()) {
  sockets_->listener = BoundSocket(port_, true);
  if (sockets_->listener != INVALID_SOCKET) acceptor_ = std::thread([this] { AcceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
  stop_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  if (sockets_->listener != INVALID_SOCKET) Ws().closesocket(sockets_->listener);
  std::vector<std::thread> running;
  {
    std::lock_guard<std::mutex> guard(lock_);
    running.swap(connections_);
  }
  for (std::thread& t : running) t.join();
}

std::string HttpTestServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<HttpRequest> HttpTestServer::Requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

std::vector<std::string> HttpTestServer::FirstBytes() const {
  std::lock_guard<std::mutex> guard(lock_);
  return firstBytes_;
}

void HttpTestServer::AcceptLoop() {
  const Winsock& ws = Ws();
  while (!stop_) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(sockets_->listener, &ready);
    timeval wait{0, 50000};
    if (ws.select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
    const SOCKET s = ws.accept(sockets_->listener, nullptr, nullptr);
    if (s == INVALID_SOCKET) continue;
    // A client that connects and says nothing, or stops reading, is let go.
    const DWORD timeout = 5000;
    for (const int option : {SO_RCVTIMEO, SO_SNDTIMEO})
      ws.setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&timeout),
                    sizeof(timeout));
    std::lock_guard<std::mutex> guard(lock_);
    connections_.emplace_back([this, s] { Serve(static_cast<std::uintptr_t>(s)); });
  }
}

void HttpTestServer::Serve(std::uintptr_t connection) {
  const Winsock& ws = Ws();
  const SOCKET s = static_cast<SOCKET>(connection);
  const std::string head = ReadHead(s);
  HttpRequest request;
  const bool parsed = ParseRequest(head, request);
  {
    std::lock_guard<std::mutex> guard(lock_);
    firstBytes_.push_back(head.substr(0, 64));
    if (parsed) requests_.push_back(request);
  }
  if (parsed) {
    const HttpReply r = handler_(request);
    std::string out = "HTTP/1.1 " + std::to_string(r.status) + " " + r.reason + "\r\n";
    if (r.chunked)
      out += "Transfer-Encoding: chunked\r\n";
    else if (r.declaredLength >= 0)
      out += "Content-Length: " + std::to_string(r.declaredLength) + "\r\n";
    else if (r.contentLength)
      out += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    for (const auto& [key, value] : r.headers) out += key + ": " + value + "\r\n";
    out += "Connection: close\r\n\r\n";
    bool ok = SendAll(s, out);
    const std::size_t total = std::min(r.body.size(), r.cutAfter);
    const std::size_t piece = std::max<std::size_t>(r.piece, 1);
    for (std::size_t at = 0; ok && at < total && !stop_; at += piece) {
      if (at > 0 && r.pauseMs > 0) Sleep(r.pauseMs);
      const std::string part = r.body.substr(at, std::min(piece, total - at));
      ok = SendAll(s, r.chunked ? Hex(part.size()) + "\r\n" + part + "\r\n" : part);
    }
    if (ok && r.chunked && total == r.body.size()) SendAll(s, "0\r\n\r\n");
  }
  ws.shutdown(s, SD_SEND);
  ws.closesocket(s);
}

HttpHandler HttpTestServer::Files(const std::string& folder) {
  return [folder](const HttpRequest& request) {
    const std::string name = request.target.substr(request.target.find_last_of('/') + 1);
    const std::string path = folder + "\\" + name;
    WIN32_FILE_ATTRIBUTE_DATA facts{};
    if (request.method != "GET" || name.empty() || name.find("..") != std::string::npos ||
        name.find('\\') != std::string::npos ||
        !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &facts) ||
        (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return NotFoundPage();
    HttpReply r;
    r.body = TempFolder::Read(path);
    r.headers = {{"Content-Type", "application/octet-stream"},
                 {"Last-Modified", HttpDate(facts.ftLastWriteTime)}};
    return r;
  };
}

unsigned short HttpTestServer::ClosedPort() {
  unsigned short port = 0;
  const SOCKET s = BoundSocket(port, false);
  if (s != INVALID_SOCKET) Ws().closesocket(s);
  return port;
}

}  // namespace wintest
