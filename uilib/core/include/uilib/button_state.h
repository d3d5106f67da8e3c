// Library-wide state that element kinds read: whether the left mouse button is
// down over a skinned window (set on button-down, cleared on button-up; kinds
// draw their pressed look from it). Touched only on the UI thread.
#pragma once

namespace uilib {

bool IsLeftButtonDown();
void SetLeftButtonDown(bool down);

}  // namespace uilib
