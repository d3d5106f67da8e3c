#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace velko::testing {

LoopbackHttpServer::LoopbackHttpServer(ScriptedReply reply) : reply_(std::move(reply)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  ::listen(listener_, 8);
  socklen_t length = sizeof(address);
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
}

std::string LoopbackHttpServer::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> LoopbackHttpServer::RequestLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return request_lines_;
}

std::string LoopbackHttpServer::Reply(int status, const std::string& content_type,
                                      const std::string& body, const std::string& extra_headers) {
  std::string raw = "HTTP/1.1 " + std::to_string(status) + " Scripted\r\n";
  if (!content_type.empty()) raw += "Content-Type: " + content_type + "\r\n";
  raw += extra_headers;
  raw += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  return raw + body;
}

void LoopbackHttpServer::Serve() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 20) <= 0) continue;
    const int connection = ::accept(listener_, nullptr, nullptr);
    if (connection < 0) continue;
    Answer(connection);
    ::close(connection);
  }
}

void LoopbackHttpServer::Answer(int connection) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    const ssize_t got = ::recv(connection, buffer, sizeof(buffer), 0);
    if (got <= 0) return;
    request.append(buffer, static_cast<size_t>(got));
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    request_lines_.push_back(request.substr(0, request.find("\r\n")));
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(reply_.delay_ms);
  while (!stopping_ && (reply_.never_answer || std::chrono::steady_clock::now() < deadline)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (stopping_ || ::send(connection, reply_.raw.data(), reply_.raw.size(), MSG_NOSIGNAL) < 0) return;
  while (reply_.drip_interval_ms > 0 && !stopping_ &&
         ::send(connection, "x", 1, MSG_NOSIGNAL) == 1) {
    const auto next = std::chrono::steady_clock::now() +
                      std::chrono::milliseconds(reply_.drip_interval_ms);
    while (!stopping_ && std::chrono::steady_clock::now() < next) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}

}  // namespace velko::testing
