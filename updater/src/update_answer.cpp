#include "update_answer.h"

#include <algorithm>
#include <cctype>

namespace velko::updater {
namespace {

// null, an object without members and an array without elements all count
// as "nothing" in the service's answers.
bool IsNothing(const nlohmann::json& value) {
  return value.is_null() || ((value.is_object() || value.is_array()) && value.empty());
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

UpdateAnswer Failed() { return {UpdateAnswerKind::kFailedAttempt, {}}; }

}  // namespace

bool IsWebAddress(std::string_view url) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (StartsWithNoCase(url, scheme)) {
      return url.size() > scheme.size();
    }
  }
  return false;
}

UpdateAnswer DecideUpdateAnswer(const HttpResponse& response) {
  if (!response.success || response.status_code != 200) {
    return Failed();
  }
  const nlohmann::json& answer = response.json;
  if (IsNothing(answer) || !answer.is_object()) {
    return Failed();
  }
  const auto ok = answer.find("ok");
  if (ok == answer.end() || !ok->is_boolean() || !ok->get<bool>()) {
    return Failed();
  }
  const auto update = answer.find("update");
  if (update == answer.end() || IsNothing(*update)) {
    return {UpdateAnswerKind::kNoUpdate, {}};
  }
  if (!update->is_object()) {
    return Failed();
  }
  const auto url = update->find("url");
  if (url == update->end() || !url->is_string() || !IsWebAddress(url->get_ref<const std::string&>())) {
    return Failed();
  }
  return {UpdateAnswerKind::kUpdate, url->get<std::string>()};
}

}  // namespace velko::updater
