// The parsed skin document: UTF-8 XML whose root is `uilib` (any case) and
// whose level-1 `window` elements (exact tag) describe the windows. Holds at
// most one document; a failed load leaves none.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

class TiXmlDocument;
class TiXmlElement;

namespace uilib {

enum class SkinLoadResult {
  kOk,
  kNotFound,    // file or resource missing or unreadable
  kXmlError,    // TinyXML reported an error
  kWrongRoot,   // no root element, or one not named uilib
  kLimitExceeded,  // deeper, larger or with longer attributes than skin_limits.h allows
};

class SkinDocument {
 public:
  SkinDocument();
  ~SkinDocument();
  SkinDocument(const SkinDocument&) = delete;
  SkinDocument& operator=(const SkinDocument&) = delete;

  // Parses `bytes` (encoding detected from the document; parsing stops at the
  // first NUL) and keeps the document when its root is `uilib`.
  SkinLoadResult LoadFromMemory(std::string_view bytes);
  SkinLoadResult LoadFromFile(const std::filesystem::path& path);

  bool Loaded() const { return document_ != nullptr; }
  const TiXmlElement* Root() const;
  // The first level-1 `window` element whose id equals `id` case-insensitively.
  const TiXmlElement* FindWindow(std::string_view id) const;
  // A description of why the last load failed (empty after success).
  const std::string& LastError() const { return last_error_; }

 private:
  std::unique_ptr<TiXmlDocument> document_;
  std::string last_error_;
};

}  // namespace uilib
