#pragma once
// A small blocking HTTP GET client over libcurl's easy interface. One client
// serves one request: build it, call Get, read the response, discard it.

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velko {

// Ordered (key, value) pairs of a query; both are byte strings.
using QueryParameters = std::vector<std::pair<std::string, std::string>>;

// Copies A-Z, a-z and 0-9 and writes every other byte as "%XX" (upper-case
// hexadecimal), including ".", "-", "_", "~" and all bytes from 0x80 up.
std::string EncodeQueryValue(std::string_view value);

// "key=encoded-value" joined by "&", in order. Keys are copied unencoded;
// pairs with an empty key are left out.
std::string BuildQuery(const QueryParameters& parameters);

// The URL followed by "?" and the query, or by "&" when the URL already has a
// "?". An empty query leaves the URL unchanged.
std::string AppendQuery(std::string_view url, std::string_view query);

struct HttpResponse {
  bool success = false;      // the transfer completed (whatever the status)
  std::int32_t status_code = 0;
  std::string body;
  std::string content_type;  // empty when the server sent none
  nlohmann::json json;       // null unless a parameterised request got JSON
};

// Limits that keep a stalled transfer from blocking its caller forever.
struct HttpTransferLimits {
  long connect_timeout_s = 30;
  // A transfer slower than this many bytes per second for low_speed_time_s
  // seconds is aborted, which also ends a server that never answers.
  long low_speed_limit_bytes_per_s = 1;
  long low_speed_time_s = 60;
  // Overall deadline of one request, connecting included: a server that
  // drips a byte now and then stays above the stall limit but not this.
  // 0: none.
  long total_timeout_s = 600;
  // Bodies are held in memory; a larger one fails the transfer. A
  // Content-Length above it is refused before any of the body is read, and
  // the running count ends a body without one.
  std::size_t max_body_bytes = 256u * 1024u * 1024u;
  // Only https:// addresses (redirects are never followed): a service that
  // is configured with https must not be reached over plain http.
  bool https_only = false;
};

// True when `url` begins with "https://" in any letter case.
bool IsHttpsUrl(std::string_view url);

// A libcurl share object (CURLSH*) with shared ownership.
using HttpShareHandle = std::shared_ptr<void>;

class HttpClient {
 public:
  explicit HttpClient(HttpShareHandle share = {}, HttpTransferLimits limits = {});
  ~HttpClient();

  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Plain GET; the JSON value is left as it was.
  const HttpResponse& Get(const std::string& url);

  // GET with the query built from `parameters`. A body whose content type
  // contains "application/json" is parsed; a body that is not valid JSON, or
  // one that cannot be held in memory, leaves a null JSON value.
  const HttpResponse& Get(const std::string& url, const QueryParameters& parameters);

  const HttpResponse& response() const { return response_; }

 private:
  bool Perform(const std::string& url);
  static std::size_t OnBodyBytes(char* data, std::size_t size, std::size_t count, void* self);

  void* easy_ = nullptr;  // CURL*
  HttpShareHandle share_;
  HttpTransferLimits limits_;
  HttpResponse response_;
};

}  // namespace velko
