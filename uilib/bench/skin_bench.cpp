// What the installer's skin costs to turn into element trees, against the
// plain TinyXML parse of the same document measured in the same run.
//   style texts : the 25 property searches over every style text of the skin
//   tree build  : both windows built (clone, factory, style parsing)
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "uilib/style_parser.h"
#include "uilib/uilib_impl.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Body>
double MicrosecondsPerRun(int runs, Body body) {
  body();  // warm-up: patterns compiled, caches filled
  auto start = Clock::now();
  for (int i = 0; i < runs; ++i) body();
  std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
  return elapsed.count() / runs;
}

void CollectStyles(const TiXmlElement* element, std::vector<std::string>* styles) {
  for (; element != nullptr; element = element->NextSiblingElement()) {
    if (const char* style = element->Attribute("style")) styles->push_back(style);
    CollectStyles(element->FirstChildElement(), styles);
  }
}

}  // namespace

int main() {
  std::ifstream file(VELKO_INSTALLER_SKIN_XML, std::ios::binary);
  std::string skin((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (skin.empty()) {
    std::fprintf(stderr, "cannot read %s\n", VELKO_INSTALLER_SKIN_XML);
    return 1;
  }
  TiXmlDocument doc;
  doc.Parse(skin.c_str());
  std::vector<std::string> styles;
  CollectStyles(doc.RootElement(), &styles);

  constexpr int kRuns = 300;
  double xml_us = MicrosecondsPerRun(kRuns, [&] {
    TiXmlDocument d;
    d.Parse(skin.c_str());
  });
  double styles_us = MicrosecondsPerRun(kRuns, [&] {
    for (const std::string& text : styles) {
      uilib::StyleValues values;
      uilib::ParseStyleText(text, &values);
    }
  });
  CUILibImpl lib;
  lib.LoadSkinFromMemory(skin);
  double trees_us = MicrosecondsPerRun(kRuns, [&] {
    lib.BuildWindowTree("Welcome");
    lib.BuildWindowTree("Install");
  });

  std::printf("installer skin: %zu bytes, %zu style texts, %d runs each\n", skin.size(), styles.size(), kRuns);
  std::printf("  TinyXML parse (baseline)   %9.1f us\n", xml_us);
  std::printf("  style texts                %9.1f us  (%.1f us per text)  %.2fx baseline\n", styles_us,
              styles_us / static_cast<double>(styles.size()), styles_us / xml_us);
  std::printf("  both window trees          %9.1f us                       %.2fx baseline\n", trees_us,
              trees_us / xml_us);
  return 0;
}
