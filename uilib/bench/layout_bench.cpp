// Layout cost per element on generated trees of 1 000, 10 000 and 100 000
// elements, with the growth of the per-element time against the smallest
// tree measured in the same run (flat cost means a ratio near 1).
//   mixed : sections of rows; each row holds fixed-width cells and a final
//           `width:100%;height:100%` cell; sections are `width:100%`
//   fixed : the same shape with only pixel sizes
// Only Layout is timed (thread CPU time); building the trees is not.
// Two memory situations per size:
//   one tree   : the same tree laid out again and again. A 1 000-element tree
//                then lives in the processor's caches, a 100 000-element one
//                (about 70 MB) cannot, so this mixes the cost of layout with
//                that of the memory hierarchy.
//   same memory: as many trees of the size as make 100 000 elements, laid out
//                one after the other, so every size streams the same amount
//                of memory per pass. The growth here is the layout's own.
// Baseline, same run and same trees: a plain depth-first walk that reads each
// element's links, style lengths and margins and writes its rect, i.e. the
// memory traffic any layout needs.
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "uilib/uilib_impl.h"

namespace {

// CPU time of this thread: the machine is shared, wall time is not ours.
double ThreadCpuNs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

constexpr int kCellsPerRow = 9;     // plus the row itself: 10 elements
constexpr int kRowsPerSection = 10; // plus the section: 101 elements
constexpr float kRowHeight = 20.0f;
constexpr float kWidth = 1000.0f;

std::string Row(bool fixed_only) {
  std::string row = "<element style=\"width:" + std::string(fixed_only ? "1000px" : "100%") +
                    ";height:20px;\"><element dup=\"" + std::to_string(kCellsPerRow - 2) +
                    "\" style=\"width:40px;height:20px;\"/>";
  row += fixed_only ? "<element style=\"width:100px;height:20px;\"/>"
                    : "<element style=\"width:100%;height:100%;\"/>";
  return row + "</element>";
}

// A window of `sections` sections of ten rows each.
std::string Skin(int sections, bool fixed_only) {
  std::string section = "<element dup=\"" + std::to_string(sections - 1) + "\" style=\"width:" +
                        (fixed_only ? "1000px" : "100%") + ";height:200px;\">";
  for (int r = 0; r < kRowsPerSection; ++r) section += Row(fixed_only);
  section += "</element>";
  return "<uilib><window id=\"w\">" + section + "</window></uilib>";
}

struct Measurement {
  size_t elements = 0;
  double ns_per_element = 0.0;
  double walk_ns_per_element = 0.0;
};

constexpr size_t kSameMemoryElements = 100000;

// Touches what placement touches, without placing.
float Walk(const CUILibElement& e) {
  const uilib::StyleValues& v = e.Style().Values();
  float sum = v.width.pixels + v.height.pixels + v.margin.left + v.padding.top + static_cast<float>(v.display);
  for (const CUILibElement* c = e.Children().First(); c != nullptr; c = e.Children().Next(c)) sum += Walk(*c);
  const_cast<uilib::RectF&>(e.Rect()).w = sum;  // a write per element, as layout does
  return sum;
}

template <typename Body>
double CpuNsPerRun(Body body) {
  int runs = 0;
  const double start = ThreadCpuNs();
  double elapsed = 0.0;
  do {
    body();
    ++runs;
    elapsed = ThreadCpuNs() - start;
  } while (elapsed < 3e8);  // about 0.3 s, so that small trees are timed well
  return elapsed / runs;
}

size_t CountElements(const CUILibElement& e) {
  size_t n = 1;
  for (const CUILibElement* c = e.Children().First(); c != nullptr; c = e.Children().Next(c)) n += CountElements(*c);
  return n;
}

// Lays out `copies` trees of `sections` sections each, one after the other.
Measurement Measure(int sections, bool fixed_only, int copies) {
  CUILibImpl lib;
  if (lib.LoadSkinFromMemory(Skin(sections, fixed_only)) != uilib::SkinLoadResult::kOk) return {};
  std::vector<std::unique_ptr<CUILibWindow>> windows;
  for (int i = 0; i < copies; ++i) windows.push_back(lib.BuildWindowTree("w"));
  const uilib::RectF client{0.0f, 0.0f, kWidth, static_cast<float>(sections) * kRowsPerSection * kRowHeight};
  for (auto& window : windows) window->Layout(client, nullptr, nullptr);  // warm-up
  const double elements = static_cast<double>(CountElements(*windows.front())) * copies;
  volatile float sink = 0.0f;
  const double walk = CpuNsPerRun([&] {
    for (auto& window : windows) sink = sink + Walk(*window);
  });
  const double layout = CpuNsPerRun([&] {
    for (auto& window : windows) window->Layout(client, nullptr, nullptr);
  });
  return {static_cast<size_t>(elements), layout / elements, walk / elements};
}

void Report(const char* title, bool fixed_only, bool same_memory) {
  std::printf("%s tree, %s\n", fixed_only ? "fixed" : "mixed", title);
  double baseline = 0.0;
  for (int sections : {10, 99, 990}) {
    const size_t tree_elements = static_cast<size_t>(sections) * 101 + 1;
    const int copies = same_memory ? static_cast<int>((kSameMemoryElements + tree_elements / 2) / tree_elements) : 1;
    Measurement m = Measure(sections, fixed_only, copies);
    if (baseline == 0.0) baseline = m.ns_per_element;
    std::printf("  %7zu elements x %3d  layout %7.1f ns/element  ratio to 1k %.2f  |  walk %6.1f ns/element"
                "  layout/walk %.1f\n",
                tree_elements, copies, m.ns_per_element, m.ns_per_element / baseline, m.walk_ns_per_element,
                m.ns_per_element / m.walk_ns_per_element);
  }
}

}  // namespace

int main() {
  for (bool fixed_only : {false, true}) {
    Report("one tree", fixed_only, false);
    Report("same memory", fixed_only, true);
  }
  return 0;
}
