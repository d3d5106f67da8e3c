#pragma once
// A one-thread HTTP server on 127.0.0.1 for client tests: it answers every
// connection with the same scripted bytes and records the request lines.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velko::testing {

struct ScriptedReply {
  std::string raw;        // status line, headers and body, sent as they are
  int delay_ms = 0;       // wait before answering
  bool never_answer = false;  // hold the connection open without a byte
  // After the raw bytes, one more byte at this interval until the client
  // goes away (a drip-feed server); 0: none.
  int drip_interval_ms = 0;
};

class LoopbackHttpServer {
 public:
  explicit LoopbackHttpServer(ScriptedReply reply);
  ~LoopbackHttpServer();

  std::string BaseUrl() const;
  std::vector<std::string> RequestLines() const;

  static std::string Reply(int status, const std::string& content_type, const std::string& body,
                           const std::string& extra_headers = "");

 private:
  void Serve();
  void Answer(int connection);

  ScriptedReply reply_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> request_lines_;
  std::thread thread_;
};

}  // namespace velko::testing
