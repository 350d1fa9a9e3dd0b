#include "export/tests/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace korvanel::testing {
namespace {

constexpr int kPollMilliseconds = 50;
constexpr auto kReadLimit = std::chrono::seconds(10);

bool WaitReadable(int fd, int milliseconds) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, milliseconds) > 0;
}

size_t ContentLength(const std::string& head) {
  for (const char* name : {"\r\nContent-Length:", "\r\ncontent-length:"}) {
    const size_t at = head.find(name);
    if (at != std::string::npos) return std::strtoul(head.c_str() + at + std::string(name).size(), nullptr, 10);
  }
  return 0;
}

// Reads head and body until Content-Length is satisfied, the peer closes or the limit passes.
bool ReadRequest(int connection, std::string* head, std::string* body) {
  std::string data;
  const auto deadline = std::chrono::steady_clock::now() + kReadLimit;
  size_t head_end = std::string::npos;
  while (std::chrono::steady_clock::now() < deadline) {
    if (head_end != std::string::npos && data.size() >= head_end + 4 + ContentLength(data.substr(0, head_end))) break;
    if (!WaitReadable(connection, kPollMilliseconds)) continue;
    char buffer[4096];
    const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    data.append(buffer, got);
    if (head_end == std::string::npos) head_end = data.find("\r\n\r\n");
  }
  if (head_end == std::string::npos) return false;
  *head = data.substr(0, head_end);
  *body = data.substr(head_end + 4);
  return true;
}

void SendAll(int connection, const std::string& text) {
  size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = send(connection, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += n;
  }
}

std::string Response(const std::string& status, const std::string& extra_headers, const std::string& body) {
  return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nConnection: close\r\n" + extra_headers +
         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

void LoopbackHttpServer::ServePage(const std::string& path, const std::string& page) {
  std::lock_guard lock(mutex_);
  page_path_ = path;
  page_ = page;
}

void LoopbackHttpServer::Serve() {
  while (!stopping_) {
    if (!WaitReadable(listener_, kPollMilliseconds)) continue;
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    Handle(connection);
    close(connection);
  }
}

void LoopbackHttpServer::Handle(int connection) {
  std::string head;
  HttpRequest request;
  if (!ReadRequest(connection, &head, &request.body)) return;
  const size_t first_space = head.find(' ');
  const size_t second_space = head.find(' ', first_space + 1);
  request.method = head.substr(0, first_space);
  request.target = head.substr(first_space + 1, second_space - first_space - 1);
  std::string page;
  bool is_page = false;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    is_page = request.method == "GET" && request.target == page_path_;
    page = page_;
  }
  if (is_page) {
    SendAll(connection, Response("200 OK", "Content-Security-Policy: script-src 'none'\r\n", page));
  } else if (request.method == "POST") {
    SendAll(connection, Response("200 OK", "", "<p>received</p>"));
  } else {
    SendAll(connection, Response("404 Not Found", "", ""));
  }
}

HttpRequest LoopbackHttpServer::WaitFor(const std::string& method, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  do {
    for (const HttpRequest& request : Requests()) {
      if (request.method == method) return request;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < deadline);
  return {};
}

std::vector<HttpRequest> LoopbackHttpServer::Requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

}  // namespace korvanel::testing
