// A small HTTP server on 127.0.0.1 for the Windows tests that download: it
// answers GET requests from a table of routes (status, content type, body),
// one thread per connection, and records every requested path. A route may
// be a sequence of answers for successive requests (the last one repeats),
// and an answer may stall after half its body until the client gives up.
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
  bool stall = false;  // send half the body, then hold the connection open
  std::string location = "";  // sent as a Location header when not empty (redirects)
  bool no_length = false;     // no Content-Length: the closed connection ends the body
};

class RouteHttpServer {
 public:
  RouteHttpServer();
  ~RouteHttpServer();

  RouteHttpServer(const RouteHttpServer&) = delete;
  RouteHttpServer& operator=(const RouteHttpServer&) = delete;

  // Paths without a route are answered with 404.
  void SetRoute(const std::string& path, HttpRoute route);
  // Successive requests of `path` get successive answers; the last repeats.
  void SetRouteSequence(const std::string& path, std::vector<HttpRoute> answers);
  // "http://127.0.0.1:<port>"
  std::string BaseUrl() const;
  // BaseUrl() + path
  std::string Url(const std::string& path) const { return BaseUrl() + path; }
  bool listening() const { return listener_ != INVALID_SOCKET; }
  // Connections currently open (a stalled answer keeps one).
  int OpenConnections() const { return open_connections_; }

  std::vector<std::string> RequestedPaths() const;
  int CountRequests(const std::string& path) const;

 private:
  void AcceptLoop();
  void Answer(SOCKET connection);
  void HoldUntilClosed(SOCKET connection) const;
  // Records the request and picks its answer.
  HttpRoute NextAnswer(const std::string& path);

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> open_connections_{0};
  mutable std::mutex mutex_;
  std::map<std::string, std::vector<HttpRoute>> routes_;
  std::vector<std::string> requested_paths_;
  std::thread acceptor_;
  std::vector<std::thread> connections_;  // used by the acceptor only
};

}  // namespace velko::test_support
