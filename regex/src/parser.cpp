#include "parser.h"

#include <optional>
#include <string>
#include <utility>

namespace vregex {
namespace {

ByteSet DigitSet() {
  ByteSet s;
  s.AddRange('0', '9');
  return s;
}

ByteSet WordSet() {
  ByteSet s;
  s.AddRange('a', 'z');
  s.AddRange('A', 'Z');
  s.AddRange('0', '9');
  s.Add('_');
  return s;
}

ByteSet SpaceSet() {
  ByteSet s;
  for (char c : {' ', '\t', '\n', '\r', '\f', '\v'}) s.Add(static_cast<uint8_t>(c));
  return s;
}

bool IsAsciiAlnum(uint8_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What one escape sequence stands for: a single byte or a set of bytes.
struct EscapeValue {
  bool is_set = false;
  uint8_t byte = 0;
  ByteSet set;
};

class Parser {
 public:
  Parser(std::string_view pattern, bool ignore_case) : pattern_(pattern) {
    tree_.ignore_case = ignore_case;
  }

  std::variant<SyntaxTree, CompileError> Run() {
    const int root = ParseAlternation(0);
    if (root < 0) return *error_;
    if (pos_ < pattern_.size()) {  // only an unmatched ")" stops the top level early
      return CompileError{pos_, "unmatched ')'"};
    }
    tree_.root = root;
    return std::move(tree_);
  }

 private:
  bool AtEnd() const { return pos_ >= pattern_.size(); }
  uint8_t Peek() const { return static_cast<uint8_t>(pattern_[pos_]); }

  int Fail(size_t position, std::string reason) {
    if (!error_) error_ = CompileError{position, std::move(reason)};
    return -1;
  }

  int AddNode(Node node) {
    tree_.nodes.push_back(std::move(node));
    return static_cast<int>(tree_.nodes.size() - 1);
  }

  int AddSet(ByteSet set) {
    if (tree_.ignore_case) set.FoldAsciiCase();
    Node node;
    node.kind = NodeKind::kSet;
    node.set = set;
    return AddNode(std::move(node));
  }

  int AddLiteral(uint8_t byte) {
    Node node;
    node.kind = NodeKind::kLiteral;
    node.byte = tree_.ignore_case ? FoldAscii(byte) : byte;
    return AddNode(std::move(node));
  }

  // alternation := concat ("|" concat)*
  int ParseAlternation(int depth) {
    std::vector<int> alternatives;
    for (;;) {
      const int branch = ParseConcat(depth);
      if (branch < 0) return -1;
      alternatives.push_back(branch);
      if (AtEnd() || Peek() != '|') break;
      ++pos_;
    }
    if (alternatives.size() == 1) return alternatives.front();
    Node node;
    node.kind = NodeKind::kAlternation;
    node.children = std::move(alternatives);
    return AddNode(std::move(node));
  }

  // concat := (atom quantifier?)*
  int ParseConcat(int depth) {
    std::vector<int> items;
    while (!AtEnd() && Peek() != '|' && Peek() != ')') {
      int atom = ParseAtom(depth);
      if (atom < 0) return -1;
      atom = ParseQuantifier(atom);
      if (atom < 0) return -1;
      items.push_back(atom);
    }
    if (items.size() == 1) return items.front();
    Node node;
    node.kind = items.empty() ? NodeKind::kEmpty : NodeKind::kConcat;
    node.children = std::move(items);
    return AddNode(std::move(node));
  }

  int ParseQuantifier(int atom) {
    if (AtEnd()) return atom;
    const uint8_t c = Peek();
    if (c == '{') return Fail(pos_, "counted repetition '{' is not supported (escape it as '\\{')");
    if (c != '*' && c != '+' && c != '?') return atom;
    ++pos_;
    Node node;
    node.kind = NodeKind::kRepeat;
    node.min = c == '+' ? 1 : 0;
    node.unbounded = c != '?';
    if (!AtEnd() && Peek() == '?') {
      node.greedy = false;
      ++pos_;
    }
    if (!AtEnd() && (Peek() == '*' || Peek() == '+' || Peek() == '?' || Peek() == '{')) {
      return Fail(pos_, "nothing to repeat");
    }
    node.children.push_back(atom);
    return AddNode(std::move(node));
  }

  int ParseAtom(int depth) {
    const size_t start = pos_;
    const uint8_t c = Peek();
    switch (c) {
      case '(':
        return ParseGroup(depth);
      case '[':
        return ParseClass();
      case '*':
      case '+':
      case '?':
        return Fail(start, "nothing to repeat");
      case '{':
        return Fail(start, "counted repetition '{' is not supported (escape it as '\\{')");
      case '.': {
        ++pos_;
        ByteSet any;  // every byte but a line feed
        any.Invert();
        any.Remove('\n');
        return AddSet(any);
      }
      case '^': {
        ++pos_;
        Node node;
        node.kind = NodeKind::kBeginText;
        return AddNode(std::move(node));
      }
      case '$': {
        ++pos_;
        Node node;
        node.kind = NodeKind::kEndText;
        return AddNode(std::move(node));
      }
      case '\\': {
        const std::optional<EscapeValue> value = ParseEscape();
        if (!value) return -1;
        return value->is_set ? AddSet(value->set) : AddLiteral(value->byte);
      }
      default:
        ++pos_;
        return AddLiteral(c);
    }
  }

  int ParseGroup(int depth) {
    const size_t open = pos_++;
    if (depth + 1 > kMaxNestingDepth) return Fail(open, "groups nested too deeply");
    Node node;
    node.kind = NodeKind::kGroup;
    if (!AtEnd() && Peek() == '?') {
      if (pos_ + 1 < pattern_.size() && pattern_[pos_ + 1] == ':') {
        pos_ += 2;
      } else {
        return Fail(open, "unsupported group syntax after '(?'");
      }
    } else {
      node.capture = static_cast<int>(++tree_.capture_count);
    }
    const int body = ParseAlternation(depth + 1);
    if (body < 0) return -1;
    // A group still open at the end of the pattern is closed there.
    if (!AtEnd()) ++pos_;  // the ")"
    node.children.push_back(body);
    return AddNode(std::move(node));
  }

  // Parses "\x" at pos_; leaves pos_ after it.
  std::optional<EscapeValue> ParseEscape() {
    const size_t backslash = pos_++;
    if (AtEnd()) {
      Fail(backslash, "pattern ends with a backslash");
      return std::nullopt;
    }
    const uint8_t c = Peek();
    ++pos_;
    EscapeValue value;
    switch (c) {
      case 'd': case 'D': value.is_set = true; value.set = DigitSet(); break;
      case 'w': case 'W': value.is_set = true; value.set = WordSet(); break;
      case 's': case 'S': value.is_set = true; value.set = SpaceSet(); break;
      case 'n': value.byte = '\n'; return value;
      case 'r': value.byte = '\r'; return value;
      case 't': value.byte = '\t'; return value;
      case 'f': value.byte = '\f'; return value;
      case 'v': value.byte = '\v'; return value;
      default:
        if (IsAsciiAlnum(c)) {
          Fail(backslash, std::string("unsupported escape '\\") + static_cast<char>(c) + "'");
          return std::nullopt;
        }
        value.byte = c;  // escaped metacharacter or other ordinary character
        return value;
    }
    if (c == 'D' || c == 'W' || c == 'S') value.set.Invert();
    return value;
  }

  // class := "[" "^"? item+ "]" where item is a byte, an escape or a range a-b.
  int ParseClass() {
    const size_t open = pos_++;
    bool negated = false;
    if (!AtEnd() && Peek() == '^') {
      negated = true;
      ++pos_;
    }
    ByteSet set;
    bool first = true;
    for (;;) {
      if (AtEnd()) return Fail(open, "missing ']' for character class");
      if (Peek() == ']' && !first) {
        ++pos_;
        break;
      }
      first = false;
      const size_t item_pos = pos_;
      const std::optional<EscapeValue> low = ParseClassItem();
      if (!low) return -1;
      const bool range = !AtEnd() && Peek() == '-' && pos_ + 1 < pattern_.size() && pattern_[pos_ + 1] != ']';
      if (!range) {
        if (low->is_set) set.Merge(low->set); else set.Add(low->byte);
        continue;
      }
      ++pos_;  // the "-"
      const std::optional<EscapeValue> high = ParseClassItem();
      if (!high) return -1;
      if (low->is_set || high->is_set) return Fail(item_pos, "a class escape cannot bound a range");
      if (low->byte > high->byte) return Fail(item_pos, "range out of order in character class");
      set.AddRange(low->byte, high->byte);
    }
    if (tree_.ignore_case) set.FoldAsciiCase();  // fold before negating: [^a-z] excludes A-Z too
    if (negated) set.Invert();
    return AddSet(set);
  }

  std::optional<EscapeValue> ParseClassItem() {
    if (Peek() == '\\') return ParseEscape();
    EscapeValue value;
    value.byte = Peek();
    ++pos_;
    return value;
  }

  std::string_view pattern_;
  size_t pos_ = 0;
  SyntaxTree tree_;
  std::optional<CompileError> error_;
};

}  // namespace

std::variant<SyntaxTree, CompileError> ParsePattern(std::string_view pattern, bool ignore_case) {
  return Parser(pattern, ignore_case).Run();
}

}  // namespace vregex
