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

}  // namespace
}  // namespace velko::updater
