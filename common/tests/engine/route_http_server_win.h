// A small HTTP server on 127.0.0.1 for the Windows tests of the download
// engine and the engine bootstrap: it answers GET requests from a table of
// routes (status, content type, body) and records every requested path.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velko::test_support {

struct HttpRoute {
  int status = 200;
  std::string content_type = "application/octet-stream";
  std::string body;
};

class RouteHttpServer {
 public:
  RouteHttpServer();
  ~RouteHttpServer();

  RouteHttpServer(const RouteHttpServer&) = delete;
  RouteHttpServer& operator=(const RouteHttpServer&) = delete;

  // Paths without a route are answered with 404.
  void SetRoute(const std::string& path, HttpRoute route);
  // "http://127.0.0.1:<port>"
  std::string BaseUrl() const;
  bool listening() const { return listener_ != INVALID_SOCKET; }

  std::vector<std::string> RequestedPaths() const;
  int CountRequests(const std::string& path) const;

 private:
  void Serve();
  void Answer(SOCKET connection);
  HttpRoute RouteFor(const std::string& path) const;

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, HttpRoute> routes_;
  std::vector<std::string> requested_paths_;
  std::thread thread_;
};

}  // namespace velko::test_support
