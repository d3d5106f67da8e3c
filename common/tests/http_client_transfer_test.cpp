// The client against a real loopback server: what a caller sees for errors,
// redirects, JSON and non-JSON answers, and stalled transfers.
#include <gtest/gtest.h>

#include <chrono>

#include "loopback_http_server.h"
#include "velko/http_client.h"

namespace velko {
namespace {

using testing::LoopbackHttpServer;
using testing::ScriptedReply;

const QueryParameters kVersionParameters{{"bv", "51.0.2704.103"}, {"os", "6.1.7601.2"}};

TEST(HttpClientTransfer, SendsEncodedQueryAndParsesJson) {
  LoopbackHttpServer server({LoopbackHttpServer::Reply(200, "application/json; charset=utf-8",
                                                       R"({"ok":true})")});
  HttpClient client;
  const HttpResponse& response = client.Get(server.BaseUrl() + "/getinfo", kVersionParameters);
  EXPECT_TRUE(response.success);
  EXPECT_EQ(response.status_code, 200);
  EXPECT_EQ(response.content_type, "application/json; charset=utf-8");
  EXPECT_EQ(response.json, nlohmann::json::parse(R"({"ok":true})"));
  ASSERT_EQ(server.RequestLines().size(), 1u);
  EXPECT_EQ(server.RequestLines()[0],
            "GET /getinfo?bv=51%2E0%2E2704%2E103&os=6%2E1%2E7601%2E2 HTTP/1.1");
}

TEST(HttpClientTransfer, JsonOnlyForParameterisedRequestsWithJsonType) {
  const std::string body = R"({"ok":true})";
  {
    LoopbackHttpServer server({LoopbackHttpServer::Reply(200, "application/json", body)});
    HttpClient client;
    EXPECT_TRUE(client.Get(server.BaseUrl() + "/plain").json.is_null());
    EXPECT_EQ(client.response().body, body);
  }
  {
    LoopbackHttpServer server({LoopbackHttpServer::Reply(200, "text/html", body)});
    HttpClient client;
    EXPECT_TRUE(client.Get(server.BaseUrl() + "/q", kVersionParameters).json.is_null());
  }
}

TEST(HttpClientTransfer, MalformedJsonBodyGivesNullValue) {
  for (const std::string body : {"{\"ok\":tru", "", "<html></html>", "[[[[[[[[[[[[[[[[[[[["}) {
    LoopbackHttpServer server({LoopbackHttpServer::Reply(200, "application/json", body)});
    HttpClient client;
    const HttpResponse& response = client.Get(server.BaseUrl() + "/q", kVersionParameters);
    EXPECT_TRUE(response.success) << body;
    EXPECT_TRUE(response.json.is_null()) << body;
  }
}

TEST(HttpClientTransfer, HttpErrorIsASuccessfulTransferWithItsStatus) {
  LoopbackHttpServer server({LoopbackHttpServer::Reply(404, "text/plain", "not here")});
  HttpClient client;
  const HttpResponse& response = client.Get(server.BaseUrl() + "/missing");
  EXPECT_TRUE(response.success);
  EXPECT_EQ(response.status_code, 404);
  EXPECT_EQ(response.body, "not here");
}

TEST(HttpClientTransfer, RedirectIsNotFollowed) {
  LoopbackHttpServer server({LoopbackHttpServer::Reply(302, "", "", "Location: /elsewhere\r\n")});
  HttpClient client;
  const HttpResponse& response = client.Get(server.BaseUrl() + "/moved");
  EXPECT_TRUE(response.success);
  EXPECT_EQ(response.status_code, 302);
  EXPECT_EQ(server.RequestLines().size(), 1u);
}

TEST(HttpClientTransfer, RefusedConnectionAndForeignSchemesFail) {
  HttpClient client;
  int port = 0;
  {
    LoopbackHttpServer closed({LoopbackHttpServer::Reply(200, "", "")});
    port = std::stoi(closed.BaseUrl().substr(closed.BaseUrl().rfind(':') + 1));
  }
  const HttpResponse& refused = client.Get("http://127.0.0.1:" + std::to_string(port) + "/x");
  EXPECT_FALSE(refused.success);
  EXPECT_EQ(refused.status_code, 0);
  EXPECT_FALSE(client.Get("file:///etc/hostname").success);
  EXPECT_TRUE(client.response().body.empty());
}

TEST(HttpClientTransfer, StalledServerIsAbandonedAtTheLowSpeedLimit) {
  ScriptedReply stall{"", 0, true};
  LoopbackHttpServer server(stall);
  HttpTransferLimits limits;
  limits.low_speed_time_s = 1;
  HttpClient client({}, limits);
  EXPECT_FALSE(client.Get(server.BaseUrl() + "/stall").success);
}

TEST(HttpClientTransfer, BodyOverTheLimitFailsTheTransfer) {
  LoopbackHttpServer server({LoopbackHttpServer::Reply(200, "text/plain", std::string(5000, 'x'))});
  HttpTransferLimits limits;
  limits.max_body_bytes = 4096;
  HttpClient client({}, limits);
  EXPECT_FALSE(client.Get(server.BaseUrl() + "/big").success);
  EXPECT_TRUE(client.response().body.empty());
}

// One byte every 200 ms keeps the transfer above the stall limit; only the
// overall deadline ends it.
TEST(HttpClientTransfer, DripFeedingServerEndsAtTheOverallDeadline) {
  ScriptedReply drip{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n", 0, false, 200};
  LoopbackHttpServer server(drip);
  HttpTransferLimits limits;
  limits.low_speed_time_s = 1;
  limits.total_timeout_s = 3;
  HttpClient client({}, limits);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(client.Get(server.BaseUrl() + "/drip").success);
  // Generous: the point is that it ends at all, not when exactly.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
}

// A declared length over the cap is refused from the headers alone: the
// server here sends the rest of what it announces one byte a second.
TEST(HttpClientTransfer, DeclaredLengthOverTheCapIsRefusedBeforeTheBody) {
  ScriptedReply huge{"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                     "Content-Length: 2147483648\r\n\r\n{",
                     0, false, 1000};
  LoopbackHttpServer server(huge);
  HttpTransferLimits limits;
  limits.max_body_bytes = 64 * 1024;
  limits.total_timeout_s = 60;
  HttpClient client({}, limits);
  const auto started = std::chrono::steady_clock::now();
  const HttpResponse& response = client.Get(server.BaseUrl() + "/q", kVersionParameters);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_FALSE(response.success);
  EXPECT_TRUE(response.body.empty());
  EXPECT_TRUE(response.json.is_null());
}

// Without a Content-Length the running count ends the body at the cap.
TEST(HttpClientTransfer, UndeclaredBodyOverTheCapIsCutOff) {
  ScriptedReply endless{"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                        "Connection: close\r\n\r\n[" + std::string(200000, '1'),
                        0, false, 0};
  LoopbackHttpServer server(endless);
  HttpTransferLimits limits;
  limits.max_body_bytes = 64 * 1024;
  HttpClient client({}, limits);
  EXPECT_FALSE(client.Get(server.BaseUrl() + "/q", kVersionParameters).success);
  EXPECT_TRUE(client.response().body.empty());
}

TEST(HttpClientTransfer, HttpsOnlyClientRefusesPlainHttp) {
  LoopbackHttpServer server({LoopbackHttpServer::Reply(200, "text/plain", "plain")});
  HttpTransferLimits limits;
  limits.https_only = true;
  HttpClient client({}, limits);
  EXPECT_FALSE(client.Get(server.BaseUrl() + "/x").success);
  EXPECT_TRUE(server.RequestLines().empty());
  EXPECT_TRUE(IsHttpsUrl("HTTPS://h/x"));
  EXPECT_FALSE(IsHttpsUrl("http://h/x"));
  EXPECT_FALSE(IsHttpsUrl("https:/h"));
}

TEST(HttpClientTransfer, SecondRequestKeepsJsonUnlessReplaced) {
  LoopbackHttpServer server({LoopbackHttpServer::Reply(200, "application/json", R"({"a":1})")});
  HttpClient client;
  client.Get(server.BaseUrl() + "/q", kVersionParameters);
  client.Get(server.BaseUrl() + "/plain");
  EXPECT_EQ(client.response().json, nlohmann::json::parse(R"({"a":1})"));
}

}  // namespace
}  // namespace velko
