#include "route_http_server_win.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace velko::test_support {
namespace {

std::string ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

// The path of "GET /path?query HTTP/1.1", without the query.
std::string RequestPath(const std::string& head) {
  const std::size_t first = head.find(' ');
  if (first == std::string::npos) return {};
  const std::size_t second = head.find(' ', first + 1);
  std::string target = head.substr(first + 1, second == std::string::npos ? std::string::npos
                                                                             : second - first - 1);
  const std::size_t query = target.find('?');
  if (query != std::string::npos) target.resize(query);
  return target;
}

bool SendAll(SOCKET connection, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20));
    const int n = ::send(connection, bytes.data() + sent, chunk, 0);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

RouteHttpServer::RouteHttpServer() {
  WSADATA data;
  ::WSAStartup(MAKEWORD(2, 2), &data);
  listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener_ == INVALID_SOCKET) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // any free port
  int length = sizeof(address);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::closesocket(listener_);
    listener_ = INVALID_SOCKET;
    return;
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

RouteHttpServer::~RouteHttpServer() {
  stopping_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  for (std::thread& connection : connections_) connection.join();
  if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
  ::WSACleanup();
}

void RouteHttpServer::SetRoute(const std::string& path, HttpRoute route) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] = {std::move(route)};
}

void RouteHttpServer::SetRouteSequence(const std::string& path, std::vector<HttpRoute> answers) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] = std::move(answers);
}

std::string RouteHttpServer::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> RouteHttpServer::RequestedPaths() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requested_paths_;
}

int RouteHttpServer::CountRequests(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int count = 0;
  for (const std::string& requested : requested_paths_) count += requested == path ? 1 : 0;
  return count;
}

HttpRoute RouteHttpServer::NextAnswer(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t earlier =
      static_cast<std::size_t>(std::count(requested_paths_.begin(), requested_paths_.end(), path));
  requested_paths_.push_back(path);
  const auto it = routes_.find(path);
  if (it == routes_.end() || it->second.empty()) return HttpRoute{404, "text/plain", "not found"};
  return it->second[std::min(earlier, it->second.size() - 1)];
}

void RouteHttpServer::AcceptLoop() {
  while (!stopping_) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener_, &readable);
    timeval wait{0, 50 * 1000};
    if (::select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
    const SOCKET connection = ::accept(listener_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) continue;
    ++open_connections_;
    connections_.emplace_back([this, connection] {
      Answer(connection);
      ::closesocket(connection);
      --open_connections_;
    });
  }
}

void RouteHttpServer::Answer(SOCKET connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    const int n = ::recv(connection, buffer, sizeof(buffer), 0);
    if (n <= 0) return;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  const HttpRoute route = NextAnswer(RequestPath(head));
  std::string reply = "HTTP/1.1 " + std::to_string(route.status) + " " +
                      ReasonPhrase(route.status) + "\r\n";
  if (!route.content_type.empty()) reply += "Content-Type: " + route.content_type + "\r\n";
  if (!route.location.empty()) reply += "Location: " + route.location + "\r\n";
  if (!route.no_length) reply += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
  reply += "Connection: close\r\n\r\n";
  if (route.stall) {
    SendAll(connection, reply + route.body.substr(0, route.body.size() / 2));
    HoldUntilClosed(connection);
    return;
  }
  SendAll(connection, reply + route.body);
  ::shutdown(connection, SD_SEND);
}

// Keeps a stalled answer's connection open until the client closes it or the
// server stops.
void RouteHttpServer::HoldUntilClosed(SOCKET connection) const {
  while (!stopping_) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(connection, &readable);
    timeval wait{0, 50 * 1000};
    if (::select(0, &readable, nullptr, nullptr, &wait) > 0) {
      char byte;
      if (::recv(connection, &byte, 1, 0) <= 0) return;
    }
  }
}

}  // namespace velko::test_support
