#include "loopback_http_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace uilib::test {
namespace {

SOCKET AsSocket(std::uintptr_t s) { return static_cast<SOCKET>(s); }

bool SendAll(SOCKET s, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    int n = send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

std::string ReadRequestPath(SOCKET s) {
  std::string request;
  char buffer[1024];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    int n = recv(s, buffer, sizeof(buffer), 0);
    if (n <= 0) return {};
    request.append(buffer, static_cast<size_t>(n));
  }
  size_t start = request.find(' ');
  size_t end = request.find(' ', start + 1);
  if (start == std::string::npos || end == std::string::npos) return {};
  return request.substr(start + 1, end - start - 1);
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() : listener_(static_cast<std::uintptr_t>(INVALID_SOCKET)) {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // any free port
  int length = sizeof(address);
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(s, 16) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(s);
    return;
  }
  listener_ = static_cast<std::uintptr_t>(s);
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  for (std::thread& t : connections_) t.join();
  if (AsSocket(listener_) != INVALID_SOCKET) closesocket(AsSocket(listener_));
  WSACleanup();
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackHttpServer::Script(const std::string& path, std::vector<ScriptedResponse> responses) {
  std::lock_guard<std::mutex> lock(mutex_);
  scripts_[path] = std::move(responses);
}

int LoopbackHttpServer::Requests(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_[path];
}

ScriptedResponse LoopbackHttpServer::Next(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  int index = requests_[path]++;
  auto it = scripts_.find(path);
  if (it == scripts_.end() || it->second.empty()) return ScriptedResponse{404, "text/plain", "missing"};
  const auto& list = it->second;
  return list[static_cast<size_t>(index) < list.size() ? static_cast<size_t>(index) : list.size() - 1];
}

void LoopbackHttpServer::AcceptLoop() {
  while (!stopping_) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(AsSocket(listener_), &readable);
    timeval wait{0, 50000};
    if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
    SOCKET client = accept(AsSocket(listener_), nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    ++open_connections_;
    connections_.emplace_back([this, client] { Serve(static_cast<std::uintptr_t>(client)); });
  }
}

void LoopbackHttpServer::Serve(std::uintptr_t socket_value) {
  SOCKET s = AsSocket(socket_value);
  std::string path = ReadRequestPath(s);
  ScriptedResponse response = Next(path);
  std::string head = "HTTP/1.1 " + std::to_string(response.status) + " Scripted\r\nContent-Type: " +
                     response.content_type + "\r\nContent-Length: " + std::to_string(response.body.size()) +
                     "\r\nConnection: close\r\n\r\n";
  if (response.stall) {
    SendAll(s, head + response.body.substr(0, response.body.size() / 2));
    // Held until the client gives up (recv sees the close) or the server stops.
    while (!stopping_) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(s, &readable);
      timeval wait{0, 50000};
      if (select(0, &readable, nullptr, nullptr, &wait) > 0) {
        char byte;
        if (recv(s, &byte, 1, 0) <= 0) break;
      }
    }
  } else {
    SendAll(s, head + response.body);
    shutdown(s, SD_SEND);
  }
  closesocket(s);
  --open_connections_;
}

}  // namespace uilib::test
