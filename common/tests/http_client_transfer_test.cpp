// The client against a real loopback server: what a caller sees for errors,
// redirects, JSON and non-JSON answers, and stalled transfers.
#include <gtest/gtest.h>

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

TEST(HttpClientTransfer, SecondRequestKeepsJsonUnlessReplaced) {
  LoopbackHttpServer server({LoopbackHttpServer::Reply(200, "application/json", R"({"a":1})")});
  HttpClient client;
  client.Get(server.BaseUrl() + "/q", kVersionParameters);
  client.Get(server.BaseUrl() + "/plain");
  EXPECT_EQ(client.response().json, nlohmann::json::parse(R"({"a":1})"));
}

}  // namespace
}  // namespace velko
