// Tree changes on the UI thread while another thread paints the tree the way
// the render thread does (a batch of the render queue under the tree mutex).
// Run natively under ThreadSanitizer this shows every change ordered with the
// painting; in any build it must neither crash nor lose a change.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "layout_test_support.h"
#include "uilib/iuilib_kinds.h"
#include "uilib/library_state.h"
#include "uilib/ui_thread.h"
#include "uilib/widgets/label.h"

namespace uilib {
namespace {

// What painting reads of a tree: texts, style records, children, overlays.
class TreeReader : public RepaintTarget {
 public:
  explicit TreeReader(CUILibElement* root) : root_(root) {}
  void PaintDirect(const PixelRect&) override {
    checksum_ += Read(root_);
    ++batches_;
  }
  int Batches() const { return batches_.load(); }

 private:
  static size_t Read(const CUILibElement* element) {
    size_t sum = element->Style().Values().color + element->IsDisabled();
    if (auto* label = dynamic_cast<const CUILibLabel*>(element)) {
      const std::wstring text = label->Text();
      sum += text.size();
    }
    for (const CUILibElement* c = element->Children().First(); c != nullptr; c = element->Children().Next(c)) {
      sum += Read(c);
    }
    if (element->Overlay() != nullptr) sum += Read(element->Overlay());
    return sum;
  }

  CUILibElement* root_;
  size_t checksum_ = 0;
  std::atomic<int> batches_{0};
};

TEST(RenderRaceTest, TreeChangesAreOrderedWithPaintingAndNeverSkipped) {
  auto w = testing::LayOut("<label id='text' value='start' style='width:100px;height:20px;'/>"
                           "<element id='list' style='width:100px;height:100px;'><label value='row'/></element>",
                           200, 200);
  ASSERT_TRUE(w.window);
  CUILibElement* list = w.ById("list");
  auto* text = dynamic_cast<CUILibLabel*>(w.ById("text"));
  TiXmlDocument rows;
  rows.Parse("<r><label value='added row' style='height:10px;'/></r>");
  const TiXmlElement* row = rows.RootElement()->FirstChildElement();

  MarkUiThread();
  TreeReader reader(w.window.get());
  LibraryState& state = State();
  std::atomic<bool> stop{false};
  std::thread painter([&] {
    while (!stop.load()) {
      state.render_queue.PaintBatch(state.tree_mutex);
      std::this_thread::yield();
    }
  });

  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  int round = 0;
  while (std::chrono::steady_clock::now() < end || reader.Batches() < 20) {
    state.render_queue.Push(&reader, PixelRect{0, 0, 200, 200});
    const std::wstring value = L"text " + std::to_wstring(round);
    text->SetText(value.c_str());
    text->SetStyle(round % 2 == 0 ? "color:#FF0000;" : "color:#00FF00;");
    list->AppendChildren(row);
    list->PrependChildren(row);
    list->SetOverlay(row);
    list->Enable(round % 2);
    if (round % 8 == 7) list->Rebuild(0);
    if (round % 8 == 3) list->RemoveOverlay();
    ++round;
  }
  stop = true;
  painter.join();
  state.render_queue.Purge(&reader);

  // Every change took effect: the last text, and the list grown by two rows
  // per round since its last rebuild (every eighth round).
  EXPECT_EQ(text->Text(), L"text " + std::to_wstring(round - 1));
  EXPECT_EQ(list->Children().Count(), 1u + 2u * static_cast<size_t>(round % 8));
  EXPECT_GE(reader.Batches(), 20);
}

#ifndef NDEBUG
TEST(UiThreadCheckDeathTest, ATreeChangeOffTheUiThreadStopsADebugBuild) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto w = testing::LayOut("<label id='text' value='start' style='width:100px;height:20px;'/>", 200, 200);
  auto* text = dynamic_cast<CUILibLabel*>(w.ById("text"));
  ASSERT_NE(text, nullptr);
  EXPECT_DEATH(
      {
        MarkUiThread();
        std::thread other([text] { text->SetText(L"from elsewhere"); });
        other.join();
      },
      "SetText called off the UI thread");
}
#endif

}  // namespace
}  // namespace uilib
