#include <gtest/gtest.h>

#include "update_answer.h"

namespace velko::updater {
namespace {

HttpResponse JsonAnswer(const std::string& body, std::int32_t status = 200) {
  HttpResponse response;
  response.success = true;
  response.status_code = status;
  response.content_type = "application/json";
  response.body = body;
  response.json = nlohmann::json::parse(body, nullptr, false);
  if (response.json.is_discarded()) response.json = nullptr;
  return response;
}

UpdateAnswerKind KindOf(const std::string& body) { return DecideUpdateAnswer(JsonAnswer(body)).kind; }

TEST(DecideUpdateAnswer, TransferFailureAndHttpErrorsAreFailedAttempts) {
  HttpResponse failed = JsonAnswer(R"({"ok":true})");
  failed.success = false;
  EXPECT_EQ(DecideUpdateAnswer(failed).kind, UpdateAnswerKind::kFailedAttempt);
  for (std::int32_t status : {0, 204, 302, 404, 500}) {
    EXPECT_EQ(DecideUpdateAnswer(JsonAnswer(R"({"ok":true})", status)).kind,
              UpdateAnswerKind::kFailedAttempt)
        << status;
  }
}

TEST(DecideUpdateAnswer, NoJsonValueIsAFailedAttempt) {
  // What the client leaves for text/html, or for a body that is not JSON.
  HttpResponse html = JsonAnswer(R"({"ok":true})");
  html.json = nullptr;
  EXPECT_EQ(DecideUpdateAnswer(html).kind, UpdateAnswerKind::kFailedAttempt);
  EXPECT_EQ(KindOf("{}"), UpdateAnswerKind::kFailedAttempt);
  EXPECT_EQ(KindOf("[]"), UpdateAnswerKind::kFailedAttempt);
}

TEST(DecideUpdateAnswer, OkMustBeTrue) {
  for (const char* body : {R"({"update":{"url":"http://h/p.rar"}})", R"({"ok":null})",
                           R"({"ok":{}})", R"({"ok":[]})", R"({"ok":false})",
                           R"({"ok":false,"update":{"url":"http://h/p.rar"}})"}) {
    EXPECT_EQ(KindOf(body), UpdateAnswerKind::kFailedAttempt) << body;
  }
}

TEST(DecideUpdateAnswer, OkWithoutUpdateMeansNoUpdate) {
  for (const char* body : {R"({"ok":true})", R"({"ok":true,"update":null})",
                           R"({"ok":true,"update":{}})", R"({"ok":true,"update":[]})",
                           R"({"ok":true,"other":5})"}) {
    EXPECT_EQ(KindOf(body), UpdateAnswerKind::kNoUpdate) << body;
  }
}

TEST(DecideUpdateAnswer, UpdateCarriesThePackageUrl) {
  const UpdateAnswer answer = DecideUpdateAnswer(
      JsonAnswer(R"({"ok":true,"update":{"url":"http://h/\u4e2d.rar","size":3}})"));
  EXPECT_EQ(answer.kind, UpdateAnswerKind::kUpdate);
  EXPECT_EQ(answer.package_url, "http://h/\xE4\xB8\xAD.rar");
  EXPECT_EQ(KindOf(R"({"ok":true,"update":{"url":"HTTPS://h/p.rar"}})"), UpdateAnswerKind::kUpdate);
}

TEST(DecideUpdateAnswer, MembersOfTheWrongTypeAreFailedAttempts) {
  for (const char* body : {"true", "42", R"("ok")", R"([{"ok":true}])", R"({"ok":1})",
                           R"({"ok":"true"})", R"({"ok":true,"update":"http://h/p.rar"})",
                           R"({"ok":true,"update":[{"url":"http://h/p.rar"}]})",
                           R"({"ok":true,"update":false})", R"({"ok":true,"update":{"size":3}})",
                           R"({"ok":true,"update":{"url":null}})",
                           R"({"ok":true,"update":{"url":7}})"}) {
    EXPECT_EQ(KindOf(body), UpdateAnswerKind::kFailedAttempt) << body;
  }
}

TEST(DecideUpdateAnswer, UrlMustBeAWebAddress) {
  for (const char* url : {"", "file:///C:/Windows/notepad.exe", "ftp://h/p.rar", "\\\\server\\p.rar",
                          "C:\\p.rar", "http://", "javascript:alert(1)"}) {
    const nlohmann::json body = {{"ok", true}, {"update", {{"url", url}}}};
    EXPECT_EQ(KindOf(body.dump()), UpdateAnswerKind::kFailedAttempt) << url;
  }
}

const std::string kAbcSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

UpdateAnswer AnswerWith(const nlohmann::json& update, const UpdateAnswerPolicy& policy = {}) {
  const nlohmann::json body = {{"ok", true}, {"update", update}};
  return DecideUpdateAnswer(JsonAnswer(body.dump()), policy);
}

TEST(DecideUpdateAnswer, DigestAndSizeAreCarriedWhenWellFormed) {
  const UpdateAnswer answer =
      AnswerWith({{"url", "http://h/p.rar"}, {"sha256", kAbcSha256}, {"size", 3}});
  ASSERT_EQ(answer.kind, UpdateAnswerKind::kUpdate);
  EXPECT_EQ(answer.integrity.sha256, BufferSha256("abc", 3));
  EXPECT_EQ(answer.integrity.size, std::optional<std::uint64_t>(3));
  // Without them the package is taken as today.
  const UpdateAnswer plain = AnswerWith({{"url", "http://h/p.rar"}});
  ASSERT_EQ(plain.kind, UpdateAnswerKind::kUpdate);
  EXPECT_FALSE(plain.integrity.sha256.has_value());
  EXPECT_FALSE(plain.integrity.size.has_value());
}

TEST(DecideUpdateAnswer, MalformedDigestOrSizeIsAFailedAttempt) {
  for (const nlohmann::json& bad :
       {nlohmann::json{{"sha256", kAbcSha256.substr(1)}}, nlohmann::json{{"sha256", 5}},
        nlohmann::json{{"sha256", nullptr}}, nlohmann::json{{"size", -1}},
        nlohmann::json{{"size", "3"}}, nlohmann::json{{"size", 2.5}}}) {
    nlohmann::json update = bad;
    update["url"] = "http://h/p.rar";
    EXPECT_EQ(AnswerWith(update).kind, UpdateAnswerKind::kFailedAttempt) << update.dump();
  }
}

TEST(DecideUpdateAnswer, PolicyCanRequireDigestsAndHttps) {
  UpdateAnswerPolicy strict;
  strict.require_hashes = true;
  EXPECT_EQ(AnswerWith({{"url", "http://h/p.rar"}, {"size", 3}}, strict).kind,
            UpdateAnswerKind::kFailedAttempt);
  EXPECT_EQ(AnswerWith({{"url", "http://h/p.rar"}, {"sha256", kAbcSha256}}, strict).kind,
            UpdateAnswerKind::kFailedAttempt);
  EXPECT_EQ(AnswerWith({{"url", "http://h/p.rar"}, {"sha256", kAbcSha256}, {"size", 3}}, strict).kind,
            UpdateAnswerKind::kUpdate);
  UpdateAnswerPolicy secure;
  secure.https_only = true;
  EXPECT_EQ(AnswerWith({{"url", "http://h/p.rar"}}, secure).kind, UpdateAnswerKind::kFailedAttempt);
  EXPECT_EQ(AnswerWith({{"url", "https://h/p.rar"}}, secure).kind, UpdateAnswerKind::kUpdate);
}

}  // namespace
}  // namespace velko::updater
