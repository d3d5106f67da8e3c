// Limits on what a skin may ask the library to build, so that a hostile or
// broken skin fails through a defined path instead of exhausting the stack
// (TinyXML, element construction, layout and painting all recurse once per
// nesting level) or memory (every element keeps a deep copy of its XML
// subtree, so the copies of a tree grow with its size times its depth).
//
// Loading checks the document; building a tree checks what `dup` copies,
// item providers and client XML add, and fails with CAtlException
// (E_INVALIDARG) past a limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CUILibElement;
class TiXmlElement;

namespace uilib {

// Element nesting: the document root, or a window in its tree, is level 1.
inline constexpr int kMaxSkinDepth = 256;
// Elements of a document, and elements that one build of children creates.
inline constexpr std::size_t kMaxSkinElements = 100000;
// Bytes of one attribute value.
inline constexpr std::size_t kMaxAttributeBytes = 1u << 20;
// Estimated bytes of the XML copies that one build of children makes.
inline constexpr std::uint64_t kMaxCopiedSkinBytes = 64ull << 20;

// Whether the element nesting of unparsed XML text stays within
// kMaxSkinDepth. Read before TinyXML parses the text, which recurses once per
// level; it skips comments, CDATA, declarations and quoted attribute values
// as TinyXML does.
bool RawNestingWithinLimits(std::string_view text);

// Checks a parsed document against the depth, element and attribute limits.
// Empty when it is within them, else what is exceeded.
std::string CheckDocumentLimits(const TiXmlElement& root);

// One build of children (construction, Rebuild): the first scope on a thread
// starts a budget of elements and copied bytes, nested scopes share it.
class TreeBuildScope {
 public:
  explicit TreeBuildScope(const CUILibElement* element);
  ~TreeBuildScope();
  TreeBuildScope(const TreeBuildScope&) = delete;
  TreeBuildScope& operator=(const TreeBuildScope&) = delete;

  // Whether this scope started the budget.
  bool Outermost() const { return outermost_; }

 private:
  bool outermost_ = false;
};

// Guards the creation of one child of `parent` from `xml`. `fresh`: the XML
// is not part of a copy already counted (the start of a build, `dup` copies,
// provider items, client XML), so its subtree is measured and counted now.
// Throws CAtlException(E_INVALIDARG) when the child would exceed a limit.
class ElementBuildGuard {
 public:
  ElementBuildGuard(const CUILibElement* parent, const TiXmlElement& xml, bool fresh);
  ~ElementBuildGuard();
  ElementBuildGuard(const ElementBuildGuard&) = delete;
  ElementBuildGuard& operator=(const ElementBuildGuard&) = delete;

 private:
  TreeBuildScope scope_;
};

}  // namespace uilib
