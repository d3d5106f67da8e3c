#include "uilib/ui_thread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace uilib {
namespace {

std::atomic<std::thread::id> g_ui_thread{};

}  // namespace

void MarkUiThread() { g_ui_thread.store(std::this_thread::get_id()); }

bool OnUiThread() {
  const std::thread::id ui = g_ui_thread.load();
  return ui == std::thread::id() || ui == std::this_thread::get_id();
}

void CheckUiThread([[maybe_unused]] const char* operation) {
#ifndef NDEBUG
  if (OnUiThread()) return;
  std::fprintf(stderr, "UILib: %s called off the UI thread\n", operation);
  std::abort();
#endif
}

}  // namespace uilib
