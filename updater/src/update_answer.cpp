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

UpdateAnswer Failed() { return {}; }

// The optional integrity members of "update"; nullopt when one is present but
// malformed.
std::optional<PackageIntegrity> ReadIntegrity(const nlohmann::json& update) {
  PackageIntegrity integrity;
  if (const auto sha256 = update.find("sha256"); sha256 != update.end()) {
    if (!sha256->is_string()) return std::nullopt;
    integrity.sha256 = ParseSha256Hex(sha256->get_ref<const std::string&>());
    if (!integrity.sha256) return std::nullopt;
  }
  if (const auto size = update.find("size"); size != update.end()) {
    if (size->is_number_unsigned()) {
      integrity.size = size->get<std::uint64_t>();
    } else if (size->is_number_integer() && size->get<std::int64_t>() >= 0) {
      integrity.size = static_cast<std::uint64_t>(size->get<std::int64_t>());
    } else {
      return std::nullopt;
    }
  }
  return integrity;
}

}  // namespace

bool IsWebAddress(std::string_view url) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (StartsWithNoCase(url, scheme)) {
      return url.size() > scheme.size();
    }
  }
  return false;
}

UpdateAnswer DecideUpdateAnswer(const HttpResponse& response, const UpdateAnswerPolicy& policy) {
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
    return {UpdateAnswerKind::kNoUpdate, {}, {}};
  }
  if (!update->is_object()) {
    return Failed();
  }
  const auto url = update->find("url");
  if (url == update->end() || !url->is_string() || !IsWebAddress(url->get_ref<const std::string&>())) {
    return Failed();
  }
  const std::string& package_url = url->get_ref<const std::string&>();
  if (policy.https_only && !IsHttpsUrl(package_url)) return Failed();
  const std::optional<PackageIntegrity> integrity = ReadIntegrity(*update);
  if (!integrity) return Failed();
  if (policy.require_hashes && (!integrity->sha256 || !integrity->size)) return Failed();
  return {UpdateAnswerKind::kUpdate, package_url, *integrity};
}

}  // namespace velko::updater
