#include "uilib/skin_limits.h"

#include <algorithm>
#include <tinyxml.h>

#include "uilib/element.h"
#include "uilib/error.h"

namespace uilib {
namespace {

// Rough heap cost of a copied node and of each of its attributes beyond
// their text, so that many tiny nodes count as well as long texts.
constexpr std::uint64_t kNodeOverheadBytes = 64;
constexpr std::uint64_t kAttributeOverheadBytes = 48;

struct SubtreeMeasure {
  int depth = 0;                   // element levels, the top element being 1
  std::size_t elements = 0;
  std::uint64_t copy_bytes = 0;    // bytes of the copies that its elements make
  std::size_t longest_attribute = 0;
};

// Walks the subtree without recursion (it may be deeper than any limit).
// A node at element level L is copied by its L element ancestors-or-self;
// text and comments by the L - 1 elements above them.
SubtreeMeasure Measure(const TiXmlNode& top) {
  SubtreeMeasure m;
  const TiXmlNode* node = &top;
  int level = 1;
  for (;;) {
    std::uint64_t bytes = kNodeOverheadBytes + node->ValueStr().size();
    if (const TiXmlElement* element = node->ToElement()) {
      ++m.elements;
      m.depth = std::max(m.depth, level);
      for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
        m.longest_attribute = std::max(m.longest_attribute, a->ValueStr().size());
        bytes += kAttributeOverheadBytes + a->NameTStr().size() + a->ValueStr().size();
      }
      m.copy_bytes += bytes * static_cast<std::uint64_t>(level);
    } else {
      m.copy_bytes += bytes * static_cast<std::uint64_t>(level - 1);
    }
    if (node->FirstChild() != nullptr) {
      node = node->FirstChild();
      ++level;
      continue;
    }
    while (node != &top && node->NextSibling() == nullptr) {
      node = node->Parent();
      --level;
    }
    if (node == &top) break;
    node = node->NextSibling();
  }
  return m;
}

int DepthOf(const CUILibElement* element) {
  int depth = 0;
  for (; element != nullptr; element = element->Parent()) ++depth;
  return depth;
}

// The budget of the build running on this thread.
struct BuildBudget {
  int depth = 0;  // level of the element whose children are being created
  std::size_t elements = 0;
  std::uint64_t copy_bytes = 0;
};

thread_local int t_scopes = 0;
thread_local BuildBudget t_budget;

[[noreturn]] void Refuse() { AtlThrow(kEInvalidArg); }

}  // namespace

bool RawNestingWithinLimits(std::string_view text) {
  constexpr auto npos = std::string_view::npos;
  // Skips to just after `end`, searched from `from`; npos when it is missing.
  auto after = [&](std::size_t from, std::string_view end) {
    std::size_t at = text.find(end, from);
    return at == npos ? npos : at + end.size();
  };
  int depth = 0;
  std::size_t i = 0;
  while ((i = text.find('<', i)) != npos) {
    const std::string_view rest = text.substr(i);
    if (rest.starts_with("<!--")) {
      i = after(i + 4, "-->");
    } else if (rest.starts_with("<![CDATA[")) {
      i = after(i + 9, "]]>");
    } else if (rest.starts_with("<!") || rest.starts_with("<?")) {
      i = after(i + 2, ">");
    } else if (rest.starts_with("</")) {
      depth = std::max(0, depth - 1);
      i = after(i + 2, ">");
    } else {
      // A start tag: up to its '>', quoted attribute values skipped whole.
      std::size_t j = i + 1;
      char quote = 0;
      for (; j < text.size(); ++j) {
        const char c = text[j];
        if (quote != 0) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '>') {
          break;
        }
      }
      const bool empty_element = j < text.size() && text[j - 1] == '/';
      if (!empty_element && ++depth > kMaxSkinDepth) return false;
      i = j < text.size() ? j + 1 : npos;
    }
    if (i == npos) break;
  }
  return true;
}

std::string CheckDocumentLimits(const TiXmlElement& root) {
  const SubtreeMeasure m = Measure(root);
  if (m.depth > kMaxSkinDepth) {
    return "elements are nested " + std::to_string(m.depth) + " deep, more than " + std::to_string(kMaxSkinDepth);
  }
  if (m.elements > kMaxSkinElements) {
    return std::to_string(m.elements) + " elements, more than " + std::to_string(kMaxSkinElements);
  }
  if (m.longest_attribute > kMaxAttributeBytes) {
    return "an attribute value of " + std::to_string(m.longest_attribute) + " bytes, more than " +
           std::to_string(kMaxAttributeBytes);
  }
  return {};
}

TreeBuildScope::TreeBuildScope(const CUILibElement* element) {
  if (t_scopes++ != 0) return;
  outermost_ = true;
  t_budget = BuildBudget{DepthOf(element), 0, 0};
}

TreeBuildScope::~TreeBuildScope() { --t_scopes; }

ElementBuildGuard::ElementBuildGuard(const CUILibElement* parent, const TiXmlElement& xml, bool fresh)
    : scope_(parent) {
  BuildBudget& budget = t_budget;
  int levels = 1;
  std::uint64_t copy_bytes = 0;
  if (fresh || scope_.Outermost()) {
    const SubtreeMeasure m = Measure(xml);
    if (m.longest_attribute > kMaxAttributeBytes) Refuse();
    levels = m.depth;
    copy_bytes = m.copy_bytes;
  }
  if (budget.depth + levels > kMaxSkinDepth) Refuse();
  if (budget.elements >= kMaxSkinElements) Refuse();
  if (copy_bytes > kMaxCopiedSkinBytes - budget.copy_bytes) Refuse();
  ++budget.elements;
  budget.copy_bytes += copy_bytes;
  ++budget.depth;
}

ElementBuildGuard::~ElementBuildGuard() { --t_budget.depth; }

}  // namespace uilib
