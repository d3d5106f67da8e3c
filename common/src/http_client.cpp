#include <curl/curl.h>

#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "velko/http_client.h"

#include "http_server_chain.h"

namespace velko {
namespace {

void EnsureCurlInitialised() {
  // curl_easy_init would do this implicitly, but not in a thread-safe way.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURL* AsCurl(void* handle) { return static_cast<CURL*>(handle); }

// The certificates of the last transfer's server, leaf first, as PEM texts.
std::vector<std::string> ServerChain(CURL* curl) {
  std::vector<std::string> chain;
  curl_certinfo* info = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_CERTINFO, &info) != CURLE_OK || info == nullptr) {
    return chain;
  }
  constexpr std::string_view kCertField = "Cert:";
  for (int i = 0; i < info->num_of_certs; ++i) {
    for (const curl_slist* field = info->certinfo[i]; field != nullptr; field = field->next) {
      const std::string_view text(field->data);
      if (text.substr(0, kCertField.size()) == kCertField) {
        chain.emplace_back(text.substr(kCertField.size()));
      }
    }
  }
  return chain;
}

// "host" of "scheme://host[:port][/...]".
std::string UrlHost(std::string_view url) {
  const std::size_t start = url.find("://");
  if (start == std::string_view::npos) return {};
  url.remove_prefix(start + 3);
  return std::string(url.substr(0, url.find_first_of(":/?#")));
}

}  // namespace

bool IsHttpsUrl(std::string_view url) {
  constexpr std::string_view kScheme = "https://";
  if (url.size() < kScheme.size()) return false;
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    const char c = url[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kScheme[i]) return false;
  }
  return true;
}

HttpClient::HttpClient(HttpShareHandle share, HttpTransferLimits limits)
    : share_(std::move(share)), limits_(limits) {
  EnsureCurlInitialised();
  easy_ = curl_easy_init();
  CURL* curl = AsCurl(easy_);
  if (curl == nullptr) {
    return;  // every request of this client reports failure
  }
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpClient::OnBodyBytes);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
  if (share_) {
    curl_easy_setopt(curl, CURLOPT_SHARE, static_cast<CURLSH*>(share_.get()));
  }
  // Only plain web addresses; a scripted answer must not reach file:// or
  // other schemes. Redirects are not followed (libcurl's default).
#if LIBCURL_VERSION_NUM >= 0x075500
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, limits_.https_only ? "https" : "http,https");
#else
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS,
                   limits_.https_only ? CURLPROTO_HTTPS : CURLPROTO_HTTP | CURLPROTO_HTTPS);
#endif
  // A declared Content-Length above the cap fails the transfer before the
  // body arrives; OnBodyBytes counts the rest.
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                   static_cast<curl_off_t>(limits_.max_body_bytes));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits_.total_timeout_s);
  // The certificate is always verified; only a revocation check that cannot
  // be made (no distribution point, offline lists) does not fail the request.
#if LIBCURL_VERSION_NUM >= 0x074600
  curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
#endif
  // Time-outs must not raise signals in a multi-threaded process.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits_.connect_timeout_s);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits_.low_speed_limit_bytes_per_s);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits_.low_speed_time_s);
}

HttpClient::~HttpClient() {
  if (easy_ != nullptr) {
    curl_easy_cleanup(AsCurl(easy_));
  }
}

std::size_t HttpClient::OnBodyBytes(char* data, std::size_t size, std::size_t count, void* self) {
  auto* client = static_cast<HttpClient*>(self);
  const std::size_t bytes = size * count;
  std::string& body = client->response_.body;
  if (bytes > client->limits_.max_body_bytes - body.size()) {
    return 0;  // makes libcurl fail the transfer with a write error
  }
  try {
    body.append(data, bytes);
  } catch (const std::exception&) {
    return 0;  // out of memory: a failed transfer, not an exception through libcurl
  }
  return bytes;
}

bool HttpClient::Perform(const std::string& url) {
  response_.body.clear();
  response_.status_code = 0;
  response_.content_type.clear();
  CURL* curl = AsCurl(easy_);
  const bool check_chain = IsHttpsUrl(url) && detail::ChecksServerChainItself();
  if (curl == nullptr || curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) != CURLE_OK ||
      curl_easy_setopt(curl, CURLOPT_CERTINFO, check_chain ? 1L : 0L) != CURLE_OK ||
      curl_easy_perform(curl) != CURLE_OK ||
      (check_chain && !detail::ServerChainIsTrusted(ServerChain(curl), UrlHost(url)))) {
    response_.body.clear();
    response_.success = false;
    return false;
  }
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  response_.status_code = static_cast<std::int32_t>(status);
  const char* content_type = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &content_type) == CURLE_OK &&
      content_type != nullptr) {
    response_.content_type = content_type;
  }
  response_.success = true;
  return true;
}

const HttpResponse& HttpClient::Get(const std::string& url) {
  Perform(url);
  return response_;
}

const HttpResponse& HttpClient::Get(const std::string& url, const QueryParameters& parameters) {
  if (Perform(AppendQuery(url, BuildQuery(parameters))) &&
      response_.content_type.find("application/json") != std::string::npos) {
    // A malformed body must not throw out of the client: it becomes null,
    // which callers treat like any answer without a JSON value.
    try {
      nlohmann::json parsed = nlohmann::json::parse(response_.body, nullptr, false);
      response_.json = parsed.is_discarded() ? nlohmann::json() : std::move(parsed);
    } catch (const std::exception&) {
      // Parsing without exceptions still allocates; running out of memory
      // must not escape either.
      response_.json = nlohmann::json();
    }
  }
  return response_;
}

}  // namespace velko
