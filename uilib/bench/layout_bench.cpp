// Layout cost per element on generated trees of 1 000, 10 000 and 100 000
// elements, with the growth of the per-element time against the smallest
// tree measured in the same run (flat cost means a ratio near 1).
//   mixed : sections of rows; each row holds fixed-width cells and a final
//           `width:100%;height:100%` cell; sections are `width:100%`
//   fixed : the same shape with only pixel sizes
// Only Layout is timed (thread CPU time); building the trees is not.
// Baseline, same run and same trees: a plain depth-first walk that reads each
// element's links, style lengths and margins and writes its rect, i.e. the
// memory traffic any layout needs. Layout/walk staying flat while both grow
// means the growth comes from the tree no longer fitting in the caches.
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

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

Measurement Measure(int sections, bool fixed_only) {
  CUILibImpl lib;
  if (lib.LoadSkinFromMemory(Skin(sections, fixed_only)) != uilib::SkinLoadResult::kOk) return {};
  std::unique_ptr<CUILibWindow> window = lib.BuildWindowTree("w");
  const uilib::RectF client{0.0f, 0.0f, kWidth, static_cast<float>(sections) * kRowsPerSection * kRowHeight};
  window->Layout(client, nullptr, nullptr);  // warm-up
  const double elements = static_cast<double>(CountElements(*window));
  volatile float sink = 0.0f;
  const double walk = CpuNsPerRun([&] { sink = sink + Walk(*window); });
  const double layout = CpuNsPerRun([&] { window->Layout(client, nullptr, nullptr); });
  return {static_cast<size_t>(elements), layout / elements, walk / elements};
}

}  // namespace

int main() {
  for (bool fixed_only : {false, true}) {
    std::printf("%s tree\n", fixed_only ? "fixed" : "mixed");
    double baseline = 0.0;
    for (int sections : {10, 99, 990}) {
      Measurement m = Measure(sections, fixed_only);
      if (baseline == 0.0) baseline = m.ns_per_element;
      std::printf("  %7zu elements  layout %7.1f ns/element  ratio to 1k %.2f  |  walk %6.1f ns/element"
                  "  layout/walk %.1f\n",
                  m.elements, m.ns_per_element, m.ns_per_element / baseline, m.walk_ns_per_element,
                  m.ns_per_element / m.walk_ns_per_element);
    }
  }
  return 0;
}
