#include "uilib/button_state.h"

namespace uilib {
namespace {
bool g_left_button_down = false;
}  // namespace

bool IsLeftButtonDown() { return g_left_button_down; }
void SetLeftButtonDown(bool down) { g_left_button_down = down; }

}  // namespace uilib
