#include "uilib/skin_document.h"

#include <fstream>
#include <iterator>
#include <string>
#include <tinyxml.h>

#include "uilib/skin_limits.h"
#include "uilib/text_util.h"
#include "velko/tinyxml_text.h"

namespace uilib {

SkinDocument::SkinDocument() = default;
SkinDocument::~SkinDocument() = default;

SkinLoadResult SkinDocument::LoadFromMemory(std::string_view bytes) {
  document_.reset();
  last_error_.clear();
  // TinyXML parses a zero-terminated buffer (padded: see velko/tinyxml_text.h).
  // TinyXML recurses once per nesting level: too deep a text is refused unread.
  if (!RawNestingWithinLimits(bytes)) {
    last_error_ = "elements are nested more than " + std::to_string(kMaxSkinDepth) + " deep";
    return SkinLoadResult::kLimitExceeded;
  }
  const std::string text = velko::TinyXmlParseBuffer(bytes);
  auto document = std::make_unique<TiXmlDocument>();
  document->Parse(text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
  if (document->Error()) {
    last_error_ = std::string("XML error: ") + document->ErrorDesc() + " (line " +
                  std::to_string(document->ErrorRow()) + ", column " + std::to_string(document->ErrorCol()) + ")";
    return SkinLoadResult::kXmlError;
  }
  const TiXmlElement* root = document->RootElement();
  if (root == nullptr || !EqualsIgnoreCase(root->Value(), "uilib")) {
    last_error_ = root == nullptr ? "the document has no root element"
                                  : std::string("the root element is <") + root->Value() + ">, not <uilib>";
    return SkinLoadResult::kWrongRoot;
  }
  last_error_ = CheckDocumentLimits(*root);
  if (!last_error_.empty()) return SkinLoadResult::kLimitExceeded;
  document_ = std::move(document);
  return SkinLoadResult::kOk;
}

SkinLoadResult SkinDocument::LoadFromFile(const std::filesystem::path& path) {
  document_.reset();
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    last_error_ = "cannot open the file";
    return SkinLoadResult::kNotFound;
  }
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) {
    last_error_ = "cannot read the file";
    return SkinLoadResult::kNotFound;
  }
  return LoadFromMemory(bytes);
}

const TiXmlElement* SkinDocument::Root() const {
  return document_ != nullptr ? document_->RootElement() : nullptr;
}

const TiXmlElement* SkinDocument::FindWindow(std::string_view id) const {
  const TiXmlElement* root = Root();
  if (root == nullptr) return nullptr;
  for (const TiXmlElement* window = root->FirstChildElement("window"); window != nullptr;
       window = window->NextSiblingElement("window")) {
    const char* window_id = window->Attribute("id");
    if (window_id != nullptr && EqualsIgnoreCase(window_id, id)) return window;
  }
  return nullptr;
}

}  // namespace uilib
