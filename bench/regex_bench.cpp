// Times the 25 style-property patterns over every style text of the installer's
// skin with this project's matcher, std::regex (ECMAScript, icase) and PCRE2
// (interpreter, caseless), checks that all three read the same values, and
// prints the time per style text and the ratios between them.
//
// Usage: regex_bench [styles.txt] [seconds per engine]
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "vregex/regex.h"

namespace {

constexpr const char* kLength = R"re(:((?:\d+(?:px)?|\d+(?:\.\d+)?\%|auto))(?:;|$))re";
constexpr const char* kColour = R"re(:(rgb\(\d+,\d+,\d+\)|argb\(\d+,\d+,\d+,\d+\))(?:;|$))re";
constexpr const char* kLazy = R"re(:(.*?)(?:;|$))re";

std::vector<std::string> StylePatterns() {
  std::vector<std::string> patterns;
  for (const char* name : {"width", "left", "top", "right", "bottom"}) patterns.push_back(name + std::string(kLength));
  patterns.push_back(R"re(height:(\d+(?:\.\d+)?\%|\d+(?:px)?|auto)(?:;|$))re");
  patterns.push_back(
      R"re(background:(file\('(?:[a-z]\:)?[\\/]?(?:[^\\/]+[\\/]?)*'\)|rgb\(\d+,\d+,\d+\)|argb\(\d+,\d+,\d+,\d+\)|res\(.+?\)(?:;|$))re");
  for (const char* name : {"background-paint", "font", "cursor"}) patterns.push_back(name + std::string(kLazy));
  for (const char* name : {"color", "color-hovered"}) patterns.push_back(name + std::string(kColour));
  for (const char* name : {"font-hovered", "text-align", "border", "margin", "padding", "float", "overflow", "display",
                           "keepaspect", "dropshadow", "position", "text-anti-ailas", "text-shadow"}) {
    patterns.push_back(name + std::string(kLazy));
  }
  return patterns;
}

// The other engines do not accept a group left open at the end: close it for them.
std::string Closed(const std::string& pattern) {
  int depth = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '\\') { ++i; continue; }
    if (pattern[i] == '(') ++depth;
    if (pattern[i] == ')') --depth;
  }
  return pattern + std::string(depth > 0 ? static_cast<size_t>(depth) : 0, ')');
}

// One engine: runs pattern i over a text and reports group 1 (nullopt: no match
// or group 1 unmatched).
struct Engine {
  std::string name;
  std::function<std::optional<std::string_view>(size_t, std::string_view)> group1;
};

Engine MakeVregex(const std::vector<std::string>& patterns) {
  auto compiled = std::make_shared<std::vector<vregex::Regex>>();
  for (const auto& p : patterns) compiled->push_back(*vregex::Regex::Compile(p, vregex::kIgnoreCase));
  auto match = std::make_shared<vregex::Match>();
  return {"vregex", [compiled, match](size_t i, std::string_view text) -> std::optional<std::string_view> {
            if (!(*compiled)[i].Search(text, match.get()) || !match->Matched(1)) return std::nullopt;
            return match->Group(1);
          }};
}

Engine MakeStdRegex(const std::vector<std::string>& patterns) {
  auto compiled = std::make_shared<std::vector<std::regex>>();
  for (const auto& p : patterns) compiled->emplace_back(Closed(p), std::regex::ECMAScript | std::regex::icase);
  auto match = std::make_shared<std::cmatch>();
  return {"std::regex", [compiled, match](size_t i, std::string_view text) -> std::optional<std::string_view> {
            if (!std::regex_search(text.data(), text.data() + text.size(), *match, (*compiled)[i]) ||
                !(*match)[1].matched) {
              return std::nullopt;
            }
            return std::string_view((*match)[1].first, static_cast<size_t>((*match)[1].length()));
          }};
}

struct Pcre2Pattern {
  pcre2_code* code = nullptr;
  pcre2_match_data* data = nullptr;
  ~Pcre2Pattern() {
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
};

Engine MakePcre2(const std::vector<std::string>& patterns) {
  auto compiled = std::make_shared<std::vector<std::unique_ptr<Pcre2Pattern>>>();
  for (const auto& p : patterns) {
    auto entry = std::make_unique<Pcre2Pattern>();
    const std::string closed = Closed(p);
    int error = 0;
    PCRE2_SIZE offset = 0;
    entry->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(closed.data()), closed.size(), PCRE2_CASELESS, &error,
                                &offset, nullptr);
    if (entry->code == nullptr) std::fprintf(stderr, "PCRE2 rejects %s at %zu\n", closed.c_str(), offset);
    entry->data = pcre2_match_data_create_from_pattern(entry->code, nullptr);
    compiled->push_back(std::move(entry));
  }
  return {"PCRE2", [compiled](size_t i, std::string_view text) -> std::optional<std::string_view> {
            const Pcre2Pattern& p = *(*compiled)[i];
            const int rc = pcre2_match(p.code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, p.data,
                                       nullptr);
            if (rc < 2) return std::nullopt;
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(p.data);
            if (ovector[2] == PCRE2_UNSET) return std::nullopt;
            return text.substr(ovector[2], ovector[3] - ovector[2]);
          }};
}

// Parses every style text with every pattern, as the style parser does.
size_t ParseAll(const Engine& engine, size_t pattern_count, const std::vector<std::string>& styles) {
  size_t found = 0;
  for (const auto& style : styles) {
    for (size_t i = 0; i < pattern_count; ++i) {
      if (const auto value = engine.group1(i, style)) found += value->size() + 1;
    }
  }
  return found;
}

// Nanoseconds per style text, running whole rounds for about `seconds`.
double NanosecondsPerStyle(const Engine& engine, size_t pattern_count, const std::vector<std::string>& styles,
                           double seconds) {
  using Clock = std::chrono::steady_clock;
  size_t rounds = 0;
  volatile size_t sink = 0;
  const auto begin = Clock::now();
  auto now = begin;
  while (std::chrono::duration<double>(now - begin).count() < seconds) {
    sink = sink + ParseAll(engine, pattern_count, styles);
    ++rounds;
    now = Clock::now();
  }
  const double elapsed = std::chrono::duration<double, std::nano>(now - begin).count();
  return elapsed / static_cast<double>(rounds * styles.size());
}

size_t CountDisagreements(const Engine& a, const Engine& b, size_t pattern_count,
                          const std::vector<std::string>& styles) {
  size_t differences = 0;
  for (const auto& style : styles) {
    for (size_t i = 0; i < pattern_count; ++i) {
      if (a.group1(i, style) != b.group1(i, style)) {
        ++differences;
        std::printf("  %s and %s differ: pattern %zu over \"%s\"\n", a.name.c_str(), b.name.c_str(), i, style.c_str());
      }
    }
  }
  return differences;
}

std::vector<std::string> ReadLines(const char* path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : VELKO_REGEX_BENCH_STYLES;
  const double seconds = argc > 2 ? std::atof(argv[2]) : 0.5;
  const std::vector<std::string> styles = ReadLines(path);
  if (styles.empty()) {
    std::fprintf(stderr, "no style texts in %s\n", path);
    return 1;
  }
  const std::vector<std::string> patterns = StylePatterns();
  const std::vector<Engine> engines = {MakeVregex(patterns), MakeStdRegex(patterns), MakePcre2(patterns)};

  std::printf("%zu patterns x %zu style texts (%s)\n", patterns.size(), styles.size(), path);
  size_t disagreements = 0;
  for (size_t e = 1; e < engines.size(); ++e) {
    disagreements += CountDisagreements(engines[0], engines[e], patterns.size(), styles);
  }
  std::printf("values that differ between engines: %zu\n", disagreements);

  std::vector<double> ns;
  for (const Engine& engine : engines) {
    ns.push_back(NanosecondsPerStyle(engine, patterns.size(), styles, seconds));
    std::printf("%-10s %10.1f ns per style text\n", engine.name.c_str(), ns.back());
  }
  std::printf("std::regex / vregex: %.2fx (goal >= 10)\n", ns[1] / ns[0]);
  std::printf("vregex / PCRE2:      %.2fx (goal <= 2)\n", ns[0] / ns[2]);
  return disagreements == 0 ? 0 : 2;
}
