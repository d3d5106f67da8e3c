// A small HTTP/1.1 server on 127.0.0.1 for download tests, one thread per
// connection. Each path answers with a scripted sequence of responses (the
// last one repeats); a response may stall after part of its body until the
// server stops.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace uilib::test {

struct ScriptedResponse {
  int status = 200;
  std::string content_type = "application/octet-stream";
  std::string body;
  bool stall = false;  // send half the body, then hold the connection open
};

class LoopbackHttpServer {
 public:
  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool Started() const { return port_ != 0; }
  std::string Url(const std::string& path) const;
  void Script(const std::string& path, std::vector<ScriptedResponse> responses);
  int Requests(const std::string& path);
  // Connections currently open (a stalled transfer keeps one).
  int OpenConnections() const { return open_connections_; }

 private:
  void AcceptLoop();
  void Serve(std::uintptr_t socket);
  ScriptedResponse Next(const std::string& path);

  std::uintptr_t listener_;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> open_connections_{0};
  std::mutex mutex_;
  std::map<std::string, std::vector<ScriptedResponse>> scripts_;
  std::map<std::string, int> requests_;
  std::thread acceptor_;
  std::vector<std::thread> connections_;
};

}  // namespace uilib::test
