// The library object's window bookkeeping: creation by id, destruction with
// deferred deletion of the window object.
#include <gtest/gtest.h>

#include "uilib/deferred_deletion.h"
#include "uilib/library_state.h"
#include "uilib/uilib_impl.h"

namespace uilib {
namespace {

constexpr const char* kSkin = R"(<UILIB>
  <window id="Welcome" windowstyle="WS_POPUP" width="608" height="322"><element id="body"/></window>
  <window id="Other"/>
</UILIB>)";

TEST(LibraryObjectTest, DestroyWindowNullsThePointerAndDefersTheDeletion) {
  CUILibImpl lib;
  ASSERT_EQ(lib.LoadSkinFromMemory(kSkin), SkinLoadResult::kOk);
  IUILibWindow* window = lib.CreateWindowById("welcome", nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  auto* object = dynamic_cast<CUILibWindow*>(window);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(lib.Windows().size(), 1u);

  lib.DestroyWindow(window);
  EXPECT_EQ(window, nullptr);
  EXPECT_TRUE(lib.Windows().empty());
  EXPECT_TRUE(State().deletion.Contains(object));
  // Its native window is gone (destroyed at once, or never made natively), so
  // the next tick frees it.
  EXPECT_TRUE(State().deletion.Tick());
  EXPECT_FALSE(State().deletion.Contains(object));
}

TEST(LibraryObjectTest, DestroyWindowIgnoresPointersThatAreNotLibraryWindows) {
  class Foreign : public IUILibWindow {
   public:
    void FadeIn(std::uint32_t) override {}
    void FadeOut(std::uint32_t) override {}
    void Hide() override {}
    void Show() override {}
  } foreign;
  CUILibImpl lib;
  IUILibWindow* pointer = &foreign;
  lib.DestroyWindow(pointer);
  EXPECT_EQ(pointer, &foreign);
  IUILibWindow* null_window = nullptr;
  lib.DestroyWindow(null_window);
  EXPECT_EQ(null_window, nullptr);
}

// A window whose native window is still being destroyed.
class LingeringWindow : public CUILibWindow {
 public:
  LingeringWindow(const TiXmlElement* xml, bool* deleted) : CUILibWindow(xml, nullptr), deleted_(deleted) {}
  ~LingeringWindow() override { *deleted_ = true; }
  NativeWindow NativeHandle() const override { return handle; }
  NativeWindow handle = reinterpret_cast<NativeWindow>(0x10);

 private:
  bool* deleted_;
};

TEST(DeferredDeletionTest, OneFinishedWindowPerTickAndNeverALiveOne) {
  SkinDocument document;
  ASSERT_EQ(document.LoadFromMemory(kSkin), SkinLoadResult::kOk);
  DeferredDeletion deletion;
  bool first_deleted = false, second_deleted = false, third_deleted = false;
  auto first = std::make_unique<LingeringWindow>(document.FindWindow("Welcome"), &first_deleted);
  LingeringWindow* lingering = first.get();
  deletion.Queue(std::move(first));
  auto second = std::make_unique<LingeringWindow>(document.FindWindow("Other"), &second_deleted);
  second->handle = nullptr;
  deletion.Queue(std::move(second));
  auto third = std::make_unique<LingeringWindow>(document.FindWindow("Other"), &third_deleted);
  third->handle = nullptr;
  deletion.Queue(std::move(third));

  EXPECT_TRUE(deletion.Tick());
  EXPECT_TRUE(second_deleted);
  EXPECT_FALSE(third_deleted);  // at most one per tick
  EXPECT_TRUE(deletion.Tick());
  EXPECT_TRUE(third_deleted);
  EXPECT_FALSE(deletion.Tick());  // the remaining one still has its native window
  EXPECT_FALSE(first_deleted);
  lingering->handle = nullptr;
  EXPECT_TRUE(deletion.Tick());
  EXPECT_TRUE(first_deleted);
  EXPECT_EQ(deletion.Count(), 0u);
}

TEST(LibraryObjectTest, TreeLockIsTheSharedRecursiveTreeMutex) {
  CUILibImpl lib;
  TreeLockSource& source = lib;
  ASSERT_TRUE(source.TryLockTree(0));
  EXPECT_TRUE(State().tree_mutex.Lock(0));  // same thread: recursive
  State().tree_mutex.Unlock();
  source.UnlockTree();
}

}  // namespace
}  // namespace uilib
