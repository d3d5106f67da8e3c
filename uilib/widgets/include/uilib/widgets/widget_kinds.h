// The element kinds of the widgets library, registered with the core's kind
// registry. Every program that links the widgets library registers them at
// start-up (widgets/src/widget_kinds_startup.cpp is compiled into it);
// calling this again changes nothing.
#pragma once

namespace uilib {

void RegisterWidgetKinds();

}  // namespace uilib
