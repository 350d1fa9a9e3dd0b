#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the browser tests: it records every request, answers
// GET of one path with a fixed page and every POST with a short page. It serves on its own thread
// until destroyed; every wait in it is bounded.

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korvanel::testing {

struct HttpRequest {
  std::string method;
  std::string target;  // path and query, as sent
  std::string body;
};

class LoopbackHttpServer {
 public:
  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // Serves `page` for GET `path` with scripts forbidden by the response's Content-Security-Policy,
  // so a browser shows the page without running it.
  void ServePage(const std::string& path, const std::string& page);
  // 0 when the server could not start.
  int port() const { return port_; }
  // The first request of `method`, waiting at most `limit` for it; method empty when none came.
  HttpRequest WaitFor(const std::string& method, std::chrono::milliseconds limit);
  std::vector<HttpRequest> Requests();

 private:
  void Serve();
  void Handle(int connection);

  std::string page_path_;
  std::string page_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<HttpRequest> requests_;
  std::thread thread_;
};

}  // namespace korvanel::testing
